#include "publishing/PublishTargets.h"

#include "foundation/AppStrings.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

PublishTargets::PublishTargets(const QString &folder, const QString &name, OutputKind kind, bool compressToZip,
                               int loadType) :
    m_folder(folder), m_name(name), m_kind(kind), m_zip(compressToZip), m_loadType(loadType)
{
}

QString PublishTargets::standardizedFolder(const QString &typed)
{
    QString path = typed.trimmed();
    if (path.isEmpty())
        return {};
    if (path == QLatin1String("~"))
        path = QDir::homePath();
    else if (path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

PublishTargets::FolderState PublishTargets::prepareFolder(const QString &folder)
{
    const auto systemReason = [](int error) { return QString::fromLocal8Bit(std::strerror(error)); };
    const QFileInfo info(folder);
    if (folder.isEmpty())
        return {FolderState::CannotCreate, systemReason(ENOENT)};
    if (info.exists() || info.isSymLink()) {
        if (!info.isDir())
            return {FolderState::NotAFolder, systemReason(ENOTDIR)};
        if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
            return {FolderState::NotWritable, systemReason(errno)};
        return {FolderState::Ready, {}};
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
    if (error || !QFileInfo(folder).isDir())
        return {FolderState::CannotCreate, error ? systemReason(error.value()) : systemReason(ENOTDIR)};
    return {FolderState::Created, {}};
}

QString PublishTargets::nameProblem(const QString &name)
{
    if (name.isEmpty())
        return {};
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/'))
        || name.contains(QChar(0)))
        return loadAppString(QStringLiteral("OutputWindowD-The file name \"%1\" cannot be used."),
                             QStringLiteral("The file name \"%1\" cannot be used."))
            .arg(name);
    return {};
}

QString PublishTargets::target() const
{
    // A plug-in package keeps a name that already ends in ".zip".
    if (m_kind.writer() == OutputKind::Writer::PluginPackage
        && QFileInfo(m_name).suffix().compare(QLatin1String("zip"), Qt::CaseInsensitive) == 0)
        return m_folder + QLatin1Char('/') + m_name;
    return m_folder + QLatin1Char('/') + m_name + QLatin1Char('.') + m_kind.extension(m_zip);
}

bool PublishTargets::packsWebFolder() const
{
    return m_kind.writer() == OutputKind::Writer::WebFolder && m_zip;
}

QString PublishTargets::engineName() const
{
    return packsWebFolder() ? QString::fromLatin1(kArchiveBookName) : m_name;
}

QString PublishTargets::engineArchive() const
{
    return packsWebFolder() ? m_folder + QLatin1Char('/') + QLatin1String(kArchiveBookName) + QStringLiteral(".zip")
                            : QString();
}

QStringList PublishTargets::targets() const
{
    QStringList list {target()};
    const QString archive = engineArchive();
    if (!archive.isEmpty() && archive != list.first())
        list << archive;
    return list;
}

QStringList PublishTargets::companions() const
{
    if (m_kind.writer() != OutputKind::Writer::WebFolder || m_zip)
        return {};
    QStringList list {m_folder + QStringLiteral("/files")};
    if (m_loadType != 2)
        list << m_folder + QStringLiteral("/mobile");
    return list;
}
