#pragma once
// Sealed book packages: a ZIP archive of a web book encrypted with a key derived from
// the user's password, so only someone who knows the password can open it.
//
// File layout (all integers big-endian):
//   offset  size  field
//   0       8     magic "QVSEALED"
//   8       1     format version, 1
//   9       1     key derivation, 1 = PBKDF2 with HMAC-SHA-256
//   10      1     cipher, 1 = AES-256-GCM
//   11      1     reserved, 0
//   12      4     PBKDF2 iteration count
//   16      16    salt (random)
//   32      12    GCM nonce (random)
//   44      n     the encrypted ZIP archive
//   44 + n  16    GCM authentication tag
// The key is PBKDF2-HMAC-SHA-256(UTF-8 password, salt, count, 32 bytes); the 44 header
// bytes are authenticated as additional data, so a changed header, a changed byte of
// the archive or a wrong password all fail the same way and nothing is unpacked.

#include <QString>
#include <atomic>

namespace SealedPackage {

inline constexpr int kDefaultIterations = 600000;
inline constexpr int kMaxIterations = 10000000;
inline constexpr int kHeaderSize = 44;
inline constexpr char kMagic[] = "QVSEALED";

// Encrypts plainFile into packagePath (written beside it first, renamed when done).
bool seal(const QString &plainFile, const QString &packagePath, const QString &password,
          int iterations = kDefaultIterations, const std::atomic_bool *stop = nullptr, QString *error = nullptr);

// Decrypts a package into plainFile; plainFile exists afterwards only when the
// password was right and the package intact.
bool unseal(const QString &packagePath, const QString &password, const QString &plainFile,
            QString *error = nullptr);

} // namespace SealedPackage

// Opens a sealed book package: checks the password and unpacks the book into folder
// (made when missing). Nothing is written when the password is wrong.
bool openSealedPackage(const QString &packagePath, const QString &password, const QString &folder,
                       QString *error = nullptr);
