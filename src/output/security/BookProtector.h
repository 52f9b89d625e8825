#pragma once
// Encrypts the protected pages of a written web book, so that only a reader with the
// password (or a user name and password) can see them (docs/book-security.md).
//
// For the desktop book (files/) and its phone version (mobile/files/, when present):
// every file a protected page's record names in files/config.js (page, zoom and
// thumbnail pictures, the page's SWF), the page's search text and its download
// files are encrypted with the content key (AES-256-GCM, a fresh nonce per file) into
// payload scripts under files/secure/; the records then name the payloads, the clear
// files are removed, and files/secure/book.js tells the viewer who may open the book.
// Pictures of a protected page in the engine's folders (files/page/, files/large/,
// files/thumb/ named after the page number) are taken too when the record does not
// name them, so no picture of a protected page stays readable.
// What else tells of a protected page is encrypted with it: the narration's sound of
// every spread that shows one (files/narration.js names the payload, shared by the
// phone version), its annotations in files/book.xml (one payload of all of them), and,
// in a book with any protected page, every attachment; the names of the encrypted
// downloads and attachments are encrypted apart from their files (one payload).
// A book protected by a users list also gets files/extfiles/users.txt.
//
// The security object is refreshed for a users list (its codes are renewed, and its
// content key may be the one of the book the users came from), so it is taken by
// reference. On failure nothing is removed; the book is then not protected and the
// caller must not publish it.

#include "output/security/BookSecurity.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>

class BookProtector
{
public:
    BookProtector(BookSecurity &security, int pageCount);

    // True when the book was protected, or needs no protection (no security).
    bool protectBook(const QString &bookFolder);
    QString errorString() const { return m_error; }

    // The pages protectBook() encrypted.
    QList<int> protectedPages() const { return m_protectedPages; }

    static QString securityScriptPath() { return QStringLiteral("files/secure/book.js"); }
    static QString usersFilePath() { return QStringLiteral("files/extfiles/users.txt"); }
    // The payload script of an id such as "normal/5", relative to the home page.
    static QString payloadPath(const QString &id);

private:
    struct Version
    {
        QString home;         // folder of the home page
        QString usersFile;    // users.txt as seen from the home page
    };

    bool prepareAccess();
    bool protectVersion(const Version &version);
    // Encrypts the local file at relative URL path into payload id; the payload's
    // path, or an empty string after setting m_error.
    QString encryptFile(const QString &home, const QString &url, const QString &id, bool keepName);
    bool writePayload(const QString &home, const QString &id, const QJsonObject &clearFields,
                      const QByteArray &data);
    QString localFile(const QString &home, const QString &url) const;
    // Encrypts a file read whole (a sound, an attachment) as a payload of the given type,
    // once for both versions (m_payloadOf). The payload's path as seen from home, or ""
    // after fail().
    QString encryptShared(const QString &home, const QString &url, const QString &id, const QString &type);
    bool protectAttachments(const QString &home, QJsonObject &download);
    bool protectNarration(const QString &home, const QSet<int> &isProtected);
    bool protectAnnotations();
    bool fail(const QString &message);

    // Sounds and attachments are read whole to be encrypted.
    static constexpr qint64 kMaxSharedFileBytes = qint64(1) << 30;

    BookSecurity &m_security;
    int m_pageCount;
    QString m_bookFolder;
    QByteArray m_key;
    QJsonObject m_access; // kind and codes, shared by both versions
    QList<int> m_protectedPages;
    QSet<QString> m_clearFiles;   // encrypted files, removed at the end
    QSet<QString> m_keptFiles;    // files unprotected pages still name
    QString m_annotationsPayload;             // relative to the book folder; "" when none
    QJsonObject m_fileNames;                  // of the version being protected: payload id -> file name
    // The payload (its path in the book) of every file encrypted so far: a file the
    // phone version names too is encrypted once, and both versions name that payload.
    QHash<QString, QString> m_payloadOf;
    QHash<QString, QString> m_textPayloadOf; // the same for a search script
    QString m_error;
};
