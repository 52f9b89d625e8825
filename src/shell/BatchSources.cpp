#include "shell/BatchSources.h"

#include "foundation/AppStrings.h"
#include "shell/BookFileRequest.h"

#include <QDir>
#include <QFileInfo>

namespace BatchSources {

QStringList acceptedExtensions()
{
    return {BookFileRequest::projectExtension(), QStringLiteral("pdf")};
}

std::optional<BatchItem> itemFor(const QString &path, const ConvertParament &output, int qualityLevel, QString *refusal)
{
    const QFileInfo info(path);
    const auto refuse = [&](const QString &reason) -> std::optional<BatchItem> {
        if (refusal)
            *refusal = reason;
        return std::nullopt;
    };
    BatchItem item;
    item.path = info.absoluteFilePath();
    item.importParament.iQualityLevel = qualityLevel;
    const QString suffix = info.suffix().toLower();
    if (info.isDir()) {
        QStringList filters;
        for (const QString &extension : BookFileRequest::pictureExtensions())
            filters << QStringLiteral("*.") + extension;
        QStringList pictures;
        for (const QFileInfo &file : QDir(path).entryInfoList(filters, QDir::Files | QDir::Readable, QDir::NoSort))
            pictures << file.absoluteFilePath();
        if (pictures.isEmpty())
            return refuse(loadAppString("BatchSources-The folder holds no pictures.", "The folder holds no pictures."));
        item.source = BatchItem::Source::Pictures;
        item.importParament.sourceFiles = BookFileRequest::naturalOrder(pictures);
    } else if (!info.isFile()) {
        return refuse(loadAppString("BatchSources-The file does not exist.", "The file does not exist."));
    } else if (suffix == BookFileRequest::projectExtension()) {
        item.source = BatchItem::Source::Project;
    } else if (suffix == QLatin1String("pdf")) {
        item.source = BatchItem::Source::Pdf;
        item.importParament.sourceFiles = {item.path};
    } else {
        return refuse(loadAppString("BatchSources-Only PDF files, folders of pictures and projects can be converted.",
                                    "Only PDF files, folders of pictures and projects can be converted."));
    }
    item.convertParament = output;
    const QString name = info.isDir() ? info.fileName() : info.completeBaseName();
    item.convertParament.setStrOutputName(name);
    item.convertParament.setStrTitle(name);
    if (item.convertParament.strOutputFolder().trimmed().isEmpty())
        item.convertParament.setStrOutputFolder(info.absolutePath());
    return item;
}

} // namespace BatchSources
