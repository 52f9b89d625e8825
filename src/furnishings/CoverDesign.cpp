#include "furnishings/CoverDesign.h"

#include "foundation/ColorText.h"
#include "foundation/PropertyList.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

const QString kFormat = QStringLiteral("QuorvelCover");
constexpr int kVersion = 1;

double bounded(double value, double low, double high)
{
    return std::isfinite(value) ? std::clamp(value, low, high) : low;
}

QString backgroundName(CoverDesign::BackgroundKind kind)
{
    return kind == CoverDesign::BackgroundKind::Solid ? QStringLiteral("solid") : QStringLiteral("gradient");
}

QString placeName(CoverDesign::TitlePlace place)
{
    switch (place) {
    case CoverDesign::TitlePlace::Top: return QStringLiteral("top");
    case CoverDesign::TitlePlace::Bottom: return QStringLiteral("bottom");
    default: return QStringLiteral("none");
    }
}

// A colour of the dictionary, or fallback when the key is missing or not a colour.
QColor colorValue(const QVariantMap &map, const QString &key, const QColor &fallback)
{
    const QVariant value = map.value(key);
    if (value.typeId() != QMetaType::QString || !hexRGBDigits(value.toString()))
        return fallback;
    return colorFromHexRGB(value.toString());
}

double numberValue(const QVariantMap &map, const QString &key, double fallback)
{
    bool ok = false;
    const double value = map.value(key).toDouble(&ok);
    return ok ? value : fallback;
}

int intValue(const QVariantMap &map, const QString &key, int fallback)
{
    const double value = numberValue(map, key, fallback);
    return std::isfinite(value) ? int(std::clamp(value, -1e6, 1e6)) : fallback;
}

} // namespace

QColor CoverDesign::opaque(const QColor &color)
{
    return color.isValid() ? QColor(color.red(), color.green(), color.blue()) : QColor(Qt::black);
}

void CoverDesign::setCanvasSize(const QSize &size)
{
    m_size = QSize(std::clamp(size.width(), kMinSide, kMaxSide), std::clamp(size.height(), kMinSide, kMaxSide));
}

void CoverDesign::setPictureScale(double scale)
{
    m_scale = bounded(scale, 0.1, 1.0);
}

void CoverDesign::setPictureCenterX(double x)
{
    m_centerX = bounded(x, 0.0, 1.0);
}

void CoverDesign::setPictureCenterY(double y)
{
    m_centerY = bounded(y, 0.0, 1.0);
}

void CoverDesign::setFrameWidth(int width)
{
    m_frameWidth = std::clamp(width, 0, kMaxFrame);
}

void CoverDesign::setTurn(int degrees)
{
    m_turn = std::clamp(degrees, -kMaxTurn, kMaxTurn);
}

void CoverDesign::setShadowBlur(int radius)
{
    m_shadowBlur = std::clamp(radius, 0, kMaxBlur);
}

void CoverDesign::setShadowOffset(int x, int y)
{
    m_shadowX = std::clamp(x, -kMaxOffset, kMaxOffset);
    m_shadowY = std::clamp(y, -kMaxOffset, kMaxOffset);
}

void CoverDesign::setShadowOpacity(double opacity)
{
    m_shadowOpacity = bounded(opacity, 0.0, 1.0);
}

void CoverDesign::setTitle(const QString &title)
{
    QString text = title.left(kMaxTitleLength);
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    m_title = text;
}

void CoverDesign::setTitleSize(int pixels)
{
    m_titleSize = std::clamp(pixels, 6, kMaxTitleSize);
}

QVariantMap CoverDesign::toDictionary() const
{
    return {
        {QStringLiteral("format"), kFormat},
        {QStringLiteral("version"), kVersion},
        {QStringLiteral("width"), m_size.width()},
        {QStringLiteral("height"), m_size.height()},
        {QStringLiteral("background"),
         QVariantMap{{QStringLiteral("kind"), backgroundName(m_backgroundKind)},
                     {QStringLiteral("color"), colorToHexRGB(m_background)},
                     {QStringLiteral("color2"), colorToHexRGB(m_background2)}}},
        {QStringLiteral("picture"),
         QVariantMap{{QStringLiteral("scale"), m_scale},
                     {QStringLiteral("centerX"), m_centerX},
                     {QStringLiteral("centerY"), m_centerY},
                     {QStringLiteral("turn"), m_turn}}},
        {QStringLiteral("frame"),
         QVariantMap{{QStringLiteral("width"), m_frameWidth}, {QStringLiteral("color"), colorToHexRGB(m_frameColor)}}},
        {QStringLiteral("shadow"),
         QVariantMap{{QStringLiteral("blur"), m_shadowBlur},
                     {QStringLiteral("offsetX"), m_shadowX},
                     {QStringLiteral("offsetY"), m_shadowY},
                     {QStringLiteral("opacity"), m_shadowOpacity},
                     {QStringLiteral("color"), colorToHexRGB(m_shadowColor)}}},
        {QStringLiteral("title"),
         QVariantMap{{QStringLiteral("text"), m_title},
                     {QStringLiteral("place"), placeName(m_titlePlace)},
                     {QStringLiteral("size"), m_titleSize},
                     {QStringLiteral("color"), colorToHexRGB(m_titleColor)},
                     {QStringLiteral("font"), m_titleFont},
                     {QStringLiteral("bold"), m_titleBold}}},
    };
}

bool CoverDesign::readDictionary(const QVariantMap &map, QString *error)
{
    const auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (map.value(QStringLiteral("format")).toString() != kFormat)
        return fail(QStringLiteral("not a cover design (no format \"%1\")").arg(kFormat));
    if (intValue(map, QStringLiteral("version"), 0) > kVersion)
        return fail(QStringLiteral("a cover design of a newer version (%1)").arg(map.value(QStringLiteral("version")).toString()));

    CoverDesign d;
    d.setCanvasSize(QSize(intValue(map, QStringLiteral("width"), d.m_size.width()),
                          intValue(map, QStringLiteral("height"), d.m_size.height())));
    const QVariantMap background = map.value(QStringLiteral("background")).toMap();
    d.m_backgroundKind = background.value(QStringLiteral("kind")).toString() == QLatin1String("solid")
        ? BackgroundKind::Solid
        : BackgroundKind::Gradient;
    d.m_background = colorValue(background, QStringLiteral("color"), d.m_background);
    d.m_background2 = colorValue(background, QStringLiteral("color2"), d.m_background2);

    const QVariantMap picture = map.value(QStringLiteral("picture")).toMap();
    d.setPictureScale(numberValue(picture, QStringLiteral("scale"), d.m_scale));
    d.setPictureCenterX(numberValue(picture, QStringLiteral("centerX"), d.m_centerX));
    d.setPictureCenterY(numberValue(picture, QStringLiteral("centerY"), d.m_centerY));
    d.setTurn(intValue(picture, QStringLiteral("turn"), d.m_turn));

    const QVariantMap frame = map.value(QStringLiteral("frame")).toMap();
    d.setFrameWidth(intValue(frame, QStringLiteral("width"), d.m_frameWidth));
    d.m_frameColor = colorValue(frame, QStringLiteral("color"), d.m_frameColor);

    const QVariantMap shadow = map.value(QStringLiteral("shadow")).toMap();
    d.setShadowBlur(intValue(shadow, QStringLiteral("blur"), d.m_shadowBlur));
    d.setShadowOffset(intValue(shadow, QStringLiteral("offsetX"), d.m_shadowX),
                      intValue(shadow, QStringLiteral("offsetY"), d.m_shadowY));
    d.setShadowOpacity(numberValue(shadow, QStringLiteral("opacity"), d.m_shadowOpacity));
    d.m_shadowColor = colorValue(shadow, QStringLiteral("color"), d.m_shadowColor);

    const QVariantMap title = map.value(QStringLiteral("title")).toMap();
    d.setTitle(title.value(QStringLiteral("text")).toString());
    const QString place = title.value(QStringLiteral("place"), placeName(d.m_titlePlace)).toString();
    d.m_titlePlace = place == QLatin1String("top") ? TitlePlace::Top
        : place == QLatin1String("none")           ? TitlePlace::None
                                                   : TitlePlace::Bottom;
    d.setTitleSize(intValue(title, QStringLiteral("size"), d.m_titleSize));
    d.m_titleColor = colorValue(title, QStringLiteral("color"), d.m_titleColor);
    d.setTitleFont(title.value(QStringLiteral("font")).toString());
    d.m_titleBold = title.value(QStringLiteral("bold"), d.m_titleBold).toBool();

    *this = d;
    return true;
}

bool CoverDesign::loadFromFile(const QString &path, QString *error, bool *missing)
{
    const QFileInfo info(path);
    if (missing)
        *missing = !info.exists();
    if (!info.exists()) {
        if (error)
            *error = QStringLiteral("%1 does not exist").arg(path);
        return false;
    }
    if (!info.isFile() || info.size() > kMaxFileSize) {
        if (error)
            *error = QStringLiteral("%1 is not a cover design file").arg(path);
        return false;
    }
    QString reason;
    const std::optional<QVariant> value = PropertyList::readFile(path, &reason);
    if (!value || value->typeId() != QMetaType::QVariantMap) {
        if (error)
            *error = QStringLiteral("%1 cannot be read: %2").arg(path, reason.isEmpty() ? QStringLiteral("not a dictionary") : reason);
        return false;
    }
    if (!readDictionary(value->toMap(), &reason)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, reason);
        return false;
    }
    return true;
}

bool CoverDesign::saveToFile(const QString &path, QString *error) const
{
    return PropertyList::writeFile(path, toDictionary(), error);
}
