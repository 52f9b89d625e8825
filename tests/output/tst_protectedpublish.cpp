#include "OutputFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/WorkerException.h"
#include "foundation/ZipExtractor.h"
#include "output/security/AccessCode.h"
#include "output/web/BookDataScript.h"
#include "output/security/BookSecurity.h"
#include "output/web/FlashBookOutput.h"
#include "output/narration/GenerateAssistant.h"
#include "output/OutputCopies.h"
#include "output/OutputOperation.h"
#include "output/packages/SealedPackage.h"
#include "pages/FlashPageSource.h"
#include "pages/PDFSearch.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace OutputFixtures;
using namespace TestFiles;

namespace {

using Kind = FlashPageSource::PictureKind;

// Every file of a folder, read once.
QList<QByteArray> allFiles(const QString &folder)
{
    QList<QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << readFile(it.next());
    return files;
}

// A piece from the middle of a picture's data: found in a file only when the picture
// (or that part of it) is in the file in the clear.
// The bytes of a picture that a copy of it holds wherever it went (a file of its own,
// a stored entry of an archive): all of them. (A slice of a progressive picture of a
// mostly blank page is a run of end-of-block codes that other pictures hold too.)
QByteArray sliceOf(const QString &picture)
{
    return readFile(picture);
}

bool anyContains(const QList<QByteArray> &files, const QByteArray &piece)
{
    return std::any_of(files.cbegin(), files.cend(), [&](const QByteArray &f) { return f.contains(piece); });
}

// The content key a code in files/secure/book.js opens for user and password.
QByteArray openedKey(const QString &home, const QString &user, const QString &password)
{
    const auto script = BookDataScript::read(home + "/files/secure/book.js", "bookSecurity");
    if (!script)
        return {};
    const QJsonObject access = script->value().toObject();
    QString code = access.value("password").toString();
    for (const QJsonValue &entry : access.value("users").toArray())
        if (entry.toObject().value("user").toString() == user)
            code = entry.toObject().value("code").toString();
    const auto parsed = AccessCode::parse(code);
    const auto key = parsed ? parsed->open(user, password) : std::nullopt;
    return key ? *key : QByteArray();
}

QString homeOgImage(const QString &homePage)
{
    static const QRegularExpression og("<meta property=\"og:image\" content=\"([^\"]*)\">");
    return og.match(readText(homePage)).captured(1);
}

} // namespace

// Publishing protected and narrated books: what the published folder, archive and
// package hold, and what must never be in them.
class ProtectedPublishTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    Book m_book;
    std::unique_ptr<FlashTemplate> m_tmpl;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static std::shared_ptr<BookSecurity> password(const QString &password, int exceptPages = 0)
    {
        auto security = std::make_shared<BookSecurity>();
        security->setSecurityType(BookSecurity::SinglePassword);
        security->setPassword(password);
        if (exceptPages > 0) {
            security->setPageProtectType(1);
            security->setExceptPages(QString::number(exceptPages));
        }
        return security;
    }

    std::shared_ptr<OutputOperation> makeJob(const QString &folder, int kind, std::shared_ptr<BookSecurity> security)
    {
        ConvertParament p;
        p.setIOutputType(kind);
        p.setStrOutputFolder(folder);
        p.setStrOutputName("atlas");
        p.setStrTitle("Atlas");
        p.setIsConvertBasicHtml(true);
        auto job = std::make_shared<OutputOperation>();
        job->setFlashPageSource(m_book.pages.get());
        job->setFlashTmpl(m_tmpl.get());
        job->setPdfSearch(m_book.search.get());
        job->setMobileSearch(m_book.mobileSearch.get());
        job->setConvertPara(p);
        job->setBookSecurity(std::move(security));
        // The publish dialog's default share picture: the cover's thumbnail.
        job->setShotFile(m_book.pages->thumbPages().at(0)->pageFilePath());
        return job;
    }

    QString picture(Kind kind, int page) const { return m_book.pages->pageList(kind).at(page - 1)->pageFilePath(); }

    // Which of the book's pictures can be found in the clear among files.
    QStringList picturesInTheClear(const QList<QByteArray> &files, const QList<int> &pages) const
    {
        QStringList found;
        for (int n : pages)
            for (Kind kind : FlashPageSource::kPictureKinds)
                if (anyContains(files, sliceOf(picture(kind, n))))
                    found << QString("page %1 kind %2").arg(n).arg(int(kind));
        return found;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_book = importBook(path("source"), 6);
        QVERIFY(m_book.pages);
        m_tmpl = desktopTemplate();
        QVERIFY(m_tmpl);
    }

    void fullyProtectedBookShowsNoPageOutsideItsPayloads()
    {
        const QString folder = path("all");
        auto security = password("open sesame");
        const QString callersKey = security->rc4String();
        auto job = makeJob(folder, 0, security);
        // The settings edited while the job waits: the job keeps what it was given.
        security->setSecurityType(BookSecurity::NoSecurity);
        runJob(job);
        QCOMPARE(job->status(), OutputOperation::StatusWritten);
        security->setSecurityType(BookSecurity::SinglePassword);

        // No picture of any page, of any size, in either version, in the share picture,
        // or in the basic pages is left readable.
        QCOMPARE(picturesInTheClear(allFiles(folder), {1, 2, 3, 4, 5, 6}), QStringList());
        QVERIFY(QDir(folder + "/files").entryList({"shot.*"}).isEmpty());
        QCOMPARE(homeOgImage(folder + "/atlas.html"), QString());
        QCOMPARE(homeOgImage(folder + "/mobile/index.html"), QString());
        const QString basic = readText(folder + "/files/basic/3.html");
        QVERIFY(!basic.contains("<img"));
        QVERIFY(!basic.contains(wordOfPage(3)));
        for (const QString &script : {folder + "/files/search.js", folder + "/mobile/files/search.js"})
            QVERIFY2(!readText(script).contains(wordOfPage(3)), qPrintable(script));

        // Every record names its payloads; the viewer's modules come with the book
        // (the phone version loads the desktop book's library).
        for (const QString &home : {folder, folder + "/mobile"}) {
            const QJsonArray pages = configObject(home + "/files/config.js").value("pages").toArray();
            QCOMPARE(pages.size(), 6);
            for (const QJsonValue &record : pages)
                QVERIFY(record.toObject().value("secure").toBool());
        }
        QVERIFY(QFileInfo::exists(folder + "/files/lib/security.js"));
        QVERIFY(QFileInfo::exists(folder + "/files/lib/narration.js"));
        QVERIFY(readText(folder + "/mobile/index.html").contains("src=\"../files/lib/qv-boot.js\""));

        // The password opens a key of this publish only: not the one the caller held,
        // and another one the next time.
        const QByteArray key = openedKey(folder, "", "open sesame");
        QCOMPARE(key.size(), 32);
        QVERIFY(openedKey(folder, "", "open sesamE").isEmpty());
        QVERIFY(key != QByteArray::fromHex(callersKey.toLatin1()));
        QCOMPARE(security->rc4String(), callersKey);
        runJob(makeJob(folder, 0, security));
        const QByteArray second = openedKey(folder, "", "open sesame");
        QCOMPARE(second.size(), 32);
        QVERIFY(second != key);
    }

    void frontPagesStayReadableAndShareOnlyThemselves()
    {
        // The share picture the author chose is a protected page's picture (a copy of
        // it, even): the readable cover's thumbnail stands in.
        QFile::copy(picture(Kind::Normal, 4), path("chosen.jpg"));
        HTMLConfigInfo html;
        html.setHTMLTitle("Atlas");
        html.setHasBasicHtml(true);
        html.extendKeyDict().insert("meta.shareImage", path("chosen.jpg"));
        const QString folder = path("front");
        FlashBookOutput output(OutputCopies::copyPageSource(*m_book.pages), OutputCopies::copyTemplate(*m_tmpl), folder,
                               "atlas");
        output.setHTMLConfig(html);
        output.setPdfSearch(m_book.search);
        output.setBookSecurity(password("pw", 2));
        output.convertBook();

        QCOMPARE(homeOgImage(folder + "/atlas.html"), QString("files/shot.jpg"));
        QCOMPARE(homeOgImage(folder + "/mobile/index.html"), QString("../files/shot.jpg"));
        QCOMPARE(readFile(folder + "/files/shot.jpg"), readFile(picture(Kind::Thumb, 1)));
        QCOMPARE(picturesInTheClear(allFiles(folder), {3, 4, 5, 6}), QStringList());

        QCOMPARE(readFile(folder + "/files/page/2.jpg"), readFile(picture(Kind::Normal, 2)));
        const QJsonArray pages = configObject(folder + "/files/config.js").value("pages").toArray();
        QCOMPARE(pages.at(1).toObject().value("normal").toString(), QString("files/page/2.jpg"));
        QVERIFY(pages.at(2).toObject().value("secure").toBool());
        QVERIFY(readText(folder + "/files/basic/2.html").contains("src=\"../../files/page/2.jpg\""));
        QVERIFY(readText(folder + "/files/basic/2.html").contains(wordOfPage(2)));
        QVERIFY(!readText(folder + "/files/basic/4.html").contains(wordOfPage(4)));
        QVERIFY(readText(folder + "/files/search.js").contains(wordOfPage(1)));

        // A share picture that is no page of the book is the author's to show.
        QImage logo(8, 8, QImage::Format_RGB32);
        logo.fill(Qt::green);
        QVERIFY(logo.save(path("logo.png")));
        html.extendKeyDict().insert("meta.shareImage", path("logo.png"));
        output.setHTMLConfig(html);
        output.setBookSecurity(password("pw"));
        output.convertBook();
        QCOMPARE(readFile(folder + "/files/shot.png"), readFile(path("logo.png")));
    }

    void archivesAndPackagesCarryTheProtectedBook()
    {
        auto users = std::make_shared<BookSecurity>();
        users->setSecurityType(BookSecurity::UserList);
        users->usersList() << QVariantMap{{"user", "ann"}, {"password", "first"}}
                           << QVariantMap{{"user", "Bo Li"}, {"password", "second"}};
        auto zip = makeJob(path("zip"), 2, users);
        runJob(zip);
        QCOMPARE(zip->status(), OutputOperation::StatusWritten);
        ZipExtractor extractor;
        QVERIFY2(extractor.extractFile(path("zip/atlas.zip"), path("zip-open")), qPrintable(extractor.errorString()));
        QVERIFY(QFileInfo::exists(path("zip-open/files/extfiles/users.txt")));
        QCOMPARE(openedKey(path("zip-open"), "Bo Li", "second").size(), 32);
        QCOMPARE(picturesInTheClear(allFiles(path("zip-open")), {1, 2, 3, 4, 5, 6}), QStringList());

        auto sealed = makeJob(path("sealed"), 5, password("inner", 1));
        sealed->setFmappPassword("outer");
        runJob(sealed);
        QString error;
        QCOMPARE(sealed->status(), OutputOperation::StatusWritten);
        QVERIFY2(openSealedPackage(path("sealed/atlas.fmapp"), "outer", path("sealed-open"), &error), qPrintable(error));
        QCOMPARE(openedKey(path("sealed-open"), "", "inner").size(), 32);
        QCOMPARE(picturesInTheClear(allFiles(path("sealed-open")), {2, 3, 4, 5, 6}), QStringList());
    }

    void refusedProtectionPublishesNothing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("password");
        QTest::newRow("users list without users") << int(BookSecurity::UserList) << QString();
        QTest::newRow("password type without password") << int(BookSecurity::SinglePassword) << QString();
        QTest::newRow("unknown type") << 7 << QString("pw");
    }

    void refusedProtectionPublishesNothing()
    {
        QFETCH(int, type);
        QFETCH(QString, password);
        const QString folder = path("refused");
        runJob(makeJob(folder, 0, nullptr));
        const auto before = folderContents(folder);
        auto security = std::make_shared<BookSecurity>();
        security->setSecurityType(type);
        security->setPassword(password);
        for (int kind : {0, 2}) {
            auto job = makeJob(folder, kind, security);
            runJob(job);
            QCOMPARE(job->status(), OutputOperation::StatusFailed);
            QVERIFY(job->raiseException()->reason().contains("protected"));
            QCOMPARE(folderContents(folder), before);
        }
    }

    void narrationFollowsThePublishedPages()
    {
        const QString sounds = path("sounds");
        QVERIFY(writeFile(sounds + "/cover.mp3", "ID3 cover"));
        QVERIFY(writeFile(sounds + "/last.mp3", "ID3 last"));
        QVERIFY(writeFile(sounds + "/gone.mp3", "ID3 past the end"));
        auto assistant = std::make_shared<GenerateAssistant>();
        assistant->setTotalPage(20); // made for a longer book: the spreads past page 6 go
        assistant->fitResourceListToPages();
        auto sound = [&](int spread, const QString &file) {
            assistant->resourceList()[spread].setType(AssistantResourceItem::ImportedMp3);
            assistant->resourceList()[spread].setImportmp3File(file);
        };
        sound(0, sounds + "/cover.mp3");
        sound(3, sounds + "/last.mp3");
        sound(5, sounds + "/gone.mp3");
        assistant->speechOptions().setPlayMode(AssistantSpeechItem::Manual);

        const QString folder = path("narrated");
        auto job = makeJob(folder, 0, nullptr);
        job->setGenerateAssistant(assistant);
        runJob(job);
        QCOMPARE(job->status(), OutputOperation::StatusWritten);
        QCOMPARE(readFile(folder + "/files/narration/1.mp3"), QByteArray("ID3 cover"));
        QCOMPARE(readFile(folder + "/files/narration/6.mp3"), QByteArray("ID3 last"));
        QCOMPARE(QDir(folder + "/files/narration").entryList(QDir::Files).size(), 2);
        const auto data = BookDataScript::read(folder + "/files/narration.js", "bookNarration");
        QVERIFY(data);
        QCOMPARE(data->value().toObject().value("mode").toInt(), 1);
        // A book of six pages: the last spread is page 6 alone.
        const QJsonArray spreads = data->value().toObject().value("spreads").toArray();
        QCOMPARE(spreads.size(), 4);
        QCOMPARE(spreads.at(3).toObject().value("pages").toArray(), QJsonArray{6});
        const auto phone = BookDataScript::read(folder + "/mobile/files/narration.js", "bookNarration");
        QVERIFY(phone);
        QCOMPARE(phone->value().toObject().value("spreads").toArray().at(3).toObject().value("sound").toString(),
                 QString("../files/narration/6.mp3"));
        QCOMPARE(configObject(folder + "/files/config.js").value("narration").toBool(), true);
        QCOMPARE(configObject(folder + "/mobile/files/config.js").value("narration").toBool(), true);

        // Without a sound (spreads there, none of them recorded) the book has no narration at all.
        auto quiet = std::make_shared<GenerateAssistant>();
        quiet->setTotalPage(6);
        quiet->fitResourceListToPages();
        auto silent = makeJob(path("silent"), 0, nullptr);
        silent->setGenerateAssistant(quiet);
        runJob(silent);
        QCOMPARE(silent->status(), OutputOperation::StatusWritten);
        QVERIFY(!QFileInfo::exists(path("silent/files/narration.js")));
        QVERIFY(!configObject(path("silent/files/config.js")).contains("narration"));
    }
};

QV_TEST(ProtectedPublishTest)
#include "tst_protectedpublish.moc"
