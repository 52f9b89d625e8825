#include "publishing/BookCoverWorkFiles.h"

#include "foundation/SafeFiles.h"
#include "publishing/BookCoverSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString samePath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

BookCoverWorkFiles::BookCoverWorkFiles(const QString &workspace)
    : m_workspace(workspace)
    , m_input(workspace + QStringLiteral("/inputFile.jpg"))
    , m_output(workspace + QStringLiteral("/outputFile.png"))
    , m_config(workspace + QStringLiteral("/configFile.plist"))
{
    QDir().mkpath(workspace);
}

QString BookCoverWorkFiles::withSuffixOf(const QString &path, const QString &model)
{
    const QString suffix = QFileInfo(model).suffix();
    if (suffix.isEmpty())
        return path;
    const QFileInfo info(path);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('.') + suffix;
}

void BookCoverWorkFiles::prepare(const BookCoverSettings &settings)
{
    if (!settings.inputFile.isEmpty() && QFileInfo(settings.inputFile).isFile()) {
        m_input = withSuffixOf(m_input, settings.inputFile);
        if (!QFileInfo::exists(m_input))
            SafeFiles::copyFile(settings.inputFile, m_input);
    }
    if (!settings.outputFile.isEmpty()) {
        m_output = withSuffixOf(m_output, settings.outputFile);
        if (QFileInfo(settings.outputFile).isFile() && !QFileInfo::exists(m_output))
            SafeFiles::copyFile(settings.outputFile, m_output);
    }
    if (!settings.configFile.isEmpty() && QFileInfo(settings.configFile).isFile() && !QFileInfo::exists(m_config))
        SafeFiles::copyFile(settings.configFile, m_config);
}

bool BookCoverWorkFiles::takeSource(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    const QString target = withSuffixOf(m_input, path);
    if (samePath(path) == samePath(target) || samePath(path) == samePath(m_input))
        return true;
    if (!SafeFiles::copyFile(path, target))
        return false;
    if (samePath(target) != samePath(m_input))
        QFile::remove(m_input);
    m_input = target;
    return true;
}

bool BookCoverWorkFiles::takeResult(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    if (samePath(path) == samePath(m_output))
        return true;
    return SafeFiles::copyFile(path, m_output);
}

bool BookCoverWorkFiles::takeDesign(const QString &path)
{
    return QFileInfo(path).isFile() && SafeFiles::copyFile(path, m_config);
}

bool BookCoverWorkFiles::commit(const QString &outputFile, const QString &configFile, QString *error) const
{
    if (QFileInfo(m_config).isFile() && !configFile.isEmpty() && !SafeFiles::copyFile(m_config, configFile, error))
        return false;
    if (QFileInfo(m_output).isFile() && !outputFile.isEmpty() && !SafeFiles::copyFile(m_output, outputFile, error))
        return false;
    return true;
}
