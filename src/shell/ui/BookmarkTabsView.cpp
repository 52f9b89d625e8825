#include "shell/ui/BookmarkTabsView.h"

#include "foundation/AppStrings.h"
#include "foundation/ColorText.h"
#include "foundation/NumberText.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/BookmarkTabEditing.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "shell/ui/BookMarkTabsDelegate.h"
#include "shell/ui/BookmarkTabSetting.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &title, const QString &tip)
{
    auto *b = new QPushButton(title, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

} // namespace

BookmarkTabsView::BookmarkTabsView(QWidget *parent) : QWidget(parent)
{
    m_delegate = new BookMarkTabsDelegate(this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("outlineBookmarkTab"));
    m_delegate->setOutlineView(m_list);
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionResizeMode(BookMarkTabsDelegate::ColorColumn, QHeaderView::Fixed);
    m_list->header()->resizeSection(BookMarkTabsDelegate::ColorColumn, 56);
    m_list->header()->resizeSection(BookMarkTabsDelegate::PageIndexColumn, 56);
    m_list->setToolTip(loadAppString("QuorvelAppD-Drag tabs to reorder them, or out of the list to delete them.",
                                     "Drag tabs to reorder them, or out of the list to delete them."));

    m_btnAdd = button(this, "btnAddTab", loadAppString("QuorvelAppD-Add…", "Add…"),
                      loadAppString("QuorvelAppD-Add bookmark tabs.", "Add bookmark tabs."));
    m_btnEdit = button(this, "btnEditTab", loadAppString("QuorvelAppD-Edit…", "Edit…"),
                       loadAppString("QuorvelAppD-Change the tabs one after another.", "Change the tabs one after another."));
    m_btnRandom = button(this, "btnRandomColors", loadAppString("QuorvelAppD-Random Colors", "Random Colors"),
                         loadAppString("QuorvelAppD-Give every tab a new light color.", "Give every tab a new light color."));
    m_btnDelete = button(this, "btnDeleteTab", loadAppString("QuorvelAppD-Delete", "Delete"),
                         loadAppString("QuorvelAppD-Delete the selected tabs.", "Delete the selected tabs."));
    m_rdTop = new QRadioButton(loadAppString("QuorvelAppD-Top", "Top"), this);
    m_rdTop->setObjectName(QStringLiteral("rdTop"));
    m_rdSide = new QRadioButton(loadAppString("QuorvelAppD-Side", "Side"), this);
    m_rdSide->setObjectName(QStringLiteral("rdSide"));
    auto *edge = new QButtonGroup(this);
    edge->addButton(m_rdTop);
    edge->addButton(m_rdSide);
    m_chkShowPage = new QCheckBox(loadAppString("QuorvelAppD-Page numbers on the tabs", "Page numbers on the tabs"), this);
    m_chkShowPage->setObjectName(QStringLiteral("chkShowPage"));
    m_chkTexture = new QCheckBox(loadAppString("QuorvelAppD-Textured tabs", "Textured tabs"), this);
    m_chkTexture->setObjectName(QStringLiteral("chkTexture"));
    m_sldOpacity = new QSlider(Qt::Horizontal, this);
    m_sldOpacity->setObjectName(QStringLiteral("sldOpacity"));
    m_sldOpacity->setRange(0, 100);
    m_lblOpacity = new QLabel(this);
    m_lblOpacity->setObjectName(QStringLiteral("lblOpacity"));
    m_lblOpacity->setMinimumWidth(m_lblOpacity->fontMetrics().horizontalAdvance(QStringLiteral("0.000")));
    m_btnOpen = button(this, "btnOpenTabs", loadAppString("QuorvelAppD-Open…", "Open…"),
                       loadAppString("QuorvelAppD-Replace the tabs by those of a tab file.", "Replace the tabs by those of a tab file."));
    m_btnSave = button(this, "btnSaveTabs", loadAppString("QuorvelAppD-Save…", "Save…"),
                       loadAppString("QuorvelAppD-Save the tabs as a tab file.", "Save the tabs as a tab file."));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    // A row of controls after an optional label.
    const auto addRow = [this, layout](const QString &label, std::initializer_list<QWidget *> controls) {
        auto *row = new QHBoxLayout;
        if (!label.isEmpty())
            row->addWidget(new QLabel(label, this));
        bool stretches = false; // the slider takes the room left
        for (QWidget *control : controls) {
            stretches = stretches || control == m_sldOpacity;
            row->addWidget(control, control == m_sldOpacity ? 1 : 0);
        }
        if (!stretches)
            row->addStretch();
        layout->addLayout(row);
    };
    addRow({}, {m_btnAdd, m_btnEdit, m_btnRandom, m_btnDelete});
    addRow(loadAppString("QuorvelAppD-Edge:", "Edge:"), {m_rdTop, m_rdSide});
    layout->addWidget(m_chkShowPage);
    layout->addWidget(m_chkTexture);
    addRow(loadAppString("QuorvelAppD-Opacity:", "Opacity:"), {m_sldOpacity, m_lblOpacity});
    addRow(loadAppString("QuorvelAppD-Tab file:", "Tab file:"), {m_btnOpen, m_btnSave});

    connect(m_btnAdd, &QPushButton::clicked, this, &BookmarkTabsView::onAddBookmarkTab);
    connect(m_btnEdit, &QPushButton::clicked, this, &BookmarkTabsView::onEditBookmarkTab);
    connect(m_btnRandom, &QPushButton::clicked, this, &BookmarkTabsView::onRandomizeTabColors);
    connect(m_btnDelete, &QPushButton::clicked, this, &BookmarkTabsView::onDeleteBookmarkTabs);
    connect(m_btnSave, &QPushButton::clicked, this, &BookmarkTabsView::onSaveTabs);
    connect(m_btnOpen, &QPushButton::clicked, this, &BookmarkTabsView::onOpenTabs);
    // A control changes the tabs when the user changes it, not while it is being filled.
    const auto apply = [this](auto change) {
        return [this, change](auto value) {
            if (m_showing || !bookmarkTabs())
                return;
            change(*bookmarkTabs(), value);
            changed();
        };
    };
    connect(m_rdSide, &QRadioButton::toggled, this, apply([](BookMarkTabs &tabs, bool side) {
                tabs.setTopOrSide(side ? QStringLiteral("Side") : QStringLiteral("Top"));
            }));
    connect(m_chkShowPage, &QCheckBox::toggled, this, apply([](BookMarkTabs &tabs, bool on) { tabs.setBookmarkTips(on); }));
    connect(m_chkTexture, &QCheckBox::toggled, this,
            apply([](BookMarkTabs &tabs, bool on) { tabs.setBookmarkShowHading(on); }));
    connect(m_sldOpacity, &QSlider::valueChanged, this,
            [this](int percent) { m_lblOpacity->setText(NumberText::fixed(percent / 100.0, 2)); });
    connect(m_sldOpacity, &QSlider::valueChanged, this, apply([this](BookMarkTabs &tabs, int percent) {
                tabs.setAlpha(percent / 100.0);
                m_delegate->reloadData(); // the swatches show the opacity
            }));
    NotificationCenter::defaultCenter()->addObserver(this, BookmarkTabViewDidSelected, m_delegate,
                                                     [this](const Notification &) { updateButtons(); });
    showSettings();
}

BookmarkTabsView::~BookmarkTabsView()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void BookmarkTabsView::setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs, std::function<int()> pageCount)
{
    m_pageCount = std::move(pageCount);
    m_delegate->setBookmarkTabs(std::move(tabs));
    // Drags out of the list are watched in the window the page stands in by now.
    m_delegate->attachDragDeleteView();
    showSettings();
}

std::shared_ptr<BookMarkTabs> BookmarkTabsView::bookmarkTabs() const
{
    return m_delegate->bookmarkTabs();
}

void BookmarkTabsView::showSettings()
{
    const std::shared_ptr<BookMarkTabs> tabs = bookmarkTabs();
    m_showing = true;
    const bool side = tabs && tabs->topOrSide().compare(QLatin1String("side"), Qt::CaseInsensitive) == 0;
    (side ? m_rdSide : m_rdTop)->setChecked(true);
    m_chkShowPage->setChecked(tabs && tabs->bookmarkTips());
    m_chkTexture->setChecked(tabs && tabs->bookmarkShowHading());
    // A book that never had tabs starts with fully opaque ones.
    const bool untouched = !tabs || (!tabs->hasTabs() && tabs->alpha() == 0.0);
    m_sldOpacity->setValue(untouched ? 100 : qRound(tabs->alpha() * 100));
    m_lblOpacity->setText(NumberText::fixed(m_sldOpacity->value() / 100.0, 2));
    m_showing = false;
    updateButtons();
}

void BookmarkTabsView::updateButtons()
{
    const std::shared_ptr<BookMarkTabs> tabs = bookmarkTabs();
    const bool open = tabs != nullptr;
    const bool any = open && tabs->hasTabs();
    for (QWidget *w : std::initializer_list<QWidget *>{m_list, m_btnAdd, m_rdTop, m_rdSide, m_chkShowPage, m_chkTexture,
                                                       m_sldOpacity, m_btnOpen, m_btnSave})
        w->setEnabled(open);
    m_btnEdit->setEnabled(any);
    m_btnRandom->setEnabled(any);
    m_btnDelete->setEnabled(any && !selectedRows().isEmpty());
}

void BookmarkTabsView::changed()
{
    m_delegate->postChange();
    updateButtons();
}

QList<int> BookmarkTabsView::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void BookmarkTabsView::openTabDialog(int type, int row)
{
    const std::shared_ptr<BookMarkTabs> tabs = bookmarkTabs();
    if (!tabs)
        return;
    // The tabs take the opacity shown here before any is added.
    const double alpha = m_sldOpacity->value() / 100.0;
    if (tabs->alpha() != alpha) {
        tabs->setAlpha(alpha);
        m_delegate->postChange();
    }
    BookmarkTabSetting dialog;
    dialog.setBookmarkTabs(tabs);
    dialog.setType(type);
    dialog.setCurrentRow(row);
    dialog.setOutlineBookmarkTab(m_delegate);
    dialog.setTotalPage(m_pageCount ? m_pageCount() : 1);
    dialog.center();
    dialog.runModal();
    m_delegate->reloadData();
    updateButtons();
}

void BookmarkTabsView::onAddBookmarkTab()
{
    if (const auto tabs = bookmarkTabs())
        openTabDialog(BookmarkTabEditing::AddTabs, int(tabs->TabItems().size()));
}

void BookmarkTabsView::onEditBookmarkTab()
{
    const QList<int> rows = selectedRows();
    openTabDialog(BookmarkTabEditing::ModifyTabs, rows.value(0, 0));
}

void BookmarkTabsView::onRandomizeTabColors()
{
    const std::shared_ptr<BookMarkTabs> tabs = bookmarkTabs();
    if (!tabs || !tabs->hasTabs())
        return;
    for (BookMarkTabItem &item : tabs->TabItems())
        item.setColor(colorToHexRGB(BookmarkTabEditing::generateColorByRand(tabs->alpha())));
    m_delegate->reloadData();
    changed();
}

void BookmarkTabsView::onDeleteBookmarkTabs()
{
    if (!m_delegate->removeRowsAt(selectedRows()))
        return;
    changed();
}

void BookmarkTabsView::onSaveTabs()
{
    if (!bookmarkTabs() || (m_panel && m_panel->isRunning()))
        return;
    m_panel = std::make_unique<QvPanel>();
    m_panel->setIsOpenPanel(false);
    m_panel->setOwer(this);
    m_panel->setTitle(loadAppString("QuorvelAppD-Save the bookmark tabs", "Save the bookmark tabs"));
    m_panel->setTypes({QStringLiteral("xml")});
    m_panel->setNameFieldStringValue(QStringLiteral("Tabs.xml"));
    m_panel->setEndPanelSelector([this](QvPanel *panel) {
        const QString path = panel->URL().toLocalFile();
        const std::shared_ptr<BookMarkTabs> tabs = bookmarkTabs();
        if (path.isEmpty() || !tabs)
            return;
        if (!tabs->saveToFile(path))
            LogAlert::alertMessage(loadAppString("QuorvelAppD-The bookmark tabs could not be saved.",
                                                 "The bookmark tabs could not be saved."),
                                   QDir::toNativeSeparators(path));
    });
    m_panel->runModel();
}

void BookmarkTabsView::onOpenTabs()
{
    if (!bookmarkTabs() || (m_panel && m_panel->isRunning()))
        return;
    m_panel = std::make_unique<QvPanel>();
    m_panel->setOwer(this);
    m_panel->setTitle(loadAppString("QuorvelAppD-Open a tab file", "Open a tab file"));
    m_panel->setTypes({QStringLiteral("xml")});
    m_panel->setEndPanelSelector([this](QvPanel *panel) {
        const QString path = panel->URL().toLocalFile();
        const std::shared_ptr<BookMarkTabs> tabs = bookmarkTabs();
        if (path.isEmpty() || !tabs)
            return;
        QString error;
        if (!tabs->loadFromFile(path, &error)) {
            LogAlert::alertMessage(loadAppString("QuorvelAppD-The tab file could not be opened.",
                                                 "The tab file could not be opened."),
                                   QDir::toNativeSeparators(path) + QStringLiteral("\n") + error);
            return;
        }
        m_delegate->reloadData();
        showSettings();
        changed();
    });
    m_panel->runModel();
}
