#pragma once
// Writes a desktop application book for macOS: a copy of our bundle template with the
// finished web book inside.
//
//   N.app/Contents/Info.plist           title, version, identifier, icon, executable
//   N.app/Contents/MacOS/<executable>   the launcher (a POSIX shell script, mode 0755)
//   N.app/Contents/Resources/flipbookicons.icns   the default or the chosen icon
//   N.app/Contents/Resources/book/      the web book
//   N.app/Contents/Resources/book.conf  page, window size, close mode, book id, title
//
// The launcher opens the page in a Chrome, Edge, Chromium or Brave application window
// of the recorded size, or in the default browser. The close mode is recorded, but a
// browser window decides itself what closing it does.
// The bundle is assembled in a hidden folder beside the target and moved into place
// only when complete; a failed or stopped run leaves an older bundle untouched.

#include <QString>
#include <atomic>
#include <functional>

class MacAppPackager
{
public:
    // "YES": closing the window only hides the book; "NO" or empty: it quits.
    void setWindowHideMode(const QString &mode) { m_hideMode = mode; }
    // An ".icns" file is used as it is; any other picture becomes an ".icns" of every
    // size. Empty: the template's icon.
    void setAppIconFile(const QString &path) { m_iconFile = path; }
    void setAppTitle(const QString &title) { m_title = title; }
    void setAppVersion(const QString &version) { m_version = version; }
    void setAppIdentifier(const QString &identifier) { m_identifier = identifier; }
    void setAppWindowSize(const QString &size) { m_windowSize = size; }
    // The "mac.app" template folder; PackageTemplates::macAppTemplatePath() unless set.
    void setTemplateFolder(const QString &folder) { m_templateFolder = folder; }
    void setStopFlag(const std::atomic_bool *stop) { m_stop = stop; }
    // Files of the book copied so far and in all.
    void setProgressHandler(std::function<void(int, int)> handler) { m_progress = std::move(handler); }
    // Moves the book folder into the bundle instead of copying it, for a book written
    // only to be packed: it is gone from bookFolder afterwards, also when the package
    // fails. Falls back to copying when the folder cannot be renamed there.
    void setMovesBook(bool on) { m_movesBook = on; }

    // mainPage is the book's entry page relative to bookFolder; appPath ends in ".app".
    bool writePackage(const QString &bookFolder, const QString &mainPage, const QString &appPath);

    QString errorString() const { return m_error; }

    // What goes into Info.plist: a bundle identifier of letters, digits, "-" and "."
    // (other characters become "-"; the default when nothing is left), a version of
    // digits and dots ("1.0" when the text starts with none), an executable name of
    // letters, digits, blanks, "-" and "_" ("book" when nothing is left).
    static QString bundleIdentifier(const QString &text);
    static QString bundleVersion(const QString &text);
    static QString executableName(const QString &title);

private:
    bool fail(const QString &message);
    bool copyBook(const QString &from, const QString &to);
    bool writeIcon(const QString &resources, const QString &iconName);

    QString m_hideMode;
    QString m_iconFile;
    QString m_title;
    QString m_version;
    QString m_identifier;
    QString m_windowSize;
    QString m_templateFolder;
    const std::atomic_bool *m_stop = nullptr;
    std::function<void(int, int)> m_progress;
    bool m_movesBook = false;
    QString m_error;
};
