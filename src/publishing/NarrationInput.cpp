#include "publishing/NarrationInput.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace NarrationInput {

namespace {

QString filtered(const QString &text, bool oneDigitAfterPoint)
{
    if (text.isEmpty())
        return text;
    const QChar last = text.back();
    const QString before = text.left(text.size() - 1);
    if (last.isDigit() && last.unicode() < 0x80) {
        const qsizetype point = before.indexOf(QLatin1Char('.'));
        // A point that is not the character right before: a second digit after it.
        if (oneDigitAfterPoint && point >= 0 && point != before.size() - 1)
            return before;
        return text;
    }
    if (last == QLatin1Char('.') && !before.contains(QLatin1Char('.')))
        return text;
    return before;
}

} // namespace

QString checkFloatInput(const QString &text)
{
    return filtered(text, true);
}

QString checkStringFrom(const QString &text)
{
    return filtered(text, false);
}

double clampedVolume(const QString &text, bool *changed)
{
    bool ok = false;
    double value = QLocale::c().toDouble(text, &ok);
    if (!ok || std::isnan(value))
        value = 0.0;
    const double clamped = std::clamp(value, 0.0, 1.0);
    if (changed)
        *changed = clamped != value;
    return clamped;
}

int millisecondsFromSeconds(const QString &text)
{
    bool ok = false;
    const double seconds = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(seconds) || seconds <= 0)
        return 0;
    const double milliseconds = std::round(seconds * 1000.0);
    return milliseconds >= kMaximumPause ? kMaximumPause : int(milliseconds);
}

QString secondsText(int milliseconds)
{
    return QString::number(milliseconds / 1000.0, 'f', 3);
}

QString oneDecimal(double value)
{
    return QString::number(value, 'f', 1);
}

} // namespace NarrationInput
