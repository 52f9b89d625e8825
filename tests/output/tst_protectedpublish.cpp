#include "OutputFixtures.h"
#include "PackageChecks.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/WorkerException.h"
#include "foundation/ZipExtractor.h"
#include "foundation/ZipWriter.h"
#include "output/BookParts.h"
#include "output/packages/PackageTemplates.h"
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
#include <QHash>
#include <QJsonArray>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace OutputFixtures;

// Fails the test with what was found, when anything was.
#define VERIFY_NONE_FOUND(found)                                                     \
    do {                                                                             \
        const QStringList whatWasFound = (found);                                    \
        QVERIFY2(whatWasFound.isEmpty(), qPrintable(whatWasFound.join(QLatin1Char('\n')))); \
    } while (false)
using namespace TestFiles;

namespace {

using Kind = FlashPageSource::PictureKind;

// Pieces of protected pictures in the clear, compared as raw bytes: a partial copy (a
// truncated file, a stored entry of an archive, a piece inside a package) cannot be
// decoded, but its bytes are there as they were. Each protected picture is cut into
// 64-byte runs, one at every 64th byte, so any piece of 127 bytes or more holds a whole
// run; runs that another picture of the book holds too (the JPEG encoder's tables, the
// runs of empty blocks of a blank page) are left out. A file holding one of the runs
// left, at any place, holds a piece of that picture.
class PictureRuns
{
public:
    static constexpr int kRun = 64;

    // A picture that must not be in the clear (one added before under another name,
    // such as a page's large picture that is its normal one, counts once).
    void addProtected(const QString &name, const QByteArray &data)
    {
        for (Picture &picture : m_pictures)
            if (picture.data == data)
                return void(picture.name += " = " + name);
        for (qsizetype at = 0; at + kRun <= data.size(); at += kRun)
            m_runs[hashOf(data.constData() + at)].append({int(m_pictures.size()), at});
        m_pictures.append({name, data});
    }
    // A picture that may be in the clear (a readable page's): the runs it shares with
    // protected pictures tell nothing.
    void addShared(const QByteArray &data) { m_shared << data; }

    // Leaves out the runs another picture holds too; answers the protected pictures
    // left without a run (which nothing would check).
    QStringList keepUniqueRuns()
    {
        QSet<QPair<int, qsizetype>> common;
        for (int i = -1; i < m_pictures.size(); ++i)
            for (const QByteArray &data : i < 0 ? m_shared : QList<QByteArray>{m_pictures.at(i).data})
                scan(data, [&](const Run &run, qsizetype) {
                    if (run.picture != i)
                        common.insert({run.picture, run.offset});
                });
        QSet<int> checked;
        for (auto it = m_runs.begin(); it != m_runs.end();) {
            it->removeIf([&](const Run &run) { return common.contains({run.picture, run.offset}); });
            for (const Run &run : std::as_const(*it))
                checked.insert(run.picture);
            it = it->isEmpty() ? m_runs.erase(it) : std::next(it);
        }
        QStringList unchecked;
        for (int i = 0; i < m_pictures.size(); ++i)
            if (!checked.contains(i))
                unchecked << m_pictures.at(i).name + " has no run of its own";
        return unchecked;
    }

    // "<picture> at <offset> in <file>" for each protected picture a piece of which a
    // file of folder holds, also in the archives, sealed packages and executables there.
    QStringList foundInFolder(const QString &folder, const QString &sealedPassword = {}) const
    {
        QStringList found;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next(), where = QDir(folder).relativeFilePath(file), suffix = it.fileInfo().suffix();
            QSet<int> seen; // each picture once per file
            scan(readFile(file), [&](const Run &run, qsizetype at) {
                if (!seen.contains(run.picture))
                    found << QString("%1 at %2 in %3").arg(m_pictures.at(run.picture).name).arg(at).arg(where);
                seen.insert(run.picture);
            });
            QTemporaryDir unpacked;
            if ((suffix == "zip" && ZipExtractor().extractFile(file, unpacked.path()))
                || (suffix == "fmapp" && openSealedPackage(file, sealedPassword, unpacked.path()))
                || (suffix == "exe" && PackageChecks::unpackExeBook(file, unpacked.path())))
                for (const QString &piece : foundInFolder(unpacked.path(), sealedPassword))
                    found << piece + " (unpacked from " + it.fileName() + ")";
        }
        return found;
    }

private:
    struct Picture
    {
        QString name;
        QByteArray data;
    };
    struct Run
    {
        int picture;
        qsizetype offset;
    };
    static constexpr quint64 kBase = 1099511628211ULL;

    static quint64 hashOf(const char *bytes)
    {
        quint64 h = 0;
        for (int i = 0; i < kRun; ++i)
            h = h * kBase + quint8(bytes[i]);
        return h;
    }
    // Calls hit for every run that data holds, at every place (a rolling hash).
    template <typename Hit>
    void scan(const QByteArray &data, Hit hit) const
    {
        if (data.size() < kRun || m_runs.isEmpty())
            return;
        quint64 top = 1; // kBase to the power kRun - 1
        for (int i = 1; i < kRun; ++i)
            top *= kBase;
        const char *bytes = data.constData();
        quint64 h = hashOf(bytes);
        for (qsizetype at = 0;; ++at) {
            for (const Run &run : m_runs.value(h))
                if (std::memcmp(m_pictures.at(run.picture).data.constData() + run.offset, bytes + at, kRun) == 0)
                    hit(run, at);
            if (at + kRun >= data.size())
                break;
            h = (h - quint8(bytes[at]) * top) * kBase + quint8(bytes[at + kRun]);
        }
    }

    QList<Picture> m_pictures;
    QList<QByteArray> m_shared;
    QHash<quint64, QList<Run>> m_runs;
};

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

    // Where pieces of the protected pages' pictures (every size), and of the further
    // protected pictures, lie in the clear in folder (archives and packages unpacked).
    // A picture with no run of its own would be checked by nothing: it is named too.
    QStringList picturesInTheClear(const QString &folder, const QList<int> &pages, const QStringList &alsoProtected = {},
                                   const QString &sealedPassword = {}) const
    {
        PictureRuns runs;
        for (int n = 1; n <= m_book.pages->pageCount(); ++n)
            for (Kind kind : FlashPageSource::kPictureKinds) {
                if (pages.contains(n))
                    runs.addProtected(QString("page %1 kind %2").arg(n).arg(int(kind)), readFile(picture(kind, n)));
                else
                    runs.addShared(readFile(picture(kind, n)));
            }
        for (const QString &file : alsoProtected)
            runs.addProtected(QFileInfo(file).fileName(), readFile(file));
        const QStringList unchecked = runs.keepUniqueRuns();
        return unchecked + runs.foundInFolder(folder, sealedPassword);
    }

    // A picture made from a page, as the cover maker makes the book cover: the page
    // scaled down on a background of its own, as PNG, in a folder of its own.
    QString coverFromPage(const QString &name, int page) const
    {
        QImage cover(300, 300, QImage::Format_RGB32);
        cover.fill(QColor(40, 60, 90));
        QPainter painter(&cover);
        painter.drawImage(QRect(50, 20, 200, 260), QImage(picture(Kind::Large, page)));
        painter.end();
        const QString file = path(name + "/cover.png");
        QDir().mkpath(path(name));
        return cover.save(file) ? file : QString();
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
        VERIFY_NONE_FOUND(picturesInTheClear(folder, {1, 2, 3, 4, 5, 6}));
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
        VERIFY_NONE_FOUND(picturesInTheClear(folder, {3, 4, 5, 6}));

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
        VERIFY_NONE_FOUND(picturesInTheClear(path("zip"), {1, 2, 3, 4, 5, 6}));

        auto sealed = makeJob(path("sealed"), 5, password("inner", 1));
        sealed->setFmappPassword("outer");
        runJob(sealed);
        QString error;
        QCOMPARE(sealed->status(), OutputOperation::StatusWritten);
        QVERIFY2(openSealedPackage(path("sealed/atlas.fmapp"), "outer", path("sealed-open"), &error), qPrintable(error));
        QCOMPARE(openedKey(path("sealed-open"), "", "inner").size(), 32);
        VERIFY_NONE_FOUND(picturesInTheClear(path("sealed"), {2, 3, 4, 5, 6}, {}, "outer"));
    }

    void leakCheckFindsPiecesOfPictures()
    {
        // The check itself: a piece from the middle of a picture in a text file, and
        // the first half of another packed in an archive, are found.
        const QString folder = path("planted");
        const QByteArray large = readFile(picture(Kind::Large, 3));
        QVERIFY(writeFile(folder + "/notes.txt", "before " + large.mid(large.size() / 2, 2000) + " after"));
        const QByteArray thumb = readFile(picture(Kind::Thumb, 5));
        ZipWriter zip(folder + "/half.zip");
        QVERIFY(zip.addData("half.jpg", thumb.left(thumb.size() / 2)) && zip.commit());
        QStringList found = picturesInTheClear(folder, {2, 3, 4, 5, 6});
        QCOMPARE(found.size(), 2);
        found.sort();
        QVERIFY2(found.at(0).startsWith("page 3 kind 0 ") && found.at(0).endsWith(" in notes.txt"), qPrintable(found.at(0)));
        QVERIFY2(found.at(1).startsWith("page 5 kind 2 at ") && found.at(1).endsWith(" in half.jpg (unpacked from half.zip)"),
                 qPrintable(found.at(1)));
    }

    void furnishedProtectedBooksHoldNoProtectedPicture_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("web folder") << 0;
        QTest::newRow("ZIP") << 2;
        QTest::newRow("application") << 1;
        QTest::newRow("Windows executable") << 3;
        QTest::newRow("sealed package") << 5;
        QTest::newRow("WordPress plug-in") << 6;
    }

    void furnishedProtectedBooksHoldNoProtectedPicture()
    {
        QFETCH(int, kind);
        if (kind == 3 && !QFile::exists(PackageTemplates::winExeStubPath()))
            QSKIP("the Windows launcher was not built (no MinGW-w64 cross compiler)");
        // Every page protected by a users list; the cover made from page 1 "as the
        // cover picture only", which the publish dialog offers as the share picture;
        // furnishings with pictures of their own, and two whose pictures are copies of
        // protected pages' pictures.
        const QString root = path(QString("furnishings-%1").arg(kind));
        const QString cover = coverFromPage(QString("cover-%1").arg(kind), 1);
        QVERIFY(!cover.isEmpty());
        QImage dot(8, 8, QImage::Format_RGB32);
        dot.fill(Qt::darkGreen);
        QVERIFY(QDir().mkpath(root + "/scene/layers"));
        QVERIFY(dot.save(root + "/scene/layers/tree.png"));
        QVERIFY(QFile::copy(picture(Kind::Large, 6), root + "/scene/layers/page.jpg"));
        QVERIFY(writeFile(root + "/scene/Meta.xml", "<Scenes/>"));
        BookScene scene{"Room", root + "/scene/Meta.xml", root + "/scene", {{"layers/tree.png", "Top Left"}},
                        {{"layers/page.jpg", "Scale to Fit"}}};
        auto tmpl = OutputCopies::copyTemplate(*m_tmpl);
        QVERIFY(QFile::copy(picture(Kind::Normal, 4), root + "/background.jpg"));
        QVERIFY(tmpl->setPropertyValue("backgroundImage", root + "/background.jpg"));

        auto users = std::make_shared<BookSecurity>();
        users->setSecurityType(BookSecurity::UserList);
        users->usersList() << QVariantMap{{"user", "ann"}, {"password", "first"}};
        BookParts parts;
        parts.setSecurity(users);
        parts.setScene(scene);
        parts.setCoverFile(cover);
        parts.setCoverPages(QList<int>{1});
        const QString folder = path(QString("furnished-%1").arg(kind));
        auto job = makeJob(folder, kind, nullptr);
        job->setBookParts(parts);
        job->setFlashTmpl(tmpl.get());
        job->setShotFile(cover);
        job->setFmappPassword("outer");
        runJob(job);
        QCOMPARE(job->status(), OutputOperation::StatusWritten);

        VERIFY_NONE_FOUND(picturesInTheClear(folder, {1, 2, 3, 4, 5, 6}, {cover}, "outer"));
        if (kind != 0)
            return;
        // No share picture (page 1 is protected); the furnishings of their own stay.
        QVERIFY(QDir(folder + "/files").entryList({"shot.*"}).isEmpty());
        QCOMPARE(homeOgImage(folder + "/atlas.html"), QString());
        QCOMPARE(homeOgImage(folder + "/mobile/index.html"), QString());
        QCOMPARE(readFile(folder + "/files/scenes/layers/tree.png"), readFile(root + "/scene/layers/tree.png"));
        QVERIFY(!QFileInfo::exists(folder + "/files/scenes/layers/page.jpg"));
    }

    void aCoverShowingAProtectedPageIsNoSharePicture_data()
    {
        QTest::addColumn<std::optional<QList<int>>>("coverPages");
        QTest::addColumn<bool>("shared");
        QTest::newRow("made from the readable page 1") << std::optional<QList<int>>(QList<int>{1}) << true;
        QTest::newRow("made into the protected page 2") << std::optional<QList<int>>(QList<int>{1, 2}) << false;
        QTest::newRow("of an older project: any page") << std::optional<QList<int>>() << false;
    }

    void aCoverShowingAProtectedPageIsNoSharePicture()
    {
        QFETCH(std::optional<QList<int>>, coverPages);
        QFETCH(bool, shared);
        const QString cover = coverFromPage("cover-front", 3);
        BookParts parts;
        parts.setSecurity(password("pw", 1));
        parts.setCoverFile(cover);
        parts.setCoverPages(coverPages);
        const QString folder = path("front-cover");
        auto job = makeJob(folder, 0, nullptr);
        job->setBookParts(parts);
        job->setShotFile(cover);
        runJob(job);
        QCOMPARE(job->status(), OutputOperation::StatusWritten);
        // Otherwise the readable page 1's thumbnail stands in.
        const QString shot = shared ? "files/shot.png" : "files/shot.jpg";
        QCOMPARE(homeOgImage(folder + "/atlas.html"), shot);
        QCOMPARE(readFile(folder + "/" + shot), readFile(shared ? cover : picture(Kind::Thumb, 1)));
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
