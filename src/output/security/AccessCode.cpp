#include "output/security/AccessCode.h"

#include "foundation/Crypto.h"

#include <QStringList>
#include <openssl/crypto.h>

namespace {

const QByteArray kVerifyLabel = QByteArrayLiteral("quorvel verify");
const QByteArray kWrapLabel = QByteArrayLiteral("quorvel wrap");

constexpr auto kBase64Url = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

QString encodePart(const QByteArray &data)
{
    return QString::fromLatin1(data.toBase64(kBase64Url));
}

std::optional<QByteArray> decodePart(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (QChar c : text) {
        const ushort u = c.unicode();
        const bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-'
            || u == '_';
        if (!ok)
            return std::nullopt;
    }
    auto result = QByteArray::fromBase64Encoding(text.toLatin1(), kBase64Url | QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return std::nullopt;
    return *result;
}

} // namespace

QByteArray AccessCode::normalizedUtf8(const QString &text)
{
    return text.normalized(QString::NormalizationForm_C).toUtf8();
}

std::optional<AccessCode::Secrets> AccessCode::derive(const QString &user, const QString &password,
                                                      const QByteArray &bookSalt, int iterations)
{
    const QByteArray salt = Crypto::sha256(bookSalt + normalizedUtf8(user));
    const QByteArray master = Crypto::pbkdf2HmacSha256(normalizedUtf8(password), salt, iterations, 32);
    if (salt.size() != 32 || master.size() != 32)
        return std::nullopt;
    Secrets secrets;
    secrets.verifier = Crypto::hmacSha256(master, kVerifyLabel).left(kVerifierLength);
    secrets.wrappingKey = Crypto::hmacSha256(master, kWrapLabel);
    if (secrets.verifier.size() != kVerifierLength || secrets.wrappingKey.size() != Crypto::kAesKeyLength)
        return std::nullopt;
    return secrets;
}

std::optional<AccessCode> AccessCode::make(const QString &user, const QString &password,
                                           const QByteArray &contentKey, const QByteArray &bookSalt,
                                           int iterations)
{
    if (bookSalt.size() != kSaltLength || iterations < kMinIterations || iterations > kMaxIterations
        || (!contentKey.isEmpty() && contentKey.size() != kContentKeyLength))
        return std::nullopt;
    const auto secrets = derive(user, password, bookSalt, iterations);
    if (!secrets)
        return std::nullopt;
    AccessCode code;
    code.m_iterations = iterations;
    code.m_salt = bookSalt;
    code.m_verifier = secrets->verifier;
    if (!contentKey.isEmpty()) {
        const QByteArray nonce = Crypto::randomBytes(Crypto::kGcmNonceLength);
        if (nonce.size() != Crypto::kGcmNonceLength)
            return std::nullopt;
        // The user name is bound to the wrapped key, so a code cannot be moved to
        // another name.
        const auto sealed = Crypto::aes256GcmEncrypt(secrets->wrappingKey, nonce, contentKey, normalizedUtf8(user));
        if (!sealed)
            return std::nullopt;
        code.m_wrapped = nonce + sealed->ciphertext + sealed->tag;
    }
    return code;
}

std::optional<AccessCode> AccessCode::parse(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 3 && parts.size() != 4)
        return std::nullopt;
    for (QChar c : parts[0])
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
    bool ok = false;
    const qlonglong rounds = parts[0].toLongLong(&ok);
    if (!ok || rounds < kMinIterations || rounds > kMaxIterations)
        return std::nullopt;
    const auto salt = decodePart(parts[1]);
    const auto verifier = decodePart(parts[2]);
    if (!salt || salt->size() != kSaltLength || !verifier || verifier->size() != kVerifierLength)
        return std::nullopt;
    AccessCode code;
    code.m_iterations = int(rounds);
    code.m_salt = *salt;
    code.m_verifier = *verifier;
    if (parts.size() == 4) {
        const auto wrapped = decodePart(parts[3]);
        if (!wrapped || wrapped->size() != Crypto::kGcmNonceLength + kContentKeyLength + Crypto::kGcmTagLength)
            return std::nullopt;
        code.m_wrapped = *wrapped;
    }
    return code;
}

QString AccessCode::toString() const
{
    QString text = QString::number(m_iterations) + QLatin1Char('.') + encodePart(m_salt) + QLatin1Char('.')
        + encodePart(m_verifier);
    if (!m_wrapped.isEmpty())
        text += QLatin1Char('.') + encodePart(m_wrapped);
    return text;
}

bool AccessCode::verifies(const QString &user, const QString &password) const
{
    const auto secrets = derive(user, password, m_salt, m_iterations);
    return secrets && secrets->verifier.size() == m_verifier.size()
        && CRYPTO_memcmp(secrets->verifier.constData(), m_verifier.constData(), size_t(m_verifier.size())) == 0;
}

std::optional<QByteArray> AccessCode::open(const QString &user, const QString &password) const
{
    const auto secrets = derive(user, password, m_salt, m_iterations);
    if (!secrets || secrets->verifier.size() != m_verifier.size()
        || CRYPTO_memcmp(secrets->verifier.constData(), m_verifier.constData(), size_t(m_verifier.size())) != 0)
        return std::nullopt;
    if (m_wrapped.isEmpty())
        return QByteArray();
    const QByteArray nonce = m_wrapped.left(Crypto::kGcmNonceLength);
    const QByteArray tag = m_wrapped.right(Crypto::kGcmTagLength);
    const QByteArray ciphertext =
        m_wrapped.mid(Crypto::kGcmNonceLength, m_wrapped.size() - Crypto::kGcmNonceLength - Crypto::kGcmTagLength);
    return Crypto::aes256GcmDecrypt(secrets->wrappingKey, nonce, ciphertext, tag, normalizedUtf8(user));
}
