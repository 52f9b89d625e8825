#include "shell/BookFileRequest.h"

#include <QCollator>
#include <QFileInfo>

namespace {

QString suffixOf(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

} // namespace

QStringList BookFileRequest::pictureExtensions()
{
    return {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("gif"),
            QStringLiteral("bmp"), QStringLiteral("tif"), QStringLiteral("tiff"), QStringLiteral("webp")};
}

QStringList BookFileRequest::acceptedExtensions()
{
    return QStringList{projectExtension(), QStringLiteral("pdf")} + pictureExtensions();
}

QStringList BookFileRequest::naturalOrder(QStringList paths)
{
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(paths.begin(), paths.end(), [&](const QString &a, const QString &b) {
        const int byName = collator.compare(QFileInfo(a).fileName(), QFileInfo(b).fileName());
        return byName != 0 ? byName < 0 : a < b;
    });
    return paths;
}

BookFileRequest BookFileRequest::fromPaths(const QStringList &paths)
{
    BookFileRequest request;
    if (paths.isEmpty())
        return request;
    QStringList pdfs, pictures;
    for (const QString &path : paths) {
        const QString suffix = suffixOf(path);
        if (suffix == projectExtension())
            return {Kind::Project, {path}};
        if (suffix == QLatin1String("pdf"))
            pdfs << path;
        else if (pictureExtensions().contains(suffix))
            pictures << path;
    }
    if (!pdfs.isEmpty())
        return {Kind::Pdf, {pdfs.first()}};
    if (!pictures.isEmpty())
        return {Kind::Pictures, naturalOrder(pictures)};
    return {Kind::Unsupported, paths};
}

StartupRequest StartupRequest::parse(const QStringList &arguments)
{
    StartupRequest request;
    QStringList files;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--demo")) {
            request.demo = true;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            continue; // options of Qt and of the platform
        } else {
            files << QFileInfo(argument).absoluteFilePath();
        }
    }
    request.file = BookFileRequest::fromPaths(files);
    return request;
}
