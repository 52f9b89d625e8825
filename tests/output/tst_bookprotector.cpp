#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/Crypto.h"
#include "foundation/DataEncoding.h"
#include "output/security/AccessCode.h"
#include "output/web/BookDataScript.h"
#include "output/security/BookProtector.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

// A written book of five pages with random "pictures", sounds and an attachment, so a
// leak of any part of one is found by searching the bytes; with page links in book.xml.
// The phone version names desktop files: one picture, the sounds.
struct SampleBook
{
    QTemporaryDir dir;
    QHash<QString, QByteArray> files; // relative path -> content

    QString path(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? dir.path() : dir.filePath(relative);
    }

    void add(const QString &relative, const QByteArray &content)
    {
        files.insert(relative, content);
        writeFile(path(relative), content);
    }

    SampleBook()
    {
        QJsonArray pages, phonePages, search;
        for (int n = 1; n <= 5; ++n) {
            const QString name = QString::number(n) + ".jpg";
            for (const char *kind : {"page", "large", "thumb"})
                add(QString("files/%1/%2").arg(kind, name), Crypto::randomBytes(2048));
            add("mobile/files/page/" + name, Crypto::randomBytes(1024));
            if (n == 4)
                pages.append("files/page/4.jpg"); // a bare path is a record too
            else
                pages.append(QJsonObject{{"normal", "files/page/" + name}, {"large", "files/large/" + name},
                                         {"thumb", "files/thumb/" + name}, {"swf", ""}});
            phonePages.append(QJsonObject{{"normal", n == 5 ? "../files/thumb/5.jpg" : "files/page/" + name}});
            search.append(QString("words of page %1").arg(n));
        }
        add("files/download/Whole book.pdf", Crypto::randomBytes(4096));
        add("files/download/pages/3.pdf", Crypto::randomBytes(512));
        add("files/download/attachments/Notes.txt", Crypto::randomBytes(700));
        const QJsonArray attachments{QJsonObject{{"name", "Notes.txt"}, {"file", "files/download/attachments/Notes.txt"}}};
        const QJsonObject download{{"wholeFile", "files/download/Whole%20book.pdf"},
                                   {"pageFiles", QJsonArray{"", "", "files/download/pages/3.pdf"}},
                                   {"pagePrefix", "p-"},
                                   {"attachments", attachments}};
        QJsonArray spreads, phoneSpreads; // [1], [2, 3], [4, 5]
        for (const QString name : {"1", "2_3", "4_5"}) {
            add("files/narration/" + name + ".mp3", Crypto::randomBytes(900));
            spreads.append(QJsonObject{{"sound", "files/narration/" + name + ".mp3"}});
            phoneSpreads.append(QJsonObject{{"sound", "../files/narration/" + name + ".mp3"}});
        }
        add("files/narration.js", BookDataScript::statement("bookNarration", QJsonObject{{"spreads", spreads}}).toUtf8());
        add("mobile/files/narration.js",
            BookDataScript::statement("bookNarration", QJsonObject{{"spreads", phoneSpreads}}).toUtf8());
        add("files/book.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<book version=\"1\" pageCount=\"5\">\n"
                              " <pagesAnnotations version=\"1\">\n  <page><link url=\"https://example.com/one\"/></page>\n"
                              "  <page/>\n  <page><link url=\"https://example.com/three\"/><video src=\"v.mp4\"/></page>\n"
                              "  <page/>\n  <page><link page=\"1\"/></page>\n </pagesAnnotations>\n</book>\n");
        add("files/config.js", (BookDataScript::statement("bookConfig", QJsonObject{{"title", "Sample"},
                                                                                     {"pages", pages},
                                                                                     {"download", download}})
                                + "var bmtConfig = {tabs:[],onSideEdge:false};\n")
                                   .toUtf8());
        add("files/search.js", BookDataScript::statement("bookSearch", search).toUtf8());
        add("mobile/files/config.js",
            BookDataScript::statement("bookConfig", QJsonObject{{"pages", phonePages}}).toUtf8());
    }

    QStringList allFiles() const
    {
        QStringList out;
        QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << it.next();
        return out;
    }
};

QJsonValue scriptValue(const QString &path, const QString &name)
{
    const auto script = BookDataScript::read(path, name);
    return script ? script->value() : QJsonValue();
}

// Opens a payload script the way the viewer does: base64 of nonce, ciphertext and
// tag, the payload's id authenticated with it.
std::optional<QByteArray> openPayload(const QString &path, const QByteArray &key, QJsonObject *fields = nullptr,
                                      const QString &claimedId = QString())
{
    static const QRegularExpression call("^qvSecurePayload\\(\"([^\"]+)\",(\\{.*\\})\\);\n$",
                                         QRegularExpression::DotMatchesEverythingOption);
    const auto match = call.match(QString::fromUtf8(readFile(path)));
    if (!match.hasMatch())
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(match.captured(2).toUtf8()).object();
    if (fields)
        *fields = object;
    const auto sealed = base64Decode(object.value("data").toString().toLatin1());
    if (!sealed || sealed->size() < Crypto::kGcmNonceLength + Crypto::kGcmTagLength)
        return std::nullopt;
    const QString id = claimedId.isEmpty() ? match.captured(1) : claimedId;
    return Crypto::aes256GcmDecrypt(key, sealed->left(Crypto::kGcmNonceLength),
                                    sealed->mid(Crypto::kGcmNonceLength,
                                                sealed->size() - Crypto::kGcmNonceLength - Crypto::kGcmTagLength),
                                    sealed->right(Crypto::kGcmTagLength), id.toUtf8());
}

// The nonce a payload script was sealed with: the first bytes of its data.
QByteArray payloadNonce(const QString &path)
{
    static const QRegularExpression data("\"data\":\"([^\"]+)\"");
    const auto sealed = base64Decode(data.match(QString::fromUtf8(readFile(path))).captured(1).toLatin1());
    return sealed ? sealed->left(Crypto::kGcmNonceLength) : QByteArray();
}

QList<QByteArray> payloadNonces(const QString &book)
{
    QList<QByteArray> nonces;
    QDirIterator it(book, {"*.js"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (file.contains("/secure/") && !file.endsWith("/book.js"))
            nonces << payloadNonce(file);
    }
    return nonces;
}

bool bookContainsSliceOf(const QStringList &files, const QByteArray &secret)
{
    for (const QString &file : files) {
        const QByteArray data = readFile(file);
        for (int at = 0; at + 16 <= secret.size(); at += 256)
            if (data.contains(secret.mid(at, 16)))
                return true;
    }
    return false;
}

} // namespace

class BookProtectorTest : public QObject
{
    Q_OBJECT
private slots:
    void singlePasswordEncryptsExactlyTheProtectedPages()
    {
        SampleBook book;
        BookSecurity security;
        security.setSecurityType(BookSecurity::SinglePassword);
        security.setPassword("open sesame");
        security.setPageProtectType(1);
        security.setExceptPages("2");
        const QByteArray key = security.contentKey();

        BookProtector protector(security, 5);
        QVERIFY2(protector.protectBook(book.path()), qPrintable(protector.errorString()));
        QCOMPARE(protector.protectedPages(), (QList<int>{3, 4, 5}));

        // Front pages stay as they were (the cover's sound too); protected pictures, the
        // sounds of spreads that show a protected page, the downloads and the attachment
        // are nowhere in the clear.
        const QStringList files = book.allFiles();
        for (auto it = book.files.cbegin(); it != book.files.cend(); ++it) {
            const bool front = it.key().contains(QRegularExpression("/([12]\\.jpg|1\\.mp3)$"));
            if (front) {
                QCOMPARE(readFile(book.path(it.key())), it.value());
            } else if (it.key().contains(QRegularExpression("\\.(jpg|pdf|mp3|txt)$"))) {
                QVERIFY2(!QFile::exists(book.path(it.key())), qPrintable(it.key()));
                QVERIFY2(!bookContainsSliceOf(files, it.value()), qPrintable(it.key()));
            }
        }

        // The records name the payloads, which give back the pictures with the key.
        const QJsonObject config = scriptValue(book.path("files/config.js"), "bookConfig").toObject();
        QVERIFY(readFile(book.path("files/config.js")).contains("var bmtConfig = {tabs:[],onSideEdge:false};"));
        const QJsonArray pages = config.value("pages").toArray();
        QCOMPARE(pages.at(0).toObject().value("normal").toString(), QString("files/page/1.jpg"));
        QVERIFY(!pages.at(1).toObject().contains("secure"));
        const QJsonObject third = pages.at(2).toObject();
        QVERIFY(third.value("secure").toBool());
        QCOMPARE(third.value("large").toString(), QString("files/secure/large/3.js"));
        QCOMPARE(pages.at(3).toObject().value("normal").toString(), QString("files/secure/normal/4.js"));
        QJsonObject fields;
        QCOMPARE(openPayload(book.path("files/secure/large/3.js"), key, &fields),
                 std::optional<QByteArray>(book.files.value("files/large/3.jpg")));
        QCOMPARE(openPayload(book.path("files/secure/thumb/5.js"), key),
                 std::optional<QByteArray>(book.files.value("files/thumb/5.jpg")));
        QVERIFY2(!openPayload(book.path("files/secure/large/3.js"), key, nullptr, "large/4"),
                 "a payload passed off as another page does not open");
        QVERIFY(!openPayload(book.path("files/secure/large/3.js"), Crypto::randomBytes(32)));

        // The phone pictures: one the phone version takes from the desktop is the
        // desktop's payload, never encrypted a second time.
        const QJsonArray phone =
            scriptValue(book.path("mobile/files/config.js"), "bookConfig").toObject().value("pages").toArray();
        QCOMPARE(phone.at(4).toObject().value("normal").toString(), QString("../files/secure/thumb/5.js"));
        QVERIFY(!QFileInfo::exists(book.path("mobile/files/secure/normal/5.js")));
        QCOMPARE(openPayload(book.path("mobile/files/secure/normal/3.js"), key),
                 std::optional<QByteArray>(book.files.value("mobile/files/page/3.jpg")));

        // Search text of protected pages only in the encrypted text payload.
        const QJsonArray search = scriptValue(book.path("files/search.js"), "bookSearch").toArray();
        QCOMPARE(search.at(1).toString(), QString("words of page 2"));
        QCOMPARE(search.at(2).toString(), QString());
        const auto text = openPayload(book.path("files/secure/text.js"), key);
        QVERIFY(text);
        QCOMPARE(QJsonDocument::fromJson(*text).object(),
                 (QJsonObject{{"3", "words of page 3"}, {"4", "words of page 4"}, {"5", "words of page 5"}}));

        // Downloads of the protected pages, the whole document and the attachment, their
        // names only in the encrypted list of names (the browser reads them back).
        const QJsonObject download = config.value("download").toObject();
        QCOMPARE(download.value("wholeFile").toString(), QString("files/secure/download/whole.js"));
        QCOMPARE(openPayload(book.path("files/secure/download/whole.js"), key, &fields),
                 std::optional<QByteArray>(book.files.value("files/download/Whole book.pdf")));
        QVERIFY(!fields.contains("name"));
        QCOMPARE(download.value("pageFiles").toArray().at(2).toString(), QString("files/secure/download/3.js"));
        QCOMPARE(download.value("attachments").toArray(),
                 (QJsonArray{QJsonObject{{"name", ""}, {"file", "files/secure/attachment/1.js"}}}));

        // The sounds of the spreads that show a protected page, shared by the phone version;
        // the links and media of protected pages leave book.xml for their payload.
        const auto soundOf = [&book](const QString &home, int spread) {
            return scriptValue(book.path(home + "files/narration.js"), "bookNarration")["spreads"][spread]["sound"].toString();
        };
        QCOMPARE(QStringList({soundOf("", 0), soundOf("", 1), soundOf("mobile/", 0), soundOf("mobile/", 2)}),
                 QStringList({"files/narration/1.mp3", "files/secure/sound/1.js", "../files/narration/1.mp3",
                              "../files/secure/sound/2.js"}));
        QCOMPARE(openPayload(book.path("files/secure/sound/2.js"), key), std::optional(book.files.value("files/narration/4_5.mp3")));
        QVERIFY(!QFileInfo::exists(book.path("mobile/files/secure/sound")));
        const QString xml = QString::fromUtf8(readFile(book.path("files/book.xml")));
        QVERIFY(xml.contains("https://example.com/one") && !xml.contains("three") && !xml.contains("page=\"1\""));
        const QJsonObject hidden = QJsonDocument::fromJson(openPayload(book.path("files/secure/annotations.js"), key).value_or("")).object();
        QCOMPARE(hidden.keys(), (QStringList{"3", "5"}));
        QVERIFY(hidden.value("3").toString().contains("<link url=\"https://example.com/three\"/><video src=\"v.mp4\"/>"));

        // The viewer's access data: the anonymous code opens the key with the password.
        const QJsonObject access = scriptValue(book.path("files/secure/book.js"), "bookSecurity").toObject();
        QCOMPARE(access.value("protectedPages").toArray(), (QJsonArray{3, 4, 5}));
        const auto code = AccessCode::parse(access.value("password").toString());
        QVERIFY(code);
        QCOMPARE(code->open(QString(), "open sesame"), std::optional<QByteArray>(key));
        QVERIFY(!code->open(QString(), "open sesame!"));
        QVERIFY(!readFile(book.path("files/secure/book.js")).contains("open sesame"));
        QVERIFY(!QFile::exists(book.path("files/extfiles/users.txt")));
    }

    // One key seals every payload of a book, and books of the same key: GCM is only
    // safe with a nonce never used twice, in one run or in the next.
    void everyPayloadHasItsOwnNonce()
    {
        BookSecurity security;
        security.setSecurityType(BookSecurity::SinglePassword);
        security.setPassword("pw");
        QSet<QByteArray> seen;
        int payloads = 0;
        for (int run = 0; run < 2; ++run) {
            SampleBook book;
            QVERIFY(BookProtector(security, 5).protectBook(book.path()));
            const QList<QByteArray> nonces = payloadNonces(book.path());
            QVERIFY(nonces.size() > 20);
            for (const QByteArray &nonce : nonces) {
                QCOMPARE(nonce.size(), Crypto::kGcmNonceLength);
                seen.insert(nonce);
            }
            payloads += int(nonces.size());
        }
        QCOMPARE(int(seen.size()), payloads);

        // The wrapped keys of the access codes too.
        const QByteArray salt(AccessCode::kSaltLength, '\x11');
        const QByteArray key = security.contentKey();
        const auto a = AccessCode::make("anna", "pw", key, salt, AccessCode::kMinIterations);
        const auto b = AccessCode::make("anna", "pw", key, salt, AccessCode::kMinIterations);
        QVERIFY(a && b);
        QVERIFY(a->toString().section('.', 3) != b->toString().section('.', 3));
    }

    void usersListBookCarriesUsersFile()
    {
        SampleBook book;
        BookSecurity security;
        security.setSecurityType(BookSecurity::UserList);
        security.usersList() << QVariantMap{{"user", "user0"}, {"password", "first"}}
                             << QVariantMap{{"user", "user1"}, {"password", "second"}};
        BookProtector protector(security, 5);
        QVERIFY2(protector.protectBook(book.path()), qPrintable(protector.errorString()));
        QCOMPARE(protector.protectedPages(), (QList<int>{1, 2, 3, 4, 5}));
        QCOMPARE(readFile(book.path("files/extfiles/users.txt")), security.usersListFileData());

        const QJsonObject access = scriptValue(book.path("files/secure/book.js"), "bookSecurity").toObject();
        QCOMPARE(access.value("usersFile").toString(), QString("files/extfiles/users.txt"));
        const QJsonArray users = access.value("users").toArray();
        QCOMPARE(users.size(), 2);
        const auto code = AccessCode::parse(users.at(1).toObject().value("code").toString());
        QVERIFY(code && code->open("user1", "second") == security.contentKey());
        const QJsonObject phoneAccess =
            scriptValue(book.path("mobile/files/secure/book.js"), "bookSecurity").toObject();
        QCOMPARE(phoneAccess.value("usersFile").toString(), QString("../files/extfiles/users.txt"));
        QCOMPARE(phoneAccess.value("users").toArray(), users);
    }

    void refusedProtectionLeavesTheBookAlone()
    {
        SampleBook book;
        auto unchanged = [&book] {
            for (auto it = book.files.cbegin(); it != book.files.cend(); ++it)
                if (readFile(book.path(it.key())) != it.value())
                    return false;
            return !QFile::exists(book.path("files/secure"));
        };

        BookSecurity none;
        QVERIFY(BookProtector(none, 5).protectBook(book.path()));
        QVERIFY(unchanged());

        BookSecurity noPassword;
        noPassword.setSecurityType(BookSecurity::SinglePassword);
        QVERIFY(!BookProtector(noPassword, 5).protectBook(book.path()));
        QVERIFY(unchanged());

        // A picture missing halfway: the error names it and no clear file is removed.
        QVERIFY(QFile::remove(book.path("files/thumb/4.jpg")));
        book.files.remove("files/thumb/4.jpg");
        QVERIFY(readFile(book.path("files/config.js")).contains("files/page/4.jpg"));
        writeFile(book.path("files/config.js"),
                 readFile(book.path("files/config.js")).replace("\"files/page/4.jpg\"", "{\"normal\":\"files/page/4.jpg\",\"thumb\":\"files/thumb/4.jpg\"}"));
        book.files.insert("files/config.js", readFile(book.path("files/config.js")));
        BookSecurity single;
        single.setSecurityType(BookSecurity::SinglePassword);
        single.setPassword("pw");
        BookProtector broken(single, 5);
        QVERIFY(!broken.protectBook(book.path()));
        QVERIFY(broken.errorString().contains("files/thumb/4.jpg"));
        for (auto it = book.files.cbegin(); it != book.files.cend(); ++it)
            if (it.key().endsWith(".jpg"))
                QCOMPARE(readFile(book.path(it.key())), it.value());
    }
};

QV_TEST(BookProtectorTest)
#include "tst_bookprotector.moc"
