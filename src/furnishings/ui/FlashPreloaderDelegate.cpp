#include "furnishings/ui/FlashPreloaderDelegate.h"

#include "foundation/AppStrings.h"
#include "furnishings/ui/AddPreloader.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/PictureGridView.h"
#include "platform/ui/QvWindow.h"

#include <QPushButton>
#include <QVBoxLayout>

FlashPreloaderDelegate::FlashPreloaderDelegate(const QString &preloaderName, QObject *parent)
    : WindowController(QStringLiteral("FlashPreloaderDelegate"), WindowLoader::Lookup::Localized, parent),
      m_choice(preloaderName)
{
}

FlashPreloaderDelegate::~FlashPreloaderDelegate() = default;

int FlashPreloaderDelegate::indexOfPreloader(const QString &name) const
{
    return FlashTemlPreloaderItem::indexOfPreloader(name, m_choice.items());
}

void FlashPreloaderDelegate::bindOutlets()
{
    outlet(m_imageHolder, "imageView");
    outlet(m_btnAdd, "btnAdd");
    outlet(m_btnRemove, "btnRemove");
}

void FlashPreloaderDelegate::awakeFromNib()
{
    auto *layout = new QVBoxLayout(m_imageHolder);
    layout->setContentsMargins(0, 0, 0, 0);
    m_imageView = new PictureGridView(m_imageHolder);
    m_imageView->setObjectName(QStringLiteral("preloaderGrid"));
    m_imageView->setThumbnailSize(QSize(96, 96));
    layout->addWidget(m_imageView);
    connect(m_imageView, &PictureGridView::itemDoubleClicked, this, &FlashPreloaderDelegate::chooseItemAt);
    connect(m_imageView, &PictureGridView::selectionDidChange, this, [this] {
        checkRemoveStatus();
        updateTips();
    });
    connect(m_btnAdd, &QPushButton::clicked, this, &FlashPreloaderDelegate::onAdd);
    connect(m_btnRemove, &QPushButton::clicked, this, &FlashPreloaderDelegate::onRemove);
    checkRemoveStatus();
    reloadChange();
}

void FlashPreloaderDelegate::chooseItemAt(int row)
{
    if (row < 0 || row >= m_choice.items().size())
        return;
    m_choice.setSelectedIndex(row);
    updateTips();
    closeWindowWithCode(1);
}

void FlashPreloaderDelegate::windowWillClose()
{
    m_isClosed = true;
}

void FlashPreloaderDelegate::checkRemoveStatus()
{
    bool removable = false;
    for (const int row : m_imageView->selectedRows())
        removable = removable || m_choice.isRemovable(row);
    m_btnRemove->setEnabled(removable);
}

void FlashPreloaderDelegate::reloadChange()
{
    QList<PictureGridItem> items;
    for (const FlashTemlPreloaderItem &item : m_choice.items())
        items << PictureGridItem{item.prlName(), item.prlShot(), QString(), item.prlShot()};
    m_imageView->setItems(items);
    if (m_choice.selectedIndex() >= 0)
        m_imageView->selectRow(m_choice.selectedIndex());
    updateTips();
    checkRemoveStatus();
}

void FlashPreloaderDelegate::updateTips()
{
    const QString noun = loadAppString("FlashPreloaderD-preloader", "preloader");
    const QString selected = loadAppString("FlashPreloaderD-The %@ have been selected", "The %1 has been selected").arg(noun);
    const QString select = loadAppString("FlashPreloaderD-Double click to select the %@", "Double click to select the %1").arg(noun);
    for (int i = 0; i < m_imageView->pictureModel()->rowCount(); ++i)
        m_imageView->pictureModel()->setItemToolTip(i, i == m_choice.selectedIndex() ? selected : select);
}

void FlashPreloaderDelegate::onAdd()
{
    if (!m_addPreloader)
        m_addPreloader = std::make_unique<AddPreloader>();
    m_addPreloader->beginSheet(window(), [this](int code) { addPreloaderDidEnd(code); });
}

void FlashPreloaderDelegate::addPreloaderDidEnd(int code)
{
    if (code != 1 || !m_addPreloader)
        return;
    QString error;
    if (m_choice.add(m_addPreloader->preloaderFile(), m_addPreloader->thumbFile(), &error) < 0) {
        LogAlert::alertMessage(loadAppString("FlashPreloaderD-The preloader cannot be added.", "The preloader cannot be added."),
                               error);
        return;
    }
    reloadChange();
}

void FlashPreloaderDelegate::onRemove()
{
    const QList<int> rows = m_imageView->selectedRows();
    if (rows.isEmpty()
        || !LogAlert::askOKCancel(loadAppString("FlashPreloaderD-Are you sure to delete the selected item(s)?",
                                                "Are you sure to delete the selected item(s)?"),
                                  QString()))
        return;
    m_choice.remove(rows);
    reloadChange();
}
