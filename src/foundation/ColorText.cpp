#include "foundation/ColorText.h"

#include <QRegularExpression>

#include <cctype>

QColor colorFromHexRGB(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    if (i + 2 < text.size() && text[i] == QLatin1Char('0')
        && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X')))
        i += 2;
    quint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        value = qMin<quint64>(value * 16 + quint64(digit), 0xFFFFFFFFull);
    }
    return QColor(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF));
}

QString colorToHexRGB(const QColor &color)
{
    if (!color.isValid())
        return {};
    const QColor rgb = color.toRgb();
    auto channel = [](float value) {
        const int v = qBound(0, int(value * 255.99998474121094), 255);
        return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
    };
    return QStringLiteral("0x") + channel(rgb.redF()) + channel(rgb.greenF()) + channel(rgb.blueF());
}

std::optional<QString> hexRGBDigits(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(?:0[xX]|#)?([0-9A-Fa-f]{6})$"));
    const auto match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toUpper();
}

QString filterHexColorInput(const QString &text)
{
    QString kept;
    bool hasX = false;
    for (const QChar c : text) {
        if ((c == QLatin1Char('x') || c == QLatin1Char('X')) && kept.size() == 1 && !hasX) {
            hasX = true;
        } else if (c.unicode() > 0x7F || !std::isxdigit(c.unicode())) {
            continue;
        }
        kept += c;
        if (kept.size() == (hasX ? 8 : 6))
            break;
    }
    return kept;
}

QString hexColorInputText(const QString &filtered)
{
    QString text = filtered.toLower() + QStringLiteral("0000000");
    if (!text.startsWith(QLatin1String("0x")))
        text.prepend(QStringLiteral("0x"));
    return text.left(8);
}
