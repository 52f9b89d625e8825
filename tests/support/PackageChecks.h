#pragma once
// Reading back what the desktop packagers wrote, for the package tests.

#include "TestFiles.h"
#include "foundation/PropertyList.h"
#include "output/packages/ExeBookPayload.h"
#include "output/packages/ExeIconResources.h"
#include "output/packages/IcnsFile.h"
#include "output/packages/IcoFile.h"

#include <QImage>
#include <QMap>
#include <QVariantMap>
#include <algorithm>

namespace PackageChecks {

// The Info.plist of an application bundle.
inline QVariantMap infoOf(const QString &app)
{
    const auto info = PropertyList::readFile(app + QStringLiteral("/Contents/Info.plist"));
    return info ? info->toMap() : QVariantMap();
}

// The launcher settings (book.conf) of an application bundle.
inline QMap<QString, QString> confOf(const QString &app)
{
    QMap<QString, QString> conf;
    const QList<QByteArray> lines =
        TestFiles::readFile(app + QStringLiteral("/Contents/Resources/book.conf")).split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            conf.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    return conf;
}

// The picture widths an .icns file holds, ascending.
inline QList<int> iconWidths(const QString &icns)
{
    QList<int> widths;
    if (const auto entries = IcnsFile::readFile(icns))
        for (const auto &e : *entries)
            if (!widths.contains(e.image.width()))
                widths << e.image.width();
    std::sort(widths.begin(), widths.end());
    return widths;
}

// The decoded icon pictures of an executable, by width.
inline QMap<int, QImage> iconsOf(const QByteArray &exe)
{
    ExeIconResources resources;
    if (!resources.read(exe))
        return {};
    QMap<int, QImage> icons;
    for (const auto &icon : resources.icons())
        icons.insert(icon.width, IcoFile::decodePicture(icon.data).convertToFormat(QImage::Format_ARGB32));
    return icons;
}

// Unpacks the book appended to an executable into folder, checking every file's CRC.
inline bool unpackExeBook(const QString &exe, const QString &folder)
{
    const auto contents = ExeBookPayload::read(exe);
    if (!contents)
        return false;
    for (const auto &entry : contents->entries) {
        const auto data = ExeBookPayload::readEntry(exe, *contents, entry);
        if (!data || !TestFiles::writeFile(folder + QLatin1Char('/') + entry.name, *data))
            return false;
    }
    return true;
}

} // namespace PackageChecks
