#include "furnishings/PageCaptionUtility.h"

#include "foundation/AppUtility.h"

#include <algorithm>

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

int digitsValue(const QString &text)
{
    const QString digits = AppUtility::checkIntegerValueString(text);
    bool ok = false;
    const int value = digits.left(9).toInt(&ok);
    return ok ? value : 0;
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
    bool ok = false;
    const int k = offset.toInt(&ok);
    return {letter.toLower() == QLatin1Char('n') ? QLatin1Char('N') : letter, ok ? k : 0};
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
                text = caption.left(start) + counterText(letter, p + k) + caption.mid(start + length);
            } else if (isRange && startsWithCounter(caption)) {
                const auto [letter, k] = counterOf(caption);
                text = counterText(letter, p + k);
            } else if (isRange) {
                text = QString::number(digitsValue(caption) + (p - from));
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
