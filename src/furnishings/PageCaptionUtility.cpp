#include "furnishings/PageCaptionUtility.h"

#include "foundation/AppUtility.h"

#include <algorithm>
#include <limits>

namespace PageCaptionUtility {

namespace {

// The first "{" and its matching "}" (nesting counted): start and length of the span,
// or length 0 when there is none.
std::pair<qsizetype, qsizetype> braceSpan(const QString &text)
{
    const qsizetype open = text.indexOf(QLatin1Char('{'));
    if (open < 0)
        return {0, 0};
    int depth = 0;
    for (qsizetype i = open; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('{'))
            ++depth;
        else if (text[i] == QLatin1Char('}') && --depth == 0)
            return {open, i - open + 1};
    }
    return {0, 0};
}

bool startsWithCounter(const QString &text)
{
    const QString lower = text.toLower();
    return lower.startsWith(QLatin1String("n+")) || lower.startsWith(QLatin1String("r+"));
}

constexpr qint64 kLargest = std::numeric_limits<int>::max();

// A number held to the range of int: a caption may hold any run of digits.
int saturated(qint64 value)
{
    return int(std::clamp<qint64>(value, -kLargest, kLargest));
}

// The number the digits of text make (other characters skipped); a run too long for
// an int gives the largest int.
int digitsValue(const QString &text)
{
    QString digits = AppUtility::checkIntegerValueString(text);
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.size() > 10)
        return int(kLargest);
    return saturated(digits.toLongLong());
}

bool hasDigit(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
}

// The number written the way the counter's letter says: N decimal, R / r Roman.
QString counterText(QChar letter, int value)
{
    if (letter == QLatin1Char('R'))
        return romaStringForNumber(value);
    if (letter == QLatin1Char('r'))
        return romaStringForNumber(value).toLower();
    return QString::number(value);
}

// "N+2" / "r+" / "R+-1": the letter and the offset after "+".
std::pair<QChar, int> counterOf(const QString &inside)
{
    const QChar letter = inside.at(0);
    const QString offset = inside.mid(2).trimmed();
    const bool negative = offset.startsWith(QLatin1Char('-'));
    const QString digits = negative ? offset.mid(1) : offset;
    bool ok = !digits.isEmpty() && std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c.isDigit(); });
    const int size = ok ? digitsValue(digits) : 0;
    return {letter.toLower() == QLatin1Char('n') ? QLatin1Char('N') : letter, negative ? -size : size};
}

} // namespace

QString romaStringForNumber(int n)
{
    if (n <= 0)
        return {};
    if (n > 3999)
        return QStringLiteral("--");
    static const char *const thousands[] = {"", "M", "MM", "MMM"};
    static const char *const hundreds[] = {"", "C", "CC", "CCC", "CD", "D", "DC", "DCC", "DCCC", "CM"};
    static const char *const tens[] = {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"};
    static const char *const units[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
    return QString::fromLatin1(thousands[n / 1000]) + QString::fromLatin1(hundreds[n / 100 % 10])
           + QString::fromLatin1(tens[n / 10 % 10]) + QString::fromLatin1(units[n % 10]);
}

bool isExpressionForPageCaption(const QString &expression)
{
    const QStringList parts = expression.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return false;
    const QString &pages = parts[0];
    const QString &caption = parts[1];
    int score = 0;
    if (pages.contains(QLatin1Char('-'))) {
        const QStringList range = pages.split(QLatin1Char('-'));
        if (range.size() == 2)
            score = digitsValue(range[0]) < digitsValue(range[1]) ? 1 : 0;
    } else {
        score = hasDigit(pages) ? 3 : 0;
    }
    if (caption.contains(QLatin1Char('{')) && caption.contains(QLatin1Char('}'))) {
        const auto [start, length] = braceSpan(caption);
        if (length < 3)
            return score >= 3;
        if (startsWithCounter(caption.mid(start + 1, length - 2)))
            score |= 2;
        return score >= 3;
    }
    if (caption.contains(QLatin1Char('+'))) {
        if (startsWithCounter(caption) || hasDigit(caption))
            score |= 2;
    }
    return score >= 3;
}

std::optional<QString> checkCaptionFormat(const QString &scheme)
{
    QStringList kept;
    for (const QString &expression : scheme.split(QLatin1Char(';')))
        if (isExpressionForPageCaption(expression))
            kept << expression;
    if (kept.isEmpty())
        return std::nullopt;
    return kept.join(QLatin1Char(';'));
}

QStringList invalidExpressions(const QString &scheme)
{
    QString cleaned = scheme;
    cleaned.remove(QLatin1Char('\r'));
    cleaned.remove(QLatin1Char('\n'));
    QStringList invalid;
    for (const QString &expression : cleaned.split(QLatin1Char(';')))
        if (!expression.trimmed().isEmpty() && !isExpressionForPageCaption(expression))
            invalid << expression;
    return invalid;
}

QString expressionFromFields(const QString &fromPage, const QString &toPage, const QString &caption)
{
    if (fromPage.isEmpty() || caption.isEmpty() || digitsValue(fromPage) > digitsValue(toPage))
        return {};
    const QString expression = fromPage == toPage ? fromPage + QLatin1Char(':') + caption
                                                  : fromPage + QLatin1Char('-') + toPage + QLatin1Char(':') + caption;
    return checkCaptionFormat(expression).value_or(QString());
}

bool hasCounterMacro(const QString &caption)
{
    const auto [start, length] = braceSpan(caption);
    return length > 2 && startsWithCounter(caption.mid(start + 1, length - 2));
}

QStringList captionMacros()
{
    return {QStringLiteral("{N+}"), QStringLiteral("{N+2}"), QStringLiteral("{R+}"),
            QStringLiteral("{R+2}"), QStringLiteral("{r+}"), QStringLiteral("{r+2}")};
}

QStringList captionsForPages(const QString &scheme, int pageCount)
{
    QString cleaned = scheme;
    cleaned.remove(QLatin1Char('\r'));
    cleaned.remove(QLatin1Char('\n'));
    QStringList captions(qMax(0, pageCount));
    bool named = false;
    for (const QString &expression : cleaned.split(QLatin1Char(';'))) {
        if (!isExpressionForPageCaption(expression))
            continue;
        const qsizetype colon = expression.indexOf(QLatin1Char(':'));
        const QString pages = expression.left(colon);
        const QString caption = expression.mid(colon + 1);
        const bool isRange = pages.contains(QLatin1Char('-'));
        const int from = isRange ? digitsValue(pages.section(QLatin1Char('-'), 0, 0)) : digitsValue(pages);
        const int to = isRange ? digitsValue(pages.section(QLatin1Char('-'), 1, 1)) : from;
        const auto [start, length] = braceSpan(caption);
        const QString inside = length >= 3 ? caption.mid(start + 1, length - 2) : QString();
        for (int p = qMax(1, from); p <= qMin(to, pageCount); ++p) {
            QString text;
            if (startsWithCounter(inside)) {
                const auto [letter, k] = counterOf(inside);
                text = caption.left(start) + counterText(letter, saturated(qint64(p) + k)) + caption.mid(start + length);
            } else if (isRange && startsWithCounter(caption)) {
                const auto [letter, k] = counterOf(caption);
                text = counterText(letter, saturated(qint64(p) + k));
            } else if (isRange) {
                text = QString::number(saturated(qint64(digitsValue(caption)) + (p - from)));
            } else {
                text = caption;
            }
            captions[p - 1] = text;
            named = true;
        }
    }
    return named ? captions : QStringList();
}

} // namespace PageCaptionUtility
