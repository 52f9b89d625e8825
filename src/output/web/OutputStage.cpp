#include "output/web/OutputStage.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "output/web/OutputFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace {

bool entryExists(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool renameEntry(const QString &from, const QString &to, QString *reason = nullptr)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (reason)
        *reason = qt_error_string(errno);
    return false;
}

[[noreturn]] void cannotWrite(const QString &folder, const QString &reason)
{
    OutputFiles::fail(loadAppString(QStringLiteral("BookOutput-The book cannot be written to the folder \"%1\": %2"),
                                    QStringLiteral("The book cannot be written to the folder \"%1\": %2"))
                          .arg(QDir::toNativeSeparators(folder), reason));
}

} // namespace

OutputStage::OutputStage(const QString &outputFolder)
    : m_output(QDir::cleanPath(QFileInfo(outputFolder).absoluteFilePath()))
{
    const QFileInfo info(m_output);
    if (info.exists() && !info.isDir())
        cannotWrite(m_output, loadAppString(QStringLiteral("BookOutput-a file of that name is in the way"),
                                            QStringLiteral("a file of that name is in the way")));
    if (!info.exists()) {
        QString top = m_output;
        while (!QFileInfo(QFileInfo(top).path()).exists() && QFileInfo(top).path() != top)
            top = QFileInfo(top).path();
        if (!QDir().mkpath(m_output))
            cannotWrite(m_output, loadAppString(QStringLiteral("BookOutput-the folder cannot be made"),
                                                QStringLiteral("the folder cannot be made")));
        m_createdOutput = top;
    }
    QTemporaryDir stage(m_output + QStringLiteral("/.quorvel-publish-XXXXXX"));
    if (!stage.isValid()) {
        const QString reason = stage.errorString();
        if (!m_createdOutput.isEmpty())
            removeTree(m_createdOutput);
        cannotWrite(m_output, reason);
    }
    stage.setAutoRemove(false);
    m_path = stage.path();
    if (!QDir().mkdir(bookFolder())) {
        removeTree(m_path);
        if (!m_createdOutput.isEmpty())
            removeTree(m_createdOutput);
        cannotWrite(m_output, QString());
    }
}

OutputStage::~OutputStage()
{
    if (!m_path.isEmpty())
        removeTree(m_path);
    if (!m_committed && !m_createdOutput.isEmpty())
        removeTree(m_createdOutput);
}

void OutputStage::commit(const QStringList &names)
{
    const QString aside = m_path + QStringLiteral("/replaced");
    if (!QDir().mkpath(aside))
        cannotWrite(m_output, QString());
    struct Moved
    {
        QString name;
        bool hadOld;
    };
    QList<Moved> done;
    QString reason;
    auto undo = [&] {
        for (auto it = done.crbegin(); it != done.crend(); ++it) {
            renameEntry(m_output + QLatin1Char('/') + it->name, bookFolder() + QLatin1Char('/') + it->name);
            if (it->hadOld)
                renameEntry(aside + QLatin1Char('/') + it->name, m_output + QLatin1Char('/') + it->name);
        }
    };
    for (const QString &name : names) {
        const QString target = m_output + QLatin1Char('/') + name;
        const bool hadOld = entryExists(target);
        if (hadOld && !renameEntry(target, aside + QLatin1Char('/') + name, &reason)) {
            undo();
            cannotWrite(m_output, reason);
        }
        if (!renameEntry(bookFolder() + QLatin1Char('/') + name, target, &reason)) {
            if (hadOld)
                renameEntry(aside + QLatin1Char('/') + name, target);
            undo();
            cannotWrite(m_output, reason);
        }
        done << Moved{name, hadOld};
    }
    m_committed = true;
}

void OutputStage::commitFile(const QString &stagedFile, const QString &name)
{
    QString reason;
    if (!renameEntry(stagedFile, m_output + QLatin1Char('/') + name, &reason))
        cannotWrite(m_output, reason);
    m_committed = true;
}
