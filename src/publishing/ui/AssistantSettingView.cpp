#include "publishing/ui/AssistantSettingView.h"

#include "foundation/AppStrings.h"
#include "platform/ui/PictureGridView.h"
#include "publishing/ui/SimpleCell.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QVBoxLayout>

AssistantSettingView::AssistantSettingView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("assistantSettingView"));
    m_popMenu = new QMenu(loadAppString("AssistantSettingV-Assistant", "Assistant"), this);
    m_importAction = m_popMenu->addAction(loadAppString("AssistantSettingV-Import Assistant", "Import Assistant"));
    m_importAction->setObjectName(QStringLiteral("onImportAssistant"));
    m_exportAction = m_popMenu->addAction(loadAppString("AssistantSettingV-Export Assistant", "Export Assistant"));
    m_exportAction->setObjectName(QStringLiteral("onExportAssistant"));
}

void AssistantSettingView::loadDispViewInf()
{
    if (m_imageView)
        return;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_imageView = new PictureGridView(this);
    m_imageView->setObjectName(QStringLiteral("imageView"));
    m_imageView->setThumbnailSize(QSize(96, 96));
    layout->addWidget(m_imageView, 1);

    auto *tipView = new QWidget(this);
    tipView->setObjectName(QStringLiteral("tipView"));
    auto *tipLayout = new QVBoxLayout(tipView);
    tipLayout->setContentsMargins(4, 2, 4, 2);
    const QString noun = m_tabID.isEmpty() ? loadAppString("BlackGroundSettingV-background", "background") : m_tabID;
    m_lblMessage = new QLabel(loadAppString("BlackGroundSettingV-Double click to apply %@.", "Double click to apply %@.")
                                  .replace(QStringLiteral("%@"), noun),
                              tipView);
    m_lblMessage->setObjectName(QStringLiteral("lblMessage"));
    m_lblMessage->setStyleSheet(QStringLiteral("background: rgb(191,191,191); padding: 3px;"));
    tipLayout->addWidget(m_lblMessage);
    auto *buttons = new QHBoxLayout;
    m_btnRecordManage = new SimpleCell(tipView);
    m_btnRecordManage->setObjectName(QStringLiteral("btnRecordManage"));
    m_btnRecordManage->setText(loadAppString("AssistantSettingV-Record Settings", "Record Settings"));
    m_btnRecordManage->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    // The window's own font, and the width its text needs at least: the tab is narrow.
    m_btnRecordManage->setFixedHeight(40);
    m_btnRecordManage->setMinimumWidth(m_btnRecordManage->sizeHint().width());
    m_btnRecordManage->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_btnMore = new SimpleCell(tipView);
    m_btnMore->setObjectName(QStringLiteral("btnMore"));
    m_btnMore->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    m_btnMore->setToolTip(loadAppString("AssistantSettingV-Import or export the assistant",
                                        "Import or export the assistant"));
    m_btnMore->setFixedSize(20, 40);
    buttons->addWidget(m_btnRecordManage, 1);
    buttons->addSpacing(10);
    buttons->addWidget(m_btnMore);
    tipLayout->addLayout(buttons);
    layout->addWidget(tipView);

    connect(m_imageView, &PictureGridView::itemDoubleClicked, this, [this](int row) {
        if (row < 0 || row >= m_imageList.size())
            return;
        m_selectedItemIndex = row;
        updateTips();
        emit itemApplied(row);
    });
    reloadImages();
}

void AssistantSettingView::setImageList(const QList<AssistantItem> &list)
{
    m_imageList = list;
    if (m_selectedItemIndex >= m_imageList.size())
        m_selectedItemIndex = 0;
    reloadImages();
}

void AssistantSettingView::setSelectedItemIndex(int index)
{
    m_selectedItemIndex = index >= 0 && index < m_imageList.size() ? index : 0;
    if (m_imageView)
        m_imageView->selectRow(m_selectedItemIndex);
    updateTips();
}

void AssistantSettingView::reloadImages()
{
    if (!m_imageView)
        return;
    QList<PictureGridItem> items;
    for (const AssistantItem &item : m_imageList)
        items << PictureGridItem{item.bgName, item.shotFilePath, QString(), item.bgPath};
    m_imageView->setItems(items);
    m_imageView->selectRow(m_selectedItemIndex);
    updateTips();
}

void AssistantSettingView::updateTips()
{
    if (!m_imageView)
        return;
    const QString noun = m_tabID.isEmpty() ? loadAppString("BlackGroundSettingV-background", "background") : m_tabID;
    const QString cancelTip = loadAppString("BlackGroundSettingV-Double click to cancel the %@",
                                            "Double click to cancel the %@").replace(QStringLiteral("%@"), noun);
    const QString selectedTip = loadAppString("BlackGroundSettingV-The %@ have been selected",
                                              "The %@ have been selected").replace(QStringLiteral("%@"), noun);
    const QString unselectTip = loadAppString("BlackGroundSettingV-Double click to select the %@",
                                              "Double click to select the %@").replace(QStringLiteral("%@"), noun);
    PictureGridModel *model = m_imageView->pictureModel();
    for (int i = 0; i < m_imageList.size(); ++i)
        model->setItemToolTip(i, QString());
    if (m_selectedItemIndex != 0 && !m_imageList.isEmpty())
        model->setItemToolTip(0, cancelTip);
    for (int i = 1; i < m_imageList.size(); ++i)
        model->setItemToolTip(i, i == m_selectedItemIndex ? selectedTip : unselectTip);
}

void AssistantSettingView::showPopMenu()
{
    if (m_btnMore)
        m_popMenu->popup(m_btnMore->mapToGlobal(QPoint(0, m_btnMore->height())));
}
