#pragma once
// The application delegate: owner of the open book and of the main window.
//
// It starts the program (applicationDidFinishLaunching: main window, preview server
// and loop, the snapshot helper's install on a worker thread, then the project panel
// or the book asked for on the command line), opens,
// imports, saves and closes books, runs the live preview, and ends the program
// (applicationShouldTerminate asks about unsaved changes; applicationWillTerminate
// saves the settings, backs the book up, stops the work still running and removes
// the preview folder).
//
// The live preview: every change to the book sets bits of the preview-change flag
// (setPreviewChangeFlag; design changes arrive as FlashTmplProValueChangedNotification);
// the 0.33 s timer lets the preview loop rebuild the book on a worker thread into the
// preview folder, which the preview server shows to the web view, on the page the
// reader was on.
//
// Each command has its menu item and one slot here (onOpenScenesMaker(), ...); an item
// is enabled once setCommandAvailable() says that its command works.
//
// Work the window waits for (the plug-in settings editor, phone pictures being made)
// reports through signals; while it runs the window refuses to close.

#include "batch/ImportParament.h"
#include "shell/BookFileRequest.h"
#include "shell/PreviewLoop.h"
#include "shell/PreviewServer.h"

#include <QFuture>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <memory>

class AssistantTab;
class BatchWindow;
class BookCoverDelegate;
class BookSession;
class FurnishingTabs;
class MainWindow;
class PublishBookWindowDelegate;
class PhonePageRun;
class PublishCommand;
class QvPanel;
class RecentProjectItem;
struct PageResult;

class QuorvelAppDelegate : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRepeatInterval = 330; // ms, the periodic checks

    explicit QuorvelAppDelegate(QObject *parent = nullptr);
    ~QuorvelAppDelegate() override;

    // Builds the window and the preview, then opens what the command line asks for, or
    // runs the project panel. False when the user chose to quit there.
    bool applicationDidFinishLaunching(const StartupRequest &request = {});
    // Asks about unsaved changes; false when the user cancelled.
    bool applicationShouldTerminate();
    // The last things before the program ends (safe to call more than once).
    void applicationWillTerminate();

    MainWindow *mainWindow() const;
    BookSession *session() const { return m_session.get(); }
    bool hasBook() const { return m_session != nullptr; }
    PreviewLoop &previewLoop() { return m_previewLoop; }
    PreviewServer &previewServer() { return m_server; }
    QString previewFolder() const { return m_previewFolder; }
    PublishCommand *publishCommand() const { return m_publishCommand; }
    // The pickers of the scene, background, theme and phone template tabs.
    FurnishingTabs *furnishingTabs() const { return m_furnishingTabs; }
    // The start-up install of the phone pages' snapshot helper (on a worker thread).
    QFuture<void> helperInstall() const { return m_helperInstall; }
    // The book cover dialog (null before its first opening).
    BookCoverDelegate *bookCoverDelegate() const { return m_bookCoverDelegate.get(); }
    // The batch window (null before its first opening).
    BatchWindow *batchWindow() const;

    int previewChangeFlag() const { return m_previewLoop.previewChangeFlag(); }
    void setPreviewChangeFlag(int bits);

    // Enables or disables the "Additions" menu items (those whose feature is there).
    void setAdditionsMenuEnabled(bool enabled);
    void setCommandAvailable(const QString &actionName, bool available);

    // Opening books. Each asks about unsaved changes of the open book first, and keeps
    // the open book when the new one cannot be opened. True when a book was opened.
    bool openFiles(const QStringList &paths);
    bool openProject(const QString &projectFile);
    bool importPDF(const QString &pdfFile);
    bool importPictures(const QStringList &pictures);
    bool openDemoBook();
    static QString demoBookPath();
    // Shows the project panel until a book is open; false when the user quit.
    bool runProjectPanel();

    // Closes the open book (after asking about unsaved changes); false when cancelled.
    bool closeBook();

public slots:
    // File
    void onNewFromPDF();
    void onNewFromPictures();
    void onOpenProject();
    // The batch window, opened beside the main window (one for the program).
    void onBatchConversion();
    // A project opens as the book; a published book is shown as one (a web book in
    // the browser, any other kind in its folder). True when a book was opened.
    bool openRecent(const RecentProjectItem &item);
    bool onSaveProject();
    bool onSaveProjectAs();
    void onCloseBook();
    void onQuit();
    // Book
    void onConvertToFlipBook();
    void onPublishPlugin();
    void onPreviewInBrowser();
    void onAbout();
    // Additions: each feature opens its dialog in its slot.
    void onOpenScenesMaker();
    void onManageRecords();
    // The review of the book's phone pictures (made first where a page has none); on OK
    // the reviewed pictures are the book's.
    void onReviewPhonePages();
    void onImportAssistant();
    void onExportAssistant();
    // Book cover: the dialog as a sheet; on OK the cover becomes the book's cover picture
    // and, as chosen, replaces a page or is inserted as one.
    void onOpenBookCover();

    void onRepeatTimer();

signals:
    void bookOpened();
    void bookClosed();
    // The preview shows the book the last rebuild wrote: loaded as generation, or (the
    // same generation again) brought up to date in place when only settings changed.
    void previewShown(int generation);
    // The book took a cover from the cover dialog (and its page, when one was asked for).
    void bookCoverDidChange();

private:
    void connectActions();
    void fillRecentMenu();
    void installSession(std::unique_ptr<BookSession> session);
    void bindTemplate();
    void updateWindowTitle();
    bool confirmCloseBook();
    bool saveBook(bool askForPlace);
    // Runs an import into a new book; on failure *failure says why (Cancelled when the
    // user stopped it).
    bool runImport(const ImportParament &parament, const QString &title, PageResult *failure);
    QStringList choosePictures();
    void onTemplateValueChanged();
    void onFilesDropped(const QStringList &paths);
    void onPreviewReady(const PreviewSettings &settings);
    // Loads the preview book into the view afresh.
    void reloadPreview();
    void onPreviewFailed(const QString &message);
    void onDisplayModeChanged();
    void prepareOutputWindow(PublishBookWindowDelegate &dialog);
    void publishBookDidEnd();
    void AddBookCoverFeature();
    void bookCoverSheetDidEnd(int returnCode);
    void bookCoverDidChanged();
    void bookCoverDone();
    void phonePagesSnapped(const QStringList &made);
    void reviewPhonePages(const QStringList &pictures);

    QPointer<MainWindow> m_window;
    QPointer<BatchWindow> m_batchWindow;
    std::unique_ptr<BookSession> m_session;
    PreviewLoop m_previewLoop;
    PreviewServer m_server;
    QString m_previewFolder;
    QTimer m_repeatTimer;
    QFuture<void> m_helperInstall;
    QStringList m_phonePagesBeforePublish; // to see whether publishing added phone pages
    PublishCommand *m_publishCommand = nullptr;
    FurnishingTabs *m_furnishingTabs = nullptr;
    std::unique_ptr<BookCoverDelegate> m_bookCoverDelegate;
    QString m_bookCoverWorkspace;
    int m_coverSerial = 0;
    PhonePageRun *m_phonePageRun = nullptr;
    quint64 m_phonePageBook = 0; // the book the pictures being made are for
    AssistantTab *m_assistantTab = nullptr;
    QSet<QString> m_availableCommands;
    int m_generation = 0;
    quint64 m_bookGeneration = 0; // counts the books opened; work for a book compares it
    bool m_additionsEnabled = true;
    bool m_terminated = false;
    bool m_newBook = false; // the next preview shows another book: from its first page
    bool m_quitting = false;
};
