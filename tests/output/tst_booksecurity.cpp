#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/PropertyList.h"
#include "output/security/AccessCode.h"
#include "output/security/BookSecurity.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/sha.h>

using namespace TestFiles;

namespace {

// The verifier of an access code as docs/book-security.md defines it, from OpenSSL
// directly.
QByteArray expectedVerifier(const QString &user, const QString &password, const QByteArray &salt, int rounds)
{
    unsigned char s[SHA256_DIGEST_LENGTH];
    const QByteArray saltInput = salt + user.normalized(QString::NormalizationForm_C).toUtf8();
    SHA256(reinterpret_cast<const unsigned char *>(saltInput.constData()), size_t(saltInput.size()), s);
    const QByteArray pw = password.normalized(QString::NormalizationForm_C).toUtf8();
    unsigned char master[32];
    if (PKCS5_PBKDF2_HMAC(pw.constData(), int(pw.size()), s, sizeof s, rounds, EVP_sha256(), sizeof master, master) != 1)
        return {};
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(EVP_sha256(), master, sizeof master, reinterpret_cast<const unsigned char *>("quorvel verify"), 14, mac, &length);
    return QByteArray(reinterpret_cast<const char *>(mac), 16);
}

QVariantMap user(const QString &name, const QString &password)
{
    return {{"user", name}, {"password", password}};
}

} // namespace

class BookSecurityTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QFile::remove(BookSecurity::settingsFilePath()); }

    void codeWithoutKeyIsContainedAndKeyComesBackOnlyWithThePassword()
    {
        BookSecurity security;
        const QString key = security.rc4String();
        QVERIFY(BookSecurity::isValidContentKey(key));
        BookSecurity other;
        QVERIFY2(other.rc4String() != key, "every book gets its own content key");

        const QByteArray salt(AccessCode::kSaltLength, '\x5a');
        const QString withoutKey = BookSecurity::encodeByUser("anna", "s3cret", QString(), salt);
        const QString withKey = BookSecurity::encodeByUser("anna", "s3cret", key, salt);
        QVERIFY(!withoutKey.isEmpty());
        QVERIFY(withKey.contains(withoutKey));
        QVERIFY(withKey != withoutKey);
        QVERIFY(!withKey.contains(key, Qt::CaseInsensitive));
        QVERIFY(!withKey.contains("s3cret"));

        const auto code = AccessCode::parse(withKey);
        QVERIFY(code);
        // The verifier is what the viewer computes: PBKDF2 with the rounds the code
        // states, worked out here without the program's own code.
        QCOMPARE(withKey.section('.', 0, 0), QString::number(AccessCode::kDefaultIterations));
        const auto verifier = QByteArray::fromBase64Encoding(withKey.section('.', 2, 2).toLatin1(),
                                                             QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
        QVERIFY(verifier);
        QCOMPARE(*verifier, expectedVerifier("anna", "s3cret", salt, AccessCode::kDefaultIterations));
        // Opening honours the stated rounds: a code made with fewer opens only as stated.
        const auto quick = AccessCode::make("anna", "s3cret", {}, salt, AccessCode::kMinIterations);
        QVERIFY(quick);
        QCOMPARE(quick->toString().section('.', 2, 2), QString::fromLatin1(expectedVerifier("anna", "s3cret", salt,
                     AccessCode::kMinIterations).toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)));
        QVERIFY(quick->open("anna", "s3cret"));
        const auto restated = AccessCode::parse(QString::number(AccessCode::kMinIterations + 1) + '.'
                                                + quick->toString().section('.', 1));
        QVERIFY(restated && !restated->open("anna", "s3cret"));
        QCOMPARE(code->open("anna", "s3cret"), std::optional<QByteArray>(QByteArray::fromHex(key.toLatin1())));
        QVERIFY(!code->open("anna", "s3cret "));
        QVERIFY2(!code->open("bert", "s3cret"), "the key is bound to the user name");

        // A password typed decomposed opens what was made composed.
        const QString composed = QString::fromUtf8("caf\xC3\xA9");
        const QString decomposed = composed.normalized(QString::NormalizationForm_D);
        QVERIFY(composed != decomposed);
        const auto accented = AccessCode::parse(BookSecurity::encodeByUser("", composed, key, salt));
        QVERIFY(accented && accented->open("", decomposed));

        // A damaged key part opens nothing, even with the right password.
        QString damaged = withKey;
        const qsizetype last = damaged.size() - 5;
        damaged[last] = damaged[last] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
        const auto broken = AccessCode::parse(damaged);
        QVERIFY(broken && !broken->open("anna", "s3cret"));

        QVERIFY2(BookSecurity::encodeByUser("anna", "s3cret", "not a key", salt).isEmpty(), "no code for a bad key");
        QVERIFY(!AccessCode::parse("10." + withoutKey.section('.', 1)));
        QVERIFY(!AccessCode::parse("99999999999." + withoutKey.section('.', 1)));
        QVERIFY(!AccessCode::parse(withoutKey + ".%%%"));
    }

    void usersFileRoundTripAndValidation()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("users.txt");
        BookSecurity author;
        const QString bookKey = author.rc4String();
        QVERIFY(!author.exportUsersListToFile(path));
        QVERIFY2(!QFile::exists(path), "an empty list writes no file");

        author.usersList() << user("user0", "pw-zero") << user("Anne Marie", "pw-one");
        QVERIFY(author.exportUsersListToFile(path));
        const QByteArray data = readFile(path);
        QVERIFY(!data.contains("pw-zero") && !data.contains("pw-one") && !data.contains(bookKey.toLatin1()));

        // The reader's side: entries come back with unknown passwords.
        BookSecurity reader;
        QVERIFY(reader.rc4String() != bookKey);
        QVERIFY(reader.importUsersListByFile(path));
        QCOMPARE(reader.usersList().size(), 2);
        QCOMPARE(reader.usersList()[1].value("user").toString(), QString("Anne Marie"));
        QVERIFY(!reader.validateUser("Anne Marie", "pw-zero"));
        QVERIFY(!reader.validateUser("nobody", "pw-one"));
        QVERIFY(reader.rc4String() != bookKey);
        QVERIFY(reader.validateUser("Anne Marie", "pw-one"));
        QCOMPARE(reader.rc4String(), bookKey);

        // Published again with a user added at the end: the imported users' codes
        // only open the old key, so the book keeps that key.
        const QString importedCode = reader.usersList()[0].value("encode").toString();
        reader.usersList() << user("user2", "pw-two");
        reader.generateRc4String();
        reader.refreshUsersList();
        QCOMPARE(reader.rc4String(), bookKey);
        QCOMPARE(reader.usersList()[0].value("encode").toString(), importedCode);
        const auto added = AccessCode::parse(reader.usersList()[2].value("encode").toString());
        QVERIFY(added && added->open("user2", "pw-two") == QByteArray::fromHex(bookKey.toLatin1()));

        // Lines that are not "user code" are skipped; a file without any changes nothing.
        const QString junk = dir.filePath("junk.txt");
        QVERIFY(writeFile(junk, "\xEF\xBB\xBFhello world\r\nuser0\r\n\r\n"));
        QVERIFY(!reader.importUsersListByFile(junk));
        QCOMPARE(reader.usersList().size(), 3);
        QVERIFY(!reader.importUsersListByFile(dir.filePath("missing.txt")));
    }

    void settingsFileIsPrivateAndRoundTrips()
    {
        const QString path = BookSecurity::settingsFilePath();
        QVERIFY(BookSecurity().saveSecuritySettings());
        QCOMPARE(modeOf(path), 0600u);
        // An older file readable by others is narrowed on the next save.
        QVERIFY(writeFile(path, "junk"));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                                              | QFileDevice::ReadGroup));

        BookSecurity saved;
        saved.setSecurityType(BookSecurity::UserList);
        saved.setPassword("single");
        saved.setPageProtectType(1);
        saved.setExceptPages("3");
        saved.usersList() << QVariantMap{{"user", "u"}, {"password", "p"}, {"encode", "c"}};
        QVERIFY(saved.saveSecuritySettings());
        QCOMPARE(modeOf(path), 0600u);

        BookSecurity loaded;
        loaded.loadSecuritySettings();
        QCOMPARE(loaded.toDictionary(), saved.toDictionary());

        // Empty texts and lists in the file leave the current values; numbers replace.
        QVERIFY(PropertyList::writeFile(path, QVariantMap{{"pageProtectType", 0}, {"password", ""},
                                                          {"exceptPages", ""}, {"usersList", QVariantList()}}));
        loaded.loadSecuritySettings();
        QCOMPARE(loaded.pageProtectType(), 0);
        QCOMPARE(loaded.securityType(), int(BookSecurity::UserList));
        QCOMPARE(loaded.password(), QString("single"));
        QCOMPARE(loaded.exceptPages(), QString("3"));
        QCOMPARE(loaded.usersList().size(), 1);
    }

    void protectedPagesFollowTheRange_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("protectType");
        QTest::addColumn<QString>("except");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("no security") << 0 << 1 << "1" << QList<int>{};
        QTest::newRow("every page") << 1 << 0 << "2" << QList<int>{1, 2, 3, 4};
        QTest::newRow("leading number") << 1 << 1 << "3 pages" << QList<int>{4};
        QTest::newRow("unreadable count") << 1 << 1 << "x" << QList<int>{1, 2, 3, 4};
        QTest::newRow("negative count") << 1 << 1 << "-3" << QList<int>{1, 2, 3, 4};
        QTest::newRow("more than the book") << 1 << 1 << "99999999999" << QList<int>{};
    }

    void protectedPagesFollowTheRange()
    {
        QFETCH(int, type);
        QFETCH(int, protectType);
        QFETCH(QString, except);
        QFETCH(QList<int>, expected);
        BookSecurity security;
        security.setSecurityType(type);
        security.setPageProtectType(protectType);
        security.setExceptPages(except);
        QCOMPARE(security.protectedPages(4), expected);
    }
};

QV_TEST(BookSecurityTest)
#include "tst_booksecurity.moc"
