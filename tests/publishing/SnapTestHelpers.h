#pragma once
// Pieces shared by the snapshot tests: sample pages, and stand-ins for the snapshot
// helper written where the real one is installed.

#include "foundation/AppUtility.h"
#include "publishing/SWFSnapDelegate.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

namespace SnapTest {

inline bool writePicture(const QString &path, const QSize &size, const QColor &color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image.save(path);
}

// A one-page PDF of sizeMm, filled with color.
inline bool writePdf(const QString &path, const QSizeF &sizeMm, const QColor &color)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(sizeMm, QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QPainter painter(&writer);
    painter.fillRect(QRect(QPoint(0, 0), QSize(writer.width(), writer.height())), color);
    return painter.end();
}

// Puts a shell script where the helper is looked for. The script gets the helper's
// single argument as $1; OUT holds the "o=" path (unescaped for plain paths).
inline bool installFakeHelper(const QString &body)
{
    const QString exe = SWFSnapDelegate::ZuziDORExePath();
    makeTreeWritable(SWFSnapDelegate::installFolder());
    QDir().mkpath(QFileInfo(exe).absolutePath());
    QFile::remove(exe);
    QFile file(exe);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray script = "#!/bin/sh\nOUT=$(printf '%s' \"$1\" | sed 's/.*|o=\\([^|]*\\)|.*/\\1/')\n" +
                              body.toUtf8() + "\n";
    file.write(script);
    file.close();
    return changeFilePermistion(exe, 0755);
}

// Restores the default limits when the test ends.
class ScopedLimits
{
public:
    explicit ScopedLimits(const SWFSnapDelegate::Limits &limits) : m_old(SWFSnapDelegate::limits())
    {
        SWFSnapDelegate::setLimits(limits);
    }
    ~ScopedLimits() { SWFSnapDelegate::setLimits(m_old); }

private:
    SWFSnapDelegate::Limits m_old;
};

} // namespace SnapTest
