#pragma once
// The two things the window layer needs of the UI language: which language the
// window descriptions and texts are in, and the translation of a UI string.
// Every lookup of the platform layer goes through these two functions, so they are
// the one place that ties it to the language table.

#include <QString>

namespace UiText {

// The current UI language code ("en", "de", "zh-Hans", ...); "en" when none is chosen.
QString languageCode();

// Chooses the UI language (an empty code means English).
void setLanguageCode(const QString &code);

// The UI string for key in the current language; defaultText when there is none.
QString string(const QString &key, const QString &defaultText);

} // namespace UiText
