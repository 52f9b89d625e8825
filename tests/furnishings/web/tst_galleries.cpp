#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "WindowControls.h"
#include "foundation/AppUtility.h"
#include "foundation/ZipWriter.h"
#include "furnishings/BackgroundItem.h"
#include "furnishings/FlashScenesItem.h"
#include "furnishings/SceneObject.h"
#include "furnishings/ScenePackage.h"
#include "furnishings/ui/JSWebView.h"
#include "furnishings/ui/OnlineWebView.h"
#include "platform/ui/QvWebView.h"
#include "platform/ui/UiTestDriver.h"
#include "shell/PreviewServer.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

struct Entry
{
    QString style;
    QString url; // relative to the page, or a whole address
};

// A gallery page that follows the page contract and records every call the program
// makes into it.
QByteArray galleryPage(const QList<Entry> &entries)
{
    QJsonArray list;
    for (const Entry &e : entries)
        list.append(QJsonObject{{"style", e.style}, {"url", e.url}});
    return R"(<!DOCTYPE html><html><head><meta charset="utf-8"></head><body><div id="list"></div><script>
window.calls = [];
var entries = )" + QJsonDocument(list).toJson(QJsonDocument::Compact) + R"(;
entries.forEach(function (e, i) {
  var n = i + 1, frame = document.createElement('div');
  frame.id = 'bg-kuangID' + n;
  var get = document.createElement('button');
  get.id = 'btnStyle' + n; get.textContent = 'Get ' + e.style;
  get.setAttribute('stylename', e.style);
  get.setAttribute('styleurl', new URL(e.url, location.href).href);
  get.setAttribute('tmplversion', '1');
  var apply = document.createElement('button');
  apply.id = 'btnApply' + n; apply.textContent = 'Apply';
  frame.append(get, apply);
  document.getElementById('list').append(frame);
});
function entryOf(id) { return entries[parseInt(String(id).replace('btnStyle', ''), 10) - 1] || {}; }
function getDownloadTemplateName(id) { var s = entryOf(id).style || ''; return s.charAt(0).toUpperCase() + s.slice(1); }
function getDownloadStyleName(id) { return entryOf(id).style || ''; }
function setInstalled(t, s) { calls.push(['setInstalled', t, s]); }
function setDownloadPercent(p, id) { calls.push(['setDownloadPercent', p, id]); }
function cancelDownload(id) { calls.push(['cancelDownload', id]); }
function resetApplyStatus() { calls.push(['resetApplyStatus']); }
function onStyleSelected(n) { calls.push(['onStyleSelected', n]); }
</script></body></html>)";
}

QVariant evaluate(JSWebView *gallery, const QString &script)
{
    return scriptAnswer(gallery->webView(), script);
}

bool called(JSWebView *gallery, const QVariantList &call)
{
    return evaluate(gallery, "window.calls").toList().contains(call);
}

void click(JSWebView *gallery, const QString &id)
{
    evaluate(gallery, QStringLiteral("document.getElementById(%1).click(), true").arg(QString(QJsonDocument(QJsonArray{id}).toJson(QJsonDocument::Compact)).mid(1).chopped(1)));
}

} // namespace

// The online galleries against a gallery page served on 127.0.0.1: good, failing,
// garbage and hostile downloads.
class GalleriesTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        removeTree(FlashScenesItem::userScenesFolder());
        removeTree(BackgroundItem::userBackgroundFolder());
    }

    void sceneGallery()
    {
        QTemporaryDir site;
        QTemporaryDir work;
        const QString package = work.filePath("Meadow");
        QVERIFY(writeFile(work.filePath("sun.swf"), TestPictures::rectangleSwf(Qt::red)));
        QVERIFY(SceneObject::saveSceneObjs({SceneObject(work.filePath("sun.swf"), 0, 0)}, "Meadow", "", package));
        QVERIFY(ScenePackage::exportFolder(package, site.filePath("files/Meadow.scp")));
        QVERIFY(ScenePackage::exportFolder(package, site.filePath("files/Copy.scp")));
        QVERIFY(writeFile(site.filePath("files/Broken.scp"), "PK\x03\x04 this is no archive"));
        ZipWriter evil(site.filePath("files/Evil.scp"));
        evil.addData("Meta.xml", "<Meta/>");
        evil.addData("Resources/a.png", "x");
        evil.addData("../../../escaped.txt", "gotcha");
        QVERIFY(evil.commit());
        const QString hostile = "x'); window.pwned = 1; ('";
        QVERIFY(writeFile(site.filePath("index.html"),
                          galleryPage({{"Meadow", "files/Meadow.scp"},
                                       {"Broken", "files/Broken.scp"},
                                       {"Evil", "files/Evil.scp"},
                                       {"Missing", "files/Missing.scp"},
                                       {hostile, "files/Copy.scp"},
                                       {"Local", "file:///etc/passwd"}})));
        PreviewServer server;
        server.setDocumentRoot(site.path());
        QVERIFY(server.start());

        UiTestDriver driver;
        OnlineWebView window(OnlineWebView::Scenes, server.baseUrl());
        window.showWindow();
        JSWebView *gallery = window.gallery();
        QTRY_VERIFY_WITH_TIMEOUT(gallery->hasSentStates(), 30000);
        // The page learns what is installed already: the program's own scenes.
        QVERIFY(called(gallery, {"setInstalled", "Garden", "Garden"}));

        for (int i = 0; i < 4; ++i)
            driver.answerAlert("OK");
        for (int n = 1; n <= 6; ++n)
            click(gallery, QStringLiteral("btnStyle%1").arg(n));
        QTRY_COMPARE_WITH_TIMEOUT(driver.alerts().size(), 4, 30000);
        QTRY_VERIFY(called(gallery, {"setInstalled", "Meadow", "Meadow"}));
        QTRY_VERIFY(called(gallery, {"setInstalled", "X'); window.pwned = 1; ('", hostile}));
        for (int n : {2, 3, 4, 6})
            QVERIFY2(called(gallery, {"cancelDownload", QStringLiteral("btnStyle%1").arg(n)}), qPrintable(QString::number(n)));
        QVERIFY(!called(gallery, {"setInstalled", "Broken", "Broken"}));

        // Only the good packages went in, whole; nothing escaped; the hostile name stayed text.
        QCOMPARE(QDir(FlashScenesItem::userScenesFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"Meadow", hostile}));
        QCOMPARE(readFile(FlashScenesItem::userScenesFolder() + "/Meadow/Resources/sun.swf"), readFile(work.filePath("sun.swf")));
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + "/escaped.txt"));
        QVERIFY(evaluate(gallery, "typeof window.pwned").toString() == "undefined");
        QVERIFY(QDir(AppUtility::userAppExtraDataPath("Download")).entryList(QDir::Files).isEmpty());

        // Applying the installed scene closes the gallery with it.
        QSignalSpy closed(&window, &WindowController::windowDidClose);
        click(gallery, "btnApply1");
        QTRY_COMPARE(closed.size(), 1);
        QCOMPARE(closed.first().first().toInt(), 1);
        QCOMPARE(window.appliedName(), QString("Meadow"));
        QVERIFY(driver.failures().isEmpty());
    }

    void backgroundGallery()
    {
        QTemporaryDir site;
        QVERIFY(QDir().mkpath(site.filePath("files")));
        QVERIFY(TestPictures::writePicture(site.filePath("files/sky-large.png"), QSize(30, 20), Qt::blue));
        QVERIFY(writeFile(site.filePath("files/anim.gif"), QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02" "D\x01\x00;", 43)));
        QVERIFY(writeFile(site.filePath("files/fake.png"), "no picture at all"));
        QVERIFY(writeFile(site.filePath("index.html"),
                          galleryPage({{"Sky", "files/sky-large.png"}, {"Anim", "files/anim.gif"}, {"Fake", "files/fake.png"}})));
        PreviewServer server;
        server.setDocumentRoot(site.path());
        QVERIFY(server.start());

        UiTestDriver driver;
        OnlineWebView window(OnlineWebView::Backgrounds, server.baseUrl());
        window.showWindow();
        JSWebView *gallery = window.gallery();
        QTRY_VERIFY_WITH_TIMEOUT(gallery->hasSentStates(), 30000);
        driver.answerAlert("OK");
        driver.answerAlert("OK");
        for (int n = 1; n <= 3; ++n)
            click(gallery, QStringLiteral("btnStyle%1").arg(n));
        QTRY_COMPARE_WITH_TIMEOUT(driver.alerts().size(), 2, 30000);
        QTRY_VERIFY(called(gallery, {"setInstalled", "Sky", "Sky"}));
        QVERIFY(called(gallery, {"cancelDownload", "btnStyle2"}));
        QVERIFY(called(gallery, {"cancelDownload", "btnStyle3"}));
        // Installed under the page's name for it, so the page finds it again.
        QCOMPARE(folderListing(BackgroundItem::userBackgroundFolder()), QStringList({"Sky.png"}));
        QCOMPARE(readFile(BackgroundItem::userBackgroundFolder() + "/Sky.png"), readFile(site.filePath("files/sky-large.png")));

        // A second request for it downloads nothing again.
        click(gallery, "btnStyle1");
        QTest::qWait(1000);
        QCOMPARE(gallery->runningDownloads(), 0);

        // Removed by the user and asked for again in the version it has: installed from
        // the file downloaded before, though the site has it no more.
        const QByteArray sky = readFile(site.filePath("files/sky-large.png"));
        QVERIFY(QFile::remove(BackgroundItem::userBackgroundFolder() + "/Sky.png"));
        QVERIFY(QFile::remove(site.filePath("files/sky-large.png")));
        click(gallery, "btnStyle1");
        QTRY_VERIFY(QFileInfo::exists(BackgroundItem::userBackgroundFolder() + "/Sky.png"));
        QCOMPARE(readFile(BackgroundItem::userBackgroundFolder() + "/Sky.png"), sky);
        window.close();
        QVERIFY(driver.failures().isEmpty());
    }
};

QV_TEST(GalleriesTest)
#include "tst_galleries.moc"
