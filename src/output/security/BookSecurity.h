#pragma once
// How a book is protected: not at all (type 0), by one password (1) or by a list of
// users with their passwords (2); whether the first pages stay readable; and the
// book's content key, with which the published pages are encrypted.
//
// The content key keeps the name rc4String for the settings and dialogs that know it
// so, but it is 256 random bits from the operating system (64 hexadecimal digits),
// made afresh for every publish and used with AES-256-GCM (docs/book-security.md).
//
// A users-list entry is a dictionary:
//   "user"      the user name
//   "password"  the password; a single tab when unknown (entries read from a book)
//   "encode"    the user's access code (AccessCode): the password's verifier and the
//               content key wrapped with it
//   "pageKey"   optional: on an entry whose password is unknown, the content key of
//               the earlier book its code opens. Never taken from a list that is read
//               (whoever wrote the list could have chosen it): only a password of a
//               user of that book brings it back (validateUser).
//
// Users whose password is known get new codes for every book. A user whose password
// is unknown keeps access only through the key of the earlier book their code came
// with: the book then uses that key again (earlierBookKey). Such a user without that
// key gets no access code in the book (accessList).
//
// Every list that comes in (a project, the settings file, a book's "users.txt",
// "UserList.scfm") passes validEntries: a user name is not empty, at most
// kMaxUserNameLength characters, no other user's name (in Unicode composed form),
// without line breaks, tabs, other control characters or invisible format characters
// and without a blank at either end; a password is not empty, and an unknown one comes
// with the user's code, which no empty password opens. No entry is ever given a code
// for an empty or an unknown password.
//
// The program edits the open book's settings on the main thread; an output job works
// on a copy (the class is a plain value).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>

class BookSecurity
{
public:
    enum SecurityType { NoSecurity = 0, SinglePassword = 1, UserList = 2 };

    // Type 0, empty password, every page protected, no front pages excepted, a fresh
    // content key and no users; reads no file.
    BookSecurity();

    // The protection of the open book, which the security dialogs edit in place (the
    // application shell makes the open book's the shared one); a book of its own while
    // none is open.
    static BookSecurity *shareInstance();
    static void setShareInstance(std::shared_ptr<BookSecurity> security);

    int securityType() const { return m_securityType; }
    void setSecurityType(int type) { m_securityType = type; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    // 0: every page protected; otherwise the first exceptPages pages stay readable.
    int pageProtectType() const { return m_pageProtectType; }
    void setPageProtectType(int type) { m_pageProtectType = type; }
    QString exceptPages() const { return m_exceptPages; }
    void setExceptPages(const QString &pages) { m_exceptPages = pages; }

    QList<QVariantMap> &usersList() { return m_usersList; }
    const QList<QVariantMap> &usersList() const { return m_usersList; }
    void setUsersList(const QList<QVariantMap> &list) { m_usersList = list; }

    QString rc4String() const { return m_rc4String; }
    void setRc4String(const QString &key)
    {
        m_rc4String = key;
        m_keyOfEarlierBook = false;
    }
    // A fresh content key for the next book. Leaves the key empty when the system
    // gives no random bytes, which every writer treats as a failure.
    void generateRc4String();
    // The content key as 32 bytes; empty unless rc4String is 64 hexadecimal digits.
    QByteArray contentKey() const;
    static bool isValidContentKey(const QString &key);

    // Renews the users' codes. While users whose password is unknown keep access
    // through an earlier book's key, the content key is that key, so they still open
    // the book published again; once none does, a key taken from an earlier book is
    // replaced by a fresh one. Every entry with a known password gets a new "encode"
    // (all with one new book salt); an entry with an empty password loses its code.
    // Slow on purpose: every code costs one password stretching (the work is spread
    // over the processor's cores).
    void refreshUsersList();
    // The content key of the earlier book that users whose password is unknown came
    // from (the last entry's that carries one), which books published from this list
    // keep; "" when every publish makes a key of its own.
    QString earlierBookKey() const;
    // The users whose password is unknown who keep access through earlierBookKey(),
    // and those who have no access (their earlier book's key is not known here).
    QStringList earlierKeyUsers() const;
    QStringList usersWithoutAccess() const;

    struct Access
    {
        QString user;
        QString code;
    };
    // Who opens a book published with the current content key: every user with a
    // known password and a code, and every user whose password is unknown who keeps
    // access through that key; in the list's order.
    QList<Access> accessList() const;

    static constexpr int kMaxUserNameLength = 256;
    // Why name cannot be a user's name in list (exceptRow being the entry renamed, -1
    // for none); empty when it can.
    static QString userNameProblem(const QString &name, const QList<QVariantMap> &list, int exceptRow = -1);
    // Why password cannot be a user's password; empty when it can (the unknown
    // password passes).
    static QString passwordProblem(const QString &password);
    // The usable entries of a list that came from outside: dictionaries with a usable,
    // not repeated "user" and a usable "password" (an unknown one only with the
    // user's code, which must hold a content key, ask for no more password stretching
    // than the program's own codes and not open with an empty password), with only
    // "user", "password" and "encode", each as text (a "pageKey" is never taken).
    // refused, when given, gets the reason for each entry or key left out. Checking
    // the codes of unknown passwords costs one password stretching each (spread over
    // the processor's cores; a code found good is not checked again).
    static QList<QVariantMap> validEntries(const QVariantList &list, QStringList *refused = nullptr);

    // The code of a user with a password for a content key (hex text; empty for no
    // key part), with a new random book salt, or with the given 16-byte salt. Empty
    // when the key is not a valid content key or the system gives no random bytes.
    static QString encodeByUser(const QString &user, const QString &password, const QString &pageKey);
    static QString encodeByUser(const QString &user, const QString &password, const QString &pageKey,
                                const QByteArray &bookSalt);

    // For a non-empty list: refreshes the codes, then writes one line "user code" per
    // user of accessList(), each ended by CR LF, UTF-8 without byte-order mark,
    // atomically. False (and no file) for an empty list or when writing fails.
    bool exportUsersListToFile(const QString &path);
    // The lines exportUsersListToFile writes, without refreshing the codes first.
    QByteArray usersListFileData() const;
    // Reads a book's "users.txt": each well-formed line whose user validEntries
    // passes becomes an entry with the name, the unknown password (a tab) and the
    // code, replacing the list. False, the list unchanged, when the file holds no such
    // line.
    bool importUsersListByFile(const QString &path);

    // True when an entry has that user name and a code that starts with the code made
    // from the name and (non-empty) password without a content key (the same book
    // salt). When that user's password is unknown, the content key is then taken out
    // of the code into rc4String and kept as "pageKey" in the entries whose password
    // is unknown and whose codes were made with that code (the same book salt: the
    // same publish of the earlier book).
    bool validateUser(const QString &user, const QString &password);

    // ".BookSecuritySettings" in the user's extra-data folder.
    static QString settingsFilePath();
    // Reads the settings file when it exists: a present "securityType" or
    // "pageProtectType" replaces the field, a non-empty "password" or "exceptPages"
    // replaces the field, a non-empty "usersList" replaces the list.
    void loadSecuritySettings();
    // Writes the five settings as an XML property list, atomically, readable by the
    // owner only (the file holds passwords).
    bool saveSecuritySettings() const;

    // The project's form: the five settings under the settings file's keys.
    QVariantMap toDictionary() const;
    // Takes the values present in dictionary (missing keys keep the current values);
    // the users list only as validEntries passes it (the log names what was left out).
    void readDictionary(const QVariantMap &dictionary);

    // The number of front pages left readable (0 when every page is protected).
    int exceptPageCount() const;
    // The pages (from 1) a book of pageCount pages encrypts; none without security.
    QList<int> protectedPages(int pageCount) const;

    static QString unknownPassword() { return QStringLiteral("\t"); }

private:
    int m_securityType = NoSecurity;
    QString m_password;
    int m_pageProtectType = 0;
    QString m_exceptPages;
    QList<QVariantMap> m_usersList;
    QString m_rc4String;
    bool m_keyOfEarlierBook = false; // rc4String was taken from an earlier book
};
