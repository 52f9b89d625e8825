#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "WindowControls.h"
#include "foundation/AppUtility.h"
#include "foundation/AuxArgumentString.h"
#include "furnishings/PluginBundle.h"
#include "furnishings/ui/PluginSettingsEditor.h"
#include "platform/ui/UiTestDriver.h"
#include "shell/PreviewServer.h"

#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

using namespace TestFiles;

// The plug-in settings editor's window: it shows a bundle's settings with its movie
// playing at that place, keeps them in the save folder on OK and nothing on Cancel.
class PluginSettingsEditorTest : public QObject
{
    Q_OBJECT
private slots:
    void editsTheSettingsWithALiveView()
    {
        const QString folder = AppUtility::userAppResourcePath("Plugin") + "/Clock.bundle";
        QVERIFY(writeFile(folder + "/Contents/Resources/data/defaultsettings.dat", "10\n20\n30\n40\n50\n1"));
        QVERIFY(writeFile(folder + "/Contents/Resources/html/Clock.swf", TestPictures::rectangleSwf(Qt::red)));
        PluginBundle bundle;
        bundle.loadBundleAtPath(folder);
        const QString saved = bundle.saveFolder() + "/settings.dat";
        PreviewServer server;
        const auto host = [&](const QString &root) {
            server.setDocumentRoot(root);
            return server.isListening() || server.start() ? server.baseUrl() : QUrl();
        };
        UiTestDriver driver;
        driver.setModalTimeout(120000);

        PluginSettingsEditor editor(bundle);
        editor.setPreviewHost(host);
        const auto view = [&](const QString &script) { return scriptAnswer(editor.previewView(), script).toString(); };
        driver.answerModal([&](WindowController *c) {
            QCOMPARE(control<QDoubleSpinBox>(c, "txtTop")->value(), 20.0); // the bundle's defaults
            QTRY_COMPARE_WITH_TIMEOUT(view("document.getElementById('plugin').dataset.swf"), QString("playing"), 30000);
            QTRY_COMPARE(view("document.getElementById('plugin').style.left"), QString("10%"));
            QCOMPARE(view("String(document.getElementById('plugin').classList.contains('behind'))"), QString("true"));

            control<QDoubleSpinBox>(c, "txtLeft")->setValue(25);
            control<QSpinBox>(c, "txtOpacity")->setValue(80);
            control<QRadioButton>(c, "rdoFront")->setChecked(true);
            QTRY_COMPARE(view("document.getElementById('plugin').style.left"), QString("25%"));
            QTRY_COMPARE(view("document.getElementById('plugin').style.opacity"), QString("0.8"));
            QCOMPARE(view("String(document.getElementById('plugin').classList.contains('behind'))"), QString("false"));

            // A save folder that cannot be made keeps the window open with a message.
            QVERIFY(writeFile(bundle.saveFolder(), "in the way"));
            driver.answerAlert("OK");
            clickControl(c, "btnOK");
            QVERIFY(editor.isWindowVisible());
            QVERIFY(QFile::remove(bundle.saveFolder()));
            clickControl(c, "btnOK");
        });
        QCOMPARE(editor.runModal(), 1);
        QCOMPARE(driver.alerts().size(), 1);
        QCOMPARE(readText(saved), QString("25.0\n20.0\n30.0\n40.0\n80.0\n0"));
        QCOMPARE(readFile(bundle.saveFolder() + "/Clock1.swf"), TestPictures::rectangleSwf(Qt::red));

        // Opened again it shows what was kept; Cancel keeps it as it was, and the
        // default button only changes the controls.
        PluginSettingsEditor again(bundle);
        driver.answerModal([&](WindowController *c) {
            QCOMPARE(control<QDoubleSpinBox>(c, "txtLeft")->value(), 25.0);
            clickControl(c, "btnDefault");
            QCOMPARE(control<QDoubleSpinBox>(c, "txtLeft")->value(), 10.0);
            QVERIFY(control<QRadioButton>(c, "rdoBehind")->isChecked());
            clickControl(c, "btnCancel");
        });
        QCOMPARE(again.runModal(), 0);
        QCOMPARE(readText(saved), QString("25.0\n20.0\n30.0\n40.0\n80.0\n0"));
        QVERIFY(driver.failures().isEmpty());
    }

    void aCommandLineNamingNoBundleShowsNothing()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        QCOMPARE(PluginSettingsEditor::runFromArguments({}, {}), 2);
        QCOMPARE(PluginSettingsEditor::runFromArguments({AuxArgumentString{{"i", dir.path()}}.toString()}, {}), 2);
        QVERIFY(driver.modalRuns().isEmpty());
    }
};

QV_TEST(PluginSettingsEditorTest)
#include "tst_pluginsettingseditor.moc"
