#pragma once
// What the narration windows make of typed numbers: the filters applied to the last
// character typed into a rate, volume or pause field, and the pause fields' seconds.

#include <QString>

namespace NarrationInput {

// Rate and volume fields: the last character stays when it is a digit that is not a
// second digit after the point, or the text's first "."; otherwise it is removed.
QString checkFloatInput(const QString &text);
// Pause fields: the same, with any number of digits after the point.
QString checkStringFrom(const QString &text);

// A volume as typed, kept within 0.0 to 1.0; empty or unreadable text gives 0.0.
double clampedVolume(const QString &text, bool *changed = nullptr);

// Seconds as typed into a pause field, in whole milliseconds: rounded, and kept
// within 0 to kMaximumPause (an empty or unreadable text gives 0).
constexpr int kMaximumPause = 3600 * 1000;
int millisecondsFromSeconds(const QString &text);
// "%.3f" of milliseconds / 1000, as the pause fields show it.
QString secondsText(int milliseconds);

// "%.1f", as the rate and volume fields show them.
QString oneDecimal(double value);

} // namespace NarrationInput
