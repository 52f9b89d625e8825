#pragma once
// The signed-in account of the online book service, handed to whatever needs to act
// for the user (uploads, the publish run).

#include <QString>

class OnlineUserInf
{
public:
    OnlineUserInf() = default;
    OnlineUserInf(const QString &userName, const QString &token, const QString &email)
        : m_userName(userName), m_token(token), m_email(email)
    {
    }

    QString userName() const { return m_userName; }
    void setUserName(const QString &value) { m_userName = value; }
    QString token() const { return m_token; } // session token given by the service at login
    void setToken(const QString &value) { m_token = value; }
    QString email() const { return m_email; }
    void setEmail(const QString &value) { m_email = value; }

    bool isSignedIn() const { return !m_userName.isEmpty() && !m_token.isEmpty(); }

private:
    QString m_userName;
    QString m_token;
    QString m_email;
};
