#include "output/web/OutputFiles.h"

#include "foundation/AppStrings.h"
#include "foundation/WorkerException.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>
#include <QXmlStreamReader>
#include <filesystem>

namespace OutputFiles {

QString cancelReason()
{
    return QStringLiteral("Cancel publish!");
}

void checkStop(const std::atomic_bool *stop)
{
    if (stop && stop->load())
        throw WorkerException::cancelled(cancelReason());
}

void fail(const QString &message)
{
    throw WorkerException(message);
}

void makeFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        fail(loadAppString(QStringLiteral("BookOutput-The folder \"%1\" cannot be made."),
                           QStringLiteral("The folder \"%1\" cannot be made."))
                 .arg(QDir::toNativeSeparators(path)));
}

void copyFile(const QString &from, const QString &to, const std::atomic_bool *stop)
{
    checkStop(stop);
    // The library copy lets the kernel move the bytes (no read/write loop of ours).
    std::error_code error;
    if (!std::filesystem::copy_file(std::filesystem::path(QFile::encodeName(from).toStdString()),
                                    std::filesystem::path(QFile::encodeName(to).toStdString()), error)) {
        if (!QFileInfo(from).isFile())
            fail(loadAppString(QStringLiteral("BookOutput-The file \"%1\" is missing."),
                               QStringLiteral("The file \"%1\" is missing."))
                     .arg(QDir::toNativeSeparators(from)));
        fail(loadAppString(QStringLiteral("BookOutput-The file \"%1\" cannot be written: %2"),
                           QStringLiteral("The file \"%1\" cannot be written: %2"))
                 .arg(QDir::toNativeSeparators(to), QString::fromLocal8Bit(error.message().c_str())));
    }
}

void copyFolder(const QString &from, const QString &to, const std::atomic_bool *stop, bool withHidden,
                const QStringList &exceptTopLevel)
{
    makeFolder(to);
    QDir::Filters filters = QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::NoSymLinks;
    if (withHidden)
        filters |= QDir::Hidden;
    const QFileInfoList entries = QDir(from).entryInfoList(filters, QDir::Name);
    for (const QFileInfo &entry : entries) {
        checkStop(stop);
        if (exceptTopLevel.contains(entry.fileName()))
            continue;
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir())
            copyFolder(entry.filePath(), target, stop, withHidden);
        else if (entry.isFile())
            copyFile(entry.filePath(), target, stop);
    }
}

void writeText(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0 || !file.flush()) {
        const QString reason = file.errorString();
        file.close();
        fail(loadAppString(QStringLiteral("BookOutput-The file \"%1\" cannot be written: %2"),
                           QStringLiteral("The file \"%1\" cannot be written: %2"))
                 .arg(QDir::toNativeSeparators(path), reason));
    }
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(loadAppString(QStringLiteral("BookOutput-The file \"%1\" is missing."),
                           QStringLiteral("The file \"%1\" is missing."))
                 .arg(QDir::toNativeSeparators(path)));
    return QString::fromUtf8(file.readAll());
}

QString urlPath(const QString &relativePath)
{
    QStringList parts = relativePath.split(QLatin1Char('/'));
    for (QString &part : parts)
        part = QString::fromLatin1(QUrl::toPercentEncoding(part, "!$&'()*+,;=:@"));
    return parts.join(QLatin1Char('/'));
}

QString escapeHtml(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default: out += c;
        }
    }
    return out;
}

bool isPicture(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    if (info.suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0)
        return isScriptFreeSvg(path);
    static const QList<QByteArray> shown{"jpeg", "png", "gif", "webp"};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return shown.contains(reader.format()) && reader.canRead() && reader.size().isValid();
}

bool isScriptFreeSvg(const QString &path)
{
    // Larger drawings than this are not logos or backgrounds.
    constexpr qint64 kMaxSvgBytes = 8 << 20;
    constexpr int kMaxSvgNesting = 256;
    QFile file(path);
    if (file.size() > kMaxSvgBytes || !file.open(QIODevice::ReadOnly))
        return false;
    static const QStringList refused{QStringLiteral("script"),  QStringLiteral("foreignobject"),
                                     QStringLiteral("iframe"),  QStringLiteral("object"),
                                     QStringLiteral("embed"),   QStringLiteral("handler"),
                                     QStringLiteral("listener")};
    static const QRegularExpression picture(QStringLiteral("^data:image/(png|jpeg|gif|webp);"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression blanks(QStringLiteral("[\\x00-\\x20]+"));
    QXmlStreamReader reader(&file);
    int depth = 0;
    bool sawRoot = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return false;
        case QXmlStreamReader::StartElement: {
            if (++depth > kMaxSvgNesting)
                return false;
            const QString name = reader.name().toString().toLower();
            if (depth == 1 && name != QLatin1String("svg"))
                return false;
            sawRoot = true;
            if (refused.contains(name))
                return false;
            for (const QXmlStreamAttribute &a : reader.attributes()) {
                const QString attribute = a.name().toString().toLower();
                const QString value = a.value().toString().remove(blanks);
                if (attribute.startsWith(QLatin1String("on")))
                    return false;
                if (attribute == QLatin1String("href") && !value.startsWith(QLatin1Char('#'))
                    && !picture.match(value).hasMatch())
                    return false;
                // An animation may set a link to an address of its own.
                if (attribute == QLatin1String("attributename") && value.toLower().endsWith(QLatin1String("href")))
                    return false;
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return sawRoot && !reader.hasError();
}

bool isMovie(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(3);
    return head == "FWS" || head == "CWS" || head == "ZWS";
}

QString suffixFor(const QString &path, const QString &fallback)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9]{1,5}$"));
    const QString suffix = QFileInfo(path).suffix().toLower();
    return plain.match(suffix).hasMatch() ? suffix : fallback;
}

} // namespace OutputFiles
