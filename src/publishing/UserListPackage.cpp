#include "publishing/UserListPackage.h"

#include "foundation/AppUtility.h"
#include "foundation/Crypto.h"
#include "foundation/DataEncoding.h"
#include "foundation/PropertyList.h"
#include "foundation/ZipWriter.h"
#include "output/security/BookSecurity.h"

#include <QFile>

namespace {

// "UserList.scfm": magic and version, the GCM nonce, the sealed gzip data, the tag.
// The header is authenticated with the data.
const QByteArray kHeader = QByteArrayLiteral("QVUL\x01");

QByteArray sealKey()
{
    // Built into the program: the file is obfuscated, not secret.
    return Crypto::sha256(QByteArrayLiteral("Quorvel users list exchange, key 1"));
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

// True when the property list text nests containers deeper than a list of
// dictionaries of values (checked before the text is parsed at all).
bool nestsTooDeep(const QByteArray &xml, int allowed)
{
    int depth = 0;
    for (qsizetype at = xml.indexOf('<'); at >= 0; at = xml.indexOf('<', at + 1)) {
        const QByteArray tag = xml.mid(at, 8);
        const bool close = tag.startsWith("</");
        const QByteArray name = close ? tag.mid(2) : tag.mid(1);
        if (!name.startsWith("array") && !name.startsWith("dict"))
            continue;
        const qsizetype end = xml.indexOf('>', at);
        if (end > 0 && xml.at(end - 1) == '/')
            continue; // <array/>
        depth += close ? -1 : 1;
        if (depth > allowed)
            return true;
    }
    return false;
}

QVariantList toVariantList(const QList<QVariantMap> &list)
{
    QVariantList out;
    for (const QVariantMap &entry : list)
        out << entry;
    return out;
}

} // namespace

QByteArray UserListPackage::sealUserList(const QList<QVariantMap> &list)
{
    const std::optional<QByteArray> xml = PropertyList::toXml(toVariantList(list));
    return xml ? sealListData(*xml) : QByteArray();
}

QByteArray UserListPackage::sealListData(const QByteArray &propertyList)
{
    const QByteArray nonce = Crypto::randomBytes(Crypto::kGcmNonceLength);
    if (nonce.size() != Crypto::kGcmNonceLength)
        return {};
    const auto sealed = Crypto::aes256GcmEncrypt(sealKey(), nonce, gzipDeflate(propertyList), kHeader);
    if (!sealed)
        return {};
    return kHeader + nonce + sealed->ciphertext + sealed->tag;
}

std::optional<QList<QVariantMap>> UserListPackage::unsealUserList(const QByteArray &data, QString *error)
{
    const auto refuse = [error](const QString &message) -> std::optional<QList<QVariantMap>> {
        fail(error, message);
        return std::nullopt;
    };
    const qsizetype minimum = kHeader.size() + Crypto::kGcmNonceLength + Crypto::kGcmTagLength;
    if (data.size() > kMaximumFileSize)
        return refuse(QStringLiteral("the file is too large"));
    if (data.size() < minimum || !data.startsWith(kHeader))
        return refuse(QStringLiteral("the file is no users list of this program"));
    const QByteArray nonce = data.mid(kHeader.size(), Crypto::kGcmNonceLength);
    const QByteArray body = data.mid(kHeader.size() + Crypto::kGcmNonceLength);
    const QByteArray ciphertext = body.left(body.size() - Crypto::kGcmTagLength);
    const QByteArray tag = body.right(Crypto::kGcmTagLength);
    const std::optional<QByteArray> packed = Crypto::aes256GcmDecrypt(sealKey(), nonce, ciphertext, tag, kHeader);
    if (!packed)
        return refuse(QStringLiteral("the file is damaged"));
    const std::optional<QByteArray> xml = gzipInflate(*packed, kMaximumListSize);
    if (!xml)
        return refuse(QStringLiteral("the list is damaged or too large"));
    // A list of dictionaries of values (a value that is itself a list or dictionary is
    // dropped later): nothing nested deeper is parsed at all.
    if (!xml->trimmed().startsWith("<") || nestsTooDeep(*xml, 3))
        return refuse(QStringLiteral("the list is not a list of users"));
    QString parseError;
    const std::optional<QVariant> value = PropertyList::fromData(*xml, &parseError);
    if (!value || value->typeId() != QMetaType::QVariantList)
        return refuse(QStringLiteral("the list is not a list of users"));
    const QList<QVariantMap> entries = BookSecurity::validEntries(value->toList());
    if (entries.isEmpty())
        return refuse(QStringLiteral("the list holds no usable user"));
    return entries;
}

std::optional<QList<QVariantMap>> UserListPackage::readUserListFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaximumFileSize) {
        fail(error, QStringLiteral("the file is too large"));
        return std::nullopt;
    }
    return unsealUserList(file.read(kMaximumFileSize + 1), error);
}

QByteArray UserListPackage::readmeText(const QList<QVariantMap> &list)
{
    QByteArray text = "You can copy the \"users.txt\" file to replace that in following path:\"./files/extfiles/users.txt\". "
                      "You can drag and drop the \"UserList.scfm\" file to the User list window to import all user "
                      "accounts and passwords.\n\n"
                      "The passwords below are in plain text, and \"UserList.scfm\" holds them too: it is only "
                      "obfuscated, anyone with the program can read it. Keep this package where only you can "
                      "reach it.\n\n"
                      "The accounts and passwords :\n";
    for (const QVariantMap &entry : list)
        text += entry.value(QStringLiteral("user")).toString().toUtf8() + " = "
            + entry.value(QStringLiteral("password")).toString().toUtf8() + "\n";
    return text;
}

bool UserListPackage::exportPackage(BookSecurity &security, const QString &path, QString *error)
{
    QList<QVariantMap> &list = security.usersList();
    // The codes of users.txt and of the list are made again for the book's key.
    security.refreshUsersList();
    const QByteArray sealed = sealUserList(list);
    if (sealed.isEmpty())
        return fail(error, QStringLiteral("the users list could not be sealed"));

    ZipWriter zip(path);
    bool added = zip.addData(QStringLiteral("readme.txt"), readmeText(list), 0600)
        && zip.addData(listFileName(), sealed, 0600);
    if (!list.isEmpty())
        added = added && zip.addData(QStringLiteral("users.txt"), security.usersListFileData(), 0600);
    if (!added || !zip.commit())
        return fail(error, zip.errorString());
    // The package holds every password: for its owner only.
    if (!changeFilePermistion(path, 0600))
        return fail(error, QStringLiteral("cannot make the package private"));
    return true;
}
