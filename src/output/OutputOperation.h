#pragma once
// An output job: writes one book in the kind its ConvertParament asks for, on an
// OperationQueue's worker thread.
//
// Set the properties on the main thread before the job is queued: the template, the
// page source and the other models are copied when they are set, so the job never
// reads what the user goes on editing. Progress is posted as ConvertBookNotification
// with the job's taskID (when isProcess is set); finished() fires once at the end.
//
// status(): 128 while pending or running; 0 the book was written; 1 it failed
// (raiseException() holds the reason, also logged as "publish error:<reason>");
// 2 it was cancelled. projectFilePath(): the published main file, the book folder for
// the web folder kinds without ZIP.
//
// The record's kind (OutputKind) chooses the writer: a web folder (a ZIP archive with
// compressToZip), a ZIP archive, a package sealed with fmappPassword, a macOS
// application <name>.app (FlashBookOutputApp) or a Windows executable <name>.exe
// (FlashBookOutputExe), each in <name>.zip with compressToZip; the WordPress, Joomla
// and Drupal packages <name>.zip are written by convertPlugin (a PublishPlugin with the
// size, version and id; one with its defaults when none is set) from the book
// converted into the per-user upload folder (UploadBookDelegate). A number that names
// no kind fails the job.
//
// The desktop kinds take the title from the record and the version, identifier,
// window sizes and close mode from the record, or the defaults of AppBookDefaults.h
// where the record leaves them empty (the publish dialog fills them from the
// application settings first). An icon file that no longer exists gives the default icon.

#include "batch/ConvertParament.h"
#include "foundation/WorkerException.h"
#include "online/OnlineUserInf.h"
#include "output/BookParts.h"
#include "output/OutputKind.h"
#include "platform/OperationQueue.h"

#include <QMutex>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

class BookMarkTabs;
class BookSecurity;
class FlashOutline;
class FlashPageSource;
class FlashPagesAnnotations;
class FlashTemplate;
class GenerateAssistant;
class FlashBookOutput;
class PDFSearch;
class PublishPlugin;
class UploadBookDelegate;

class OutputOperation : public Operation
{
    Q_OBJECT
public:
    static constexpr int StatusRunning = 128;
    static constexpr int StatusWritten = 0;
    static constexpr int StatusFailed = 1;
    static constexpr int StatusCancelled = 2;

    explicit OutputOperation(QObject *parent = nullptr);
    ~OutputOperation() override;

    // The book's parts; the job keeps a copy of its own (BookParts::copy()).
    void setBookParts(const BookParts &parts) { m_parts = parts.copy(); }
    const BookParts &bookParts() const { return m_parts; }
    // Single parts, copied into the job's value.
    void setFlashPagesAnnotations(const FlashPagesAnnotations *annotations);
    void setFlashOutline(const FlashOutline *outline);
    void setFlashScenesManagement(const BookScene &scene) { m_parts.setScene(scene); }
    void setBookmarkTabs(const BookMarkTabs *tabs);
    void setGenerateAssistant(std::shared_ptr<GenerateAssistant> assistant);
    void setPluginBundleName(const QString &name) { m_parts.setPluginBundleName(name); }
    void setDownloadCfgWorkspace(const QString &workspace) { m_parts.setDownloadWorkspace(workspace); }
    void setBookSecurity(std::shared_ptr<BookSecurity> security);

    void setFlashPageSource(const FlashPageSource *source);
    std::shared_ptr<FlashPageSource> flashPageSource() const { return m_pageSource; }
    void setFlashTmpl(const FlashTemplate *tmpl);
    std::shared_ptr<const FlashTemplate> flashTmpl() const { return m_template; }
    void setPdfSearch(const PDFSearch *search);
    std::shared_ptr<const PDFSearch> pdfSearch() const { return m_pdfSearch; }
    void setMobileSearch(const PDFSearch *search);
    std::shared_ptr<const PDFSearch> mobileSearch() const { return m_mobileSearch; }
    void setFmappPassword(const QString &password) { m_fmappPassword = password; }
    QString fmappPassword() const { return m_fmappPassword; }
    void setMobileTemplate(const FlashTemplate *tmpl);
    std::shared_ptr<const FlashTemplate> mobileTemplate() const { return m_mobileTemplate; }
    void setConvertPara(const ConvertParament &parament) { m_parament = parament; }
    ConvertParament convertPara() const { return m_parament; }
    void setConvertPlugin(std::shared_ptr<PublishPlugin> plugin) { m_plugin = std::move(plugin); }
    std::shared_ptr<PublishPlugin> convertPlugin() const { return m_plugin; }
    void setIsBookcaseMode(bool on) { m_isBookcaseMode = on; }
    bool isBookcaseMode() const { return m_isBookcaseMode; }
    void setUserInfo(const OnlineUserInf &user) { m_userInfo = user; }
    OnlineUserInf userInfo() const { return m_userInfo; }
    void setShotFile(const QString &file) { m_shotFile = file; }
    QString shotFile() const { return m_shotFile; }
    void setTaskID(const QString &id) { m_taskID = id; }
    QString taskID() const { return m_taskID; }
    void setIsProcess(bool on) { m_isProcess = on; }
    bool isProcess() const { return m_isProcess; }

    // Converts the book under name into the per-user upload folder with convert (its
    // status tells how it went), outside a queue: the plug-in package dialog converts
    // the book while the user fills in its form. Any thread; cancel() stops it.
    bool convertForUpload(UploadBookDelegate &convert, const QString &name);
    // Held while the upload folder's book is converted or packed: the jobs of the
    // plug-in kinds and the plug-in package dialog share that folder.
    static QMutex &uploadFolderLock();

    // A job cancelled before it began finishes without running: cancelled too.
    int status() const
    {
        const int s = m_status.load();
        return s == StatusRunning && isFinished() ? StatusCancelled : s;
    }
    // The failure of a job whose status is 1.
    std::optional<WorkerException> raiseException() const;
    QString projectFilePath() const;
    // True when the Windows executable kind met file names it could not store.
    bool isFileInfoError() const { return m_fileInfoError.load(); }

protected:
    void main() override;
    void cancelled() override;
    // Records the outcome; also for stand-in engines of tests.
    void finishWith(int status, const QString &projectFile, std::optional<WorkerException> failure = std::nullopt);

private:
    void run();
    void configure(FlashBookOutput &output);
    void writeApplication(const QString &folder, const QString &name);
    void writeExecutable(const QString &folder, const QString &name);
    void writePluginPackage(OutputKind kind, const QString &folder);
    bool convertBook(UploadBookDelegate &convert, const QString &name, std::optional<WorkerException> *failure);
    void checkStop() const;
    void postProgress(int type, int index, int count);

    std::shared_ptr<FlashPageSource> m_pageSource;
    std::shared_ptr<const FlashTemplate> m_template;
    std::shared_ptr<const FlashTemplate> m_mobileTemplate;
    std::shared_ptr<const PDFSearch> m_pdfSearch;
    std::shared_ptr<const PDFSearch> m_mobileSearch;
    BookParts m_parts;
    QString m_fmappPassword;
    ConvertParament m_parament;
    std::shared_ptr<PublishPlugin> m_plugin;
    bool m_isBookcaseMode = false;
    OnlineUserInf m_userInfo;
    QString m_shotFile;
    QString m_taskID;
    bool m_isProcess = false;

    std::atomic_bool m_stop{false};
    std::atomic_int m_status{StatusRunning};
    std::atomic_bool m_fileInfoError{false};
    mutable QMutex m_mutex; // guards the results below
    std::optional<WorkerException> m_exception;
    QString m_projectFilePath;
};
