#include "publishing/AppIconWorkspace.h"

#include "foundation/AppLog.h"
#include "foundation/AppUtility.h"
#include "foundation/ImageUtility.h"
#include "output/packages/AppIconMaker.h"
#include "output/packages/IconPictures.h"

#include <QDir>
#include <QImage>

namespace {

// PNG is lossless: the quality only matters to lossy formats.
constexpr double kCompression = 0.98;

QString sizeKey(int size)
{
    return QString::number(size);
}

} // namespace

const QList<int> &AppIconWorkspace::wellSizes()
{
    static const QList<int> sizes{1024, 512, 256, 128, 32, 16};
    return sizes;
}

QImage AppIconWorkspace::largestPicture(const QString &path)
{
    QImage best;
    if (path.isEmpty())
        return best;
    for (const QImage &image : IconPictures::read(path)) {
        if (image.width() > best.width())
            best = image;
    }
    return best;
}

AppIconWorkspace::AppIconWorkspace(const QString &workspace) : m_workspace(workspace) {}

QString AppIconWorkspace::file(int size) const
{
    return m_fileDict.value(sizeKey(size)).toString();
}

void AppIconWorkspace::setFile(int size, const QString &path)
{
    m_fileDict.insert(sizeKey(size), path);
}

void AppIconWorkspace::removeFile(int size)
{
    m_fileDict.remove(sizeKey(size));
}

QList<int> AppIconWorkspace::openIconFile(const QString &iconFile)
{
    QString error;
    const QList<QImage> pictures = IconPictures::read(iconFile, &error);
    if (pictures.isEmpty()) {
        AppLog::shared().log(QStringLiteral("icon maker: %1").arg(error));
        return {};
    }
    const QString folder = QDir(m_workspace).filePath(QStringLiteral("default.iconset"));
    if (!QDir().mkpath(folder)) {
        AppLog::shared().log(QStringLiteral("icon maker: cannot make %1").arg(folder));
        return {};
    }
    QList<int> widths;
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("%1.png").arg(i));
        if (!ImageUtility::writeToURL(path, QStringLiteral("png"), pictures.at(i), kCompression))
            continue;
        const int width = pictures.at(i).width();
        setFile(width, path);
        if (!widths.contains(width))
            widths << width;
    }
    return widths;
}

QList<int> AppIconWorkspace::fillDown(const QString &path, int fromSize)
{
    QImage current = largestPicture(path);
    if (current.isNull()) {
        AppLog::shared().log(QStringLiteral("icon maker: %1 cannot be loaded, nothing filled").arg(path));
        return {};
    }
    QList<int> filled;
    for (int size : wellSizes()) {
        if (size >= fromSize || size == 1024)
            continue;
        current = ImageUtility::resizeImage(current, QSize(size, size));
        const QString target = QDir(m_workspace).filePath(QStringLiteral("%1.png").arg(size));
        if (!ImageUtility::writeToURL(target, QStringLiteral("png"), current, kCompression)) {
            AppLog::shared().log(QStringLiteral("icon maker: cannot write %1").arg(target));
            break;
        }
        setFile(size, target);
        filled << size;
    }
    const QString opened = QDir::cleanPath(QDir(m_workspace).filePath(QStringLiteral("default.iconset"))) + QLatin1Char('/');
    for (int size : wellSizes())
        if (size > fromSize && QDir::cleanPath(file(size)).startsWith(opened))
            removeFile(size);
    return filled;
}

QString AppIconWorkspace::makeIcon(QString *error) const
{
    const auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        return QString();
    };
    for (const QString &size : AppIconMaker::requiredSizes()) {
        if (!m_fileDict.contains(size))
            return fail(QStringLiteral("no picture for the size %1").arg(size));
    }
    const QString folder = createUniqueTempFolder();
    if (folder.isEmpty())
        return fail(QStringLiteral("no temporary folder for the icon"));
    AppIconMaker maker;
    maker.setIconFile(QDir(folder).filePath(QStringLiteral("icon.icns")));
    maker.setInputFileDict(m_fileDict);
    if (!maker.generateIcon()) {
        removeTree(folder);
        return fail(maker.errorString());
    }
    return maker.iconFile();
}
