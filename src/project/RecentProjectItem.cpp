#include "project/RecentProjectItem.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/PropertyList.h"
#include "output/OutputKind.h"
#include "project/BookProject.h"

#include <QDir>

#include <algorithm>
#include <QFileInfo>
#include <QLockFile>

namespace {

const QString kName = QStringLiteral("name");
const QString kPath = QStringLiteral("path");
const QString kKind = QStringLiteral("kind");

// The kind of an entry written without one: a project, or by its extension the kind
// of book an older version published there.
int kindOfPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == BookProject::fileExtension())
        return RecentProjectItem::kProject;
    for (OutputKind kind : {OutputKind::Application, OutputKind::ZipArchive, OutputKind::Executable,
                            OutputKind::SealedPackage}) {
        if (suffix == kind.extension(false))
            return kind.number();
    }
    return OutputKind::WebFolder;
}

QString cleanPath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Every entry of the list file; a missing or damaged file is an empty list.
QList<RecentProjectItem> readList()
{
    QList<RecentProjectItem> items;
    const std::optional<QVariant> list = PropertyList::readFile(RecentProjectItem::listFilePath());
    if (!list)
        return items;
    for (const QVariant &entry : list->toList()) {
        const QVariantMap map = entry.toMap();
        const QString path = map.value(kPath).toString();
        bool known = false;
        const int kind = map.value(kKind).toInt(&known);
        if (!path.isEmpty())
            items << RecentProjectItem(map.value(kName).toString(), path,
                                       known && OutputKind::fromNumber(kind) ? kind : kindOfPath(path));
    }
    return items;
}

} // namespace

QString RecentProjectItem::listFilePath()
{
    return QDir(AppUtility::userAppExtraDataPath()).filePath(QStringLiteral("RecentProjects.plist"));
}

bool RecentProjectItem::saveToFile() const
{
    if (m_path.isEmpty())
        return false;
    QLockFile lock(listFilePath() + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(5000))
        return false;

    const QString path = cleanPath(m_path);
    RecentProjectItem first(m_name, path, m_kind);
    QList<RecentProjectItem> items = readList();
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        // A book's newest output stands for all of them: publishing one book in every
        // kind would otherwise push the projects out of sight.
        const bool sameBookOutput = isPublishedBook() && items.at(i).isPublishedBook() && !m_name.isEmpty()
                                    && items.at(i).name() == m_name;
        if (cleanPath(items.at(i).path()) != path && !sameBookOutput)
            continue;
        if (first.m_name.isEmpty())
            first.m_name = items.at(i).name();
        items.removeAt(i);
    }
    items.prepend(first);
    if (items.size() > kMaxItems)
        items.resize(kMaxItems);

    QVariantList list;
    for (const RecentProjectItem &item : std::as_const(items)) {
        QVariantMap entry{{kName, item.name()}, {kPath, item.path()}};
        if (item.isPublishedBook())
            entry.insert(kKind, item.kind());
        list << entry;
    }
    return PropertyList::writeFile(listFilePath(), list);
}

bool RecentProjectItem::isWebBook() const
{
    return !bookPage().isEmpty();
}

QString RecentProjectItem::bookPage() const
{
    const std::optional<OutputKind> kind = OutputKind::fromNumber(m_kind);
    if (!kind || kind->writer() != OutputKind::Writer::WebFolder)
        return {};
    const QFileInfo file(m_path);
    const QString extension = kind->extension(false);
    if (!file.isDir())
        return file.suffix().toLower() == extension ? m_path : QString();
    // The book's folder (as older versions kept it): its page, named after the folder,
    // else its only page.
    const QDir folder(m_path);
    const QString named = folder.filePath(file.fileName() + QLatin1Char('.') + extension);
    if (QFileInfo(named).isFile())
        return named;
    const QStringList pages = folder.entryList({QStringLiteral("*.") + extension}, QDir::Files);
    return pages.size() == 1 ? folder.filePath(pages.first()) : QString();
}

QString RecentProjectItem::displayTitle() const
{
    const QFileInfo file(m_path);
    const QString name = m_name.isEmpty() ? file.completeBaseName() : m_name;
    if (!isPublishedBook())
        return name;
    QString what;
    switch (OutputKind::fromStored(m_kind).code()) {
    case OutputKind::Application: what = loadAppString(QStringLiteral("RecentProjectItem-Mac application"), QStringLiteral("Mac application")); break;
    case OutputKind::ZipArchive: what = loadAppString(QStringLiteral("RecentProjectItem-ZIP archive"), QStringLiteral("ZIP archive")); break;
    case OutputKind::Executable: what = loadAppString(QStringLiteral("RecentProjectItem-Windows application"), QStringLiteral("Windows application")); break;
    case OutputKind::SealedPackage: what = loadAppString(QStringLiteral("RecentProjectItem-sealed book"), QStringLiteral("sealed book")); break;
    case OutputKind::WordPress: what = loadAppString(QStringLiteral("RecentProjectItem-WordPress plug-in"), QStringLiteral("WordPress plug-in")); break;
    case OutputKind::Joomla: what = loadAppString(QStringLiteral("RecentProjectItem-Joomla module"), QStringLiteral("Joomla module")); break;
    case OutputKind::Drupal: what = loadAppString(QStringLiteral("RecentProjectItem-Drupal module"), QStringLiteral("Drupal module")); break;
    default: what = loadAppString(QStringLiteral("RecentProjectItem-web book"), QStringLiteral("web book")); break;
    }
    return loadAppString(QStringLiteral("RecentProjectItem-%1 (published as %2, %3)"),
                         QStringLiteral("%1 (published as %2, %3)"))
        .arg(name, what, file.fileName());
}

QList<RecentProjectItem> RecentProjectItem::recentProjects()
{
    QList<RecentProjectItem> items = readList();
    items.removeIf([](const RecentProjectItem &item) { return !QFileInfo::exists(item.path()); });
    // Projects first, then published books; each newest first.
    std::stable_partition(items.begin(), items.end(), [](const RecentProjectItem &item) { return !item.isPublishedBook(); });
    return items;
}
