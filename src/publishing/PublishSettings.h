#pragma once
// The output settings record and the application settings: the publish dialog opens
// with the last choices kept there and writes its choices back when it ends.

class AppSettings;
class ConvertParament;

namespace PublishSettings {

// A record with the last choices kept in the application settings.
ConvertParament recordFromAppSettings(const AppSettings &settings);
// Writes the record back into the application settings (not saved to disk). Desktop
// book fields the record leaves unset keep what the settings hold.
void writeRecordToAppSettings(const ConvertParament &record, AppSettings &settings);

// A stored load type as the dialog opens it: below 0 becomes 0, 4 and more become 3.
int clampLoadType(int loadType);

} // namespace PublishSettings
