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
#include <QMutex>
#include <QSaveFile>
#include <QSet>
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

// Whether an unknown password's entry keeps access through the book key key.
bool keepsAccessThrough(const QVariantMap &entry, const QString &key)
{
    return isUnknown(entry) && !key.isEmpty() && entry.value(kPageKey).toString().compare(key, Qt::CaseInsensitive) == 0;
}

// Codes of unknown passwords (with their user names) already found not to open with an
// empty password: each check costs one password stretching, and the same lists are
// read again and again (a project saved and opened, a list imported twice).
class CheckedCodes
{
public:
    bool contains(const QString &code)
    {
        QMutexLocker lock(&m_mutex);
        return m_codes.contains(code);
    }
    void insert(const QString &code)
    {
        QMutexLocker lock(&m_mutex);
        if (m_codes.size() >= kMaxCodes)
            m_codes.clear();
        m_codes.insert(code);
    }

private:
    static constexpr qsizetype kMaxCodes = 100000;
    QMutex m_mutex;
    QSet<QString> m_codes;
};

CheckedCodes &checkedCodes()
{
    static CheckedCodes codes;
    return codes;
}

// Why the code of a user whose password is unknown cannot come into a list; empty
// when it can. The code is what lets the user in, so it must hold a content key, cost
// no more to check than the program's own codes, and not open without a password.
QString unknownPasswordCodeProblem(const QString &user, const QString &text)
{
    const auto code = AccessCode::parse(text);
    if (!code)
        return QStringLiteral("the password is unknown and the user's code is missing or damaged");
    if (!code->hasWrappedKey())
        return QStringLiteral("the user's code holds no content key");
    if (code->iterations() > AccessCode::kDefaultIterations)
        return QStringLiteral("the user's code asks for more password stretching than books have");
    // What a code opens depends on the name it was made for too.
    const QString checked = user + QLatin1Char('\n') + text;
    if (checkedCodes().contains(checked))
        return {};
    if (code->verifies(user, QString()))
        return QStringLiteral("the user's code opens the book without a password");
    checkedCodes().insert(checked);
    return {};
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
    m_keyOfEarlierBook = false;
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
    // Users read from a book keep codes that wrap that book's key; only the same key
    // lets them open the new book. Once no such user is left, neither is that key.
    if (const QString earlier = earlierBookKey(); !earlier.isEmpty()) {
        m_rc4String = earlier;
        m_keyOfEarlierBook = true;
    } else if (m_keyOfEarlierBook) {
        generateRc4String();
    }
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

QStringList BookSecurity::earlierKeyUsers() const
{
    const QString key = earlierBookKey();
    QStringList users;
    for (const QVariantMap &entry : m_usersList)
        if (keepsAccessThrough(entry, key))
            users << entry.value(kUser).toString();
    return users;
}

QStringList BookSecurity::usersWithoutAccess() const
{
    const QString key = earlierBookKey();
    QStringList users;
    for (const QVariantMap &entry : m_usersList)
        if (isUnknown(entry) && !keepsAccessThrough(entry, key))
            users << entry.value(kUser).toString();
    return users;
}

QList<BookSecurity::Access> BookSecurity::accessList() const
{
    QList<Access> list;
    for (const QVariantMap &entry : m_usersList) {
        const QString user = entry.value(kUser).toString();
        const QString code = entry.value(kEncode).toString();
        const QString password = entry.value(kPassword).toString();
        if (user.isEmpty() || code.isEmpty() || password.isEmpty())
            continue;
        if (password == unknownPassword() && !keepsAccessThrough(entry, m_rc4String))
            continue; // their code opens only a key this book does not have
        list << Access{user, code};
    }
    return list;
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
        // Invisible characters that turn or join text (U+202E, U+200B, U+FEFF, ...)
        // make one name look like another, and a leading U+FEFF is lost in "users.txt".
        if (c.category() == QChar::Other_Format)
            return loadAppString(QStringLiteral("UsersListS-A user name cannot hold invisible formatting characters."),
                                 QStringLiteral("A user name cannot hold invisible formatting characters."));
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
    bool droppedKey = false;
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
        if (!problem.isEmpty()) {
            refuse(user, problem);
            continue;
        }
        QVariantMap entry{{kUser, user}, {kPassword, password}};
        if (!code.isEmpty())
            entry.insert(kEncode, code);
        droppedKey = droppedKey || in.contains(kPageKey);
        entries << entry;
    }
    // The codes of unknown passwords are what let those users in: each is checked (a
    // password stretching each, side by side).
    QList<int> unknown;
    for (int i = 0; i < entries.size(); ++i)
        if (isUnknown(entries.at(i)))
            unknown << i;
    const QStringList problems = QtConcurrent::blockingMapped<QStringList>(WorkerPool::pool(), unknown, [&entries](int row) {
        const QVariantMap &entry = entries.at(row);
        return unknownPasswordCodeProblem(entry.value(kUser).toString(), entry.value(kEncode).toString());
    });
    for (qsizetype i = 0; i < problems.size(); ++i)
        if (!problems.at(i).isEmpty())
            refuse(entries.at(unknown.at(i)).value(kUser).toString(), problems.at(i));
    for (qsizetype i = problems.size() - 1; i >= 0; --i)
        if (!problems.at(i).isEmpty())
            entries.removeAt(unknown.at(i));
    if (droppedKey && refused)
        *refused << QStringLiteral("the key of an earlier book, which only a password of one of its users brings back");
    return entries;
}

QByteArray BookSecurity::usersListFileData() const
{
    QByteArray data;
    for (const Access &access : accessList())
        data += access.user.toUtf8() + ' ' + access.code.toUtf8() + "\r\n";
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
    QVariantList lines;
    for (const QString &rawLine : QString::fromUtf8(data).split(QLatin1Char('\n'))) {
        QString line = rawLine;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // The code never holds a blank; the user name may.
        const qsizetype blank = line.lastIndexOf(QLatin1Char(' '));
        if (blank <= 0 || !AccessCode::parse(line.mid(blank + 1)))
            continue;
        lines << QVariantMap{{kUser, line.left(blank)}, {kPassword, unknownPassword()}, {kEncode, line.mid(blank + 1)}};
    }
    QStringList refused;
    const QList<QVariantMap> entries = validEntries(lines, &refused);
    if (!refused.isEmpty())
        AppLog::shared().error(QStringLiteral("users left out of %1: %2").arg(path, refused.join(QStringLiteral("; "))));
    if (entries.isEmpty())
        return false;
    m_usersList = entries;
    return true;
}

bool BookSecurity::validateUser(const QString &user, const QString &password)
{
    if (password.isEmpty())
        return false;
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
        // Only a code read from a book (its password unknown) tells which key that book
        // had: the code of a known password may have been made for any key.
        if (isUnknown(entry) && key->size() == AccessCode::kContentKeyLength) {
            m_rc4String = QString::fromLatin1(key->toHex());
            m_keyOfEarlierBook = true;
            for (QVariantMap &other : m_usersList) {
                const auto otherCode = AccessCode::parse(other.value(kEncode).toString());
                if (isUnknown(other) && otherCode && otherCode->bookSalt() == code->bookSalt())
                    other.insert(kPageKey, m_rc4String);
            }
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
