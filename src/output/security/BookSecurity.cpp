#include "output/security/BookSecurity.h"

#include "foundation/AppLog.h"
#include "foundation/AppStrings.h"
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

// The form in which two names count as the same (access codes are made from it).
QString sameNameForm(const QString &name)
{
    return name.normalized(QString::NormalizationForm_C);
}

bool isUnknown(const QVariantMap &entry)
{
    return entry.value(kPassword).toString() == BookSecurity::unknownPassword();
}

// The content key users whose password is unknown need: the last one such an entry
// carries ("" for none, or when no password is unknown).
QString keyOfEarlierBook(const QList<QVariantMap> &list)
{
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        const QString key = it->value(kPageKey).toString();
        if (isUnknown(*it) && BookSecurity::isValidContentKey(key))
            return key;
    }
    return {};
}

// Keeps the earlier book's key on the entries whose password is unknown only when a
// known user's code opens exactly that key; otherwise no entry keeps one. (A code is
// tried only when it is up to date with its password, and at most a few codes are
// tried: each costs one password stretching.)
void keepVerifiedKey(QList<QVariantMap> &entries, QStringList *refused)
{
    const QString key = keyOfEarlierBook(entries);
    bool verified = false;
    int tried = 0;
    for (const QVariantMap &entry : std::as_const(entries)) {
        if (key.isEmpty() || tried >= 4)
            break;
        if (isUnknown(entry))
            continue;
        const auto code = AccessCode::parse(entry.value(kEncode).toString());
        if (!code || !code->hasWrappedKey() || code->iterations() > AccessCode::kDefaultIterations)
            continue;
        ++tried;
        const auto opened = code->open(entry.value(kUser).toString(), entry.value(kPassword).toString());
        if (!opened)
            continue; // the password was changed after the code was made
        verified = QString::fromLatin1(opened->toHex()) == key.toLower();
        break;
    }
    if (!key.isEmpty() && !verified && refused)
        *refused << QStringLiteral("the key of the book its users came from, which no known user's code opens");
    for (QVariantMap &entry : entries) {
        if (verified && isUnknown(entry) && entry.contains(kPageKey))
            entry.insert(kPageKey, key);
        else
            entry.remove(kPageKey);
    }
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
    // Entries read from a book keep codes that wrap that book's key; only the same key
    // lets them open the new book. A user added after the import stands at the end
    // without "pageKey", so the last entry that has one counts.
    if (const QString earlier = earlierBookKey(); !earlier.isEmpty())
        m_rc4String = earlier;
    const QByteArray salt = Crypto::randomBytes(AccessCode::kSaltLength);
    const QString key = m_rc4String;
    QList<int> rows;
    for (int i = 0; i < m_usersList.size(); ++i) {
        const QString password = m_usersList[i].value(kPassword).toString();
        if (password.isEmpty())
            m_usersList[i].remove(kEncode); // never a code that anyone opens without a password
        else if (password != unknownPassword())
            rows << i;
    }
    const QStringList codes = QtConcurrent::blockingMapped<QStringList>(WorkerPool::pool(), rows, [this, &key, &salt](int row) {
        const QVariantMap &entry = m_usersList.at(row);
        return encodeByUser(entry.value(kUser).toString(), entry.value(kPassword).toString(), key, salt);
    });
    for (int i = 0; i < rows.size(); ++i)
        m_usersList[rows[i]].insert(kEncode, codes.at(i));
}

QString BookSecurity::earlierBookKey() const
{
    return keyOfEarlierBook(m_usersList);
}

QString BookSecurity::userNameProblem(const QString &name, const QList<QVariantMap> &list, int exceptRow)
{
    if (name.isEmpty())
        return loadAppString(QStringLiteral("UsersListS-A user needs a name."), QStringLiteral("A user needs a name."));
    if (name.size() > kMaxUserNameLength)
        return loadAppString(QStringLiteral("UsersListS-A user name can have at most %1 characters."),
                             QStringLiteral("A user name can have at most %1 characters."))
            .arg(kMaxUserNameLength);
    if (name != name.trimmed())
        return loadAppString(QStringLiteral("UsersListS-A user name cannot begin or end with a blank."),
                             QStringLiteral("A user name cannot begin or end with a blank."));
    for (QChar c : name) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return loadAppString(QStringLiteral("UsersListS-A user name cannot hold line breaks, tabs or other control characters."),
                                 QStringLiteral("A user name cannot hold line breaks, tabs or other control characters."));
    }
    const QString form = sameNameForm(name);
    for (int i = 0; i < list.size(); ++i) {
        if (i != exceptRow && sameNameForm(list.at(i).value(kUser).toString()) == form)
            return loadAppString(QStringLiteral("UsersListS-The list already has a user \"%1\"."),
                                 QStringLiteral("The list already has a user \"%1\"."))
                .arg(name);
    }
    return {};
}

QString BookSecurity::passwordProblem(const QString &password)
{
    if (password.isEmpty())
        return loadAppString(QStringLiteral("UsersListS-A user needs a password."), QStringLiteral("A user needs a password."));
    return {};
}

QList<QVariantMap> BookSecurity::validEntries(const QVariantList &list, QStringList *refused)
{
    QList<QVariantMap> entries;
    const auto refuse = [refused](const QString &user, const QString &why) {
        if (refused)
            *refused << QStringLiteral("\"%1\": %2").arg(user.left(40), why);
    };
    for (const QVariant &item : list) {
        if (item.typeId() != QMetaType::QVariantMap) {
            refuse(QString(), QStringLiteral("no user"));
            continue;
        }
        const QVariantMap in = item.toMap();
        const auto text = [&in](const QString &key) {
            const QVariant v = in.value(key);
            return v.typeId() == QMetaType::QString ? v.toString() : QString();
        };
        const QString user = text(kUser);
        const QString password = text(kPassword);
        const QString code = text(kEncode);
        QString problem = userNameProblem(user, entries);
        if (problem.isEmpty())
            problem = passwordProblem(password);
        if (problem.isEmpty() && password == unknownPassword() && !AccessCode::parse(code))
            problem = QStringLiteral("the password is unknown and the user's code is missing or damaged");
        if (!problem.isEmpty()) {
            refuse(user, problem);
            continue;
        }
        QVariantMap entry{{kUser, user}, {kPassword, password}};
        if (!code.isEmpty())
            entry.insert(kEncode, code);
        if (const QString key = text(kPageKey); isValidContentKey(key))
            entry.insert(kPageKey, key);
        entries << entry;
    }
    keepVerifiedKey(entries, refused);
    return entries;
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
    QStringList refused;
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
        if (const QString problem = userNameProblem(user, entries); !problem.isEmpty()) {
            refused << QStringLiteral("\"%1\": %2").arg(user.left(40), problem);
            continue;
        }
        entries << QVariantMap{{kUser, user}, {kPassword, unknownPassword()}, {kEncode, code}};
    }
    if (!refused.isEmpty())
        AppLog::shared().error(QStringLiteral("users left out of %1: %2").arg(path, refused.join(QStringLiteral("; "))));
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
    const QVariantList list = d.value(QStringLiteral("usersList")).toList();
    if (list.isEmpty())
        return;
    QStringList refused;
    const QList<QVariantMap> users = validEntries(list, &refused);
    if (!refused.isEmpty())
        AppLog::shared().error(QStringLiteral("left out of the users list: %1").arg(refused.join(QStringLiteral("; "))));
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
