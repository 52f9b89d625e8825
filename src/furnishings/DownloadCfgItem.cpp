#include "furnishings/DownloadCfgItem.h"

#include "foundation/PropertyList.h"

#include <QDir>
#include <QFileInfo>
#include <QVariantMap>

namespace {

bool isWebAddress(const QString &text)
{
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
           || text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// The workspace's copy of a file the dialog copied in under its own name.
QString copyInWorkspace(const QString &stored, const QString &workspace, const QString &subFolder)
{
    const QString name = QFileInfo(DownloadCfgItem::resolvedPath(stored, workspace)).fileName();
    if (name.isEmpty())
        return {};
    const QString path = QDir(workspace).filePath(subFolder.isEmpty() ? name : subFolder + QLatin1Char('/') + name);
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

QString DownloadCfgItem::settingsFile(const QString &workspace)
{
    return QDir(workspace).filePath(QStringLiteral(".cfg"));
}

QString DownloadCfgItem::resolvedPath(const QString &stored, const QString &workspace)
{
    if (stored.startsWith(QLatin1String("./")))
        return QDir::cleanPath(QDir(workspace).filePath(stored.mid(2)));
    return stored;
}

BookDownloads DownloadCfgItem::downloadsForWorkspace(const QString &workspace)
{
    BookDownloads downloads;
    if (workspace.isEmpty() || !QFileInfo(settingsFile(workspace)).isFile())
        return downloads;
    const std::optional<QVariant> read = PropertyList::readFile(settingsFile(workspace));
    if (!read)
        return downloads;
    const QVariantMap cfg = read->toMap();
    const auto flag = [&](const char *key) { return cfg.value(QLatin1String(key)).toInt() == 1; };

    if (flag("hasPDF")) {
        if (cfg.value(QStringLiteral("fileType")).toInt() == 1) {
            const QString url = cfg.value(QStringLiteral("url")).toString().trimmed();
            if (isWebAddress(url))
                downloads.wholeFile = url;
        } else {
            downloads.wholeFile = copyInWorkspace(cfg.value(QStringLiteral("file")).toString(), workspace, QString());
        }
    }
    if (flag("hasPages")) {
        bool any = false;
        for (const QVariant &page : cfg.value(QStringLiteral("pages")).toList()) {
            const QString file = copyInWorkspace(page.toString(), workspace, QStringLiteral("pages"));
            any = any || !file.isEmpty();
            downloads.pageFiles << file;
        }
        if (!any)
            downloads.pageFiles.clear();
        else
            downloads.pagePrefix = cfg.value(QStringLiteral("prefix")).toString();
    }
    for (const QVariant &attachment : cfg.value(QStringLiteral("attachs")).toList()) {
        const QString file = copyInWorkspace(attachment.toString(), workspace, QStringLiteral("attachments"));
        if (!file.isEmpty())
            downloads.attachments.append({QFileInfo(file).fileName(), file});
    }
    return downloads;
}
