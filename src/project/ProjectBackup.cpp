#include "project/ProjectBackup.h"

#include "foundation/AppUtility.h"
#include "project/BookDocument.h"
#include "project/BookProject.h"
#include "project/ProjectMessages.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace {

const QString kPartialPrefix = QStringLiteral(".partial-");

bool isBackupName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{8}-\\d{6}-\\d{3}(-\\d+)?$"));
    return pattern.match(name).hasMatch();
}

// The project file inside a backup folder.
QString projectIn(const QString &folder)
{
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.") + BookProject::fileExtension()}, QDir::Files, QDir::Name);
    return files.isEmpty() ? QString() : QDir(folder).filePath(files.first());
}

// A title that can be a file name.
QString fileNameFor(const QString &title)
{
    QString name = title.trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("Book") : name.left(120);
}

} // namespace

ProjectBackup::ProjectBackup(const QString &folder, int keep)
    : m_folder(folder.isEmpty() ? defaultFolder() : folder), m_keep(std::max(1, keep))
{
}

QString ProjectBackup::defaultFolder()
{
    return AppUtility::userAppExtraDataPath(QStringLiteral("Backup"));
}

QString ProjectBackup::backup(const BookDocument &document, ProjectResult *result)
{
    const auto fail = [&](const ProjectResult &r) {
        if (result)
            *result = r;
        return QString();
    };
    if (!QDir().mkpath(m_folder))
        return fail(ProjectResult::failure(ProjectError::WriteFailed, ProjectMessages::folderMissing(m_folder)));

    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QString name = stamp;
    for (int n = 2; QFileInfo::exists(QDir(m_folder).filePath(name)); ++n)
        name = stamp + QLatin1Char('-') + QString::number(n);
    const QString partial = QDir(m_folder).filePath(kPartialPrefix + name);
    const QString finished = QDir(m_folder).filePath(name);
    if (!QDir().mkpath(partial))
        return fail(ProjectResult::failure(ProjectError::WriteFailed, ProjectMessages::folderMissing(partial)));

    const QString fileName = fileNameFor(document.title()) + QLatin1Char('.') + BookProject::fileExtension();
    ProjectResult r = BookProject::saveCopy(document, QDir(partial).filePath(fileName));
    if (!r.ok() || !QDir().rename(partial, finished)) {
        removeTree(partial);
        if (r.ok())
            r = ProjectResult::failure(ProjectError::WriteFailed,
                                       ProjectMessages::cannotWrite(finished, QStringLiteral("it is incomplete")));
        return fail(r);
    }
    if (result)
        *result = r;
    prune();
    return QDir(finished).filePath(fileName);
}

QStringList ProjectBackup::backups() const
{
    QStringList names = QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    QStringList files;
    for (const QString &name : std::as_const(names)) {
        if (!isBackupName(name))
            continue;
        const QString file = projectIn(QDir(m_folder).filePath(name));
        if (!file.isEmpty())
            files << file;
    }
    return files;
}

QString ProjectBackup::latestBackup() const
{
    return backups().value(0);
}

void ProjectBackup::prune()
{
    const QStringList all = backups();
    for (qsizetype i = m_keep; i < all.size(); ++i)
        removeTree(QFileInfo(all.at(i)).absolutePath());
    // Backups that stopped half way (the program ended during one) are dropped once
    // they are clearly not being written any more.
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-3600);
    for (const QFileInfo &info : QDir(m_folder).entryInfoList({kPartialPrefix + QLatin1Char('*')},
                                                              QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        if (info.lastModified() < old)
            removeTree(info.absoluteFilePath());
}

std::unique_ptr<BookDocument> ProjectBackup::restore(const QString &backupFile, ProjectResult *result)
{
    const auto fail = [&](const ProjectResult &r) -> std::unique_ptr<BookDocument> {
        if (result)
            *result = r;
        return nullptr;
    };
    const QFileInfo info(backupFile);
    if (!info.isFile())
        return fail(ProjectResult::failure(ProjectError::FileNotFound, ProjectMessages::fileNotFound(backupFile)));
    auto document = std::make_unique<BookDocument>();
    const QString copy = createUniqueTempFolder();
    if (copy.isEmpty())
        return fail(
            ProjectResult::failure(ProjectError::WriteFailed, ProjectMessages::folderMissing(QDir::tempPath())));
    document->m_temporaryRoots << copy; // removed with the document unless it is saved
    QStringList leftOut;
    if (!AppUtility::copyFromPath(info.absolutePath(), copy, true, QString(), &leftOut))
        return fail(ProjectResult::failure(
            ProjectError::WriteFailed, ProjectMessages::cannotRead(backupFile, QStringLiteral("it cannot be copied"))));
    ProjectResult r = BookProject::openInto(QDir(copy).filePath(info.fileName()), *document);
    r.warnings << leftOut;
    if (result)
        *result = r;
    if (!r.ok())
        return nullptr;
    document->detachFromProject();
    return document;
}
