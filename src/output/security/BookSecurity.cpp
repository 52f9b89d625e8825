#include "output/security/BookSecurity.h"

#include "foundation/AppLog.h"
#include "foundation/AppUtility.h"
#include "foundation/Crypto.h"
#include "foundation/InputLimits.h"
#include "foundation/PropertyList.h"
#include "output/security/AccessCode.h"
#include "output/security/OwnerOnlyFile.h"
#include "platform/WorkerPool.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtConcurrent>

namespace {

const QString kUser = QStringLiteral("user");
const QString kPassword = QStringLiteral("password");
const QString kEncode = QStringLiteral("encode");
const QString kPageKey = QStringLiteral("pageKey");

// The leading integer of a text, as the settings store front-page counts: "12 pages"
// reads 12, "x" reads 0.
int leadingInteger(const QString &text)
{
    const QString trimmed = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == QLatin1Char('-') || trimmed[i] == QLatin1Char('+'))) {
        negative = trimmed[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < trimmed.size() && trimmed[i].unicode() >= '0' && trimmed[i].unicode() <= '9'; ++i) {
        value = value * 10 + (trimmed[i].unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return int(negative ? -value : value);
}

QVariantList toVariantList(const QList<QVariantMap> &list)
{
    QVariantList out;
    out.reserve(list.size());
    for (const QVariantMap &entry : list)
        out << entry;
    return out;
}

QList<QVariantMap> toEntryList(const QVariantList &list)
{
    QList<QVariantMap> out;
    for (const QVariant &item : list)
        if (item.typeId() == QMetaType::QVariantMap)
            out << item.toMap();
    return out;
}

} // namespace

BookSecurity::BookSecurity()
{
    generateRc4String();
}

namespace {

std::shared_ptr<BookSecurity> &sharedSecurity()
{
    static std::shared_ptr<BookSecurity> instance = std::make_shared<BookSecurity>();
    return instance;
}

} // namespace

BookSecurity *BookSecurity::shareInstance()
{
    return sharedSecurity().get();
}

void BookSecurity::setShareInstance(std::shared_ptr<BookSecurity> security)
{
    sharedSecurity() = security ? std::move(security) : std::make_shared<BookSecurity>();
}

void BookSecurity::generateRc4String()
{
    const QByteArray key = Crypto::randomBytes(AccessCode::kContentKeyLength);
    m_rc4String = key.size() == AccessCode::kContentKeyLength ? QString::fromLatin1(key.toHex()) : QString();
}

bool BookSecurity::isValidContentKey(const QString &key)
{
    if (key.size() != AccessCode::kContentKeyLength * 2)
        return false;
    for (QChar c : key) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return false;
    }
    return true;
}

QByteArray BookSecurity::contentKey() const
{
    return isValidContentKey(m_rc4String) ? QByteArray::fromHex(m_rc4String.toLatin1()) : QByteArray();
}

QString BookSecurity::encodeByUser(const QString &user, const QString &password, const QString &pageKey)
{
    return encodeByUser(user, password, pageKey, Crypto::randomBytes(AccessCode::kSaltLength));
}

QString BookSecurity::encodeByUser(const QString &user, const QString &password, const QString &pageKey,
                                   const QByteArray &bookSalt)
{
    QByteArray key;
    if (!pageKey.isEmpty()) {
        if (!isValidContentKey(pageKey))
            return QString();
        key = QByteArray::fromHex(pageKey.toLatin1());
    }
    const auto code = AccessCode::make(user, password, key, bookSalt);
    return code ? code->toString() : QString();
}

void BookSecurity::refreshUsersList()
{
    if (m_usersList.isEmpty())
        return;
    bool someUnknown = false;
    for (const QVariantMap &entry : std::as_const(m_usersList))
        someUnknown = someUnknown || entry.value(kPassword).toString() == unknownPassword();
    if (someUnknown) {
        // Entries read from a book keep codes that wrap that book's key; only the
        // same key lets them open the new book. A user added after the import stands
        // at the end without "pageKey", so the last entry that has one counts.
        for (auto it = m_usersList.crbegin(); it != m_usersList.crend(); ++it) {
            const QString key = it->value(kPageKey).toString();
            if (isValidContentKey(key)) {
                m_rc4String = key;
                break;
            }
        }
    }
    const QByteArray salt = Crypto::randomBytes(AccessCode::kSaltLength);
    const QString key = m_rc4String;
    QList<int> rows;
    for (int i = 0; i < m_usersList.size(); ++i)
        if (m_usersList[i].value(kPassword).toString() != unknownPassword())
            rows << i;
    const QStringList codes = QtConcurrent::blockingMapped<QStringList>(WorkerPool::pool(), rows, [this, &key, &salt](int row) {
        const QVariantMap &entry = m_usersList.at(row);
        return encodeByUser(entry.value(kUser).toString(), entry.value(kPassword).toString(), key, salt);
    });
    for (int i = 0; i < rows.size(); ++i)
        m_usersList[rows[i]].insert(kEncode, codes.at(i));
}

QByteArray BookSecurity::usersListFileData() const
{
    QByteArray data;
    for (const QVariantMap &entry : m_usersList) {
        const QString user = entry.value(kUser).toString();
        const QString code = entry.value(kEncode).toString();
        if (user.isEmpty() || code.isEmpty())
            continue;
        data += user.toUtf8() + ' ' + code.toUtf8() + "\r\n";
    }
    return data;
}

bool BookSecurity::exportUsersListToFile(const QString &path)
{
    if (m_usersList.isEmpty())
        return false;
    refreshUsersList();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(usersListFileData());
    return file.commit();
}

bool BookSecurity::importUsersListByFile(const QString &path)
{
    std::optional<QByteArray> read = InputLimits::readFile(path, InputLimits::kMaxTextBytes);
    if (!read)
        return false;
    QByteArray data = *read;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QList<QVariantMap> entries;
    for (const QString &rawLine : QString::fromUtf8(data).split(QLatin1Char('\n'))) {
        QString line = rawLine;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // The code never holds a blank; the user name may.
        const qsizetype blank = line.lastIndexOf(QLatin1Char(' '));
        if (blank <= 0)
            continue;
        const QString user = line.left(blank);
        const QString code = line.mid(blank + 1);
        if (!AccessCode::parse(code))
            continue;
        entries << QVariantMap{{kUser, user}, {kPassword, unknownPassword()}, {kEncode, code}};
    }
    if (entries.isEmpty())
        return false;
    m_usersList = entries;
    return true;
}

bool BookSecurity::validateUser(const QString &user, const QString &password)
{
    for (const QVariantMap &entry : std::as_const(m_usersList)) {
        if (entry.value(kUser).toString() != user)
            continue;
        const QString stored = entry.value(kEncode).toString();
        const auto code = AccessCode::parse(stored);
        if (!code)
            continue;
        // The code this name and password give without a content key must be the
        // start of the stored one; only then is its key part opened.
        const auto probe = AccessCode::make(user, password, QByteArray(), code->bookSalt(), code->iterations());
        if (!probe || !stored.startsWith(probe->toString()))
            continue;
        const auto key = code->open(user, password);
        if (!key)
            continue;
        if (key->size() == AccessCode::kContentKeyLength) {
            m_rc4String = QString::fromLatin1(key->toHex());
            for (QVariantMap &other : m_usersList)
                if (other.value(kPassword).toString() == unknownPassword())
                    other.insert(kPageKey, m_rc4String);
        }
        return true;
    }
    return false;
}

QString BookSecurity::settingsFilePath()
{
    return AppUtility::userAppExtraDataPath() + QStringLiteral("/.BookSecuritySettings");
}

void BookSecurity::loadSecuritySettings()
{
    const QString path = settingsFilePath();
    if (!QFileInfo::exists(path))
        return;
    QString error;
    const auto value = PropertyList::readFile(path, &error);
    if (!value || value->typeId() != QMetaType::QVariantMap) {
        AppLog::shared().error(QStringLiteral("cannot read the security settings %1: %2").arg(path, error));
        return;
    }
    readDictionary(value->toMap());
}

void BookSecurity::readDictionary(const QVariantMap &d)
{
    auto isNumber = [](const QVariant &v) {
        return v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double
            || v.typeId() == QMetaType::Bool;
    };
    if (isNumber(d.value(QStringLiteral("securityType"))))
        m_securityType = d.value(QStringLiteral("securityType")).toInt();
    if (isNumber(d.value(QStringLiteral("pageProtectType"))))
        m_pageProtectType = d.value(QStringLiteral("pageProtectType")).toInt();
    const QString password = d.value(QStringLiteral("password")).toString();
    if (!password.isEmpty())
        m_password = password;
    const QString pages = d.value(QStringLiteral("exceptPages")).toString();
    if (!pages.isEmpty())
        m_exceptPages = pages;
    const QList<QVariantMap> users = toEntryList(d.value(QStringLiteral("usersList")).toList());
    if (!users.isEmpty())
        m_usersList = users;
}

QVariantMap BookSecurity::toDictionary() const
{
    return {{QStringLiteral("securityType"), m_securityType},
            {QStringLiteral("password"), m_password},
            {QStringLiteral("pageProtectType"), m_pageProtectType},
            {QStringLiteral("exceptPages"), m_exceptPages},
            {QStringLiteral("usersList"), toVariantList(m_usersList)}};
}

bool BookSecurity::saveSecuritySettings() const
{
    QString error;
    const auto xml = PropertyList::toXml(toDictionary(), &error);
    if (!xml || !writeOwnerOnlyFile(settingsFilePath(), *xml, &error)) {
        AppLog::shared().error(QStringLiteral("cannot save the security settings: %1").arg(error));
        return false;
    }
    return true;
}

int BookSecurity::exceptPageCount() const
{
    if (m_pageProtectType == 0)
        return 0;
    return std::max(0, leadingInteger(m_exceptPages));
}

QList<int> BookSecurity::protectedPages(int pageCount) const
{
    QList<int> pages;
    if (m_securityType == NoSecurity)
        return pages;
    const int except = exceptPageCount();
    if (except >= pageCount)
        return pages;
    for (int page = except + 1; page <= pageCount; ++page)
        pages << page;
    return pages;
}
