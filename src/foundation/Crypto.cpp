#include "foundation/Crypto.h"

#include <cerrno>
#include <memory>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <sys/random.h>

namespace Crypto {

namespace {

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

QByteArray digest(const EVP_MD *type, const QByteArray &data)
{
    QByteArray out(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int length = 0;
    if (EVP_Digest(data.constData(), size_t(data.size()), reinterpret_cast<unsigned char *>(out.data()), &length,
                   type, nullptr)
        != 1)
        return {};
    out.resize(int(length));
    return out;
}

const unsigned char *bytes(const QByteArray &data)
{
    return reinterpret_cast<const unsigned char *>(data.constData());
}

} // namespace

QByteArray randomBytes(int n)
{
    if (n <= 0)
        return {};
    QByteArray out(n, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < n) {
        const ssize_t got = getrandom(out.data() + filled, size_t(n - filled), 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return {};
        }
        filled += got;
    }
    return out;
}

QByteArray md5(const QByteArray &data)
{
    return digest(EVP_md5(), data);
}

QByteArray sha256(const QByteArray &data)
{
    return digest(EVP_sha256(), data);
}

QByteArray hmacSha256(const QByteArray &key, const QByteArray &data)
{
    QByteArray out(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int length = 0;
    if (!HMAC(EVP_sha256(), key.constData(), int(key.size()), bytes(data), size_t(data.size()),
              reinterpret_cast<unsigned char *>(out.data()), &length))
        return {};
    out.resize(int(length));
    return out;
}

QByteArray pbkdf2HmacSha256(const QByteArray &password, const QByteArray &salt, int iterations, int length)
{
    if (iterations < 1 || length < 1)
        return {};
    QByteArray out(length, Qt::Uninitialized);
    if (PKCS5_PBKDF2_HMAC(password.constData(), int(password.size()), bytes(salt), int(salt.size()), iterations,
                          EVP_sha256(), length, reinterpret_cast<unsigned char *>(out.data()))
        != 1)
        return {};
    return out;
}

std::optional<GcmSealed> aes256GcmEncrypt(const QByteArray &key, const QByteArray &nonce,
                                          const QByteArray &plaintext, const QByteArray &aad)
{
    if (key.size() != kAesKeyLength || nonce.isEmpty())
        return std::nullopt;
    CipherContext ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!ctx || EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, int(nonce.size()), nullptr) != 1
        || EVP_EncryptInit_ex(ctx.get(), nullptr, nullptr, bytes(key), bytes(nonce)) != 1)
        return std::nullopt;
    int length = 0;
    if (!aad.isEmpty() && EVP_EncryptUpdate(ctx.get(), nullptr, &length, bytes(aad), int(aad.size())) != 1)
        return std::nullopt;
    GcmSealed sealed;
    sealed.ciphertext.resize(plaintext.size() + 16);
    auto *out = reinterpret_cast<unsigned char *>(sealed.ciphertext.data());
    int written = 0;
    if (!plaintext.isEmpty()) {
        if (EVP_EncryptUpdate(ctx.get(), out, &length, bytes(plaintext), int(plaintext.size())) != 1)
            return std::nullopt;
        written = length;
    }
    if (EVP_EncryptFinal_ex(ctx.get(), out + written, &length) != 1)
        return std::nullopt;
    sealed.ciphertext.resize(written + length);
    sealed.tag.resize(kGcmTagLength);
    if (EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, kGcmTagLength, sealed.tag.data()) != 1)
        return std::nullopt;
    return sealed;
}

std::optional<QByteArray> aes256GcmDecrypt(const QByteArray &key, const QByteArray &nonce,
                                           const QByteArray &ciphertext, const QByteArray &tag,
                                           const QByteArray &aad)
{
    if (key.size() != kAesKeyLength || nonce.isEmpty() || tag.size() != kGcmTagLength)
        return std::nullopt;
    CipherContext ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, int(nonce.size()), nullptr) != 1
        || EVP_DecryptInit_ex(ctx.get(), nullptr, nullptr, bytes(key), bytes(nonce)) != 1)
        return std::nullopt;
    int length = 0;
    if (!aad.isEmpty() && EVP_DecryptUpdate(ctx.get(), nullptr, &length, bytes(aad), int(aad.size())) != 1)
        return std::nullopt;
    QByteArray plain(ciphertext.size() + 16, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(plain.data());
    int written = 0;
    if (!ciphertext.isEmpty()) {
        if (EVP_DecryptUpdate(ctx.get(), out, &length, bytes(ciphertext), int(ciphertext.size())) != 1)
            return std::nullopt;
        written = length;
    }
    QByteArray expected = tag;
    if (EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, kGcmTagLength, expected.data()) != 1)
        return std::nullopt;
    if (EVP_DecryptFinal_ex(ctx.get(), out + written, &length) != 1)
        return std::nullopt; // authentication failed: never hand out the plaintext
    plain.resize(written + length);
    return plain;
}

} // namespace Crypto
