#pragma once
// What a setting's editor run gives back to the setting. The editors opened from the
// settings outline (share links, toolbar icon files, extra icons, ...) end with a close
// code, 1 after OK; these functions turn the code and the editor's value into the
// setting's new value, or nothing when the setting keeps its value.

#include <QString>

#include <optional>

namespace TemplateEditorResult {

// The editor's value when the run ended with OK (close code 1), else no change.
std::optional<QString> fromRun(int closeCode, const QString &editorValue);

// For a setting naming a list file (the extra toolbar icons): after OK the file the
// editor wrote, or empty when that file does not exist, so the book never points at
// a missing list; no change otherwise.
std::optional<QString> listFileFromRun(int closeCode, const QString &listFile);

} // namespace TemplateEditorResult
