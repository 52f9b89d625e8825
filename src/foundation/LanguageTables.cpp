#include "foundation/LanguageTables.h"

#include <QDir>
#include <QFileInfo>

const QString LanguageTables::kLocaleTable = QStringLiteral("QuorvelLocale");
const QString LanguageTables::kInfoPlistTable = QStringLiteral("InfoPlist");

LanguageTables::LanguageTables(const QString &resourceRoot)
    : m_root(resourceRoot)
{
}

QString LanguageTables::languageFolder(const QString &languageCode) const
{
    QMutexLocker lock(&m_mutex);
    return folderLocked(languageCode);
}

QString LanguageTables::folderLocked(const QString &languageCode) const
{
    const auto known = m_folders.constFind(languageCode);
    if (known != m_folders.cend())
        return *known;
    QString found;
    if (!languageCode.isEmpty() && !languageCode.contains(QLatin1Char('/'))
        && !languageCode.contains(QLatin1String(".."))) {
        QString dashed = languageCode;
        dashed.replace(QLatin1Char('_'), QLatin1Char('-'));
        const QString base = dashed.section(QLatin1Char('-'), 0, 0);
        for (const QString &candidate : {languageCode, dashed, base}) {
            const QString folder = m_root + QLatin1Char('/') + candidate + QStringLiteral(".lproj");
            if (QFileInfo(folder).isDir()) {
                found = folder;
                break;
            }
        }
    }
    m_folders.insert(languageCode, found);
    return found;
}

const StringsTable &LanguageTables::table(const QString &folder, const QString &name) const
{
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".strings");
    auto it = m_tables.find(path);
    if (it == m_tables.end())
        it = m_tables.insert(path, StringsTable::fromFile(path));
    return *it;
}

QString LanguageTables::lookup(const QString &languageCode, const QString &tableName,
                               const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    const QString folder = folderLocked(languageCode);
    if (folder.isEmpty())
        return {};
    return table(folder, tableName).value(key);
}

bool LanguageTables::isInfoPlistKey(const QString &key)
{
    return key.size() > 2 && key.startsWith(QLatin1Char('$')) && key.endsWith(QLatin1Char('$'));
}

QString LanguageTables::localizedString(const QString &languageCode, const QString &key,
                                        const QString &defaultText) const
{
    const QString tableName = isInfoPlistKey(key) ? kInfoPlistTable : kLocaleTable;
    const QString found = lookup(languageCode, tableName, key);
    if (!found.isNull() && found != key)
        return found;
    if (!defaultText.isNull())
        return defaultText;
    const QString english = lookup(QStringLiteral("en"), tableName, key);
    return english.isNull() ? key : english;
}

QStringList LanguageTables::availableLanguages() const
{
    QStringList codes;
    const QStringList folders = QDir(m_root).entryList({QStringLiteral("*.lproj")}, QDir::Dirs);
    for (const QString &folder : folders)
        codes << folder.chopped(6);
    codes.sort();
    return codes;
}

void LanguageTables::clearCache()
{
    QMutexLocker lock(&m_mutex);
    m_tables.clear();
    m_folders.clear();
}
