#pragma once
// A mobile settings file chosen for the phone version of a book: a settings text
// ("tmplSetting.txt" form, extension exactly "txt") or a theme package (a ZIP archive,
// "h5thm", holding a "tmplSetting.txt" and the files it names). Either is loaded into
// the mobile template; a template is made first (the phone template "Metro") when
// there is none.
//
// A package is unpacked into a new temporary folder, which stays while the program
// runs: its settings name files there. Its "STYLE_RESOURCE:" values are read as
// "STYLE_EXTERN:" values of that folder. A package without "tmplSetting.txt" changes no
// setting.

#include <QString>
#include <memory>

class ConvertParament;
class FlashTemplate;

namespace MobileSettingsFile {

// Loads path into tmpl (made when null). False, with the reason in error, when the file
// cannot be read or the package cannot be unpacked.
bool loadIntoTemplate(const QString &path, std::shared_ptr<FlashTemplate> &tmpl, QString *error = nullptr);

// A new phone template ("Metro", marked as the mobile template); null when its
// description cannot be read.
std::shared_ptr<FlashTemplate> newMobileTemplate();

// An output record keeps the phone template loaded from its settings file as the
// template's settings text and extern resource folder (keepTemplate; null clears them).
// templateOfRecord() makes that template again, or answers null when the record keeps none.
void keepTemplate(const FlashTemplate *tmpl, ConvertParament &record);
std::shared_ptr<FlashTemplate> templateOfRecord(const ConvertParament &record);

} // namespace MobileSettingsFile
