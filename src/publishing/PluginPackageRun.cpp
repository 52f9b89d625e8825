#include "publishing/PluginPackageRun.h"

#include "foundation/AppLog.h"
#include "online/UploadBookDelegate.h"
#include "output/OutputOperation.h"
#include "output/packages/PublishPlugin.h"

#include <QMutexLocker>

const QString PluginPackageRun::kBookName = QStringLiteral("book");

PluginPackageRun::PluginPackageRun() : m_upload(std::make_shared<UploadBookDelegate>())
{
    m_pool.setMaxThreadCount(1);
}

PluginPackageRun::~PluginPackageRun()
{
    m_stop.store(true);
    m_pool.clear();
    if (m_job)
        m_job->cancel();
    m_upload->cancel();
    m_pool.waitForDone();
}

bool PluginPackageRun::isConverted(int status)
{
    return (status & UploadBookDelegate::kFinished) && !(status & UploadBookDelegate::kFailed);
}

bool PluginPackageRun::samePageSettings(const ConvertParament &a, const ConvertParament &b)
{
    return a.strTitle() == b.strTitle() && a.strKeywords() == b.strKeywords()
           && a.strDecription() == b.strDecription() && a.strScripts() == b.strScripts();
}

void PluginPackageRun::convertBook(const ConvertParament &record)
{
    // Running from now on, so that a package started at once waits for this book.
    m_upload->setConvertStatus(UploadBookDelegate::kRunning);
    m_converted = record;
    m_hasConverted = true;
    m_job = m_makeBook ? m_makeBook(record) : nullptr;
    const std::shared_ptr<OutputOperation> job = m_job;
    const std::shared_ptr<UploadBookDelegate> upload = m_upload;
    m_pool.start([job, upload] {
        if (!job) {
            AppLog::shared().log(QStringLiteral("book conversion for upload: no book to convert"));
            upload->setConvertStatus(UploadBookDelegate::kRunning | UploadBookDelegate::kFinished
                                     | UploadBookDelegate::kFailed);
            return;
        }
        job->convertForUpload(*upload, kBookName);
    });
}

bool PluginPackageRun::publish(const Package &package)
{
    if (m_publishing)
        return false;
    m_publishing = true;
    m_outcome.store(int(Outcome::None));
    if (!m_hasConverted || !samePageSettings(m_converted, package.record))
        convertBook(package.record);

    // The writer is made here and handed everything it needs; the worker reads nothing else.
    auto plugin = std::make_shared<PublishPlugin>();
    plugin->setConvertPara(package.record);
    plugin->setStrWidth(package.width);
    plugin->setStrHeight(package.height);
    plugin->setStrVersion(package.version);
    plugin->setStrID(package.id);
    plugin->setBookFolder(UploadBookDelegate::bookFolder(kBookName));
    plugin->setBookPage(kBookName + QStringLiteral(".html"));
    plugin->setStopFlag(&m_stop);
    m_plugin = plugin;
    m_pool.start([this, package, plugin, upload = m_upload] { writePackage(package, plugin, *upload); });
    return true;
}

void PluginPackageRun::cancel()
{
    m_stop.store(true);
    if (m_job)
        m_job->cancel();
    m_upload->cancel();
    // What was converted may be half a book: the next package converts it again, with
    // a conversion status of its own.
    m_hasConverted = false;
    m_upload = std::make_shared<UploadBookDelegate>();
    if (!m_publishing)
        m_stop.store(false);
}

void PluginPackageRun::writePackage(const Package &package, const std::shared_ptr<PublishPlugin> &plugin,
                                    UploadBookDelegate &upload)
{
    if (m_stop.load())
        return finish(Outcome::Cancelled);
    // The conversion before this task has ended: only a converted book is packed.
    int status = upload.convertStatus();
    if (!isConverted(status)) {
        // The failure is told by this run's outcome; an owner need not tell it again.
        if (status & UploadBookDelegate::kFailed)
            upload.setConvertStatus(8);
        finish(Outcome::BookMissing);
        return;
    }
    QMutexLocker lock(&OutputOperation::uploadFolderLock());
    bool written = false;
    switch (package.kind.code()) {
    case OutputKind::Joomla:
        written = plugin->publishJoomlaPlugin();
        break;
    case OutputKind::Drupal:
        written = plugin->publishDrupalPlugin();
        break;
    default:
        written = plugin->publishWordPressPlugin();
        break;
    }
    if (m_stop.load())
        return finish(Outcome::Cancelled); // the writer keeps an older package as it was
    finish(written ? Outcome::Written : Outcome::Failed, written ? QString() : plugin->errorString());
}

void PluginPackageRun::finish(Outcome outcome, const QString &failure)
{
    {
        QMutexLocker lock(&m_mutex);
        m_failure = failure;
    }
    m_outcome.store(int(outcome));
}

PluginPackageRun::Outcome PluginPackageRun::takeOutcome()
{
    const auto outcome = Outcome(m_outcome.exchange(int(Outcome::None)));
    if (outcome != Outcome::None) {
        m_publishing = false;
        m_stop.store(false); // the worker has stopped: a later package runs
    }
    return outcome;
}

QString PluginPackageRun::failure() const
{
    QMutexLocker lock(&m_mutex);
    return m_failure;
}
