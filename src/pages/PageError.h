#pragma once
// Outcome of page work (opening a PDF, importing, regenerating page pictures), with
// the message the user is shown. Kinds the UI treats differently are told apart:
// a PDF that needs a password it was not given asks for one; a wrong password asks
// again; a cancelled run says nothing.

#include <QString>

enum class PageError {
    None,
    FileNotFound,
    PasswordNeeded,
    WrongPassword,
    DamagedFile,
    UnreadablePicture,
    BadPageRange,
    NoPages,
    WriteFailed,
    Cancelled,
};

struct PageResult
{
    PageError error = PageError::None;
    QString message;

    bool ok() const { return error == PageError::None; }
    static PageResult success() { return {}; }
    static PageResult failure(PageError error, const QString &message) { return {error, message}; }
};

// User-visible messages shared by the page work, in the UI language.
namespace PageMessages {
QString fileNotFound(const QString &path);
QString passwordNeeded(const QString &path);
QString wrongPassword(const QString &path);
QString damagedPdf(const QString &path);
QString unreadablePicture(const QString &path, const QString &reason);
QString cannotWrite(const QString &path);
QString cancelled();
} // namespace PageMessages
