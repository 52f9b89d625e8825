#pragma once
// Who may open a protected project. A project protected by one password asks for
// that password; one protected by a users list asks for a user's name and password
// (any user of the list opens it). A project without protection, with an empty
// password or with an empty users list asks for nothing.
//
// The project file itself holds the passwords (it is readable by its owner only):
// the question keeps other people at the same computer from opening the book in the
// program and reading or changing its protection.

#include <QString>

class BookSecurity;

class ProjectAccess
{
public:
    enum class Question { None, Password, UserAndPassword };

    static Question questionFor(const BookSecurity &security);

    // True when the answer opens the project (the name is not looked at for a single
    // password). A user whose password is known must give that password; a user read
    // from a published book (password unknown) is checked against the access code,
    // which brings that book's content key back into security.
    static bool grants(BookSecurity &security, const QString &user, const QString &password);
};
