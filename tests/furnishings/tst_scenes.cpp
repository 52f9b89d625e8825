#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/ZipWriter.h"
#include "furnishings/BackgroundItem.h"
#include "furnishings/FlashMenuItem.h"
#include "furnishings/FlashScenesItem.h"
#include "furnishings/SceneObject.h"
#include "furnishings/ScenePackage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

// A package folder with one SWF behind the book and one picture in front of it.
void writePackage(const QString &folder, const QString &title = "Garden")
{
    QTemporaryDir source;
    writeFile(source.filePath("sun.swf"), "FWS\x0a fake movie");
    TestPictures::writePicture(source.filePath("tree.png"), QSize(10, 10), Qt::green);
    QVERIFY(SceneObject::saveSceneObjs({SceneObject(source.filePath("sun.swf"), 0, SceneObject::TopRight),
                                        SceneObject(source.filePath("tree.png"), 1, SceneObject::ScaleToFit)},
                                       title, "", folder));
}

QString archiveOf(const QString &path, const QList<QPair<QString, QByteArray>> &entries)
{
    ZipWriter zip(path);
    for (const auto &[name, data] : entries)
        zip.addData(name, data);
    return zip.commit() ? path : QString();
}

} // namespace

// Scene packages: the description file, the folders a scene is found in, the archives
// they travel in, and the background pictures.
class ScenesTest : public QObject
{
    Q_OBJECT
private slots:
    void packageRoundTrip()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("Garden");
        writePackage(folder);
        const QByteArray meta = readFile(folder + "/Meta.xml");
        QVERIFY(meta.startsWith("\xEF\xBB\xBF<Meta><Info><Title>Garden</Title>"));
        QVERIFY(!meta.contains('\n'));
        QVERIFY(meta.contains("<Ground><Background><Item position=\"Top Right\"><URL>sun.swf</URL></Item></Background>"
                              "<Foreground><Item position=\"Scale to Fit\"><URL>tree.png</URL>"));
        QCOMPARE(folderListing(folder + "/Resources"), QStringList({"sun.swf", "tree.png"}));

        const auto layers = SceneObject::loadSceneObjsFromPath(folder);
        QVERIFY(layers);
        QCOMPARE(*layers, QList<SceneObject>({SceneObject(folder + "/Resources/sun.swf", 0, 1),
                                              SceneObject(folder + "/Resources/tree.png", 1, 4)}));
        QCOMPARE(SceneObject::sceneTitleFromPath(folder), QString("Garden"));

        // Saving again copies nothing and removes only what no layer names.
        writeFile(folder + "/Resources/old/stale.png", "x");
        const QMap<QString, QString> before = folderStamps(folder + "/Resources");
        QVERIFY(SceneObject::saveSceneObjs(*layers, "Garden", "", folder));
        QMap<QString, QString> after = folderStamps(folder + "/Resources");
        QCOMPARE(after.value("sun.swf"), before.value("sun.swf"));
        QCOMPARE(after.keys(), QStringList({"sun.swf", "tree.png"}));

        // A layer naming its own target under another spelling keeps its file.
        QVERIFY(SceneObject::saveSceneObjs({SceneObject(folder + "/./Resources/../Resources/sun.swf", 0, 0)}, "G", "", folder));
        QCOMPARE(readFile(folder + "/Resources/sun.swf"), QByteArray("FWS\x0a fake movie"));
        QVERIFY(QFile::link(folder, dir.filePath("alias")));
        QVERIFY(SceneObject::saveSceneObjs({SceneObject(dir.filePath("alias/Resources/sun.swf"), 0, 0)}, "G", "", folder));
        QCOMPARE(readFile(folder + "/Resources/sun.swf"), QByteArray("FWS\x0a fake movie"));

        // No layers: an empty Ground, read back as an empty list; no description: nothing.
        QVERIFY(SceneObject::saveSceneObjs({}, "", "", dir.filePath("empty")));
        QVERIFY(readFile(dir.filePath("empty/Meta.xml")).contains("<Ground/>"));
        QCOMPARE(SceneObject::loadSceneObjsFromPath(dir.filePath("empty"))->size(), 0);
        QVERIFY(!SceneObject::loadSceneObjsFromPath(dir.filePath("nothing")));
        writeFile(dir.filePath("garbage/Meta.xml"), "not < xml");
        QCOMPARE(SceneObject::loadSceneObjsFromPath(dir.filePath("garbage"))->size(), 0);
    }

    void readerKeepsLayersInsideThePackage()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("s/Meta.xml"),
                  "<Meta><Scenes><Ground><Background>"
                  "<Item position=\"Top Left\"><URL>../../../etc/passwd</URL></Item>"
                  "<Item position=\"Top Left\"><URL>/etc/passwd</URL></Item>"
                  "<Item><URL></URL></Item><Item position=\"x\"/>"
                  "<Item position=\"scale to fit\"><URL>ok.png</URL></Item>"
                  "<Item><URL>a\\..\\b.png</URL></Item>"
                  "<Item><URL>a.png&quot;&gt;&lt;img src=x onerror=alert(1)&gt;</URL></Item>"
                  "</Background></Ground></Scenes></Meta>");
        const auto layers = SceneObject::loadSceneObjsFromPath(dir.filePath("s"));
        QCOMPARE(*layers, QList<SceneObject>({SceneObject(dir.filePath("s/Resources/ok.png"), 0, 4)}));

        // Elements nested deeper than any reader allows: refused before they are parsed.
        const QByteArray deep = QByteArray("<i>").repeated(300) + QByteArray("</i>").repeated(300);
        writeFile(dir.filePath("s/Meta.xml"), "<Meta><Scenes><Ground><Background><Item><URL>ok.png</URL>" + deep
                                                  + "</Item></Background></Ground></Scenes></Meta>");
        QVERIFY(SceneObject::loadSceneObjsFromPath(dir.filePath("s"))->isEmpty());
        QVERIFY(FlashMenuItem::parseByXmlString("<menus><menu><title>A</title><action><share/></action>" + deep
                                                + "</menu></menus>").isEmpty());
    }

    void installedScenesAreFoundInOrder()
    {
        const QString user = FlashScenesItem::userScenesFolder();
        removeTree(user);
        writePackage(user + "/b");
        writePackage(user + "/a");
        writePackage(user + "/deep/er/c");
        writeFile(user + "/incomplete/Meta.xml", "<Meta/>");
        QTemporaryDir outside;
        writePackage(outside.filePath("linked"));
        QVERIFY(QFile::link(outside.filePath("linked"), user + "/zlink"));

        const QStringList folders = FlashScenesItem::collectSceneFolders();
        QStringList mine;
        for (const QString &f : folders)
            if (f.startsWith(user))
                mine << f.mid(user.size() + 1);
        QCOMPARE(mine, QStringList({"a", "b", "deep/er/c"}));

        const QList<FlashScenesItem> items = FlashScenesItem::sceneItemsFromFolders({user + "/a"});
        QCOMPARE(items.first().sceneName(), QString("None"));
        QVERIFY(items.first().isNone());
        QCOMPARE(FlashScenesItem::sceneItemsFromFolders({}).size(), 1);
        QCOMPARE(items.at(1).swfFilePath(), user + "/a/Resources");
        QCOMPARE(FlashScenesItem::sceneIndexIn(items, "a"), 1);
        QCOMPARE(FlashScenesItem::sceneIndexIn(items, "A"), -1);

        // The book's scene: its layers by their place in the package.
        const BookScene scene = items.at(1).bookScene();
        QCOMPARE(scene.folder, user + "/a");
        QCOMPARE(scene.background, QList<BookScene::Layer>({{"Resources/sun.swf", "Top Right"}}));
        QCOMPARE(scene.foreground, QList<BookScene::Layer>({{"Resources/tree.png", "Scale to Fit"}}));
        QVERIFY(items.first().bookScene().isNone());

        // Pictures only: no SWF folder.
        QFile::remove(user + "/a/Resources/sun.swf");
        writeFile(user + "/a/Resources/x.SwF", "FWS");
        QCOMPARE(FlashScenesItem::itemForFolder(user + "/a").swfFilePath(), user + "/a/Resources");
        QFile::remove(user + "/a/Resources/x.SwF");
        QVERIFY(FlashScenesItem::itemForFolder(user + "/a").swfFilePath().isEmpty());
        removeTree(user);
    }

    void sceneNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "My scene" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dots") << ".." << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("nul") << QString("a") + QChar(0) + "b" << false;
        QTest::newRow("None") << "None" << false;
        QTest::newRow("nOnE") << "nOnE" << false;
        QTest::newRow("none of it") << "none of it" << true;
    }
    void sceneNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(FlashScenesItem::isValidSceneName(name), valid);
    }

    void archivesInstallOnlyWhenTheyHoldAPackage()
    {
        QTemporaryDir dir;
        const QString scenes = dir.filePath("scenes");
        writePackage(dir.filePath("src/Garden"));
        // An export holds the package at its top; a package inside one folder installs the same.
        QVERIFY(ScenePackage::exportFolder(dir.filePath("src/Garden"), dir.filePath("Garden.scp")));
        ZipWriter nested(dir.filePath("nested.zip"));
        nested.addFolderContents(dir.filePath("src"));
        QVERIFY(nested.commit());
        QCOMPARE(ScenePackage::installArchive(dir.filePath("Garden.scp"), scenes, "Garden"), scenes + "/Garden");
        QCOMPARE(ScenePackage::installArchive(dir.filePath("nested.zip"), scenes, "Nested"), scenes + "/Nested");
        QCOMPARE(folderContents(scenes + "/Garden"), folderContents(scenes + "/Nested"));
        QCOMPARE(folderContents(scenes + "/Garden"), folderContents(dir.filePath("src/Garden")));

        // Garbage, a package without its Resources, a hostile archive and a bad name
        // leave the installed scene as it was, and say why.
        const QMap<QString, QByteArray> installed = folderContents(scenes + "/Garden");
        writeFile(dir.filePath("garbage.scp"), "PK\x03\x04 not really");
        const QString noResources = archiveOf(dir.filePath("half.scp"), {{"Meta.xml", "<Meta/>"}});
        const QString hostile = archiveOf(dir.filePath("evil.scp"),
                                          {{"Meta.xml", "<Meta/>"}, {"Resources/a.png", "x"}, {"../../escaped.txt", "x"}});
        for (const QString &archive : {dir.filePath("garbage.scp"), noResources, hostile, dir.filePath("missing.scp")}) {
            QString error;
            QVERIFY2(ScenePackage::installArchive(archive, scenes, "Garden", &error).isEmpty(), qPrintable(archive));
            QVERIFY(!error.isEmpty());
            QCOMPARE(folderContents(scenes + "/Garden"), installed);
        }
        QVERIFY(!QFileInfo::exists(dir.filePath("escaped.txt")));
        QString error;
        QVERIFY(ScenePackage::installArchive(dir.filePath("Garden.scp"), scenes, "..", &error).isEmpty());
        QCOMPARE(QDir(scenes).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"Garden", "Nested"}));
    }

    void backgrounds()
    {
        QTemporaryDir dir;
        removeTree(BackgroundItem::userBackgroundFolder());
        TestPictures::writePicture(dir.filePath("wood12.jpg"), QSize(20, 10), Qt::darkYellow);
        TestPictures::writePicture(dir.filePath("Paper.png"), QSize(20, 10), Qt::white);
        writeFile(dir.filePath("anim.gif"), QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02" "D\x01\x00;", 43));
        writeFile(dir.filePath("fake.png"), "not a picture");
        QVERIFY(!BackgroundItem::importBackground(dir.filePath("wood12.jpg")).isEmpty());
        QVERIFY(!BackgroundItem::importBackground(dir.filePath("Paper.png")).isEmpty());
        QString error;
        QVERIFY(BackgroundItem::importBackground(dir.filePath("anim.gif"), &error).isEmpty());
        QVERIFY(BackgroundItem::importBackground(dir.filePath("fake.png"), &error).isEmpty());
        QVERIFY(!error.isEmpty());
        QCOMPARE(folderListing(BackgroundItem::userBackgroundFolder()), QStringList({"Paper.png", "wood12.jpg"}));

        const QList<BackgroundItem> list = BackgroundItem::collectFlashBackgroundList();
        QVERIFY(list.first().isNone());
        QCOMPARE(list.first().bgName(), QString("none"));
        const int wood = BackgroundItem::getBackgroundIndex(list, "wood12");
        QVERIFY(wood > BackgroundItem::getBackgroundIndex(list, "Paper"));
        QCOMPARE(readFile(list.at(wood).shotFilePath()), readFile(dir.filePath("wood12.jpg")));
        QCOMPARE(BackgroundItem::getBackgroundIndex(list, ""), -1);
        QCOMPARE(BackgroundItem::getBackgroundTemplateNameFromName("wood12b3"), QString("Woodb"));
        removeTree(BackgroundItem::userBackgroundFolder());
    }
};

QV_TEST(ScenesTest)
#include "tst_scenes.moc"
