#include "online/UploadBookDelegate.h"

#include "foundation/AppLog.h"
#include "foundation/AppUtility.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

QString UploadBookDelegate::uploadFolder()
{
    return AppUtility::userAppExtraDataPath(QStringLiteral("Upload"));
}

QString UploadBookDelegate::bookFolder(const QString &name)
{
    return QDir(uploadFolder()).filePath(name);
}

QString UploadBookDelegate::errorString() const
{
    QMutexLocker lock(&m_mutex);
    return m_error;
}

bool UploadBookDelegate::finish(bool ok, const QString &error)
{
    {
        QMutexLocker lock(&m_mutex);
        m_error = error;
    }
    if (!ok)
        AppLog::shared().log(QStringLiteral("book conversion for upload: %1").arg(error));
    m_status.store(ok ? kRunning | kFinished : kRunning | kFinished | kFailed);
    return ok;
}

bool UploadBookDelegate::ConvertBookForUpload(const QString &name)
{
    m_status.store(kRunning);
    m_stop.store(false);
    {
        QMutexLocker lock(&m_mutex);
        m_error.clear();
    }
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')))
        return finish(false, QStringLiteral("\"%1\" cannot name a book folder").arg(name));
    if (!m_writer)
        return finish(false, QStringLiteral("no book writer"));

    const QString folder = uploadFolder();
    if (!QDir().mkpath(folder))
        return finish(false, QStringLiteral("cannot make %1").arg(folder));
    QTemporaryDir stage(folder + QStringLiteral("/.convert-XXXXXX"));
    if (!stage.isValid())
        return finish(false, QStringLiteral("cannot write into %1").arg(folder));

    bool written = false;
    try {
        written = m_writer(stage.path(), name, m_stop);
    } catch (const std::exception &e) {
        return finish(false, QStringLiteral("the book writer failed: %1").arg(QString::fromUtf8(e.what())));
    }
    if (!written || m_stop.load())
        return finish(false, m_stop.load() ? QStringLiteral("stopped") : QStringLiteral("the book was not written"));

    // Swap the new book in; the old one goes only once the new one is in place.
    const QString target = bookFolder(name);
    const QString previous = stage.path() + QStringLiteral(".previous");
    const bool hadPrevious = QFileInfo::exists(target);
    if (hadPrevious && !QDir().rename(target, previous))
        return finish(false, QStringLiteral("cannot replace %1").arg(target));
    if (!QDir().rename(stage.path(), target)) {
        if (hadPrevious)
            QDir().rename(previous, target);
        return finish(false, QStringLiteral("cannot move the book to %1").arg(target));
    }
    if (hadPrevious)
        removeTree(previous);
    return finish(true);
}
