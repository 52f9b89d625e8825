#pragma once
// The access code of one reader of a protected book: proof of the reader's password
// and, optionally, the book's content key wrapped with a key derived from it.
//
// Text form (docs/book-security.md): "<iterations>.<salt>.<verifier>[.<wrapped key>]",
// the last three base64url without padding. The password is stretched with
// PBKDF2-HMAC-SHA-256 (salt = SHA-256(book salt || user name)), so testing a guess
// costs as much as the iteration count says; the verifier and the key that wraps the
// content key (AES-256-GCM) are taken apart from the stretched secret with HMAC. The
// code made without a content key is therefore the start of the code made with one.

#include <QByteArray>
#include <QString>
#include <optional>

class AccessCode
{
public:
    static constexpr int kDefaultIterations = 600000;
    // Codes asking for fewer or more rounds are refused when read: too few would make
    // guessing cheap, too many would hang the reader.
    static constexpr int kMinIterations = 1000;
    static constexpr int kMaxIterations = 10000000;
    static constexpr int kSaltLength = 16;
    static constexpr int kVerifierLength = 16;
    static constexpr int kContentKeyLength = 32;

    // A code for user and password. contentKey is empty (no key part) or 32 bytes;
    // bookSalt must be kSaltLength bytes. nullopt on bad arguments or when the
    // cipher fails.
    static std::optional<AccessCode> make(const QString &user, const QString &password,
                                          const QByteArray &contentKey, const QByteArray &bookSalt,
                                          int iterations = kDefaultIterations);

    // nullopt unless text is a well-formed code with an acceptable iteration count.
    static std::optional<AccessCode> parse(const QString &text);

    QString toString() const;

    // The content key when user and password are the ones the code was made for: an
    // empty array for a code without key part, nullopt for a wrong password or a
    // damaged code.
    std::optional<QByteArray> open(const QString &user, const QString &password) const;
    // Whether user and password are the ones the code was made for (its verifier
    // only; as slow as open()).
    bool verifies(const QString &user, const QString &password) const;

    int iterations() const { return m_iterations; }
    QByteArray bookSalt() const { return m_salt; }
    bool hasWrappedKey() const { return !m_wrapped.isEmpty(); }

    // Names and passwords are compared in Unicode composed form (NFC), as typed text
    // may come composed or decomposed.
    static QByteArray normalizedUtf8(const QString &text);

private:
    struct Secrets
    {
        QByteArray verifier;
        QByteArray wrappingKey;
    };
    static std::optional<Secrets> derive(const QString &user, const QString &password,
                                         const QByteArray &bookSalt, int iterations);

    int m_iterations = kDefaultIterations;
    QByteArray m_salt;
    QByteArray m_verifier;
    QByteArray m_wrapped; // nonce || ciphertext || tag
};
