#include "shell/ui/MainWindow.h"

#include "foundation/AppStrings.h"
#include "platform/ui/DragFileImport.h"
#include "shell/BookFileRequest.h"
#include "shell/ui/BookmarkOutlineView.h"
#include "shell/ui/BookmarkTabsView.h"
#include "shell/ui/PreviewPane.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The empty page of a design tab that a later feature fills.
QWidget *placeholderPage(const QString &identifier, const QString &description)
{
    auto *page = new QWidget;
    page->setObjectName(identifier);
    page->setProperty("identifier", identifier);
    auto *layout = new QVBoxLayout(page);
    auto *label = new QLabel(description, page);
    label->setObjectName(QStringLiteral("placeholderText"));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: palette(mid);"));
    layout->addStretch();
    layout->addWidget(label);
    layout->addStretch();
    return page;
}

QWidget *paneHeader(const QString &title, QWidget *content)
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *label = new QLabel(title, box);
    label->setStyleSheet(QStringLiteral("font-weight: bold; padding: 4px 6px;"));
    layout->addWidget(label);
    layout->addWidget(content, 1);
    return box;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("QuorvelMainWindow"));
    setWindowTitle(loadAppString(QStringLiteral("$APP_NAME$")));
    resize(1440, 900);
    buildPanes();
    buildMenus();
    buildToolBar();
    m_status = new QLabel(this);
    statusBar()->addWidget(m_status, 1);
    m_dropTarget = DragFileImport::coverWidget(centralWidget(), BookFileRequest::acceptedExtensions());
    m_dropTarget->setIdentifier(QStringLiteral("mainWindow"));
    m_preview->setDropTarget(m_dropTarget);
    setBookOpen(false);
    applyDisplayMode();
}

MainWindow::~MainWindow() = default;

QAction *MainWindow::makeAction(const QString &name, const QString &label, const QKeySequence &shortcut)
{
    auto *action = new QAction(label, this);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    m_actions.insert(name, action);
    return action;
}

QStringList MainWindow::additionsActionNames()
{
    return {QStringLiteral("scenesMaker"), QStringLiteral("manageRecords"), QStringLiteral("phonePages"),
            QStringLiteral("importAssistant"), QStringLiteral("exportAssistant")};
}

void MainWindow::buildMenus()
{
    m_fileMenu = menuBar()->addMenu(loadAppString("QuorvelAppD-&File", "&File"));
    m_fileMenu->addAction(makeAction(QStringLiteral("newFromPDF"), loadAppString("QuorvelAppD-New Book from PDF…", "New Book from PDF…"),
                                     QKeySequence::New));
    m_fileMenu->addAction(makeAction(QStringLiteral("newFromPictures"),
                                     loadAppString("QuorvelAppD-New Book from Pictures…", "New Book from Pictures…")));
    m_fileMenu->addAction(makeAction(QStringLiteral("openProject"), loadAppString("QuorvelAppD-Open Project…", "Open Project…"),
                                     QKeySequence::Open));
    m_recentMenu = m_fileMenu->addMenu(loadAppString("QuorvelAppD-Open Recent", "Open Recent"));
    m_recentMenu->setObjectName(QStringLiteral("recentMenu"));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(makeAction(QStringLiteral("batchConversion"),
                                     loadAppString("QuorvelAppD-Batch Conversion…", "Batch Conversion…")));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(makeAction(QStringLiteral("save"), loadAppString("QuorvelAppD-Save", "Save"), QKeySequence::Save));
    m_fileMenu->addAction(makeAction(QStringLiteral("saveAs"), loadAppString("QuorvelAppD-Save As…", "Save As…"),
                                     QKeySequence::SaveAs));
    m_fileMenu->addAction(makeAction(QStringLiteral("closeBook"), loadAppString("QuorvelAppD-Close Book", "Close Book"),
                                     QKeySequence::Close));
    m_fileMenu->addSeparator();
    QAction *quit = makeAction(QStringLiteral("quit"), loadAppString("QuorvelAppD-Quit", "Quit"), QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    m_fileMenu->addAction(quit);

    // Undo and redo of design settings: the outline's own actions, so they follow the
    // template it shows.
    m_editMenu = menuBar()->addMenu(loadAppString("QuorvelAppD-&Edit", "&Edit"));
    m_actions.insert(QStringLiteral("undo"), m_designSettings->undoAction());
    m_actions.insert(QStringLiteral("redo"), m_designSettings->redoAction());
    m_editMenu->addAction(m_designSettings->undoAction());
    m_editMenu->addAction(m_designSettings->redoAction());

    m_bookMenu = menuBar()->addMenu(loadAppString("QuorvelAppD-&Book", "&Book"));
    m_bookMenu->addAction(makeAction(QStringLiteral("publish"), loadAppString("QuorvelAppD-Publish…", "Publish…"),
                                     QKeySequence(Qt::CTRL | Qt::Key_P)));
    m_bookMenu->addAction(makeAction(QStringLiteral("publishPlugin"), loadAppString("QuorvelAppD-Publish Plug-in…", "Publish Plug-in…")));
    m_bookMenu->addSeparator();
    m_bookMenu->addAction(makeAction(QStringLiteral("previewInBrowser"),
                                     loadAppString("QuorvelAppD-Preview in Browser", "Preview in Browser"),
                                     QKeySequence(Qt::CTRL | Qt::Key_B)));

    m_additionsMenu = menuBar()->addMenu(loadAppString("QuorvelAppD-&Additions", "&Additions"));
    m_additionsMenu->setObjectName(QStringLiteral("Additions"));
    m_additionsMenu->addAction(makeAction(QStringLiteral("scenesMaker"), loadAppString("QuorvelAppD-Scenes Maker…", "Scenes Maker…")));
    m_additionsMenu->addAction(makeAction(QStringLiteral("manageRecords"),
                                          loadAppString("QuorvelAppD-Narration Recordings…", "Narration Recordings…")));
    m_additionsMenu->addAction(makeAction(QStringLiteral("phonePages"),
                                          loadAppString("QuorvelAppD-Phone Page Pictures…", "Phone Page Pictures…")));
    m_additionsMenu->addAction(makeAction(QStringLiteral("importAssistant"),
                                          loadAppString("QuorvelAppD-Import Assistant…", "Import Assistant…")));
    m_additionsMenu->addAction(makeAction(QStringLiteral("exportAssistant"),
                                          loadAppString("QuorvelAppD-Export Assistant…", "Export Assistant…")));

    QMenu *help = menuBar()->addMenu(loadAppString("QuorvelAppD-&Help", "&Help"));
    QAction *about = makeAction(QStringLiteral("about"), loadAppString("QuorvelAppD-About Quorvel", "About Quorvel"));
    about->setMenuRole(QAction::AboutRole);
    help->addAction(about);
}

void MainWindow::buildToolBar()
{
    QToolBar *bar = addToolBar(loadAppString("QuorvelAppD-Toolbar", "Toolbar"));
    bar->setObjectName(QStringLiteral("mainToolBar"));
    bar->setMovable(false);
    bar->addWidget(new QLabel(loadAppString("QuorvelAppD-Display:", "Display:") + QLatin1Char(' '), bar));
    m_modeGroup = new QButtonGroup(this);
    m_modeGroup->setExclusive(true);
    const QStringList labels = {loadAppString("QuorvelAppD-Desktop", "Desktop"), loadAppString("QuorvelAppD-Mobile", "Mobile"),
                                loadAppString("QuorvelAppD-Bookcase", "Bookcase")};
    for (int mode = 0; mode < labels.size(); ++mode) {
        auto *button = new QToolButton(bar);
        button->setText(labels.at(mode));
        button->setCheckable(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        m_modeGroup->addButton(button, mode);
        bar->addWidget(button);
    }
    m_modeGroup->button(int(DisplayMode::Desktop))->setChecked(true);
    // Bookcase mode needs bookcases, which this program does not make yet.
    m_modeGroup->button(int(DisplayMode::Bookcase))->setEnabled(false);
    connect(m_modeGroup, &QButtonGroup::idClicked, this, [this](int id) { setDisplayMode(DisplayMode(id)); });

    auto *spacer = new QWidget(bar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    bar->addAction(action(QStringLiteral("previewInBrowser")));
    bar->addAction(action(QStringLiteral("publish")));
}

void MainWindow::buildPanes()
{
    m_designSettings = new FlashTemplateOutlineDelegate;
    m_designSettings->setObjectName(QStringLiteral("designSettings"));
    m_bookmarks = new BookmarkOutlineView;
    m_bookmarks->setObjectName(QStringLiteral("bookmarkOutline"));

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("designTabView"));
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setElideMode(Qt::ElideNone);
    auto *bookmarkPage = new QWidget;
    bookmarkPage->setObjectName(QStringLiteral("Bookmark"));
    bookmarkPage->setProperty("identifier", QStringLiteral("Bookmark"));
    auto *bookmarkLayout = new QVBoxLayout(bookmarkPage);
    bookmarkLayout->setContentsMargins(0, 0, 0, 0);
    bookmarkLayout->addWidget(m_bookmarks);
    addTab(QStringLiteral("Bookmark"), loadAppString("QuorvelAppD-Bookmarks", "Bookmarks"), bookmarkPage);
    m_bookmarkTabs = new BookmarkTabsView;
    m_bookmarkTabs->setObjectName(QStringLiteral("bookmarkTabs"));
    m_bookmarkTabs->setProperty("identifier", QStringLiteral("bookmarkTabs"));
    addTab(QStringLiteral("bookmarkTabs"), loadAppString("QuorvelAppD-Bookmark Tabs", "Bookmark Tabs"), m_bookmarkTabs);
    // The furnishing tabs: each later feature puts its page in place of the placeholder.
    struct PlaceholderTab
    {
        QString identifier, label, purpose;
    };
    const PlaceholderTab placeholders[] = {
        {QStringLiteral("scene"), loadAppString("QuorvelAppD-Scene", "Scene"),
         loadAppString("QuorvelAppD-Pictures around the book.", "Pictures around the book.")},
        {QStringLiteral("background"), loadAppString("QuorvelAppD-Background", "Background"),
         loadAppString("QuorvelAppD-The picture behind the book.", "The picture behind the book.")},
        {QStringLiteral("theme"), loadAppString("QuorvelAppD-Theme", "Theme"),
         loadAppString("QuorvelAppD-Themes of the template.", "Themes of the template.")},
        {QStringLiteral("plugin"), loadAppString("QuorvelAppD-Plug-in", "Plug-in"),
         loadAppString("QuorvelAppD-Plug-ins that run inside the book.", "Plug-ins that run inside the book.")},
        {QStringLiteral("assistant"), loadAppString("QuorvelAppD-Assistant", "Assistant"),
         loadAppString("QuorvelAppD-A speaking assistant that reads the book aloud.",
                       "A speaking assistant that reads the book aloud.")},
        {QStringLiteral("mobile theme"), loadAppString("QuorvelAppD-Mobile Theme", "Mobile Theme"),
         loadAppString("QuorvelAppD-Themes of the phone version.", "Themes of the phone version.")},
        {QStringLiteral("mobile template"), loadAppString("QuorvelAppD-Mobile Template", "Mobile Template"),
         loadAppString("QuorvelAppD-The template of the phone version.", "The template of the phone version.")},
    };
    for (const PlaceholderTab &tab : placeholders)
        addTab(tab.identifier, tab.label, placeholderPage(tab.identifier, tab.purpose));

    auto *side = new QSplitter(Qt::Vertical);
    side->setObjectName(QStringLiteral("sideSplitter"));
    side->addWidget(paneHeader(loadAppString("QuorvelAppD-Design Settings", "Design Settings"), m_designSettings));
    side->addWidget(m_tabs);
    side->setStretchFactor(0, 3);
    side->setStretchFactor(1, 2);

    m_preview = new PreviewPane;
    m_preview->setObjectName(QStringLiteral("previewPane"));

    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->setObjectName(QStringLiteral("mainSplitter"));
    m_splitter->addWidget(side);
    m_splitter->addWidget(m_preview);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({420, 1020});
    // The splitter sits in a plain holder: the drop target laid over the window may not
    // become a pane of the splitter.
    auto *holder = new QWidget;
    holder->setObjectName(QStringLiteral("centralHolder"));
    auto *holderLayout = new QVBoxLayout(holder);
    holderLayout->setContentsMargins(0, 0, 0, 0);
    holderLayout->addWidget(m_splitter);
    setCentralWidget(holder);
}

void MainWindow::addTab(const QString &identifier, const QString &label, QWidget *page)
{
    m_tabPages.insert(identifier, page);
    m_tabLabels.insert(identifier, label);
    m_tabs->addTab(page, label);
}

QStringList MainWindow::tabIdentifiers()
{
    return {QStringLiteral("Bookmark"), QStringLiteral("bookmarkTabs"), QStringLiteral("scene"),
            QStringLiteral("background"), QStringLiteral("theme"), QStringLiteral("plugin"),
            QStringLiteral("assistant"), QStringLiteral("mobile theme"), QStringLiteral("mobile template")};
}

QStringList MainWindow::tabsForMode(DisplayMode mode)
{
    switch (mode) {
    case DisplayMode::Desktop:
        return {QStringLiteral("Bookmark"), QStringLiteral("bookmarkTabs"), QStringLiteral("scene"),
                QStringLiteral("background"), QStringLiteral("theme"), QStringLiteral("plugin"),
                QStringLiteral("assistant")};
    case DisplayMode::Mobile:
        return {QStringLiteral("Bookmark"), QStringLiteral("mobile theme"), QStringLiteral("mobile template")};
    case DisplayMode::Bookcase:
        return {QStringLiteral("background"), QStringLiteral("theme")};
    }
    return {};
}

QWidget *MainWindow::tabPage(const QString &identifier) const
{
    return m_tabPages.value(identifier);
}

bool MainWindow::isTabShown(const QString &identifier) const
{
    QWidget *page = m_tabPages.value(identifier);
    return page && m_tabs->indexOf(page) >= 0;
}

void MainWindow::setDisplayMode(DisplayMode mode)
{
    if (QAbstractButton *button = m_modeGroup->button(int(mode)))
        button->setChecked(true);
    if (mode == m_mode)
        return;
    m_mode = mode;
    applyDisplayMode();
    emit displayModeChanged(mode);
}

QAbstractButton *MainWindow::displayModeButton(DisplayMode mode) const
{
    return m_modeGroup->button(int(mode));
}

void MainWindow::applyDisplayMode()
{
    // The tabs of other modes leave the bar rather than being hidden in it: the bar's
    // scroll arrows go by its last tab, and a hidden last tab left them disabled.
    const QStringList shown = tabsForMode(m_mode);
    QWidget *current = m_tabs->currentWidget();
    int at = 0;
    for (const QString &identifier : tabIdentifiers()) {
        QWidget *page = m_tabPages.value(identifier);
        const int index = m_tabs->indexOf(page);
        if (!shown.contains(identifier)) {
            if (index >= 0)
                m_tabs->removeTab(index);
            continue;
        }
        if (index < 0)
            m_tabs->insertTab(at, page, m_tabLabels.value(identifier));
        ++at;
    }
    m_tabs->setCurrentWidget(m_tabs->indexOf(current) >= 0 ? current : m_tabPages.value(shown.value(0)));
}

void MainWindow::setWorkerRunning(const QObject *worker, bool running)
{
    if (running)
        m_workers.insert(worker);
    else
        m_workers.remove(worker);
}

void MainWindow::setBookOpen(bool open)
{
    for (const char *name : {"save", "saveAs", "closeBook", "publish", "publishPlugin", "previewInBrowser"})
        if (QAction *a = action(QString::fromLatin1(name)))
            a->setEnabled(open);
}

void MainWindow::setStatusText(const QString &text)
{
    m_status->setText(text);
}

QString MainWindow::statusText() const
{
    return m_status->text();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (isWorkerRunning() || (m_shouldClose && !m_shouldClose())) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
