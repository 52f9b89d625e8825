#include "MainWindowSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "furnishings/FlashScenesItem.h"
#include "furnishings/SceneObject.h"
#include "project/BookDocument.h"
#include "shell/BookSession.h"
#include "shell/ui/PreviewPane.h"
#include "templates/FlashTemplateModel.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"

#include <QWebEngineView>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 90000;
const QColor kRed(0xE5, 0x39, 0x35), kYellow(0xFD, 0xD8, 0x35), kBlue(0x1E, 0x63, 0xD0), kGreen(0x43, 0xA0, 0x47);

// Waits until the preview plays the scene's and the bundle's movies, then checks that
// its pixels at their centres take both colours of each within a second and a half
// (the movies blink twice a second).
void expectMoviesPlay(PreviewPane *pane)
{
    const QString playing = "document.querySelectorAll('.qv-scene-movie[data-swf=playing], .qv-plugin[data-swf=playing]').length";
    QVERIFY(QTest::qWaitFor([&] { return evaluate(pane, playing).toInt() == 2; }, kLong));
    const QVariantList centres = evaluate(pane, "['.qv-scene-movie', '.qv-plugin'].map(function (s) {"
                                                " var r = document.querySelector(s).getBoundingClientRect();"
                                                " return [r.left + r.width / 2, r.top + r.height / 2]; })")
                                     .toList();
    const QList<QList<QColor>> colours{{kRed, kYellow}, {kBlue, kGreen}};
    QList<QStringList> seen(2);
    for (int i = 0; i < 12; ++i, QTest::qWait(125)) {
        const QImage view = pane->webEngineView()->grab().toImage();
        for (int k = 0; k < 2; ++k)
            seen[k] << view.pixelColor(centres.at(k).toList().at(0).toInt(), centres.at(k).toList().at(1).toInt()).name();
    }
    const auto near = [](const QString &a, const QColor &b) {
        const QColor c(a);
        return qAbs(c.red() - b.red()) <= 24 && qAbs(c.green() - b.green()) <= 24 && qAbs(c.blue() - b.blue()) <= 24;
    };
    for (int k = 0; k < 2; ++k)
        for (const QColor &colour : colours.at(k))
            QVERIFY2(std::any_of(seen.at(k).begin(), seen.at(k).end(), [&](const QString &s) { return near(s, colour); }),
                     qPrintable(colour.name() + " never among " + seen.at(k).join(' ')));
}

} // namespace

// A scene with a movie layer and a plug-in bundle chosen in the main window play in the
// live preview, as they do in the published book, and go on playing after the preview
// is rebuilt for a design change.
class MoviePreviewTest : public QObject
{
    Q_OBJECT
private slots:
    void movieLayersPlayInThePreview()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("Blink.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 4));
        // A scene of the user's: a blinking movie in front of the book, top left.
        QVERIFY(writeFile(dir.filePath("blink.swf"), TestPictures::blinkingSwf(kRed, kYellow, 120, 120)));
        const QString scene = FlashScenesItem::userScenesFolder() + "/Blink";
        removeTree(scene);
        QVERIFY(SceneObject::saveSceneObjs({SceneObject(dir.filePath("blink.swf"), 1, 0)}, "Blink", QString(), scene));
        QVERIFY(TestPictures::writePicture(scene + "/shot.jpg", QSize(60, 60), Qt::gray));
        // A bundle of the user's: a movie blinking blue and green, in front of the book.
        const QString bundle = AppUtility::userAppResourcePath("Plugin") + "/Pulse.bundle/Contents/Resources";
        QVERIFY(writeFile(bundle + "/html/Pulse.swf", TestPictures::blinkingSwf(kBlue, kGreen, 160, 120)));
        QVERIFY(writeFile(bundle + "/data/defaultsettings.dat", "0\n0\n0\n0\n100\n0"));
        QVERIFY(TestPictures::writePicture(bundle + "/data/shot.jpg", QSize(160, 120), Qt::gray));
        QVERIFY(installDrivenPluginEditor());
        qputenv("QUORVEL_TEST_EDITOR", "accept 70 10 5 60 100 0");

        UiTestDriver driver;
        QuorvelAppDelegate app;
        QSignalSpy shown(&app, &QuorvelAppDelegate::previewShown);
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        QVERIFY(chooseInPicker(app, "scene", "Blink"));
        QCOMPARE(app.session()->document().parts().scene().name, QString("Blink"));
        QVERIFY(chooseInPicker(app, "plugin", "Pulse"));
        QTRY_VERIFY_WITH_TIMEOUT(!app.furnishingTabs()->isSettingsEditorRunning(), kLong);
        QCOMPARE(app.session()->document().parts().pluginBundleName(), QString("Pulse"));

        PreviewPane *pane = app.mainWindow()->previewPane();
        expectMoviesPlay(pane);
        if (QTest::currentTestFailed())
            return;

        // A design change rebuilds the preview over the book it wrote: the player stays.
        shown.clear();
        FlashTemplateModel *model = app.mainWindow()->designSettings()->model();
        QVERIFY(model->setData(model->indexForKey("backgroundColor", FlashTemplateModel::ValueColumn), "0x336699"));
        QVERIFY(shown.wait(kLong));
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(pane, "bookConfig.backgroundColor").toString().toUpper(), QString("#336699"), kLong);
        QVERIFY(QFileInfo::exists(app.previewFolder() + "/files/lib/ruffle/ruffle.js"));
        expectMoviesPlay(pane);
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
        removeTree(scene);
    }
};

QV_TEST(MoviePreviewTest)
#include "tst_moviepreview.moc"
