#pragma once
// Digests, key derivation and authenticated encryption (OpenSSL EVP), and random
// bytes from the operating system. Book security and sealed packages build on these;
// nothing here is a cipher of our own.

#include <QByteArray>
#include <optional>

namespace Crypto {

// n bytes from the operating system's CSPRNG (getrandom). Empty only when the
// system cannot give them, which callers must treat as a failure.
QByteArray randomBytes(int n);

QByteArray md5(const QByteArray &data);
QByteArray sha256(const QByteArray &data);
QByteArray hmacSha256(const QByteArray &key, const QByteArray &data);

// PBKDF2 with HMAC-SHA-256; empty on bad arguments (iterations < 1, length < 1).
QByteArray pbkdf2HmacSha256(const QByteArray &password, const QByteArray &salt, int iterations, int length);

constexpr int kAesKeyLength = 32;   // AES-256
constexpr int kGcmNonceLength = 12; // the recommended GCM nonce size
constexpr int kGcmTagLength = 16;

struct GcmSealed
{
    QByteArray ciphertext;
    QByteArray tag; // kGcmTagLength bytes
};

// AES-256-GCM. The key must be 32 bytes and the nonce non-empty (12 bytes
// recommended, never reused with one key); aad is authenticated but not encrypted.
// nullopt on bad arguments.
std::optional<GcmSealed> aes256GcmEncrypt(const QByteArray &key, const QByteArray &nonce,
                                          const QByteArray &plaintext, const QByteArray &aad = QByteArray());
// nullopt when the arguments are bad or the ciphertext, tag, nonce or aad were
// altered (the authentication fails).
std::optional<QByteArray> aes256GcmDecrypt(const QByteArray &key, const QByteArray &nonce,
                                           const QByteArray &ciphertext, const QByteArray &tag,
                                           const QByteArray &aad = QByteArray());

} // namespace Crypto
