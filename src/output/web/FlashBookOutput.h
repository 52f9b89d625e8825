#pragma once
// The output engine: writes a book as a web folder, a ZIP archive of one, or a
// sealed package (docs/book-format.md has the layout the viewer reads).
//
//   FlashBookOutput output(pageSource, tmpl, "/home/ann/Books", "Atlas");
//   output.setHTMLConfig(html);        output.setPdfSearch(search);   ...
//   output.convertBook();              // /home/ann/Books/Atlas.html, files/, mobile/
//   output.zipOutput();                // /home/ann/Books/Atlas.zip
//   output.sealOutput("secret");       // /home/ann/Books/Atlas.fmapp
//
// Each run writes the whole book into a private stage inside the output folder and
// only then moves it into place (replacing an older book of the same name) or packs
// it, so a failed or cancelled run leaves the output folder as it was. Runs block and
// throw WorkerException: with the cancellation reason "Cancel publish!" after stop(),
// or with a message for the user. Use an object for one run at a time, on any one
// thread; the template and the other models handed in must not change meanwhile (the
// output job hands it copies). The page source's passes make missing pictures in its
// workspace; pictures that exist are copied as they are.
//
// Progress: ConvertBookNotification (ConvertBookInfo.h) when isProcess is set.

#include "output/web/HTMLConfigInfo.h"
#include "output/BookParts.h"
#include "online/OnlineUserInf.h"
#include "pages/FlashPage.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>

class BookMarkTabs;
class BookSecurity;
struct BasicHtmlContent;
class FlashOutline;
class FlashPageSource;
class FlashPagesAnnotations;
class FlashTemplate;
class GenerateAssistant;
class PDFSearch;
class QObject;
struct ViewerPage;

class FlashBookOutput
{
public:
    FlashBookOutput(std::shared_ptr<FlashPageSource> pageSource, std::shared_ptr<const FlashTemplate> flashTemplate,
                    const QString &saveToFolder, const QString &toName);
    virtual ~FlashBookOutput();
    FlashBookOutput(const FlashBookOutput &) = delete;
    FlashBookOutput &operator=(const FlashBookOutput &) = delete;

    QString saveToFolder() const { return m_folder; }
    QString toName() const { return m_name; }

    // The book's parts (bookmarks, tabs, protection, narration, scene, plug-in bundle,
    // downloads, annotations, cover), read while the book is written: hand in a copy
    // (BookParts::copy()) when the originals may change meanwhile.
    void setBookParts(const BookParts &parts) { m_parts = parts; }
    const BookParts &bookParts() const { return m_parts; }
    // Single parts, into the same value.
    void setBookSecurity(std::shared_ptr<BookSecurity> security) { m_parts.setSecurity(std::move(security)); }
    void setPluginBundleName(const QString &name) { m_parts.setPluginBundleName(name); }
    void setDownloadCfgWorkspace(const QString &workspace) { m_parts.setDownloadWorkspace(workspace); }
    void setFlashPagesAnnotations(std::shared_ptr<FlashPagesAnnotations> a) { m_parts.setAnnotations(std::move(a)); }
    void setFlashOutline(std::shared_ptr<FlashOutline> outline) { m_parts.setOutline(std::move(outline)); }
    // The selected scene (its files are copied into files/scenes/).
    void setFlashScenesManagement(const BookScene &scene) { m_parts.setScene(scene); }
    void setGenerateAssistant(std::shared_ptr<GenerateAssistant> assistant) { m_parts.setAssistant(std::move(assistant)); }
    void setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs) { m_parts.setBookmarkTabs(std::move(tabs)); }

    // The phone template; the bundled phone template with its defaults when none is set.
    void setMobileTemplate(std::shared_ptr<const FlashTemplate> tmpl) { m_mobileTemplate = std::move(tmpl); }
    void setIsBookcaseMode(bool on) { m_isBookcaseMode = on; }
    void setUserInfo(const OnlineUserInf &user) { m_userInfo = user; }
    // The picture of the home page's share image (the book cover or the publish
    // dialog's cover shot); the book's cover when none is set.
    void setShotFile(const QString &file) { m_shotFile = file; }
    void setHTMLConfig(const HTMLConfigInfo &config) { m_html = config; }
    void setPdfSearch(std::shared_ptr<const PDFSearch> search) { m_pdfSearch = std::move(search); }
    void setMobileSearch(std::shared_ptr<const PDFSearch> search) { m_mobileSearch = std::move(search); }
    // Whether progress notifications are posted.
    void setIsProcess(bool on) { m_isProcess = on; }
    void setTaskID(const QString &id) { m_taskID = id; }
    // Sender of the progress notifications (compared by observers, never used).
    void setNotificationSender(const QObject *sender) { m_sender = sender; }
    // Whether the phone version is written (also needs a load type other than 2).
    void setOuputTheMobileFiles(bool on) { m_outputMobile = on; }
    bool ouputTheMobileFiles() const { return m_outputMobile; }
    void setIsConverBasicHtml(bool on) { m_basicHtml = on; }
    void setNeedExtInterface(bool on) { m_needExtInterface = on; }
    void setIsHtml5Version(bool on) { m_isHtml5 = on; }

    // A flag of the caller's to stop on (e.g. the output job's), set from any thread;
    // null: the engine's own flag, set by stop().
    void setStopFlag(const std::atomic_bool *stop) { m_externalStop = stop; }
    // For a book nobody changes or takes away (the live preview): the files it carries
    // unchanged from the program's resources (the SWF player) are hard links to them
    // where the file system allows, not copies.
    void setLinksProgramFiles(bool on) { m_linksProgramFiles = on; }
    // What a live preview rebuild may take over from the run before it: where every
    // page's pictures went and the pages' records. A run handed the plan of the run
    // before, which still fits the pages (the same picture files, page box and
    // versions) of a book that is not protected, writes only what design settings make
    // (configurations, home pages, viewer, furnishing files) and leaves the pages, data
    // scripts, scene and sounds as they are, without looking at them: for a change of
    // design settings alone. Null: everything is written.
    struct PagePlan;
    void setPreviousPlan(std::shared_ptr<const PagePlan> plan) { m_previousPlan = std::move(plan); }
    // The plan of the last successful run (null before one).
    std::shared_ptr<const PagePlan> pagePlan() const { return m_plan; }
    // Whether the last run took its pages from the previous plan (wrote only what design
    // settings make).
    bool reusedPages() const { return m_reusedPages; }

    // The viewer configurations the last run wrote into files/config.js and
    // mobile/files/config.js (bookConfig, and the bookmark tabs script after it), for
    // the live preview to give a book on show; empty before a run and for a protected
    // book, whose configuration names encrypted pages.
    struct Configuration
    {
        QJsonObject desktop, mobile; // mobile: empty without a phone version
        QString tabsScript;
    };
    const Configuration &configuration() const { return m_configuration; }

    // Asks a running conversion to stop soon; thread-safe.
    void stop() { m_stop = true; }
    bool isStopped() const;

    // Writes the web book: <folder>/<name>.html, files/ and (unless the load type is 2
    // or the phone version is off) mobile/, replacing those of an older book. The
    // desktop book kinds (FlashBookOutputApp, FlashBookOutputExe) write their package.
    virtual void convertBook();
    // Writes the web book over the one in <folder> as convertBook() does, but in
    // place: files that are the same already are kept, the others written (each
    // whole, under its name only when complete), and what the book no longer has
    // removed. A rebuild thus writes only what changed. For the live preview: a run
    // that fails leaves a book partly updated, which the next run completes.
    void updateBook();
    // Writes the web book as the archive <folder>/<name>.zip (the desktop book kinds:
    // their package in that archive).
    virtual void zipOutput();
    // Writes the web book as a package sealed with password, <folder>/<name>.fmapp
    // (format in SealedPackage.h).
    void sealOutput(const QString &password);
    // Writes the complete web book into an empty folder, for packagers that wrap it.
    void writeBookFolder(const QString &folder);

    // The main file of the last successful run: the home page, the archive or the package.
    QString mainFilePath() const { return m_mainFile; }
    // The top-level entries of the book folder the last run wrote ("<name>.html", "files", "mobile").
    QStringList bookEntries() const { return m_entries; }

    static QString sealedPackageSuffix() { return QStringLiteral("fmapp"); }
    // True when the build carries the SWF player (resources/ruffle/).
    static bool hasSwfPlayer();

protected:
    // Writes the web book into folder (inside the stage), using the stage for work files.
    void writeStagedBook(const class OutputStage &stage, const QString &folder);
    void setMainFilePath(const QString &path) { m_mainFile = path; }
    // The entries of the stage's book folder that packedBook() packs.
    void setBookEntries(const QStringList &entries) { m_entries = entries; }
    // Packs the book entries of the stage's book folder into an archive in the stage.
    QString packedBook(class OutputStage &stage);
    void post(int type, int index, int count) const;
    void checkStop() const;
    // The flag handed to file work: the one given to setStopFlag(), else the own one.
    const std::atomic_bool *stopFlag() const { return m_externalStop ? m_externalStop : &m_stop; }

private:
    struct Book;
    void preparePages();
    // Fails unless the file of a page is a picture the viewer shows (or a movie for a
    // movie page).
    static void checkPageFile(const FlashPagePtr &page, int bookPage);
    void copyPages(Book &book);
    void writeFurnishings(Book &book);
    void writeDataScripts(const QString &filesFolder, const PDFSearch *search) const;
    // The bookmark tabs line of the configuration script; "" without tabs.
    QString tabsScriptText() const;
    void writeShareImage(Book &book);
    void writeMobilePages(Book &book);
    void writeHomePage(Book &book);
    void writeSettings(Book &book);
    void copyScene(Book &book);
    // The SWF player goes into files/lib/ruffle/ of a book whose viewer plays movies.
    void copySwfPlayer(Book &book);
    // The movie of the template's installed preloader ("" for none).
    QString preloaderMovieFile() const;
    void copyPreloaderMovie(Book &book);
    void writeMobileHomePage(Book &book);
    void writeBasicPages(Book &book);
    // library: the viewer library's folder as seen from the home page ("{{LIB}}").
    QString fillHomePage(const QString &templateFile, const QString &shareImage, const QString &firstPage = {},
                         const QString &library = QStringLiteral("files/lib/")) const;
    void writeFirstPageSmall(Book &book);
    QString firstPageInfo(const Book &book) const;
    // The template's viewer folder, and the viewer library unless withLibrary is off.
    void copyViewer(const FlashTemplate &tmpl, const QString &filesFolder, bool withPageFlip, bool withLibrary = true) const;
    bool wantsMobile() const;
    QString bookTitle() const;
    const FlashTemplate &mobileTemplate();

    // Book protection and narration (FlashBookOutputSecurity.cpp). protectStagedBook
    // encrypts the protected pages of the complete book folder; writeNarration puts the
    // spreads' sounds beside the pages and answers whether the book has any.
    void protectStagedBook(const QString &folder);
    bool writeNarration(const QString &folder);
    bool isProtectedBook() const;
    QList<int> protectedPageList() const;
    // The pictures of the protected pages (every size), and the book cover when it
    // shows one of them.
    QStringList protectedPictures() const;
    // Whether file is one of protectedPictures() (the same file or the same bytes).
    bool isProtectedPagePicture(const QString &file) const;
    // Removes from the protected book folder every file outside the pages' folders
    // that holds the bytes of one of protectedPictures() (a furnishing's picture).
    void leaveOutProtectedPictureCopies(const QString &folder) const;
    // file, or what may be shown instead when it is a protected page's picture (the
    // readable cover's thumbnail, or nothing).
    QString sharablePicture(const QString &file) const;
    void leaveOutProtectedPages(BasicHtmlContent &content) const;

    std::shared_ptr<FlashPageSource> m_pageSource;
    std::shared_ptr<const FlashTemplate> m_template;
    std::shared_ptr<const FlashTemplate> m_mobileTemplate;
    QString m_folder;
    QString m_name;

    BookParts m_parts;
    bool m_isBookcaseMode = false;
    OnlineUserInf m_userInfo;
    QString m_shotFile;
    HTMLConfigInfo m_html;
    std::shared_ptr<const PDFSearch> m_pdfSearch;
    std::shared_ptr<const PDFSearch> m_mobileSearch;
    bool m_isProcess = false;
    QString m_taskID;
    const QObject *m_sender = nullptr;
    bool m_outputMobile = true;
    bool m_linksProgramFiles = false;
    bool m_basicHtml = false;
    bool m_needExtInterface = false;
    bool m_isHtml5 = true;

    std::atomic_bool m_stop{false};
    const std::atomic_bool *m_externalStop = nullptr;
    QString m_mainFile;
    QStringList m_entries;
    QString m_stagePath; // the stage of the running writeStagedBook
    std::shared_ptr<const PagePlan> m_previousPlan, m_plan;
    bool m_reusedPages = false; // the last run took its pages from m_previousPlan
    Configuration m_configuration;
};
