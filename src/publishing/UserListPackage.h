#pragma once
// The exchange of a protected book's users list.
//
// The package "users_list.zip" holds, at its top level:
//   "readme.txt"     what the package is, then "name = password" for every user
//                    (the passwords in plain text; "\t" for a password not known)
//   "users.txt"      the book's users file (BookSecurity::exportUsersListToFile), left
//                    out when the list is empty
//   "UserList.scfm"  the whole list, for the user list editor to import again
//
// "UserList.scfm" is the list as an XML property list, gzip-compressed, then sealed
// with AES-256-GCM under a key built into the program: this keeps the file from being
// read or changed by accident, but anyone with the program can open it. It is no
// protection of the passwords, as the readme and the editor say.
//
// Reading one back trusts nothing in it: the file and what it inflates to are capped
// in size, only dictionaries with a usable user name and a password are kept (see
// BookSecurity::validEntries), with only the known keys, as text.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <optional>

class BookSecurity;

class UserListPackage
{
public:
    static constexpr qsizetype kMaximumFileSize = 8 * 1024 * 1024;
    static constexpr qsizetype kMaximumListSize = 32 * 1024 * 1024;

    static QString packageFileName() { return QStringLiteral("users_list.zip"); }
    static QString listFileName() { return QStringLiteral("UserList.scfm"); }

    // The bytes of "UserList.scfm" for list; empty when it cannot be made.
    static QByteArray sealUserList(const QList<QVariantMap> &list);
    // The same for a list already written as a property list.
    static QByteArray sealListData(const QByteArray &propertyList);
    // The usable entries of such bytes; nullopt (with *error) when the data is not a
    // sealed list, was altered, is too large, or holds no usable entry.
    static std::optional<QList<QVariantMap>> unsealUserList(const QByteArray &data, QString *error = nullptr);
    // The same for a file.
    static std::optional<QList<QVariantMap>> readUserListFile(const QString &path, QString *error = nullptr);

    // The text of "readme.txt" for list.
    static QByteArray readmeText(const QList<QVariantMap> &list);

    // Writes the package to path: refreshes the users' codes (slow: one password
    // stretching per user), then writes the archive beside path and moves it there
    // only when complete, readable by its owner only. False with *error when it failed;
    // an older file at path is then left as it was.
    static bool exportPackage(BookSecurity &security, const QString &path, QString *error = nullptr);
};
