#include "furnishings/ToolbarIconWorkspace.h"

#include "foundation/AppUtility.h"
#include "foundation/PropertyList.h"
#include "furnishings/ToolbarIconSet.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

const QString kValue = QStringLiteral("value");
const QString kKey = QStringLiteral("key");

// "Icons/<file name>": a value may name nothing else.
QString valueFor(const QString &fileName)
{
    return QStringLiteral("Icons/") + fileName;
}

bool isIconValue(const QString &value)
{
    const QString name = QFileInfo(value).fileName();
    return !name.isEmpty() && name != QLatin1String("..") && value == valueFor(name);
}

// Puts bytes in the place of target only once they are written whole.
bool replaceWith(const QString &target, const QByteArray &bytes)
{
    QSaveFile file(target);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// The archives zipIcons() makes: "<number>.zip" at the top of the workspace.
bool isArchiveName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^-?[0-9]+\\.zip$"));
    return pattern.match(name).hasMatch();
}

} // namespace

ToolbarIconWorkspace::ToolbarIconWorkspace(const QString &listFile)
    : m_iconsList(ToolbarIconSet::loadTableList(listFile)), m_orgPicDict(ToolbarIconSet::loadOrgPicDict())
{
    for (QVariantMap &icon : m_iconsList)
        icon.insert(kValue, QString());
    refreshDict();
}

void ToolbarIconWorkspace::setWorkSpace(const QString &folder)
{
    m_workSpace = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
    refreshDict();
}

QString ToolbarIconWorkspace::keyOf(int row) const
{
    return isValidRow(row) ? m_iconsList.at(row).value(kKey).toString() : QString();
}

QString ToolbarIconWorkspace::customPicture(int row) const
{
    return m_iconsDict.value(keyOf(row).toLower());
}

QString ToolbarIconWorkspace::builtInPicture(int row) const
{
    return m_orgPicDict.value(keyOf(row).toLower());
}

QString ToolbarIconWorkspace::previewPicture(int row) const
{
    if (const QString custom = customPicture(row); !custom.isEmpty() && QFileInfo(custom).isFile())
        return custom;
    const QString builtIn = builtInPicture(row);
    return QFileInfo(builtIn).isFile() ? builtIn : QString();
}

void ToolbarIconWorkspace::refreshDict()
{
    m_iconsDict.clear();
    for (const QVariantMap &icon : std::as_const(m_iconsList)) {
        const QString value = icon.value(kValue).toString();
        const QString path = m_workSpace + QLatin1Char('/') + value;
        const bool usable = !m_workSpace.isEmpty() && isIconValue(value) && QFileInfo(path).isFile();
        m_iconsDict.insert(icon.value(kKey).toString().toLower(), usable ? path : QString());
    }
}

void ToolbarIconWorkspace::loadConfig(const QString &inputFile, QString *error)
{
    if (m_workSpace.isEmpty() || !QDir().mkpath(m_workSpace))
        setWorkSpace(createUniqueTempFolder());
    if (inputFile.endsWith(QLatin1String("zip"), Qt::CaseInsensitive))
        loadZipResource(inputFile, error);
    const QString cfg = m_workSpace + QStringLiteral("/.cfg");
    if (!QFileInfo(cfg).isFile())
        return;
    const QVariantMap config = PropertyList::readFile(cfg).value_or(QVariant()).toMap();
    m_swfFile = config.value(QStringLiteral("swf")).toString();
    m_swfChecked = config.value(QStringLiteral("check")).toInt() != 0;
    if (config.contains(QStringLiteral("list"))) {
        const QVariantMap list = config.value(QStringLiteral("list")).toMap();
        for (QVariantMap &icon : m_iconsList)
            icon.insert(kValue, list.value(icon.value(kKey).toString()).toString());
        refreshDict();
    }
}

bool ToolbarIconWorkspace::loadZipResource(const QString &archive, QString *error)
{
    if (!QFileInfo(archive).isFile())
        return true;
    const QString unpacked = createUniqueTempFolder();
    if (unpacked.isEmpty())
        return false;
    QHash<QString, QString> pictures;
    const bool read = ToolbarIconSet::picturesInArchive(archive, unpacked, m_iconsDict.keys(), &pictures, error);
    if (read) {
        QDir().mkpath(iconsFolder());
        for (auto it = pictures.cbegin(); it != pictures.cend(); ++it) {
            const QString target = iconsFolder() + QLatin1Char('/') + QFileInfo(it.value()).fileName();
            QFile picture(it.value());
            if (picture.open(QIODevice::ReadOnly) && replaceWith(target, picture.readAll()))
                m_iconsDict.insert(it.key(), target);
        }
        for (QVariantMap &icon : m_iconsList) {
            const QString path = m_iconsDict.value(icon.value(kKey).toString().toLower());
            icon.insert(kValue, !path.isEmpty() && QFileInfo(path).isFile() ? valueFor(QFileInfo(path).fileName()) : QString());
        }
    }
    removeTree(unpacked);
    return read;
}

bool ToolbarIconWorkspace::saveIconFile(int row, const QString &source)
{
    if (!isValidRow(row) || !ToolbarIconSet::isPicture(source) || m_workSpace.isEmpty())
        return false;
    QDir().mkpath(iconsFolder());
    const QString fileName = keyOf(row) + QStringLiteral(".png");
    const QString target = iconsFolder() + QLatin1Char('/') + fileName;
    if (QFileInfo(source).canonicalFilePath() != QFileInfo(target).canonicalFilePath()) {
        QByteArray bytes;
        if (source.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
            QFile file(source);
            if (!file.open(QIODevice::ReadOnly))
                return false;
            bytes = file.readAll();
        } else {
            const QImage picture(source);
            QBuffer buffer(&bytes);
            if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG"))
                return false;
        }
        if (!replaceWith(target, bytes))
            return false;
    }
    m_iconsList[row].insert(kValue, QFileInfo(target).isFile() ? valueFor(fileName) : QString());
    refreshDict();
    return true;
}

void ToolbarIconWorkspace::setDefault(int row)
{
    if (!isValidRow(row))
        return;
    m_iconsList[row].insert(kValue, QString());
    m_iconsDict.insert(keyOf(row).toLower(), QString());
}

void ToolbarIconWorkspace::removeUnusedPictures()
{
    // Names differ only in letter case here: every picture named by a key that is not
    // the icon's replacement goes, or an old one would stand in for the icon.
    const QFileInfoList files = QDir(iconsFolder()).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &file : files) {
        const QString key = file.completeBaseName().toLower();
        if (m_iconsDict.contains(key) && m_iconsDict.value(key) != file.filePath())
            QFile::remove(file.filePath());
    }
}

QString ToolbarIconWorkspace::zipIcons()
{
    if (m_workSpace.isEmpty() || !QFileInfo(iconsFolder()).isDir())
        return {};
    removeUnusedPictures();
    bool anyPicture = false;
    for (const QString &path : std::as_const(m_iconsDict))
        anyPicture = anyPicture || (!path.isEmpty() && QFileInfo(path).isFile());
    if (!anyPicture)
        return {};
    auto stamp = qint32(QDateTime::currentMSecsSinceEpoch());
    QString archive;
    do {
        archive = m_workSpace + QStringLiteral("/%1.zip").arg(stamp++);
    } while (QFileInfo::exists(archive));
    return AppUtility::zipDirectory(iconsFolder(), archive) ? archive : QString();
}

void ToolbarIconWorkspace::removeArchivesExcept(const QString &keep)
{
    if (m_workSpace.isEmpty())
        return;
    const QString kept = QDir::cleanPath(keep);
    for (const QFileInfo &file : QDir(m_workSpace).entryInfoList(QDir::Files))
        if (isArchiveName(file.fileName()) && QDir::cleanPath(file.filePath()) != kept)
            QFile::remove(file.filePath());
}

bool ToolbarIconWorkspace::saveConfig()
{
    if (m_workSpace.isEmpty() || !QFileInfo(m_workSpace).isDir())
        setWorkSpace(createUniqueTempFolder());
    QVariantMap list;
    for (const QVariantMap &icon : std::as_const(m_iconsList))
        list.insert(icon.value(kKey).toString(), icon.value(kValue).toString());
    const QVariantMap config{{QStringLiteral("list"), list},
                             {QStringLiteral("check"), m_swfChecked ? 1 : 0},
                             {QStringLiteral("swf"), m_swfFile}};
    return PropertyList::writeFile(m_workSpace + QStringLiteral("/.cfg"), config);
}
