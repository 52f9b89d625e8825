#include "EditorSteps.h"
#include "PackageChecks.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/ZipExtractor.h"
#include "output/narration/AssistantResourceItem.h"
#include "pages/FlashPageSource.h"
#include "shell/ui/BookmarkTabsView.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>
#include <algorithm>

using namespace TestFiles;

namespace {

constexpr int kLong = 90000;
const QStringList kWords{"marmalade", "quarantine", "pinafore", "sextant"};
const QStringList kPasswords{"first secret", "Zweites Geheimnis"};
const QString kLink = QStringLiteral("https://links.example/ledger-%1");

// The recording of a spread: the test tone with a tag of its own (an ID3v1 tag at the
// end), so each spread's sound has bytes of its own.
QByteArray recording(int spread)
{
    QByteArray tag = "TAG" + QByteArray("Spread ") + QByteArray::number(spread);
    tag.append(128 - tag.size(), '\0');
    return readFile(TestSupport::sourceDataPath("narration/tone.mp3")) + tag;
}

// What no file of the published book may hold in the clear, each named: runs of 64
// bytes of every page picture that no other page's pictures hold (past the headers that
// every JPEG of the encoder shares), the words of the pages, the sounds, the PDF, the
// attachment, the page links and the users' passwords.
struct Secret
{
    QString what;
    QByteArray bytes;
};

QList<Secret> runsOf(const QString &what, const QByteArray &data)
{
    QList<Secret> runs;
    for (int i = 0; i < 4 && data.size() > 256; ++i)
        runs << Secret{what, data.mid(data.size() * (4 + i) / 10, 64)};
    return runs;
}

QList<Secret> pictureRunsOf(const FlashPageSource &source)
{
    struct Picture
    {
        int page;
        QString name;
        QByteArray data;
    };
    QList<Picture> pictures;
    for (const QList<FlashPagePtr> *kind : {&source.pages(), &source.normalPages(), &source.thumbPages(), &source.phonePages()})
        for (int page = 0; page < kind->size(); ++page) {
            const QFileInfo file(kind->at(page)->pageFilePath());
            pictures << Picture{page, file.dir().dirName() + "/" + file.fileName(), readFile(file.filePath())};
        }
    QList<Secret> runs;
    for (const Picture &picture : pictures) {
        int found = 0;
        for (qsizetype at = picture.data.size() * 3 / 10; found < 4 && at + 66 < picture.data.size(); at += 64) {
            const QByteArray run = picture.data.mid(at, 64);
            if (std::none_of(pictures.begin(), pictures.end(),
                             [&](const Picture &other) { return other.page != picture.page && other.data.contains(run); })) {
                runs << Secret{"the page picture " + picture.name, run};
                ++found;
            }
        }
    }
    return runs;
}

QList<Secret> secretsOf(const BookDocument &book, const QByteArray &pdf, const QByteArray &attachment)
{
    QList<Secret> secrets = pictureRunsOf(*book.pageSource());
    for (const QString &word : kWords)
        secrets << Secret{"the word " + word, word.toUtf8()};
    secrets << runsOf("a sound", recording(0)) << runsOf("the PDF", pdf) << Secret{"a PDF", "%PDF-"}
            << Secret{"the attachment", attachment.right(40)} << runsOf("the cover of page 1", readFile(book.parts().coverFile()));
    for (int page = 1; page <= kWords.size(); ++page)
        secrets << Secret{"a page link", kLink.arg(page).toUtf8()};
    for (const QString &password : kPasswords)
        secrets << Secret{"a password", password.toUtf8()};
    return secrets;
}

// The secrets found in the files below folder, unpacking the archives and the books
// appended to executables it holds: "<file>: <what>" for each.
QStringList leaksIn(const QString &folder, const QList<Secret> &secrets)
{
    QStringList leaks;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        const QByteArray data = readFile(file);
        for (const Secret &secret : secrets)
            if (data.contains(secret.bytes))
                leaks << QDir(folder).relativeFilePath(file) + ": " + secret.what;
        QTemporaryDir unpacked;
        if (data.startsWith("PK\x03\x04") && ZipExtractor().extractFile(file, unpacked.path()))
            leaks << leaksIn(unpacked.path(), secrets);
        else if (file.endsWith(".exe") && PackageChecks::unpackExeBook(file, unpacked.path()))
            leaks << leaksIn(unpacked.path(), secrets);
    }
    leaks.removeDuplicates();
    return leaks;
}

// The files the parts were made from, as the book must carry them.
struct Made
{
    QByteArray cover, contents, arrow, sceneMovie, scenePicture, bundleMovie, preloaderMovie;
};

// The parts the book at root (the folder of its home page) lacks, each named: the
// furnishings in its configuration with the files they name, the tabs, the cover, the
// plug-in bundle and the page links in its record, a sound for every spread, every
// download, the users and the phone version.
QStringList missingParts(const QString &root, const Made &made)
{
    QStringList missing;
    const auto expect = [&missing](bool present, const QString &part) {
        if (!present)
            missing << part;
    };
    const auto fileOf = [&root](const QJsonValue &path) { return readFile(root + "/" + path.toString()); };
    const auto exists = [&root](const QJsonValue &path) { return QFileInfo(root + "/" + path.toString()).isFile(); };
    const QJsonObject config = bookConfigOf(root + "/files/config.js");
    expect(config.value("captions").toArray() == QJsonArray({"i", "1", "2", "3"}), "captions");
    expect(config.value("menuItems").toArray().at(0).toObject().value("value") == "https://example.com/ledger", "menu");
    const QJsonObject icon = config.value("extraIcons").toArray().at(0).toObject();
    expect(icon.value("caption") == "Contents" && fileOf(icon.value("icon")) == made.contents, "extra icon");
    expect(fileOf(config.value("toolbarIcons").toObject().value("next")) == made.arrow, "next-page icon");
    const QJsonObject scene = config.value("scene").toObject();
    expect(fileOf(scene.value("background").toArray().at(0).toObject().value("file")) == made.sceneMovie, "scene movie");
    expect(fileOf(scene.value("foreground").toArray().at(0).toObject().value("file")) == made.scenePicture, "scene picture");
    const QJsonObject plugin = config.value("plugin").toObject();
    expect(fileOf(plugin.value("movie")) == made.bundleMovie && plugin.value("left") == 70 && plugin.value("top") == 10,
           "plug-in bundle with its settings");
    expect(fileOf(config.value("preloaderMovie")) == made.preloaderMovie && exists(config.value("preloaderImage")), "preloader");
    expect(exists(config.value("swfPlayer")), "SWF player");
    const QJsonObject download = config.value("download").toObject();
    const QJsonArray pageFiles = download.value("pageFiles").toArray();
    expect(exists(download.value("wholeFile")), "whole PDF");
    expect(pageFiles.size() == 4 && std::all_of(pageFiles.begin(), pageFiles.end(), exists), "page downloads");
    expect(exists(download.value("attachments").toArray().at(0).toObject().value("file")), "attachment");
    // The cover shows page 1, which is protected: it is no share picture and nowhere in the book.
    expect(!QFileInfo::exists(root + "/files/shot.png") && !QFileInfo::exists(root + "/files/shot.jpg"), "no cover of a protected page");
    const QString script = readText(root + "/files/config.js");
    expect(script.contains("bmtConfig") && script.contains("\"Start\"") && script.contains("\"Close\""), "tabs");
    const QString record = readText(root + "/files/book.xml");
    expect(record.contains("<PlugIn name=\"Badge\""), "plug-in bundle in the record");
    expect(record.count("<page/>") == 4, "page links in the record (their content encrypted)");
    const QString security = readText(root + "/files/secure/book.js");
    expect(security.contains("\"kind\":\"users\"") && security.contains("\"user\":\"user1\"")
               && QFileInfo::exists(root + "/files/secure/annotations.js") && QFileInfo::exists(root + "/files/extfiles/users.txt"),
           "users and the page links' payload");
    const QString narration = readText(root + "/files/narration.js");
    expect(QFileInfo(root + "/files/narration/character.png").size() > 0 && narration.contains("narration/character.png"),
           "narration character");
    for (int spread = 0; spread < 3; ++spread)
        expect(narration.contains(QString("files/secure/sound/%1.js").arg(spread))
                   && QFileInfo::exists(root + QString("/files/secure/sound/%1.js").arg(spread)),
               QString("the sound of spread %1").arg(spread));
    expect(exists("mobile/files/config.js") && readText(root + "/mobile/files/narration.js").contains("secure/sound/2.js"),
           "phone version");
    return missing;
}

// The folder of the one desktop book below folder.
QStringList bookFolders(const QString &folder)
{
    QStringList roots;
    QDirIterator configs(folder, {"config.js"}, QDir::Files, QDirIterator::Subdirectories);
    while (configs.hasNext()) {
        const QString book = QFileInfo(configs.next()).absolutePath() + "/..";
        if (QFileInfo(configs.filePath()).absolutePath().endsWith("/files") && !QDir::cleanPath(book).endsWith("/mobile"))
            roots << QDir::cleanPath(book);
    }
    return roots;
}

// What is wrong with the book written into folder (a web folder, or an archive,
// application or executable holding one): the secrets it holds in the clear, and the
// parts it lacks.
QStringList problemsOf(const QString &folder, const QList<Secret> &secrets, const Made &made)
{
    QStringList problems = leaksIn(folder, secrets);
    QTemporaryDir unpacked;
    QString searched = folder;
    for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files)) {
        if ((file.suffix() == "zip" && ZipExtractor().extractFile(file.filePath(), unpacked.path()))
            || (file.suffix() == "exe" && PackageChecks::unpackExeBook(file.filePath(), unpacked.path())))
            searched = unpacked.path();
    }
    const QStringList books = bookFolders(searched);
    if (books.size() != 1)
        return problems << QString("%1 books instead of one").arg(books.size());
    const QStringList missing = missingParts(books.first(), made);
    return missing.isEmpty() ? problems : problems << "it lacks " + missing.join(", ");
}

} // namespace

// One book with every part, each set in the window a person uses for it: a cover, tabs,
// captions, a viewer menu, an extra and a replaced toolbar icon, whole-PDF, page and
// attachment downloads, a scene with an SWF layer, a plug-in bundle, a preloader,
// narration on every spread and a users list (its page links come from the project, the
// page editor's only way in). Saved, reopened, and published from the window in every
// kind the window offers; each result carries the parts and holds nothing of a
// protected page in the clear. QUORVEL_BOOK_OUT names the folder that gets the web
// book ("book/") and the files it was made from ("sources/"); the browser test reads
// them there.
class EveryPartFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void everyPartSetInTheWindowSavedReopenedAndPublished()
    {
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("out") : given;
        const QString pdf = dir.filePath("Ledger.pdf");
        QList<PdfFixtures::Page> pages;
        for (const QString &word : kWords)
            pages << PdfFixtures::Page{"Page " + QString::number(pages.size() + 1) + " " + word};
        QVERIFY(PdfFixtures::writePdf(pdf, pages));
        const QString art = dir.filePath("art/");
        QVERIFY(writeFile(art + "sun.swf", TestPictures::rectangleSwf(QColor(0xE5, 0x39, 0x35), 120, 120)));
        QVERIFY(TestPictures::writePicture(art + "grass.png", QSize(160, 120), QColor(0x43, 0xA0, 0x47)));
        QVERIFY(writeFile(art + "Spin.swf", TestPictures::rectangleSwf(QColor(0x1E, 0x63, 0xD0), 120, 120)));
        QVERIFY(TestPictures::writePicture(art + "spin.png", QSize(120, 120), QColor(0xFD, 0xD8, 0x35)));
        QVERIFY(TestPictures::writePicture(art + "contents.png", QSize(32, 32), QColor(0x2E, 0x7D, 0x32)));
        QVERIFY(TestPictures::writePicture(art + "arrow.png", QSize(32, 32), QColor(0x1E, 0x88, 0xE5)));
        const QString attachment = art + "Price list.csv";
        const QByteArray attached = "item;price\nledger " + QUuid::createUuid().toByteArray(QUuid::Id128) + ";12\n";
        QVERIFY(writeFile(attachment, attached));
        for (int spread = 0; spread < 3; ++spread)
            QVERIFY(writeFile(art + QString("spread-%1.mp3").arg(spread), recording(spread)));
        const QString bundle = AppUtility::userAppResourcePath("Plugin") + "/Badge.bundle/Contents/Resources";
        QVERIFY(writeFile(bundle + "/html/Badge.swf", TestPictures::rectangleSwf(QColor(0x8E, 0x24, 0xAA), 160, 120)));
        QVERIFY(writeFile(bundle + "/data/defaultsettings.dat", "0\n0\n0\n0\n50\n1"));
        QVERIFY(TestPictures::writePicture(bundle + "/data/shot.jpg", QSize(160, 120), QColor(0x8E, 0x24, 0xAA)));
        QVERIFY(installDrivenPluginEditor());
        qputenv("QUORVEL_TEST_EDITOR", "accept 70 10 5 60 100 0");

        UiTestDriver driver;
        driver.setModalTimeout(kLong);
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        MainWindow *window = app.mainWindow();

        // Page links come only from a project, as the page editor leaves them: written
        // into the saved project, which is opened again.
        const QString project = dir.filePath("Ledger.qvprj");
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(app.closeBook());
        QString links;
        for (int page = 1; page <= kWords.size(); ++page)
            links += QString("<page><link url=\"%1\" rect=\"10,10,80,20\"/></page>").arg(kLink.arg(page));
        QString text = readText(project);
        const qsizetype from = text.indexOf("<pagesAnnotations"), to = text.indexOf("</pagesAnnotations>");
        QVERIFY(from > 0 && to > from);
        text.replace(from, to - from, "<pagesAnnotations version=\"1\">" + links);
        QVERIFY(writeFile(project, text.toUtf8()));
        QVERIFY(app.openProject(project));

        // A cover for the book, kept beside its pages.
        QVERIFY(makeCover(app, "cellCoverOnly", "Ledger"));

        // Two bookmark tabs; the next one would lie past the book.
        driver.answerModal([](WindowController *c) {
            enterBookmarkTab(c, "Start");
            enterBookmarkTab(c, "Close", "4");
        });
        driver.answerAlert("NO");
        control<QPushButton>(window->bookmarkTabsView(), "btnAddTab")->click();

        // Captions, the viewer menu and the icons, in the windows of their design settings.
        QVERIFY(editSetting(app, driver, "pageCaption", [](WindowController *c) {
            addCaption(c, "1", "1", 4, ""); // {r+}
            addCaption(c, "2", "4", -1, "{N+-1}");
            clickControl(c, "btnOK");
        }));
        QVERIFY(editSetting(app, driver, "flashMenu", [](WindowController *c) {
            addMenuEntry(c, "Our site", "https://example.com/ledger");
            clickControl(c, "btnOK");
        }));
        QVERIFY(editSetting(app, driver, "otherIconsConfig", [&](WindowController *c) {
            addExtraIcon(c, art + "contents.png", "Contents", "3");
            clickControl(c, "btnOK");
        }));
        QVERIFY(editSetting(app, driver, "toolbarIconsFile", [&](WindowController *c) {
            replaceToolbarIcon(c, "Next page", art + "arrow.png");
            clickControl(c, "btnOK");
        }));

        // The downloads: the whole PDF, its pages and the attachment (the window puts the
        // files in place at once; the setting keeps its value).
        editSetting(app, driver, "downloadConfig", [&](WindowController *c) { chooseDownloads(c, driver, attachment, "ledger-"); });

        // A scene with a movie behind the book and a picture in front, from the scenes maker.
        driver.answerModal([&](WindowController *c) {
            addSceneLayer(c, art + "sun.swf", 0, 0);
            addSceneLayer(c, art + "grass.png", 1, 3);
            control<QLineEdit>(c, "txtCaption")->setText("Meadow");
            clickControl(c, "btnOK");
        });
        bookMenuItem(window, "scenesMaker")->trigger();

        // The plug-in bundle, set in its settings editor, and a preloader of the user's.
        QVERIFY(chooseInPicker(app, "plugin", "Badge"));
        QTRY_VERIFY_WITH_TIMEOUT(!app.furnishingTabs()->isSettingsEditorRunning(), kLong);
        QVERIFY(editSetting(app, driver, "tmplPreloader",
                            [&](WindowController *c) { addAndChoosePreloader(c, art + "Spin.swf", art + "spin.png"); }));

        // Narration: a character, and a recording for every spread (1, 2-3, 4).
        QVERIFY(chooseNarrator(app, "Owl") > 0);
        driver.answerModal([&](WindowController *c) {
            auto &manager = *qobject_cast<ManageRecordDelegate *>(c);
            QCOMPARE(manager.tableView()->rowCount(), 3);
            for (int spread = 0; spread < 3; ++spread)
                importRecording(manager, driver, spread, art + QString("spread-%1.mp3").arg(spread));
            manager.btnApply()->click();
        });
        bookMenuItem(window, "manageRecords")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(driver.modalRuns().endsWith("ManageRecordDelegate") && !QApplication::activeModalWidget(), kLong);

        // Last the users list, which the project asks for from now on.
        QVERIFY(editSetting(app, driver, "securitySetting",
                            [&](WindowController *c) { protectWithUsers(c, driver, kPasswords); }));

        QVERIFY(app.onSaveProject());
        QVERIFY(app.closeBook());
        driver.answerModal([](WindowController *c) {
            control<QComboBox>(c, "_comBox")->setCurrentText("user1");
            control<QLineEdit>(c, "_txtPassword")->setText(kPasswords[1]);
            clickControl(c, "_btnOK");
        });
        QVERIFY(app.openProject(project));
        const BookDocument &book = app.session()->document();
        const BookParts &parts = book.parts();
        // Back from the project, the parts' files are the project's own.
        QStringList kept{parts.scene().folder, parts.coverFile(), parts.downloadWorkspace()};
        for (const AssistantResourceItem &item : parts.assistant()->resourceList())
            kept << item.importmp3File();
        for (const QString &path : kept)
            QVERIFY2(path.startsWith(dir.filePath("Ledger.qvprj.data/")), qPrintable(path));

        // Every kind the windows offer (none offers the ZIP, HTML5 or sealed kind), each
        // checked for the parts and the protection.
        const QList<Secret> secrets = secretsOf(book, readFile(pdf), attached);
        const QString kinds = dir.filePath("kinds/");
        const QList<PublishChoice> choices{{"btnOPHtml", out + "/book", "Ledger", "The Ledger", false},
                                           {"btnOPHtml", kinds + "zip", "Ledger", "The Ledger", true},
                                           {"btnOPApp", kinds + "app", "Ledger", "The Ledger", false},
                                           {"btnOPExe", kinds + "exe", "Ledger", "The Ledger", false},
                                           {"btnOPWordPress", kinds + "wordpress", "Ledger", "The Ledger", false},
                                           {"btnOPJoomla", kinds + "joomla", "Ledger", "The Ledger", false},
                                           {"btnOPDrupal", kinds + "drupal", "Ledger", "The Ledger", false}};
        const Made made{readFile(parts.coverFile()), readFile(art + "contents.png"), readFile(art + "arrow.png"),
                        readFile(art + "sun.swf"), readFile(art + "grass.png"), readFile(bundle + "/html/Badge.swf"),
                        readFile(art + "Spin.swf")};
        for (const PublishChoice &choice : choices) {
            QVERIFY2(publishFromDialog(app, driver, choice, kLong), choice.kindButton);
            const QStringList problems = problemsOf(choice.folder, secrets, made);
            QVERIFY2(problems.isEmpty(), qPrintable(QString(choice.kindButton) + ": " + problems.join('\n')));
        }
        // The plug-in package dialog of the Book menu makes its packages on its own way.
        driver.answerModal([&](WindowController *c) {
            clickControl(c, "cellWordPress");
            control<QLineEdit>(c, "txtOutputFolder")->setText(kinds + "package");
            control<QLineEdit>(c, "txtOutputName")->setText("Ledger");
            control<QLineEdit>(c, "txtTitle")->setText("The Ledger");
            driver.answerAlert("NO"); // no reveal
            clickControl(c, "btnPublic");
        });
        bookMenuItem(window, "publishPlugin")->trigger();
        QCOMPARE(driver.modalRuns().last(), QString("PublishPluginDelegate"));
        const QStringList problems = problemsOf(kinds + "package", secrets, made);
        QVERIFY2(problems.isEmpty(), qPrintable("the plug-in package: " + problems.join('\n')));

        // What the browser test compares the book with.
        for (int spread = 0; spread < 3; ++spread)
            QVERIFY(writeFile(out + QString("/sources/spread-%1.mp3").arg(spread), recording(spread)));
        QVERIFY(writeFile(out + "/sources/cover.png", readFile(parts.coverFile())));
        QVERIFY(writeFile(out + "/sources/Ledger.pdf", readFile(pdf)));
        QVERIFY(writeFile(out + "/sources/Price list.csv", attached));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(EveryPartFlowTest)
#include "tst_everypartflow.moc"
