#include "furnishings/ui/BackgroundSettingView.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/PictureGridView.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

BackgroundSettingView::BackgroundSettingView(QWidget *parent) : QWidget(parent)
{
}

QString BackgroundSettingView::noun() const
{
    return m_tabID.isEmpty() ? loadAppString("BlackGroundSettingV-background", "background") : m_tabID;
}

void BackgroundSettingView::loadDispViewInf()
{
    if (m_isAllocDisp)
        return;
    m_isAllocDisp = true;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_imageView = new PictureGridView(this);
    m_imageView->setObjectName(QStringLiteral("imageView"));
    m_imageView->setThumbnailSize(QSize(96, 96));
    layout->addWidget(m_imageView, 1);

    m_tipView = new QWidget(this);
    auto *strip = new QVBoxLayout(m_tipView);
    strip->setContentsMargins(3, 3, 3, 3);
    m_lblMessage = new QLabel(loadAppString("BlackGroundSettingV-Double click to apply %1.", "Double click to apply %1.").arg(noun()),
                              m_tipView);
    m_lblMessage->setObjectName(QStringLiteral("lblMessage"));
    m_lblMessage->setWordWrap(true);
    strip->addWidget(m_lblMessage);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    m_btnOnline = new QPushButton(loadAppString("BlackGroundSettingV-%1 online", "%1 online").arg(noun()), m_tipView);
    m_btnOnline->setObjectName(QStringLiteral("btnOnline"));
    m_btnOnline->setToolTip(loadAppString("BlackGroundSettingV-You can get more %1 online", "You can get more %1 online").arg(noun()));
    m_btnNew = new QPushButton(loadAppString("BlackGroundSettingV-Load...", "Load..."), m_tipView);
    m_btnNew->setObjectName(QStringLiteral("btnNew"));
    m_btnRemove = new QPushButton(loadAppString("BlackGroundSettingV-Remove", "Remove"), m_tipView);
    m_btnRemove->setObjectName(QStringLiteral("btnRemove"));
    m_btnRemove->setToolTip(loadAppString("BlackGroundSettingV-Remove the selected %1", "Remove the selected %1").arg(noun()));
    m_btnRemove->setEnabled(false);
    buttons->addWidget(m_btnOnline);
    buttons->addWidget(m_btnNew);
    buttons->addWidget(m_btnRemove);
    buttons->addStretch(1);
    strip->addLayout(buttons);
    layout->addWidget(m_tipView);

    connect(m_imageView, &PictureGridView::itemDoubleClicked, this, &BackgroundSettingView::applyItemAt);
    connect(m_imageView, &PictureGridView::selectionDidChange, this, &BackgroundSettingView::onSelectionChanged);
}

void BackgroundSettingView::setImageList(const QList<Item> &items)
{
    m_items = items;
    if (m_selected >= m_items.size())
        m_selected = 0;
    if (m_imageView) {
        QList<PictureGridItem> grid;
        for (const Item &item : items)
            grid << PictureGridItem{item.bgName, item.shotFilePath, QString(), item.key};
        m_imageView->setItems(grid);
    }
    updateTips();
}

void BackgroundSettingView::setSelectedItemIndex(int index)
{
    m_selected = index >= 0 && index < m_items.size() ? index : 0;
    // The grid highlights the applied item, not one the book no longer has.
    if (m_imageView && !m_items.isEmpty())
        m_imageView->selectRow(m_selected);
    updateTips();
}

QList<int> BackgroundSettingView::selectedRows() const
{
    return m_imageView ? m_imageView->selectedRows() : QList<int>();
}

bool BackgroundSettingView::isUserItem(const Item &item)
{
    return !item.shotFilePath.contains(QDir::cleanPath(AppResources::resourcePath()));
}

void BackgroundSettingView::updateTips()
{
    if (!m_imageView)
        return;
    if (m_cancelTip.isEmpty())
        m_cancelTip = loadAppString("BlackGroundSettingV-Double click to cancel the %1", "Double click to cancel the %1").arg(noun());
    if (m_selectedTip.isEmpty())
        m_selectedTip = loadAppString("BlackGroundSettingV-The %1 have been selected", "The %1 have been selected").arg(noun());
    if (m_unselectTip.isEmpty())
        m_unselectTip = loadAppString("BlackGroundSettingV-Double click to select the %1", "Double click to select the %1").arg(noun());
    PictureGridModel *model = m_imageView->pictureModel();
    for (int row = 0; row < model->rowCount(); ++row) {
        QString tip;
        if (row == 0)
            tip = m_selected != 0 ? m_cancelTip : QString();
        else
            tip = row == m_selected ? m_selectedTip : m_unselectTip;
        model->setItemToolTip(row, tip);
    }
}

void BackgroundSettingView::applyItemAt(int row)
{
    if (row < 0 || row >= m_items.size())
        return;
    m_selected = row;
    updateTips();
    NotificationCenter::defaultCenter()->postNotification(FlashBackgroundApplayNotification, this, {});
}

void BackgroundSettingView::onSelectionChanged(const QList<int> &rows)
{
    int count = 0;
    for (const int row : rows)
        if (row > 0 && row < m_items.size() && isUserItem(m_items.at(row)))
            ++count;
    m_btnRemove->setEnabled(count > 0);
    NotificationCenter::defaultCenter()->postNotification(FlashBackgroundDidSelectNotification, this,
                                                          {{QStringLiteral("selectCount"), count}});
    updateTips();
}
