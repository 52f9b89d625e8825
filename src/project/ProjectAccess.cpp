#include "project/ProjectAccess.h"

#include "output/security/BookSecurity.h"

ProjectAccess::Question ProjectAccess::questionFor(const BookSecurity &security)
{
    switch (security.securityType()) {
    case BookSecurity::SinglePassword:
        return security.password().isEmpty() ? Question::None : Question::Password;
    case BookSecurity::UserList:
        return security.usersList().isEmpty() ? Question::None : Question::UserAndPassword;
    default:
        return Question::None;
    }
}

bool ProjectAccess::grants(BookSecurity &security, const QString &user, const QString &password)
{
    switch (questionFor(security)) {
    case Question::None: return true;
    case Question::Password: return password == security.password();
    case Question::UserAndPassword: break;
    }
    if (password.isEmpty())
        return false;
    for (const QVariantMap &entry : security.usersList()) {
        if (entry.value(QStringLiteral("user")).toString() != user)
            continue;
        const QString known = entry.value(QStringLiteral("password")).toString();
        if (known == BookSecurity::unknownPassword())
            return security.validateUser(user, password);
        return known == password;
    }
    return false;
}
