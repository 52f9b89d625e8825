#include "foundation/NumberText.h"

#include <QByteArray>
#include <QLocale>
#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdarg>
#include <cstdlib>
#include <locale.h>

namespace NumberText {

namespace {

qsizetype skipSpace(QStringView text, qsizetype i)
{
    while (i < text.size() && text[i].isSpace())
        ++i;
    return i;
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Leading integer with saturation at [minimum, maximum].
template <typename T> T leadingInteger(QStringView text, T minimum, T maximum)
{
    qsizetype i = skipSpace(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    // Accumulate as a negative number so that the minimum (whose magnitude is one
    // larger than the maximum) is representable.
    T value = 0;
    bool saturated = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const T digit = T(text[i].unicode() - '0');
        if (saturated)
            continue;
        if (value < (minimum + digit) / 10) {
            saturated = true;
            continue;
        }
        value = value * 10 - digit;
    }
    if (negative)
        return saturated ? minimum : value;
    if (saturated || value < -maximum)
        return maximum;
    return -value;
}

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

} // namespace

int intValue(QStringView text)
{
    return leadingInteger<int>(text, INT_MIN, INT_MAX);
}

qint64 longLongValue(QStringView text)
{
    return leadingInteger<qint64>(text, LLONG_MIN, LLONG_MAX);
}

double doubleValue(QStringView text)
{
    qsizetype i = skipSpace(text, 0);
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0.0;
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    const QByteArray number = text.mid(start, i - start).toLatin1();
    return strtod_l(number.constData(), nullptr, cLocale());
}

float floatValue(QStringView text)
{
    return float(doubleValue(text));
}

bool boolValue(QStringView text)
{
    qsizetype i = skipSpace(text, 0);
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    while (i < text.size() && text[i] == QLatin1Char('0'))
        ++i;
    if (i >= text.size())
        return false;
    const QChar c = text[i];
    return c == QLatin1Char('Y') || c == QLatin1Char('y') || c == QLatin1Char('T')
        || c == QLatin1Char('t') || (c >= QLatin1Char('1') && c <= QLatin1Char('9'));
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString shortest(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString format(const char *fmt, ...)
{
    // QString::vasprintf formats numbers itself, in the C locale, whatever
    // setlocale() or QLocale::setDefault() say.
    va_list args;
    va_start(args, fmt);
    const QString result = QString::vasprintf(fmt, args);
    va_end(args);
    return result;
}

} // namespace NumberText
