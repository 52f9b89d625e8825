#include "output/packages/SealedPackage.h"

#include "foundation/AppStrings.h"
#include "foundation/Crypto.h"
#include "foundation/ZipExtractor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <memory>
#include <openssl/evp.h>

namespace SealedPackage {

namespace {

constexpr int kSaltLength = 16;
constexpr qint64 kChunk = 1 << 20;

struct CipherContextFree
{
    void operator()(EVP_CIPHER_CTX *ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree>;

bool failWith(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

QString damagedText()
{
    return loadAppString(QStringLiteral("SealedPackage-The password is wrong or the package is damaged."),
                         QStringLiteral("The password is wrong or the package is damaged."));
}

QByteArray deriveKey(const QString &password, const QByteArray &salt, int iterations)
{
    return Crypto::pbkdf2HmacSha256(password.toUtf8(), salt, iterations, Crypto::kAesKeyLength);
}

} // namespace

bool seal(const QString &plainFile, const QString &packagePath, const QString &password, int iterations,
          const std::atomic_bool *stop, QString *error)
{
    if (password.isEmpty())
        return failWith(error, loadAppString(QStringLiteral("SealedPackage-A password is needed to seal the book."),
                                             QStringLiteral("A password is needed to seal the book.")));
    if (iterations < 1 || iterations > kMaxIterations)
        iterations = kDefaultIterations;
    QFile in(plainFile);
    if (!in.open(QIODevice::ReadOnly))
        return failWith(error, in.errorString());
    const QByteArray salt = Crypto::randomBytes(kSaltLength);
    const QByteArray nonce = Crypto::randomBytes(Crypto::kGcmNonceLength);
    if (salt.size() != kSaltLength || nonce.size() != Crypto::kGcmNonceLength)
        return failWith(error, QStringLiteral("The system gave no random numbers."));
    const QByteArray key = deriveKey(password, salt, iterations);

    QByteArray header(kMagic, 8);
    header.append(char(1)).append(char(1)).append(char(1)).append(char(0));
    char count[4];
    qToBigEndian<quint32>(quint32(iterations), count);
    header.append(count, 4).append(salt).append(nonce);

    CipherContext ctx(EVP_CIPHER_CTX_new());
    int len = 0;
    if (!ctx || EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, nonce.size(), nullptr) != 1
        || EVP_EncryptInit_ex(ctx.get(), nullptr, nullptr, reinterpret_cast<const unsigned char *>(key.constData()),
                              reinterpret_cast<const unsigned char *>(nonce.constData())) != 1
        || EVP_EncryptUpdate(ctx.get(), nullptr, &len, reinterpret_cast<const unsigned char *>(header.constData()),
                             int(header.size())) != 1)
        return failWith(error, QStringLiteral("The cipher could not be set up."));

    QSaveFile out(packagePath);
    if (!out.open(QIODevice::WriteOnly))
        return failWith(error, out.errorString());
    out.write(header);
    QByteArray buffer(kChunk + 32, Qt::Uninitialized);
    while (!in.atEnd()) {
        if (stop && stop->load()) {
            out.cancelWriting();
            return failWith(error, QStringLiteral("Cancel publish!"));
        }
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty() && in.error() != QFile::NoError)
            return failWith(error, in.errorString());
        if (EVP_EncryptUpdate(ctx.get(), reinterpret_cast<unsigned char *>(buffer.data()), &len,
                              reinterpret_cast<const unsigned char *>(chunk.constData()), int(chunk.size()))
            != 1)
            return failWith(error, QStringLiteral("The book could not be encrypted."));
        if (out.write(buffer.constData(), len) != len)
            return failWith(error, out.errorString());
    }
    if (EVP_EncryptFinal_ex(ctx.get(), reinterpret_cast<unsigned char *>(buffer.data()), &len) != 1)
        return failWith(error, QStringLiteral("The book could not be encrypted."));
    out.write(buffer.constData(), len);
    QByteArray tag(Crypto::kGcmTagLength, Qt::Uninitialized);
    if (EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, int(tag.size()), tag.data()) != 1)
        return failWith(error, QStringLiteral("The book could not be encrypted."));
    out.write(tag);
    if (!out.commit())
        return failWith(error, out.errorString());
    return true;
}

bool unseal(const QString &packagePath, const QString &password, const QString &plainFile, QString *error)
{
    QFile in(packagePath);
    if (!in.open(QIODevice::ReadOnly))
        return failWith(error, in.errorString());
    const qint64 size = in.size();
    const QByteArray header = in.read(kHeaderSize);
    if (size < kHeaderSize + Crypto::kGcmTagLength || header.size() != kHeaderSize || !header.startsWith(kMagic)
        || header.at(8) != 1 || header.at(9) != 1 || header.at(10) != 1)
        return failWith(error, loadAppString(QStringLiteral("SealedPackage-The file is not a sealed book package."),
                                             QStringLiteral("The file is not a sealed book package.")));
    const quint32 iterations = qFromBigEndian<quint32>(header.constData() + 12);
    if (iterations < 1 || iterations > quint32(kMaxIterations))
        return failWith(error, damagedText());
    const QByteArray salt = header.mid(16, kSaltLength);
    const QByteArray nonce = header.mid(32, Crypto::kGcmNonceLength);
    const QByteArray key = deriveKey(password, salt, int(iterations));

    CipherContext ctx(EVP_CIPHER_CTX_new());
    int len = 0;
    if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, nonce.size(), nullptr) != 1
        || EVP_DecryptInit_ex(ctx.get(), nullptr, nullptr, reinterpret_cast<const unsigned char *>(key.constData()),
                              reinterpret_cast<const unsigned char *>(nonce.constData())) != 1
        || EVP_DecryptUpdate(ctx.get(), nullptr, &len, reinterpret_cast<const unsigned char *>(header.constData()),
                             int(header.size())) != 1)
        return failWith(error, damagedText());

    QSaveFile out(plainFile);
    if (!out.open(QIODevice::WriteOnly))
        return failWith(error, out.errorString());
    qint64 remaining = size - kHeaderSize - Crypto::kGcmTagLength;
    QByteArray buffer(kChunk + 32, Qt::Uninitialized);
    while (remaining > 0) {
        const QByteArray chunk = in.read(qMin(remaining, kChunk));
        if (chunk.isEmpty())
            return failWith(error, damagedText());
        remaining -= chunk.size();
        if (EVP_DecryptUpdate(ctx.get(), reinterpret_cast<unsigned char *>(buffer.data()), &len,
                              reinterpret_cast<const unsigned char *>(chunk.constData()), int(chunk.size()))
            != 1)
            return failWith(error, damagedText());
        out.write(buffer.constData(), len);
    }
    QByteArray tag = in.read(Crypto::kGcmTagLength);
    if (tag.size() != Crypto::kGcmTagLength
        || EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, int(tag.size()), tag.data()) != 1
        || EVP_DecryptFinal_ex(ctx.get(), reinterpret_cast<unsigned char *>(buffer.data()), &len) != 1) {
        out.cancelWriting();
        return failWith(error, damagedText());
    }
    if (!out.commit())
        return failWith(error, out.errorString());
    return true;
}

} // namespace SealedPackage

bool openSealedPackage(const QString &packagePath, const QString &password, const QString &folder, QString *error)
{
    QTemporaryDir work;
    if (!work.isValid()) {
        if (error)
            *error = work.errorString();
        return false;
    }
    const QString archive = work.filePath(QStringLiteral("book.zip"));
    if (!SealedPackage::unseal(packagePath, password, archive, error))
        return false;
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("The folder cannot be made.");
        return false;
    }
    ZipExtractor extractor;
    if (!extractor.extractFile(archive, folder)) {
        if (error)
            *error = extractor.errorString();
        return false;
    }
    return true;
}
