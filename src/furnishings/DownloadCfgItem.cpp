#include "furnishings/DownloadCfgItem.h"

#include "foundation/AppLog.h"
#include "foundation/PropertyList.h"
#include "foundation/SafeFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QVariantMap>

namespace {

bool isWebAddress(const QString &text)
{
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
           || text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// A path ".cfg" keeps, as it is read: a "./" path as it stands (workspaceCopy checks
// it); any other path stands for the workspace's copy of that file in subFolder, as
// "./<subFolder>/<name>". A ".cfg" from elsewhere names no file outside the workspace.
QString inWorkspace(const QString &stored, const QString &subFolder)
{
    if (stored.isEmpty() || stored.startsWith(QLatin1String("./")))
        return stored;
    const QString name = QFileInfo(stored).fileName();
    if (name.isEmpty())
        return {};
    return QStringLiteral("./") + (subFolder.isEmpty() ? name : subFolder + QLatin1Char('/') + name);
}

} // namespace

QString DownloadCfgItem::settingsFile(const QString &workspace)
{
    return QDir(workspace).filePath(QStringLiteral(".cfg"));
}

QString DownloadCfgItem::workspaceCopy(const QString &stored, const QString &workspace, const QString &subFolder)
{
    const QString name = QFileInfo(resolvedPath(stored, workspace)).fileName();
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || workspace.isEmpty())
        return {};
    const QString path = QDir(workspace).filePath(subFolder.isEmpty() ? name : subFolder + QLatin1Char('/') + name);
    if (!QFileInfo(path).isFile())
        return {};
    // A copy that leads out of the workspace through a link, or that has another name
    // that may lie anywhere, is no copy of the book's.
    if (const QString problem = SafeFiles::fileProblem(path, workspace); !problem.isEmpty()) {
        AppLog::shared().error(QStringLiteral("download left out: %1").arg(problem));
        return {};
    }
    return path;
}

QString DownloadCfgItem::existingFile(const QString &stored, const QString &workspace, const QString &subFolder)
{
    const QString path = resolvedPath(stored, workspace);
    return QFileInfo(path).isFile() ? path : workspaceCopy(stored, workspace, subFolder);
}

QString DownloadCfgItem::resolvedPath(const QString &stored, const QString &workspace)
{
    if (!stored.startsWith(QLatin1String("./")))
        return stored;
    // A workspace path never leads out of the workspace.
    const QString root = QDir::cleanPath(workspace);
    const QString path = QDir::cleanPath(root + QLatin1Char('/') + stored.mid(2));
    return !workspace.isEmpty() && path.startsWith(root + QLatin1Char('/')) ? path : QString();
}

std::optional<DownloadSettings> DownloadCfgItem::readSettings(const QString &workspace)
{
    if (workspace.isEmpty() || !QFileInfo(settingsFile(workspace)).isFile())
        return std::nullopt;
    const std::optional<QVariant> read = PropertyList::readFile(settingsFile(workspace));
    if (!read || read->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap cfg = read->toMap();
    const auto text = [&](const char *key) { return cfg.value(QLatin1String(key)).toString(); };
    const auto list = [&](const char *key, const QString &subFolder) {
        QStringList out;
        for (const QVariant &entry : cfg.value(QLatin1String(key)).toList())
            if (const QString path = inWorkspace(entry.toString(), subFolder); !path.isEmpty())
                out << path;
        return out;
    };
    DownloadSettings settings;
    settings.file = inWorkspace(text("file"), QString());
    settings.url = text("url");
    settings.prefix = text("prefix");
    settings.pages = list("pages", QStringLiteral("pages"));
    settings.attachs = list("attachs", QStringLiteral("attachments"));
    settings.hasPDF = cfg.value(QStringLiteral("hasPDF")).toInt() == 1;
    settings.hasPages = cfg.value(QStringLiteral("hasPages")).toInt() == 1;
    settings.fileType = cfg.value(QStringLiteral("fileType")).toInt();
    return settings;
}

bool DownloadCfgItem::writeSettings(const QString &workspace, const DownloadSettings &settings, QString *error)
{
    if (workspace.isEmpty() || !QDir().mkpath(workspace)) {
        if (error)
            *error = QStringLiteral("The folder \"%1\" cannot be made.").arg(workspace);
        return false;
    }
    const QVariantMap cfg{{QStringLiteral("file"), settings.file},
                          {QStringLiteral("url"), settings.url},
                          {QStringLiteral("prefix"), settings.prefix},
                          {QStringLiteral("pages"), settings.pages},
                          {QStringLiteral("attachs"), settings.attachs},
                          {QStringLiteral("hasPDF"), settings.hasPDF ? 1 : 0},
                          {QStringLiteral("hasPages"), settings.hasPages ? 1 : 0},
                          {QStringLiteral("fileType"), settings.fileType}};
    return PropertyList::writeFile(settingsFile(workspace), cfg, error);
}

BookDownloads DownloadCfgItem::downloadsForWorkspace(const QString &workspace)
{
    BookDownloads downloads;
    const std::optional<DownloadSettings> cfg = readSettings(workspace);
    if (!cfg)
        return downloads;

    if (cfg->hasPDF) {
        if (cfg->fileType == 1) {
            const QString url = cfg->url.trimmed();
            if (isWebAddress(url))
                downloads.wholeFile = url;
        } else {
            downloads.wholeFile = workspaceCopy(cfg->file, workspace, QString());
        }
    }
    if (cfg->hasPages) {
        bool any = false;
        for (const QString &page : cfg->pages) {
            const QString file = workspaceCopy(page, workspace, QStringLiteral("pages"));
            any = any || !file.isEmpty();
            downloads.pageFiles << file;
        }
        if (!any)
            downloads.pageFiles.clear();
        else
            downloads.pagePrefix = cfg->prefix;
    }
    for (const QString &attachment : cfg->attachs) {
        const QString file = workspaceCopy(attachment, workspace, QStringLiteral("attachments"));
        if (!file.isEmpty())
            downloads.attachments.append({QFileInfo(file).fileName(), file});
    }
    return downloads;
}
