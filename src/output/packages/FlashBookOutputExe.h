#pragma once
// The output engine for Windows executable books: writes the web book and appends it
// to our launcher as <folder>/<name>.exe with WinExePackager (docs/desktop-packages.md).
//
//   FlashBookOutputExe output(pageSource, tmpl, "/home/ann/Books", "Atlas");
//   output.setAppTitle("Atlas");  output.setAppWindowSize("MAX");
//   output.setAppIconFile("/home/ann/atlas.ico");
//   output.convertBook();                // /home/ann/Books/Atlas.exe
//   if (output.isFileInfoError()) ...    // some book files could not be stored
//
// The executable is made in the engine's stage and moved into place at the end, so a
// failed or cancelled run leaves the output folder (and an older file) as it was.

#include "output/packages/PackagedBookOutput.h"

class FlashBookOutputExe : public PackagedBookOutput
{
public:
    using PackagedBookOutput::PackagedBookOutput;

    // An ".ico", ".icns" or any picture; empty: the launcher's own icon.
    void setAppIconFile(const QString &path) { m_iconFile = path; }
    void setAppTitle(const QString &title) { m_title = title; }
    // "MAX", "FULLSCREEN" or "CUSTOM:w,h".
    void setAppWindowSize(const QString &size) { m_windowSize = size; }
    // The launcher program; the installed "book.data" unless set.
    void setStubFile(const QString &path) { m_stubFile = path; }

    QString packageSuffix() const override { return QStringLiteral("exe"); }

    // True after a run that left out book files whose names Windows cannot hold
    // (skippedFiles() lists them); the rest of the book was written.
    bool isFileInfoError() const { return !m_skipped.isEmpty(); }
    QStringList skippedFiles() const { return m_skipped; }

protected:
    void writePackage(const QString &webFolder, const QString &packageTarget) override;

private:
    QString m_iconFile;
    QString m_title;
    QString m_windowSize;
    QString m_stubFile;
    QStringList m_skipped;
};
