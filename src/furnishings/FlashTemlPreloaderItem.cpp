#include "furnishings/FlashTemlPreloaderItem.h"

#include "foundation/AppResources.h"
#include "foundation/AppUtility.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace {

// Every file below folder, in a stable order (listings come in no order here).
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return files;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

QString FlashTemlPreloaderItem::applicationFolder()
{
    return AppResources::resourcePath(QStringLiteral("dataFiles/Preloaders"));
}

QString FlashTemlPreloaderItem::userFolder()
{
    return AppUtility::userAppResourcePath(QStringLiteral("dataFiles/Preloaders/"));
}

bool FlashTemlPreloaderItem::isApplicationPreloader() const
{
    return m_prlFile.startsWith(QDir::cleanPath(applicationFolder()) + QLatin1Char('/'));
}

bool FlashTemlPreloaderItem::isApplicationPreloaderName(const QString &name)
{
    for (const QString &file : filesBelow(QDir::cleanPath(applicationFolder()))) {
        const QFileInfo info(file);
        if (info.suffix().toUpper() == QLatin1String("SWF") && info.completeBaseName() == name)
            return true;
    }
    return false;
}

void FlashTemlPreloaderItem::collectPreloaders(const QString &extraFolder, QList<FlashTemlPreloaderItem> &list)
{
    QSet<QString> reserved;
    for (const FlashTemlPreloaderItem &item : std::as_const(list))
        reserved.insert(item.prlName());
    QStringList folders{applicationFolder(), userFolder()};
    if (!extraFolder.isEmpty())
        folders << extraFolder;
    for (const QString &folder : std::as_const(folders)) {
        for (const QString &file : filesBelow(QDir::cleanPath(folder))) {
            const QFileInfo info(file);
            if (info.suffix().toUpper() != QLatin1String("SWF"))
                continue;
            const QString name = info.completeBaseName();
            if (reserved.contains(name))
                continue;
            reserved.insert(name);
            const QString shot = info.absolutePath() + QLatin1Char('/') + name + QStringLiteral(".png");
            if (!QFileInfo(shot).isFile())
                continue;
            FlashTemlPreloaderItem item;
            item.setPrlName(name);
            item.setPrlFile(info.absoluteFilePath());
            item.setPrlShot(shot);
            list << item;
        }
    }
}

QList<FlashTemlPreloaderItem> FlashTemlPreloaderItem::installedPreloaders()
{
    QList<FlashTemlPreloaderItem> list;
    collectPreloaders(QString(), list);
    return list;
}

int FlashTemlPreloaderItem::indexOfPreloader(const QString &name, const QList<FlashTemlPreloaderItem> &list)
{
    const QString wanted = name.isEmpty() ? QStringLiteral("Default") : name;
    for (int i = 0; i < list.size(); ++i)
        if (list.at(i).prlName() == wanted)
            return i;
    return -1;
}

bool FlashTemlPreloaderItem::loadPreloaderNamed(const QString &name)
{
    const QString base = QDir(applicationFolder()).filePath(name);
    m_prlFile = base + QStringLiteral(".swf");
    m_prlShot = base + QStringLiteral(".png");
    return QFileInfo(m_prlFile).isFile() && QFileInfo(m_prlShot).isFile();
}

bool FlashTemlPreloaderItem::loadDefaultPreloader()
{
    m_prlName = QStringLiteral("Default");
    return loadPreloaderNamed(m_prlName);
}
