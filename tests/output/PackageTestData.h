#pragma once
// Small web books and pictures for the package tests.

#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QString>

namespace PackageTestData {

// A picture of one colour with a transparent top-left quarter, so both colour and
// transparency can be checked after a round trip.
inline QImage picture(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(0, 0, width / 2, height / 2, Qt::transparent);
    return image;
}

inline QString savePicture(const QString &path, const QImage &image, const char *format = "PNG")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return image.save(path, format) ? path : QString();
}

// A finished web book as the output engine leaves it: <name>.html, files/, mobile/.
// Returns the book's files by relative name.
inline QMap<QString, QByteArray> makeBook(const QString &folder, const QString &name = QStringLiteral("Demo"))
{
    QMap<QString, QByteArray> files;
    files.insert(name + QStringLiteral(".html"),
                 "<!DOCTYPE html><html><head><title>Demo</title></head><body><script src=\"files/book.js\">"
                 "</script></body></html>\n");
    files.insert(QStringLiteral("files/book.js"), "var pages = 2;\n");
    QByteArray page;
    for (int i = 0; i < 5000; ++i)
        page.append(char(i * 7));
    files.insert(QStringLiteral("files/pages/1.jpg"), page);
    files.insert(QStringLiteral("files/pages/2.jpg"), page + "2");
    files.insert(QStringLiteral("mobile/index.html"), "<!DOCTYPE html><title>Demo</title>\n");
    for (auto it = files.constBegin(); it != files.constEnd(); ++it)
        TestFiles::writeFile(QDir(folder).filePath(it.key()), it.value());
    return files;
}

} // namespace PackageTestData
