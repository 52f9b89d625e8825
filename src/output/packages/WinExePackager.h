#pragma once
// Writes a Windows executable book: our launcher stub with the book's icon put into
// its icon resources and the finished web book appended (see ExeBookPayload).
//
//   WinExePackager exe;
//   exe.setAppTitle(title);
//   exe.setAppWindowSize("CUSTOM:1024,768");
//   exe.setAppIconFile(icon);           // ".ico", ".icns" or a picture; empty: the stub's icon
//   if (!exe.writePackage(bookFolder, "Demo.html", folder + "/Demo.exe")) report(exe.errorString());
//   if (exe.isFileInfoError()) warn(exe.skippedFiles());
//
// The executable is written to a temporary file and moved over the target only when
// complete; a failed or stopped run leaves an older file at that path untouched.

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

class WinExePackager
{
public:
    void setAppIconFile(const QString &path) { m_iconFile = path; }
    void setAppTitle(const QString &title) { m_title = title; }
    void setAppWindowSize(const QString &size) { m_windowSize = size; }
    // The launcher program; PackageTemplates::winExeStubPath() unless set.
    void setStubFile(const QString &path) { m_stubFile = path; }
    void setStopFlag(const std::atomic_bool *stop) { m_stop = stop; }
    // Bytes of the book written so far and in all.
    void setProgressHandler(std::function<void(qint64, qint64)> handler) { m_progress = std::move(handler); }

    // mainPage is the book's entry page relative to bookFolder.
    bool writePackage(const QString &bookFolder, const QString &mainPage, const QString &exePath);

    // True when some book files were left out because their names cannot be written
    // into the executable's index (see ExeBookPayload::isWindowsName); the rest of the
    // book is still written.
    bool isFileInfoError() const { return !m_skipped.isEmpty(); }
    QStringList skippedFiles() const { return m_skipped; }
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &message);

    QString m_iconFile;
    QString m_title;
    QString m_windowSize;
    QString m_stubFile;
    const std::atomic_bool *m_stop = nullptr;
    std::function<void(qint64, qint64)> m_progress;
    QStringList m_skipped;
    QString m_error;
};
