#include "shell/ui/QuorvelAppDelegate.h"

#include "foundation/AppLog.h"
#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/SafeFiles.h"
#include "foundation/SettingsStore.h"
#include "furnishings/FlashOutline.h"
#include "pages/FlashPage.h"
#include "pages/FlashPageSource.h"
#include "output/security/BookSecurity.h"
#include "pages/PageImport.h"
#include "platform/NotificationCenter.h"
#include "platform/WorkerPool.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/Workspace.h"
#include "output/OutputOperation.h"
#include "project/AppSettings.h"
#include "project/BookCoverPage.h"
#include "project/BookDocument.h"
#include "project/BookProject.h"
#include "project/PreferencesSettings.h"
#include "project/ProjectBackup.h"
#include "project/RecentProjectItem.h"
#include "publishing/PhonePageRun.h"
#include "publishing/SWFSnapDelegate.h"
#include "publishing/BookCoverSettings.h"
#include "publishing/BookCoverWorkFiles.h"
#include "publishing/ui/BookCoverDelegate.h"
#include "publishing/ui/BookSecurityDelegate.h"
#include "publishing/ui/DownloadConfigDelegate.h"
#include "publishing/ui/ImageBrowser.h"
#include "publishing/ui/InputUserPassword.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "publishing/ui/PublishCommand.h"
#include "publishing/ui/PublishPluginDelegate.h"
#include "shell/BookImportTask.h"
#include "shell/ui/BatchWindow.h"
#include "platform/ui/QvWindow.h"
#include "shell/BookSession.h"
#include "shell/EnginePreviewBuilder.h"
#include "shell/PreviewAddress.h"
#include "shell/ui/AssistantTab.h"
#include "shell/ui/BookmarkOutlineView.h"
#include "shell/ui/BookmarkTabsView.h"
#include "shell/ui/ImportPDFDialog.h"
#include "shell/ui/ImportProgressDialog.h"
#include "shell/ui/FurnishingTabs.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PreviewPane.h"
#include "shell/ui/ProjectPanel.h"
#include "templates/FlashTemplate.h"
#include "templates/TemplateNotifications.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"
#include "templates/ui/TemplateEditorRegistry.h"

#include <QAction>
#include <QDir>
#include <QFutureWatcher>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>
#include <QtConcurrent>

namespace {

// Where the file panels start; the home folder when there is no Documents folder (the
// panel would otherwise start wherever the program was started from).
QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

QuorvelAppDelegate::QuorvelAppDelegate(QObject *parent)
    : QObject(parent)
{
    m_previewLoop.setBuilder(std::make_shared<EnginePreviewBuilder>([this] {
        EnginePreviewBuilder::Book book;
        if (m_session) {
            book.document = &m_session->document();
            book.title = m_session->displayName();
        }
        return book;
    }));
    // Files chosen for design settings are copied beside the book's other unsaved
    // files when its template has no folder of its own; saving brings them into the project.
    TemplateEditorRegistry::shared().setResourceFolderMaker([this](FlashTemplate &tmpl) {
        if (!m_session)
            return false;
        BookDocument &document = m_session->document();
        if (&tmpl != document.flashTmpl() && &tmpl != document.mobileTemplate())
            return false;
        const QString folder = document.createTemporaryWorkspace();
        if (folder.isEmpty())
            return false;
        tmpl.setExternResourcePath(folder);
        return true;
    });
    connect(&m_previewLoop, &PreviewLoop::previewReady, this,
            [this](const QString &, const PreviewSettings &settings) { onPreviewReady(settings); });
    connect(&m_previewLoop, &PreviewLoop::previewFailed, this, &QuorvelAppDelegate::onPreviewFailed);
    connect(&m_previewLoop, &PreviewLoop::buildStarted, this, [this] {
        if (m_window)
            m_window->setStatusText(loadAppString("QuorvelAppD-Updating the preview…", "Updating the preview…"));
    });
    m_repeatTimer.setInterval(kRepeatInterval);
    connect(&m_repeatTimer, &QTimer::timeout, this, &QuorvelAppDelegate::onRepeatTimer);

    // Every design change of the book (the settings outline, an editor, undo) rebuilds
    // the preview; the undo stacks record the change themselves.
    NotificationCenter::defaultCenter()->addObserver(this, FlashTmplProValueChangedNotification, nullptr,
                                                     [this](const Notification &) { onTemplateValueChanged(); });
}

QuorvelAppDelegate::~QuorvelAppDelegate()
{
    TemplateEditorRegistry::shared().setResourceFolderMaker({});
    NotificationCenter::defaultCenter()->removeObserver(this);
    applicationWillTerminate();
    delete m_window.data();
}

MainWindow *QuorvelAppDelegate::mainWindow() const
{
    return m_window;
}

// ---------------------------------------------------------------------------------
// Start and end

bool QuorvelAppDelegate::applicationDidFinishLaunching(const StartupRequest &request)
{
    // The phone pages' snapshot helper is put in place (or updated) while the window
    // opens; a snapshot run asked for meanwhile waits for it.
    m_helperInstall = QtConcurrent::run(WorkerPool::pool(), [] { SWFSnapDelegate::installZuziDORExe(); });

    // What programs that ended without tidying up left in the temporary area goes.
    removeStaleTemporaryFolders();
    m_previewFolder = createUniqueTempFolder();
    m_previewLoop.setPreviewFolder(m_previewFolder);
    m_server.setDocumentRoot(m_previewFolder);
    if (!m_server.start())
        AppLog::shared().log(QStringLiteral("Error:preview server: %1").arg(m_server.errorString()));

    m_window = new MainWindow;
    m_window->setShouldClose([this] { return m_quitting || applicationShouldTerminate(); });
    m_window->previewPane()->showPlaceholder(
        loadAppString("QuorvelAppD-Open or import a book to see it here.", "Open or import a book to see it here."));
    connectActions();
    AddBookCoverFeature();
    // Book security: the editor of the design setting, and the question a protected
    // project asks before it opens.
    BookSecurityDelegate::registerSecurityEditor(TemplateEditorRegistry::shared());
    BookProject::setOpenCheck(&InputUserPassword::checkProjectAccess);
    // The files the book offers for download: the editor of the design setting.
    DownloadConfigDelegate::registerDownloadEditor(TemplateEditorRegistry::shared(), [this] {
        return m_session ? &m_session->document() : nullptr;
    });
    m_publishCommand = new PublishCommand(m_window, nullptr, this);
    m_publishCommand->setDialogPreparer([this](PublishBookWindowDelegate &dialog) { prepareOutputWindow(dialog); });
    m_publishCommand->setAdditionsMenuSwitch([this](bool enabled) { setAdditionsMenuEnabled(enabled); });
    connect(m_publishCommand, &PublishCommand::publishDialogDidEnd, this, &QuorvelAppDelegate::publishBookDidEnd);
    setCommandAvailable(QStringLiteral("publishPlugin"), true);
    m_furnishingTabs = new FurnishingTabs(m_window, this);
    setCommandAvailable(QStringLiteral("scenesMaker"), true);
    // Narration: the assistant tab and its commands.
    m_assistantTab = new AssistantTab(m_window, [this] { return m_session.get(); }, this);
    connect(this, &QuorvelAppDelegate::bookOpened, m_assistantTab, &AssistantTab::bookChanged);
    connect(this, &QuorvelAppDelegate::bookClosed, m_assistantTab, &AssistantTab::bookChanged);
    for (const char *command : {"manageRecords", "importAssistant", "exportAssistant"})
        setCommandAvailable(QString::fromLatin1(command), true);
    m_phonePageRun = new PhonePageRun(this);
    connect(m_phonePageRun, &PhonePageRun::snapped, this, &QuorvelAppDelegate::phonePagesSnapped);
    setCommandAvailable(QStringLiteral("phonePages"), true);
    setAdditionsMenuEnabled(true);
    updateWindowTitle();
    m_window->show();
    m_repeatTimer.start();

    bool opened = false;
    if (request.demo)
        opened = openDemoBook();
    else if (request.file.kind != BookFileRequest::Kind::None)
        opened = openFiles(request.file.files);
    if (opened)
        return true;
    if (runProjectPanel())
        return true;
    m_quitting = true;
    return false;
}

bool QuorvelAppDelegate::applicationShouldTerminate()
{
    if (m_quitting)
        return true;
    // A batch conversion is left to end or be cancelled in its window.
    if (m_batchWindow && m_batchWindow->conversion().isRunning()) {
        LogAlert::alertMessage(loadAppString("QuorvelAppD-A batch conversion is under way.", "A batch conversion is under way."),
                               loadAppString("QuorvelAppD-Cancel it in the batch window first.",
                                             "Cancel it in the batch window first."));
        return false;
    }
    if (!confirmCloseBook())
        return false;
    m_quitting = true;
    return true;
}

void QuorvelAppDelegate::applicationWillTerminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    m_repeatTimer.stop();
    m_previewLoop.stopAndWait();
    m_previewLoop.clearPreviewChangeFlag();
    m_helperInstall.waitForFinished(); // never leave a half-made install behind
    if (m_bookCoverDelegate)
        m_bookCoverDelegate->renderQueue().cancel();

    AppSettings::shareInstance()->saveSettings();
    PreferencesSettings::shareInstance()->saveSettings();
    SettingsStore::sync();

    if (m_session) {
        ProjectBackup backups;
        ProjectResult result;
        if (m_session->hasPages() && m_session->backup(backups, &result).isEmpty())
            AppLog::shared().log(QStringLiteral("Error:backup failed: %1").arg(result.message));
    }
    m_server.stop();
    if (!m_previewFolder.isEmpty())
        removeTree(m_previewFolder);
    if (m_window)
        m_window->designSettings()->setFlashTemplate(nullptr);
    if (m_furnishingTabs)
        m_furnishingTabs->setDocument(nullptr);
    m_session.reset();
}

// ---------------------------------------------------------------------------------
// Window

void QuorvelAppDelegate::connectActions()
{
    const auto on = [this](const char *name, auto slot) {
        connect(m_window->action(QString::fromLatin1(name)), &QAction::triggered, this, slot);
    };
    on("newFromPDF", &QuorvelAppDelegate::onNewFromPDF);
    on("newFromPictures", &QuorvelAppDelegate::onNewFromPictures);
    on("openProject", &QuorvelAppDelegate::onOpenProject);
    on("batchConversion", &QuorvelAppDelegate::onBatchConversion);
    on("save", &QuorvelAppDelegate::onSaveProject);
    on("saveAs", &QuorvelAppDelegate::onSaveProjectAs);
    on("closeBook", &QuorvelAppDelegate::onCloseBook);
    on("quit", &QuorvelAppDelegate::onQuit);
    on("publish", &QuorvelAppDelegate::onConvertToFlipBook);
    on("publishPlugin", &QuorvelAppDelegate::onPublishPlugin);
    on("previewInBrowser", &QuorvelAppDelegate::onPreviewInBrowser);
    on("about", &QuorvelAppDelegate::onAbout);
    on("scenesMaker", &QuorvelAppDelegate::onOpenScenesMaker);
    on("manageRecords", &QuorvelAppDelegate::onManageRecords);
    on("phonePages", &QuorvelAppDelegate::onReviewPhonePages);
    on("importAssistant", &QuorvelAppDelegate::onImportAssistant);
    on("exportAssistant", &QuorvelAppDelegate::onExportAssistant);
    connect(m_window->recentMenu(), &QMenu::aboutToShow, this, &QuorvelAppDelegate::fillRecentMenu);
    fillRecentMenu();

    connect(m_window.data(), &MainWindow::displayModeChanged, this, &QuorvelAppDelegate::onDisplayModeChanged);
    connect(m_window->bookmarkOutline(), &BookmarkOutlineView::pageActivated, m_window->previewPane(),
            &PreviewPane::goToPage);
    NotificationCenter::defaultCenter()->addObserver(this, DragReportNotification, m_window->dropTarget(),
                                                     [this](const Notification &) {
                                                         if (m_window)
                                                             onFilesDropped(m_window->dropTarget()->dragResult());
                                                     });
}

void QuorvelAppDelegate::fillRecentMenu()
{
    QMenu *menu = m_window->recentMenu();
    menu->clear();
    const QList<RecentProjectItem> items = RecentProjectItem::recentProjects();
    for (const RecentProjectItem &item : items) {
        if (item.isPublishedBook() && &item != &items.first() && !(&item - 1)->isPublishedBook())
            menu->addSeparator(); // the published books below the projects
        QAction *action = menu->addAction(item.displayTitle());
        action->setToolTip(QDir::toNativeSeparators(item.path()));
        action->setData(item.path());
        connect(action, &QAction::triggered, this, [this, item] { openRecent(item); });
    }
    if (items.isEmpty())
        menu->addAction(loadAppString("QuorvelAppD-No Recent Projects", "No Recent Projects"))->setEnabled(false);
}

void QuorvelAppDelegate::updateWindowTitle()
{
    if (!m_window)
        return;
    const QString app = loadAppString(QStringLiteral("$APP_NAME$"));
    if (!m_session) {
        m_window->setWindowTitle(app);
        m_window->setWindowModified(false);
        return;
    }
    m_window->setWindowTitle(QStringLiteral("%1[*] — %2").arg(m_session->displayName(), app));
    m_window->setWindowModified(m_session->isModified());
}

void QuorvelAppDelegate::setAdditionsMenuEnabled(bool enabled)
{
    m_additionsEnabled = enabled;
    if (!m_window)
        return;
    for (const QString &name : MainWindow::additionsActionNames())
        if (QAction *action = m_window->action(name))
            action->setEnabled(enabled && m_availableCommands.contains(name));
    // Every item a feature adds to the menu later follows the switch too.
    for (QAction *action : m_window->additionsMenu()->actions())
        if (!action->isSeparator() && !MainWindow::additionsActionNames().contains(action->objectName()))
            action->setEnabled(enabled);
}

void QuorvelAppDelegate::setCommandAvailable(const QString &actionName, bool available)
{
    if (available)
        m_availableCommands.insert(actionName);
    else
        m_availableCommands.remove(actionName);
    if (m_window && actionName == QLatin1String("publishPlugin"))
        m_window->action(actionName)->setVisible(available);
    setAdditionsMenuEnabled(m_additionsEnabled);
}

// ---------------------------------------------------------------------------------
// The open book

void QuorvelAppDelegate::installSession(std::unique_ptr<BookSession> session)
{
    m_previewLoop.stopAndWait();
    m_previewLoop.clearPreviewChangeFlag();
    m_window->designSettings()->setFlashTemplate(nullptr);
    m_session = std::move(session); // the book before goes, with its temporary folders
    ++m_bookGeneration;
    BookSecurity::setShareInstance(m_session->document().parts().security());
    // The toolbar icon window of this book works in this book's own folder.
    m_window->designSettings()->setChangeIconWorkspace(m_session->changeIconWorkspace());
    bindTemplate();
    m_window->bookmarkOutline()->setOutline(m_session->document().flashOutline());
    m_window->bookmarkTabsView()->setBookmarkTabs(m_session->document().parts().bookmarkTabs(),
                                                  [this] { return m_session ? m_session->pageCount() : 1; });
    m_furnishingTabs->setDocument(&m_session->document());
    m_window->setBookOpen(true);
    m_window->previewPane()->clearMessage();
    m_window->previewPane()->forgetAnswer(); // the password of the book before opens nothing here
    if (const auto &answer = m_session->document().accessAnswer())
        m_window->previewPane()->keepAnswer(answer->user, answer->password); // asked when it was opened
    if (!m_window->previewPane()->isShowingBook())
        m_window->previewPane()->showPlaceholder(loadAppString("QuorvelAppD-Preparing the preview…", "Preparing the preview…"));
    m_window->setStatusText(loadAppString("QuorvelAppD-%1 pages", "%1 pages").arg(m_session->pageCount()));
    updateWindowTitle();
    m_newBook = true;
    m_previewLoop.setPreviewChangeFlag(PreviewChange::All);
    m_previewLoop.buildNow(); // the first preview at once
    emit bookOpened();
}

void QuorvelAppDelegate::bindTemplate()
{
    if (!m_session) {
        m_window->designSettings()->setFlashTemplate(nullptr);
        return;
    }
    BookDocument &document = m_session->document();
    m_window->designSettings()->setFlashTemplate(
        m_window->displayMode() == MainWindow::DisplayMode::Mobile ? document.mobileTemplate() : document.flashTmpl());
}

bool QuorvelAppDelegate::closeBook()
{
    if (!m_session)
        return true;
    if (!confirmCloseBook())
        return false;
    m_previewLoop.stopAndWait();
    m_previewLoop.clearPreviewChangeFlag();
    m_window->designSettings()->setFlashTemplate(nullptr);
    m_furnishingTabs->setDocument(nullptr);
    m_window->designSettings()->setChangeIconWorkspace(QString());
    m_session.reset();
    ++m_bookGeneration;
    BookSecurity::setShareInstance(nullptr);
    m_window->bookmarkOutline()->clearOutline();
    m_window->bookmarkTabsView()->setBookmarkTabs(nullptr);
    m_window->setBookOpen(false);
    m_window->previewPane()->clearMessage();
    m_window->previewPane()->closeBook();
    m_window->previewPane()->showPlaceholder(
        loadAppString("QuorvelAppD-Open or import a book to see it here.", "Open or import a book to see it here."));
    m_window->setStatusText(QString());
    updateWindowTitle();
    emit bookClosed();
    return true;
}

bool QuorvelAppDelegate::confirmCloseBook()
{
    if (!m_session || !m_session->isModified())
        return true;
    AlertRequest request;
    request.messageText = loadAppString("QuorvelAppD-Do you want to save the changes made to the book \"%1\"?",
                               "Do you want to save the changes made to the book \"%1\"?")
                              .arg(m_session->displayName());
    request.informativeText = loadAppString("QuorvelAppD-Your changes will be lost if you don't save them.",
                                   "Your changes will be lost if you don't save them.");
    request.buttons = {loadAppString("QuorvelAppD-Save", "Save"), loadAppString("QuorvelAppD-Don't Save", "Don't Save"),
                       loadAppString(QStringLiteral("Cancel"), QStringLiteral("Cancel"))};
    request.style = AlertStyle::Warning;
    request.defaultButton = 0;
    request.escapeButton = 2;
    switch (LogAlert::runAlert(request, m_window)) {
    case 0: return saveBook(false);
    case 1: return true;
    default: return false;
    }
}

bool QuorvelAppDelegate::saveBook(bool askForPlace)
{
    if (!m_session)
        return false;
    QString target;
    if (askForPlace || m_session->isUntitled()) {
        QvPanel panel;
        panel.setIsOpenPanel(false);
        panel.setOwer(m_window);
        panel.setTitle(loadAppString("QuorvelAppD-Save the book as a project", "Save the book as a project"));
        panel.setTypes({BookProject::fileExtension()});
        panel.setNameFieldStringValue(m_session->suggestedFileName());
        panel.setDirectory(m_session->isUntitled() ? documentsFolder()
                                                   : QFileInfo(m_session->projectFilePath()).absolutePath());
        target = panel.runAndWait().value(0);
        if (target.isEmpty())
            return false;
    }
    // Saving moves the page pictures: no rebuild may read them meanwhile.
    m_previewLoop.stopAndWait();
    const ProjectResult result = target.isEmpty() ? m_session->save() : m_session->saveAs(target);
    updateWindowTitle();
    if (!result.ok()) {
        LogAlert::alertMessage(loadAppString("QuorvelAppD-The book could not be saved.", "The book could not be saved."),
                               result.message);
        return false;
    }
    if (!result.warnings.isEmpty())
        LogAlert::alertMessage(loadAppString("QuorvelAppD-The book was saved.", "The book was saved."),
                               result.warnings.join(QLatin1Char('\n')));
    m_window->setStatusText(loadAppString("QuorvelAppD-Saved \"%1\"", "Saved \"%1\"")
                                .arg(QDir::toNativeSeparators(m_session->projectFilePath())));
    return true;
}

void QuorvelAppDelegate::onTemplateValueChanged()
{
    if (!m_session)
        return;
    m_session->setModified(true);
    updateWindowTitle();
    setPreviewChangeFlag(PreviewChange::Settings);
}

void QuorvelAppDelegate::setPreviewChangeFlag(int bits)
{
    if (m_session)
        m_previewLoop.setPreviewChangeFlag(bits);
}

// ---------------------------------------------------------------------------------
// Opening and importing

QString QuorvelAppDelegate::demoBookPath()
{
    return AppResources::resourcePath(QStringLiteral("demo/Demo.pdf"));
}

bool QuorvelAppDelegate::openFiles(const QStringList &paths)
{
    const BookFileRequest request = BookFileRequest::fromPaths(paths);
    switch (request.kind) {
    case BookFileRequest::Kind::Project: return openProject(request.files.first());
    case BookFileRequest::Kind::Pdf: return importPDF(request.files.first());
    case BookFileRequest::Kind::Pictures: return importPictures(request.files);
    case BookFileRequest::Kind::Unsupported:
        LogAlert::alertMessage(loadAppString("QuorvelAppD-These files cannot be made into a book.",
                                    "These files cannot be made into a book."),
                               loadAppString("QuorvelAppD-Quorvel opens projects (.qvprj), PDF files and pictures.",
                                    "Quorvel opens projects (.qvprj), PDF files and pictures."));
        return false;
    case BookFileRequest::Kind::None: return false;
    }
    return false;
}

bool QuorvelAppDelegate::openProject(const QString &projectFile)
{
    if (m_session && QFileInfo(m_session->projectFilePath()) == QFileInfo(projectFile))
        return true; // already open
    if (!confirmCloseBook())
        return false;
    ProjectResult result;
    std::unique_ptr<BookSession> session = BookSession::open(projectFile, &result);
    if (!session) {
        if (result.error != ProjectError::AccessRefused || !result.message.isEmpty())
            LogAlert::alertMessage(loadAppString("QuorvelAppD-The project could not be opened.",
                                        "The project could not be opened."),
                                   result.message);
        return false;
    }
    installSession(std::move(session));
    if (!result.warnings.isEmpty())
        LogAlert::alertMessage(loadAppString("QuorvelAppD-The project was opened.", "The project was opened."),
                               result.warnings.join(QLatin1Char('\n')));
    return true;
}

namespace {

// Import failures the import dialog can mend (it comes back with the message).
bool dialogCanMend(PageError error)
{
    return error == PageError::PasswordNeeded || error == PageError::WrongPassword || error == PageError::BadPageRange;
}

} // namespace

bool QuorvelAppDelegate::importPDF(const QString &pdfFile)
{
    const QString failed = loadAppString("QuorvelAppD-The PDF could not be imported.", "The PDF could not be imported.");
    ImportParament parament;
    parament.sourceFiles = {pdfFile};
    parament.iQualityLevel = AppSettings::shareInstance()->importQualityLevel();
    // A PDF that cannot be read is said before anything is asked: the open book and
    // its changes stay as they are.
    if (const PageResult readable = PageImport::check(parament); !readable.ok() && !dialogCanMend(readable.error)) {
        LogAlert::alertMessage(failed, readable.message);
        return false;
    }
    QString message;
    bool closeConfirmed = false;
    for (;;) {
        ImportPDFDialog dialog;
        dialog.setParament(parament);
        dialog.setMessage(message);
        if (dialog.runModal() != 1)
            return false;
        parament = dialog.parament();
        AppSettings::shareInstance()->setImportQualityLevel(parament.iQualityLevel);
        PageResult failure = PageImport::check(parament);
        if (failure.ok()) {
            // Only an import that can go ahead may cost the open book its changes.
            if (!closeConfirmed && !confirmCloseBook())
                return false;
            closeConfirmed = true;
            if (runImport(parament, QFileInfo(pdfFile).fileName(), &failure))
                return true;
        }
        if (failure.error == PageError::Cancelled)
            return false;
        if (dialogCanMend(failure.error)) {
            message = failure.message;
            continue;
        }
        LogAlert::alertMessage(failed, failure.message);
        return false;
    }
}

bool QuorvelAppDelegate::importPictures(const QStringList &pictures)
{
    if (pictures.isEmpty())
        return false;
    ImportParament parament;
    parament.sourceFiles = BookFileRequest::naturalOrder(pictures);
    parament.iQualityLevel = AppSettings::shareInstance()->importQualityLevel();
    const QString title = pictures.size() == 1
        ? QFileInfo(pictures.first()).fileName()
        : loadAppString("QuorvelAppD-%1 pictures", "%1 pictures").arg(pictures.size());
    const QString failed = loadAppString("QuorvelAppD-The pictures could not be imported.",
                                         "The pictures could not be imported.");
    PageResult failure = PageImport::check(parament);
    if (failure.ok()) {
        if (!confirmCloseBook())
            return false;
        if (runImport(parament, title, &failure))
            return true;
    }
    if (failure.error != PageError::Cancelled)
        LogAlert::alertMessage(failed, failure.message);
    return false;
}

bool QuorvelAppDelegate::openDemoBook()
{
    if (!confirmCloseBook())
        return false;
    ImportParament parament;
    parament.sourceFiles = {demoBookPath()};
    parament.iQualityLevel = 1;
    PageResult failure;
    if (runImport(parament, loadAppString("QuorvelAppD-the demo book", "the demo book"), &failure))
        return true;
    if (failure.error != PageError::Cancelled)
        LogAlert::alertMessage(loadAppString("QuorvelAppD-The demo book could not be opened.", "The demo book could not be opened."),
                               failure.message);
    return false;
}

bool QuorvelAppDelegate::runImport(const ImportParament &parament, const QString &title, PageResult *failure)
{
    QString error;
    std::unique_ptr<BookSession> session = BookSession::createForImport(&error);
    if (!session) {
        *failure = PageResult::failure(PageError::WriteFailed, error);
        return false;
    }
    const FlashTemplate *tmpl = session->document().flashTmpl();
    BookImportTask task(parament, session->importWorkspace());
    task.setNormalPageSize(QSize(tmpl->propertyValue(QStringLiteral("pageWidth"), QStringLiteral("1080")).toInt(),
                                 tmpl->propertyValue(QStringLiteral("pageHeight"), QStringLiteral("1440")).toInt()));
    {
        ImportProgressDialog progress(&task, title);
        progress.runModal();
    }
    // The window may have been closed from outside: the import still ends first.
    task.stop();
    task.waitForFinished();
    if (!task.result().ok() || !task.pageImport().pageSource()) {
        *failure = task.result().ok() ? PageResult::failure(PageError::Cancelled, QString()) : task.result();
        return false;
    }
    session->adoptImport(task.pageImport(), parament);
    installSession(std::move(session));
    return true;
}

QStringList QuorvelAppDelegate::choosePictures()
{
    QvPanel panel;
    panel.setOwer(m_window);
    panel.setTitle(loadAppString("QuorvelAppD-Choose the pictures of the book", "Choose the pictures of the book"));
    panel.setAllowsMultipleSelection(true);
    panel.setTypes(BookFileRequest::pictureExtensions());
    panel.setDirectory(documentsFolder());
    return panel.runAndWait();
}

bool QuorvelAppDelegate::runProjectPanel()
{
    for (;;) {
        ProjectPanel panel;
        const int choice = panel.runModal();
        bool opened = false;
        switch (choice) {
        case ProjectPanel::NewFromPDF: {
            QvPanel open;
            open.setOwer(m_window);
            open.setTitle(loadAppString("QuorvelAppD-Choose a PDF", "Choose a PDF"));
            open.setTypes({QStringLiteral("pdf")});
            open.setDirectory(documentsFolder());
            const QString pdf = open.runAndWait().value(0);
            opened = !pdf.isEmpty() && importPDF(pdf);
            break;
        }
        case ProjectPanel::NewFromPictures:
            opened = importPictures(choosePictures());
            break;
        case ProjectPanel::OpenProject: {
            QvPanel open;
            open.setOwer(m_window);
            open.setTitle(loadAppString("QuorvelAppD-Open a project", "Open a project"));
            open.setTypes({BookProject::fileExtension()});
            open.setDirectory(documentsFolder());
            const QString project = open.runAndWait().value(0);
            opened = !project.isEmpty() && openProject(project);
            break;
        }
        case ProjectPanel::OpenRecent:
            opened = openRecent(panel.recentItem());
            break;
        case ProjectPanel::OpenDemo:
            opened = openDemoBook();
            break;
        case ProjectPanel::DroppedFiles:
            opened = openFiles(panel.droppedFiles());
            break;
        default:
            return false;
        }
        if (opened)
            return true;
    }
}

void QuorvelAppDelegate::onFilesDropped(const QStringList &paths)
{
    // After the drop has ended: the program the files came from waits for its end, and
    // opening them may ask questions and run an import.
    QTimer::singleShot(0, this, [this, paths] { openFiles(paths); });
}

// ---------------------------------------------------------------------------------
// The preview

void QuorvelAppDelegate::onRepeatTimer()
{
    m_previewLoop.tick();
}

void QuorvelAppDelegate::onPreviewReady(const PreviewSettings &settings)
{
    if (!m_window || !m_session)
        return;
    PreviewPane *pane = m_window->previewPane();
    pane->clearMessage();
    pane->setWrittenSettings(settings);
    if (m_newBook || !m_server.isListening()) {
        reloadPreview();
        return;
    }
    // The book on show takes the new settings in place when only settings changed, and
    // is loaded again otherwise.
    const quint64 book = m_bookGeneration;
    pane->applySettings(m_server.baseUrl(), [this, book](bool applied) {
        if (!m_window || !m_session || book != m_bookGeneration)
            return;
        if (!applied) {
            reloadPreview();
            return;
        }
        m_window->setStatusText(loadAppString("QuorvelAppD-%1 pages", "%1 pages").arg(m_session->pageCount()));
        emit previewShown(m_generation);
    });
}

void QuorvelAppDelegate::reloadPreview()
{
    ++m_generation;
    if (!m_server.isListening() && !m_server.start()) {
        onPreviewFailed(m_server.errorString());
        return;
    }
    m_window->previewPane()->showBook(m_server.baseUrl(), m_window->displayMode() == MainWindow::DisplayMode::Mobile,
                                      m_generation, !m_newBook);
    m_newBook = false;
    m_window->setStatusText(loadAppString("QuorvelAppD-%1 pages", "%1 pages").arg(m_session->pageCount()));
    emit previewShown(m_generation);
}

void QuorvelAppDelegate::onPreviewFailed(const QString &message)
{
    if (!m_window)
        return;
    const QString shown = loadAppString("QuorvelAppD-The preview could not be updated: %1", "The preview could not be updated: %1")
                              .arg(message);
    AppLog::shared().log(QStringLiteral("Error:%1").arg(shown));
    m_window->previewPane()->showMessage(shown);
    if (!m_window->previewPane()->isShowingBook())
        m_window->previewPane()->showPlaceholder(QString());
    m_window->setStatusText(QString());
}

void QuorvelAppDelegate::onDisplayModeChanged()
{
    bindTemplate();
    if (m_session && m_window->previewPane()->isShowingBook() && !m_previewLoop.isBuilding()) {
        ++m_generation;
        m_window->previewPane()->showBook(m_server.baseUrl(),
                                          m_window->displayMode() == MainWindow::DisplayMode::Mobile, m_generation);
        emit previewShown(m_generation);
    }
}

// ---------------------------------------------------------------------------------
// Commands

void QuorvelAppDelegate::onNewFromPDF()
{
    QvPanel panel;
    panel.setOwer(m_window);
    panel.setTitle(loadAppString("QuorvelAppD-Choose a PDF", "Choose a PDF"));
    panel.setTypes({QStringLiteral("pdf")});
    panel.setDirectory(documentsFolder());
    const QString pdf = panel.runAndWait().value(0);
    if (!pdf.isEmpty())
        importPDF(pdf);
}

void QuorvelAppDelegate::onNewFromPictures()
{
    importPictures(choosePictures());
}

void QuorvelAppDelegate::onOpenProject()
{
    QvPanel panel;
    panel.setOwer(m_window);
    panel.setTitle(loadAppString("QuorvelAppD-Open a project", "Open a project"));
    panel.setTypes({BookProject::fileExtension()});
    panel.setDirectory(m_session && !m_session->isUntitled() ? QFileInfo(m_session->projectFilePath()).absolutePath()
                                                             : documentsFolder());
    const QString project = panel.runAndWait().value(0);
    if (!project.isEmpty())
        openProject(project);
}

bool QuorvelAppDelegate::openRecent(const RecentProjectItem &item)
{
    if (!item.isPublishedBook())
        return openProject(item.path());
    if (item.isWebBook())
        Workspace::openWebPage(QUrl::fromLocalFile(item.bookPage()));
    else
        Workspace::selectFile(item.path());
    return false;
}

bool QuorvelAppDelegate::onSaveProject()
{
    return saveBook(false);
}

bool QuorvelAppDelegate::onSaveProjectAs()
{
    return saveBook(true);
}

void QuorvelAppDelegate::onCloseBook()
{
    if (!closeBook())
        return;
    if (!runProjectPanel())
        onQuit();
}

void QuorvelAppDelegate::onQuit()
{
    if (m_window)
        m_window->close();
}

namespace {

QStringList phonePagePaths(const BookSession *session)
{
    QStringList paths;
    if (const std::shared_ptr<FlashPageSource> source = session ? session->document().pageSource() : nullptr)
        for (const FlashPagePtr &page : source->phonePages())
            paths << (page ? page->pageFilePath() : QString());
    return paths;
}

} // namespace

void QuorvelAppDelegate::onConvertToFlipBook()
{
    if (!m_session || !m_publishCommand)
        return;
    m_phonePagesBeforePublish = phonePagePaths(m_session.get());
    m_publishCommand->onConvertToFlipBook();
}

void QuorvelAppDelegate::publishBookDidEnd()
{
    // Phone pictures made and reviewed while publishing belong to the book from now on:
    // it has changed, so that saving keeps them and quitting asks first.
    if (!m_session || phonePagePaths(m_session.get()) == m_phonePagesBeforePublish)
        return;
    m_session->setModified(true);
    updateWindowTitle();
    setPreviewChangeFlag(PreviewChange::Pages);
}

void QuorvelAppDelegate::prepareOutputWindow(PublishBookWindowDelegate &dialog)
{
    if (!m_session)
        return;
    // The dialog hands these to its output job, which copies them when the run starts;
    // the phone pages it makes go into the book's own page source.
    BookDocument &document = m_session->document();
    dialog.setIsBookcaseMode(false);
    dialog.setFlashTmpl(document.flashTmpl());
    dialog.setFlashPageSource(document.pageSource().get());
    dialog.setBookParts(document.parts());
    dialog.setPdfSearch(document.pdfSearch().get());
    dialog.setMobileSearch(document.mobileSearch().get());
    dialog.setMobileTemplate(document.mobileTemplate());
    if (!document.parts().coverFile().isEmpty())
        dialog.setShotFile(document.parts().coverFile());
}

BatchWindow *QuorvelAppDelegate::batchWindow() const
{
    return m_batchWindow;
}

void QuorvelAppDelegate::onBatchConversion()
{
    if (!m_batchWindow) {
        m_batchWindow = new BatchWindow(this);
        m_batchWindow->center();
    }
    m_batchWindow->showWindow();
    m_batchWindow->window()->raise();
    m_batchWindow->window()->activateWindow();
}

void QuorvelAppDelegate::onPublishPlugin()
{
    if (!m_session)
        return;
    // The book is converted in the background while the user fills in the dialog; the
    // jobs copy the book on the main thread, which the modal dialog keeps unchanged.
    BookDocument &document = m_session->document();
    PublishRun::Setup book;
    book.pageSource = document.pageSource().get();
    book.tmpl = document.flashTmpl();
    book.mobileTemplate = document.mobileTemplate();
    book.pdfSearch = document.pdfSearch().get();
    book.mobileSearch = document.mobileSearch().get();
    book.parts = document.parts();
    book.shotFile = document.parts().coverFile();
    PublishPluginDelegate dialog;
    dialog.packageRun().setBookMaker([book](const ConvertParament &record) {
        auto job = std::make_shared<OutputOperation>();
        PublishRun::handOverBook(*job, book, record);
        return job;
    });
    AppSettings *settings = AppSettings::shareInstance();
    settings->setOutputMobileVersion(1);
    settings->saveSettings();
    dialog.convertBook();
    dialog.window();
    dialog.center();
    dialog.runModal();
}

void QuorvelAppDelegate::onPreviewInBrowser()
{
    if (!m_session || !m_server.isListening() || m_generation == 0)
        return;
    const QUrl book = PreviewAddress::bookUrl(m_server.baseUrl(), m_window->displayMode() == MainWindow::DisplayMode::Mobile,
                                              m_generation, m_window->previewPane()->currentPage());
    Workspace::openWebPage(book);
}

void QuorvelAppDelegate::onAbout()
{
    LogAlert::alertMessage(QStringLiteral("%1 %2").arg(loadAppString(QStringLiteral("$APP_NAME$")),
                                                       QStringLiteral(QUORVEL_VERSION)),
                           loadAppString("QuorvelAppD-Turns PDF files and pictures into page-flipping books.",
                                "Turns PDF files and pictures into page-flipping books."));
}

void QuorvelAppDelegate::onOpenScenesMaker()
{
    m_furnishingTabs->openScenesMaker();
}

void QuorvelAppDelegate::onManageRecords()
{
    if (m_assistantTab)
        QTimer::singleShot(100, m_assistantTab, &AssistantTab::showRecordManager);
}

void QuorvelAppDelegate::onReviewPhonePages()
{
    const std::shared_ptr<FlashPageSource> source = m_session ? m_session->document().pageSource() : nullptr;
    if (!source || source->pageCount() == 0 || !m_phonePageRun || m_phonePageRun->isRunning())
        return;
    const QStringList pictures = PhonePageRun::phonePictures(*source);
    bool complete = pictures.size() >= source->pageCount();
    for (const QString &picture : pictures)
        complete = complete && QFileInfo(picture).isFile();
    if (complete) {
        reviewPhonePages(pictures);
        return;
    }
    // Pages without a picture get one first; the window goes on meanwhile, but keeps
    // its Additions closed and refuses to close until the pictures are there.
    SWFSnapDelegate::saveSWFSnapFlashTrustPath();
    const QSizeF size = PhonePageRun::pictureSize(m_session->document().flashTmpl(),
                                                  AppSettings::shareInstance()->importQualityLevel());
    if (!m_phonePageRun->start(PhonePageRun::pageFiles(*source), size)) {
        LogAlert::alertMessage(loadAppString("QuorvelAppD-The phone page pictures cannot be made.",
                                             "The phone page pictures cannot be made."),
                               loadAppString("QuorvelAppD-No temporary folder could be made for them.",
                                             "No temporary folder could be made for them."));
        return;
    }
    m_phonePageBook = m_bookGeneration;
    setAdditionsMenuEnabled(false);
    m_window->setWorkerRunning(m_phonePageRun, true);
    m_window->setStatusText(loadAppString(QStringLiteral("Generating page for mobile"), QStringLiteral("Generating page for mobile")));
}

void QuorvelAppDelegate::phonePagesSnapped(const QStringList &made)
{
    if (m_window) {
        m_window->setWorkerRunning(m_phonePageRun, false);
        m_window->setStatusText(QString());
    }
    setAdditionsMenuEnabled(true);
    const std::shared_ptr<FlashPageSource> source = m_session ? m_session->document().pageSource() : nullptr;
    if (!source || m_phonePageBook != m_bookGeneration) { // another book is open now
        m_phonePageRun->finish({});
        return;
    }
    // The pictures the book has stay; the new ones fill the places without one.
    QStringList pictures = PhonePageRun::phonePictures(*source);
    for (int i = 0; i < made.size(); ++i) {
        if (i >= pictures.size())
            pictures << made.at(i);
        else if (!QFileInfo(pictures.at(i)).isFile())
            pictures[i] = made.at(i);
    }
    reviewPhonePages(pictures);
}

void QuorvelAppDelegate::reviewPhonePages(const QStringList &pictures)
{
    const std::shared_ptr<FlashPageSource> source = m_session ? m_session->document().pageSource() : nullptr;
    QStringList kept;
    if (source) {
        const QSizeF size = PhonePageRun::pictureSize(m_session->document().flashTmpl(),
                                                      AppSettings::shareInstance()->importQualityLevel());
        ImageBrowser browser;
        browser.setSWFs(PhonePageRun::pageFiles(*source));
        browser.setImages(pictures);
        browser.setPageWidth(size.width());
        browser.setPageHeight(size.height());
        browser.window();
        browser.center();
        if (browser.runModal() == 1) {
            const QStringList before = PhonePageRun::phonePictures(*source);
            PhonePageRun::placePhonePages(*source, browser.images());
            kept = PhonePageRun::phonePictures(*source);
            if (kept != before) {
                m_session->setModified(true);
                updateWindowTitle();
                setPreviewChangeFlag(PreviewChange::Pages);
            }
        }
    }
    m_phonePageRun->finish(kept);
}

void QuorvelAppDelegate::onImportAssistant()
{
    if (m_assistantTab)
        m_assistantTab->importAssistant();
}

void QuorvelAppDelegate::onExportAssistant()
{
    if (m_assistantTab)
        m_assistantTab->exportAssistant();
}

// ---------------------------------------------------------------------------------
// Book cover

void QuorvelAppDelegate::AddBookCoverFeature()
{
    QMenu *menu = m_window->additionsMenu();
    auto *item = new QAction(loadAppString("ProjectPanel-Book Cover", "Book Cover"), m_window);
    item->setObjectName(QStringLiteral("bookCover"));
    menu->insertAction(menu->actions().value(5), item);
    connect(item, &QAction::triggered, this, &QuorvelAppDelegate::onOpenBookCover);
}

void QuorvelAppDelegate::onOpenBookCover()
{
    if (m_bookCoverWorkspace.isEmpty())
        m_bookCoverWorkspace = createUniqueTempFolder();
    const std::shared_ptr<FlashPageSource> source = m_session ? m_session->document().pageSource() : nullptr;
    if (!source || source->phonePages().isEmpty())
        return;
    setAdditionsMenuEnabled(false);
    if (!m_bookCoverDelegate)
        m_bookCoverDelegate = std::make_unique<BookCoverDelegate>();
    m_bookCoverDelegate->setWorkspace(m_bookCoverWorkspace);
    m_bookCoverDelegate->setPages(source->phonePages());
    m_bookCoverDelegate->beginSheet(m_window, [this](int code) { bookCoverSheetDidEnd(code); });
}

void QuorvelAppDelegate::bookCoverSheetDidEnd(int returnCode)
{
    if (returnCode == 1) {
        // The menu comes back once the cover is in the book.
        QTimer::singleShot(0, this, &QuorvelAppDelegate::bookCoverDidChanged);
        return;
    }
    setAdditionsMenuEnabled(true);
}

void QuorvelAppDelegate::bookCoverDone()
{
    setAdditionsMenuEnabled(true);
    emit bookCoverDidChange();
}

void QuorvelAppDelegate::bookCoverDidChanged()
{
    const QString made = m_bookCoverDelegate ? m_bookCoverDelegate->outputFile() : QString();
    if (!m_session || made.isEmpty() || !QFileInfo(made).isFile()) {
        LogAlert::alertMessage(loadAppString("QuorvelAppD-The book cover not found!", "The book cover not found!"), QString());
        setAdditionsMenuEnabled(true);
        return;
    }
    // The book's cover lies in a folder of its own, which its project keeps whole; the
    // dialog goes on changing its working files, never this copy.
    const QString suffix = QFileInfo(made).suffix().isEmpty() ? QStringLiteral("png") : QFileInfo(made).suffix();
    const QString cover = QStringLiteral("%1/cover-%2/cover.%3").arg(m_bookCoverWorkspace).arg(++m_coverSerial).arg(suffix);
    QString error;
    if (!SafeFiles::copyFile(made, cover, &error)) {
        LogAlert::alertMessage(loadAppString("QuorvelAppD-The book cover could not be used.", "The book cover could not be used."),
                               QString(), error);
        setAdditionsMenuEnabled(true);
        return;
    }
    BookDocument &document = m_session->document();
    const std::shared_ptr<FlashPageSource> source = document.pageSource();
    document.parts().setCoverFile(cover);
    // A cover made from a page shows that page: a protected book never shows it
    // where that page is protected.
    const int from = source ? BookCoverPage::sourcePage(*source, m_bookCoverDelegate->tmpinputFile()) : 0;
    document.parts().setCoverPages(from > 0 ? QList<int>{from} : QList<int>());
    m_session->setModified(true);
    updateWindowTitle();

    const qint64 mode = BookCoverSettings::boundedMode(m_bookCoverDelegate->outputMode());
    if (mode == BookCoverSettings::CoverOnly || !source || source->pageCount() == 0) {
        setPreviewChangeFlag(PreviewChange::Settings);
        bookCoverDone();
        return;
    }
    // A remembered index may lie beyond this book: it never reaches the page lists.
    const qint64 index = BookCoverSettings::boundedIndex(mode, m_bookCoverDelegate->outputIndex(), source->pageCount());
    const QString folder = document.createTemporaryWorkspace();
    const int quality = AppSettings::shareInstance()->importQualityLevel();
    const QSize pageBox = source->normalPageSize();
    auto pictures = std::make_shared<BookCoverPage::Pictures>();
    auto *watcher = new QFutureWatcher<PageResult>(this);
    const quint64 book = m_bookGeneration;
    connect(watcher, &QFutureWatcher<PageResult>::finished, this, [=, this] {
        watcher->deleteLater();
        const PageResult result = watcher->result();
        if (!m_session || m_bookGeneration != book) { // the book was closed meanwhile
            bookCoverDone();
            return;
        }
        if (!result.ok() || !BookCoverPage::placePage(m_session->document(), BookCoverPage::Placement(mode), index, *pictures)) {
            LogAlert::alertMessage(loadAppString("QuorvelAppD-The cover could not be made into a page.",
                                                 "The cover could not be made into a page."),
                                   result.message);
            bookCoverDone();
            return;
        }
        // Bookmarks and tabs of the later pages moved on: show them again.
        m_window->bookmarkOutline()->setOutline(m_session->document().flashOutline());
        m_window->bookmarkTabsView()->setBookmarkTabs(m_session->document().parts().bookmarkTabs(),
                                                      [this] { return m_session ? m_session->pageCount() : 1; });
        m_window->setStatusText(loadAppString("QuorvelAppD-%1 pages", "%1 pages").arg(m_session->pageCount()));
        setPreviewChangeFlag(PreviewChange::All);
        bookCoverDone();
    });
    watcher->setFuture(QtConcurrent::run(WorkerPool::pool(), [=] {
        return BookCoverPage::makePictures(cover, folder, quality, pageBox, pictures.get());
    }));
}
