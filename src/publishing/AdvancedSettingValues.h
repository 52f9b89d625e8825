#pragma once
// What the advanced output settings sheet edits for one output kind, and the rules of
// its fields, without the window.
//
// Web kinds (and the sealed package): the page title, keywords, description and the
// extra script of the book's page. Desktop application (1): title, version, bundle
// identifier, icon, window size and close behaviour. Windows executable (3): title,
// icon and window size. The values come from the application settings or from one
// output settings record and go back to where they came from; fields a kind does not
// show are never written.

#include <QSize>
#include <QString>
#include <QVariantList>

class AppSettings;
class ConvertParament;

// The window size as the sheet shows it: the chosen cell (0 maximised, 1 full screen,
// 2 custom) and, for a custom size with a width and a height, both numbers.
struct WindowSizeChoice
{
    enum Tag { Maximized = 0, FullScreen = 1, Custom = 2 };

    int tag = Maximized;
    bool hasSize = false; // a custom value with exactly two numbers
    int width = 0;
    int height = 0;

    // Reads "MAX", "FULLSCREEN" or "CUSTOM:w,h". A "CUSTOM" without exactly two parts
    // after ":" is custom without size; anything else is maximised.
    static WindowSizeChoice fromString(const QString &value);
    // The stored text of tag with size (used for the custom cell only).
    static QString valueFor(int tag, const QSize &size);
};

struct AdvancedSettingValues
{
    QString title;       // page title, also the application's title
    QString keywords;
    QString description;
    QString script;      // the extra script of the book's page
    QString appVersion;
    QString appIdentifier;
    bool hideOnClose = false; // closing the application's window only hides it
    QString windowSize;  // "MAX", "FULLSCREEN" or "CUSTOM:w,h"
    QString iconFile;    // the icon the user chose; empty for the default icon

    // The last values kept in the application settings for kind. When no extra script
    // is kept yet, the default script is entered into settings first. An icon file that
    // no longer exists (or, for kind 1, is no ".icns") counts as none.
    static AdvancedSettingValues fromAppSettings(AppSettings &settings, int outputType);
    // The values of record for kind; iconFile is the icon the owner named (the record's
    // icon of kind when none), with the same rules as above.
    static AdvancedSettingValues fromRecord(const ConvertParament &record, int outputType, const QString &iconFile);

    // Stores what kind shows into the settings (not saved) or the record.
    void writeToAppSettings(AppSettings &settings, int outputType) const;
    void writeToRecord(ConvertParament &record, int outputType) const;

    // Kinds 1 and 3 show the application pane, the others the web-page pane.
    static bool showsApplicationPane(int outputType);
    // The icon file usable for kind: an existing file, and for kind 1 an ".icns" one.
    static QString usableIconFile(const QString &path, int outputType);
};

namespace AdvancedSettingRules {

// The smallest width and height of a custom window that needs no confirmation.
constexpr int kMinimumWindowSide = 50;

// The number of a size field: the integer at the start of text (blanks and a sign
// read, reading stops at the first other character, none gives 0) without its sign,
// as decimal text. Numbers too large for an int become the largest int.
QString checkInputNumber(const QString &text);

// A custom size fits when each side is at least 50 and at most the screen's.
bool fitsScreen(const QSize &size, const QSize &screen);

// The "fileName" of the entry of an icon list (WinIcon::exeIconsInfo()) with the
// largest "fileSize"; the first of equal sizes. Empty for no entries.
QString largestIconFile(const QVariantList &icons);

} // namespace AdvancedSettingRules
