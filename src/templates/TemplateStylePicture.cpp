#include "templates/TemplateStylePicture.h"

#include "foundation/ColorText.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QPainter>

namespace {

QColor colorOf(const QString &value, const QColor &fallback)
{
    const auto digits = hexRGBDigits(value);
    return digits ? QColor(QLatin1Char('#') + *digits) : fallback;
}

} // namespace

namespace TemplateStylePicture {

QImage picture(const FlashTemplate &tmpl, const QString &styleName, const QSize &size)
{
    // The style's values over the template's defaults.
    const auto value = [&](const QString &key) {
        for (const FlashTemplateStyle &style : tmpl.styles())
            if (style.name() == styleName)
                for (const auto &[k, v] : style.values())
                    if (k == key)
                        return v;
        const FlashTemplateProperty *property = tmpl.propertyForKey(key);
        return property ? property->defaultValue() : QString();
    };
    QImage image(size, QImage::Format_RGB32);
    image.fill(colorOf(value(QStringLiteral("backgroundColor")), QColor(0x2E, 0x3B, 0x4E)));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QString backgroundPicture = tmpl.resolveResourcePath(value(QStringLiteral("backgroundImage")));
    if (!backgroundPicture.isEmpty()) {
        const QImage background(backgroundPicture);
        if (!background.isNull())
            p.drawImage(image.rect(), background.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation));
    }
    const int bar = qMax(8, size.height() / 7);
    const QRect book(size.width() / 5, bar + 6, size.width() * 3 / 5, size.height() - 2 * bar - 12);
    p.fillRect(book.adjusted(2, 2, 2, 2), QColor(0, 0, 0, 70));
    p.fillRect(book, Qt::white);
    p.setPen(QColor(0xC8, 0xC8, 0xC8));
    p.drawLine(book.center().x(), book.top(), book.center().x(), book.bottom());
    const QRect toolbar(0, size.height() - bar, size.width(), bar);
    p.fillRect(toolbar, colorOf(value(QStringLiteral("toolbarColor")), QColor(0x1B, 0x24, 0x30)));
    p.setPen(Qt::NoPen);
    p.setBrush(colorOf(value(QStringLiteral("iconColor")), Qt::white));
    const int dot = bar / 2;
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QRect(size.width() / 2 - 2 * (dot + 4) + i * (dot + 4), toolbar.top() + (bar - dot) / 2, dot, dot));
    return image;
}

QString writePicture(const FlashTemplate &tmpl, const QString &styleName, const QString &folder)
{
    QDir().mkpath(folder);
    const QString file = QDir(folder).filePath(QStringLiteral("%1-%2.png")
                                                   .arg(tmpl.tmplName(), QString::number(qHash(styleName), 16)));
    return picture(tmpl, styleName).save(file, "PNG") ? file : QString();
}

} // namespace TemplateStylePicture
