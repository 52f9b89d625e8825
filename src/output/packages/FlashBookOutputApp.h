#pragma once
// The output engine for desktop application books for macOS: writes the web book and
// wraps it into <folder>/<name>.app with MacAppPackager (docs/desktop-packages.md).
//
//   FlashBookOutputApp output(pageSource, tmpl, "/home/ann/Books", "Atlas");
//   output.setHTMLConfig(html);          // the book's title is also its page title
//   output.setAppTitle("Atlas");  output.setAppVersion("1.2");
//   output.setAppIdentifier("com.example.atlas");
//   output.setAppWindowSize("CUSTOM:1024,768");  output.setWindowHideMode("NO");
//   output.convertBook();                // /home/ann/Books/Atlas.app
//   output.zipOutput();                  // /home/ann/Books/Atlas.zip holding Atlas.app
//
// The whole bundle is made in the engine's stage and moved into place at the end, so
// a failed or cancelled run leaves the output folder (and an older bundle) as it was.

#include "output/packages/PackagedBookOutput.h"

class FlashBookOutputApp : public PackagedBookOutput
{
public:
    using PackagedBookOutput::PackagedBookOutput;

    // "YES": closing the window only hides the book; "NO" or empty: it quits.
    void setWindowHideMode(const QString &mode) { m_hideMode = mode; }
    // An ".icns" file, or a picture made into one; empty: the template's icon.
    void setAppIconFile(const QString &path) { m_iconFile = path; }
    void setAppTitle(const QString &title) { m_title = title; }
    void setAppVersion(const QString &version) { m_version = version; }
    void setAppIdentifier(const QString &identifier) { m_identifier = identifier; }
    // "MAX", "FULLSCREEN" or "CUSTOM:w,h".
    void setAppWindowSize(const QString &size) { m_windowSize = size; }
    // The "mac.app" template folder; the installed one unless set.
    void setTemplateFolder(const QString &folder) { m_templateFolder = folder; }

    QString packageSuffix() const override { return QStringLiteral("app"); }

protected:
    void writePackage(const QString &webFolder, const QString &packageTarget) override;

private:
    QString m_hideMode;
    QString m_iconFile;
    QString m_title;
    QString m_version;
    QString m_identifier;
    QString m_windowSize;
    QString m_templateFolder;
};
