#include "MainWindowSteps.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "output/packages/AppBookDefaults.h"
#include "output/packages/IcnsFile.h"
#include "output/packages/IcoFile.h"
#include "output/packages/PackageTemplates.h"
#include "platform/ui/DragFileImport.h"
#include "project/AppSettings.h"
#include "publishing/ui/AppIconMakerDelegate.h"
#include "publishing/ui/BatchAdvancedSetting.h"
#include "publishing/ui/ConvertSettings.h"

#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

bool drop(DragFileImport *target, const QStringList &paths)
{
    std::unique_ptr<QMimeData> data(filesMime(paths));
    return target->performDrop(data.get());
}

void type(QLineEdit *field, const QString &text)
{
    field->clear();
    QTest::keyClicks(field, text);
}

bool shown(WindowController *c, const char *name)
{
    return control(c, name)->isVisibleTo(c->window());
}

} // namespace

// The advanced output settings sheet and the application icon maker, driven as a user does.
class AdvancedSettingTest : public QObject
{
    Q_OBJECT
private slots:
    void pagePaneEditsTheRecordOnlyWhenConfirmed()
    {
        UiTestDriver driver;
        ConvertParament record;
        record.setStrTitle("Atlas");
        BatchAdvancedSetting sheet(record);
        sheet.showWindow();
        QVERIFY(shown(&sheet, "htmlView") && !shown(&sheet, "appView") && !shown(&sheet, "fmappView"));
        QCOMPARE(control<QLineEdit>(&sheet, "txtPageTitle")->text(), QString("Atlas"));
        type(control<QLineEdit>(&sheet, "txtPageWords"), "maps, birds");
        clickControl(&sheet, "btnCancel1");
        QCOMPARE(sheet.closeMode(), 0);
        QCOMPARE(sheet.parament(), record);

        BatchAdvancedSetting confirmed(record);
        confirmed.showWindow();
        type(control<QLineEdit>(&confirmed, "txtPageDescription"), "Every bird");
        control<QPlainTextEdit>(&confirmed, "txtScriptInput")->setPlainText("<script>\"quoted\" -- as typed</script>");
        clickControl(&confirmed, "btnOK1");
        QCOMPARE(confirmed.closeMode(), 1);
        QCOMPARE(confirmed.parament().strDecription(), QString("Every bird"));
        QCOMPARE(confirmed.parament().strScripts(), QString("<script>\"quoted\" -- as typed</script>"));

        // The sheet of the application settings stores and saves them.
        AdvancedSetting own(0);
        own.showWindow();
        type(control<QLineEdit>(&own, "txtPageWords"), "stored words");
        clickControl(&own, "btnOK1");
        QCOMPARE(AppSettings().lastOutputKeyWords(), QString("stored words"));
        QVERIFY(driver.failures().isEmpty());
    }

    void applicationPaneShowsWhatTheBundleGets()
    {
        UiTestDriver driver;
        ConvertParament record;
        record.setStrWindowSize("FULLSCREEN");
        BatchAdvancedSetting sheet(record);
        sheet.setOutputType(1);
        sheet.showWindow();
        QVERIFY(shown(&sheet, "appView") && !shown(&sheet, "htmlView"));
        // The identifier every book gets unless changed is in the field, not hidden.
        QCOMPARE(control<QLineEdit>(&sheet, "txtAppIdentifier")->text(), defaultIdentifierName);
        // No full screen for an application book: it opens maximised.
        QVERIFY(!shown(&sheet, "cellWindowFullScreen"));
        QVERIFY(control<QAbstractButton>(&sheet, "cellWindowMax")->isChecked());

        clickControl(&sheet, "cellWindowCustom");
        type(control<QLineEdit>(&sheet, "txtWindowWidth"), "-800");
        QCOMPARE(control<QLineEdit>(&sheet, "txtWindowWidth")->text(), QString("800"));
        type(control<QLineEdit>(&sheet, "txtWindowHeight"), "49");
        // Too small: asked, and No keeps the sheet open with nothing stored.
        driver.answerAlert("NO");
        clickControl(&sheet, "btnOK2");
        QCOMPARE(driver.alerts().size(), 1);
        QVERIFY(sheet.window()->isVisible());
        QCOMPARE(sheet.parament(), record);

        type(control<QLineEdit>(&sheet, "txtWindowHeight"), "600");
        clickControl(&sheet, "btnOK2");
        QCOMPARE(driver.alerts().size(), 1); // 800 by 600 fits
        QCOMPARE(sheet.parament().strWindowSize(), QString("CUSTOM:800,600"));
        QCOMPARE(sheet.parament().strAppIdentifier(), defaultIdentifierName);
        QVERIFY(driver.failures().isEmpty());
    }

    void windowSizesWithoutTwoNumbersOpenAsTheScreen()
    {
        UiTestDriver driver;
        const QSize screen = AdvancedSetting::screenSize();
        ConvertParament record;
        record.setStrExeSize("CUSTOM:800");
        BatchAdvancedSetting exe(record);
        exe.setOutputType(3);
        exe.showWindow();
        QVERIFY(control<QAbstractButton>(&exe, "cellWindowCustom")->isChecked());
        clickControl(&exe, "btnOK2");
        QCOMPARE(exe.parament().strExeSize(), QStringLiteral("CUSTOM:%1,%2").arg(screen.width()).arg(screen.height()));
        QVERIFY(exe.parament().strWindowSize().isEmpty());

        record.setStrExeSize("FULLSCREEN"); // an executable keeps full screen
        BatchAdvancedSetting full(record);
        full.setOutputType(3);
        full.showWindow();
        QVERIFY(control<QAbstractButton>(&full, "cellWindowFullScreen")->isChecked());
        full.close();
        QVERIFY(driver.failures().isEmpty());
    }

    void droppedAndRemovedIcons()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        const QString png = dir.filePath("red.png");
        QVERIFY(TestPictures::writePicture(png, QSize(64, 64), Qt::red));
        QImage blue(128, 128, QImage::Format_ARGB32);
        blue.fill(Qt::blue);
        const QString icns = dir.filePath("blue.ICNS");
        QVERIFY(writeFile(icns, *IcnsFile::encode({{128, blue}})));

        BatchAdvancedSetting app{ConvertParament()};
        app.setOutputType(1);
        app.showWindow();
        QVERIFY(!drop(app.dragFileImport(), {png})); // an application takes ".icns" only
        QVERIFY(app.iconFileName().isEmpty());
        QVERIFY(drop(app.dragFileImport(), {icns}));
        QTRY_COMPARE(app.iconFileName(), icns);
        QCOMPARE(app.iconView()->image().pixelColor(10, 10), QColor(Qt::blue));
        clickControl(&app, "btnOK2");
        QCOMPARE(app.parament().strAppIconFile(), icns);

        BatchAdvancedSetting exe{ConvertParament()};
        exe.setOutputType(3);
        exe.showWindow();
        QVERIFY(drop(exe.dragFileImport(), {png}));
        QTRY_COMPARE(exe.iconFileName(), png);
        QCOMPARE(exe.iconView()->image().pixelColor(10, 10), QColor(Qt::red));
        if (QFile::exists(PackageTemplates::winExeStubPath())) {
            // Removing goes back to the launcher's largest icon, stored as the choice.
            exe.iconView()->deleteButton()->click();
            QCOMPARE(IcoFile::decodeImages(readFile(exe.iconFileName())).value(0).width(), 256);
            QCOMPARE(exe.iconFileName(), AdvancedSetting::orginExeIco());
            clickControl(&exe, "btnOK2");
            QCOMPARE(exe.parament().strExeIconFile(), AdvancedSetting::orginExeIco());
        }
        exe.close();
        QVERIFY(driver.failures().isEmpty());
    }

    void iconMakerOffersToFillSmallerSizes()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        const QString big = dir.filePath("big.png");
        const QString green = dir.filePath("green.png");
        const QString broken = dir.filePath("broken.png");
        QVERIFY(TestPictures::writePicture(big, QSize(1024, 1024), Qt::red));
        QVERIFY(TestPictures::writePicture(green, QSize(200, 200), Qt::green));
        QVERIFY(writeFile(broken, "no picture"));

        AppIconMakerDelegate maker;
        maker.showWindow();
        // The first picture, on the largest size: asked, and accepted.
        driver.answerAlert("OK");
        QVERIFY(drop(maker.dropTarget(1024), {big}));
        QTRY_COMPARE(maker.fileDict().size(), 6);
        QCOMPARE(driver.alerts().size(), 1);
        QCOMPARE(QImage(maker.fileDict().value("32").toString()).pixelColor(5, 5), QColor(Qt::red));
        // Later pictures on the largest and the smallest size are not offered for copying.
        QVERIFY(drop(maker.dropTarget(1024), {big}));
        QVERIFY(drop(maker.dropTarget(16), {green}));
        QTRY_COMPARE(maker.fileDict().value("16").toString(), green);

        // A picture chosen for 512, then one dropped on 128: copying starts from 128.
        driver.answerPanel({green});
        driver.answerAlert("Cancel");
        maker.well(512)->openButton()->click();
        QTRY_COMPARE(maker.fileDict().value("512").toString(), green);
        driver.answerAlert("OK");
        QVERIFY(drop(maker.dropTarget(128), {green}));
        QTRY_COMPARE(maker.imageViewForDrop(), maker.well(128));
        QTRY_COMPARE(QImage(maker.fileDict().value("32").toString()).pixelColor(5, 5), QColor(Qt::green));
        QCOMPARE(QImage(maker.fileDict().value("256").toString()).pixelColor(5, 5), QColor(Qt::red));

        // A picture that cannot be loaded: nothing to copy, nothing asked or written.
        const QString before = maker.fileDict().value("128").toString();
        QVERIFY(drop(maker.dropTarget(256), {broken}));
        QTRY_COMPARE(maker.fileDict().value("256").toString(), broken);
        QCOMPARE(maker.fileDict().value("128").toString(), before);
        QCOMPARE(driver.alerts().size(), 3);

        // A size that cannot be used, then one removed: no icon until it is given again.
        driver.answerAlert("OK");
        clickControl(&maker, "_btnOK");
        QVERIFY(maker.window()->isVisible());
        maker.well(256)->deleteButton()->click();
        QVERIFY(!maker.fileDict().contains("256"));
        driver.answerAlert("OK");
        clickControl(&maker, "_btnOK");
        QVERIFY(maker.window()->isVisible());
        driver.answerAlert("Cancel");
        QVERIFY(drop(maker.dropTarget(256), {big}));
        QTRY_COMPARE(driver.alerts().size(), 6);
        clickControl(&maker, "_btnOK");
        QCOMPARE(maker.closeMode(), 1);
        const auto entries = IcnsFile::readFile(maker.iconFile());
        QVERIFY(entries);
        QCOMPARE(IcnsFile::largestImage(*entries).width(), 1024);
        QVERIFY(driver.failures().isEmpty());
        QCOMPARE(driver.unusedAnswers(), 0);
    }

    void aMadeIconThatCannotBeKeptLeavesTheEarlierOne()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        QVERIFY(writeFile(dir.filePath("made/icon.icns"), "icon"));
        // A folder stands where the copy in the user's data goes.
        const QString kept = QDir::cleanPath(AppUtility::userAppExtraDataPath() + "/icon.icns");
        QVERIFY(QDir().mkpath(kept));
        driver.answerAlert("OK");
        QCOMPARE(BatchAdvancedSetting::keptIcon(dir.filePath("made/icon.icns"), "/books/old.icns"), QString("/books/old.icns"));
        QCOMPARE(driver.alerts().size(), 1);
        QVERIFY(QDir(kept).removeRecursively());
        QCOMPARE(BatchAdvancedSetting::keptIcon(dir.filePath("made/icon.icns"), "/books/old.icns"), kept);
        QCOMPARE(readFile(kept), QByteArray("icon"));
    }

    void rowSettingsKeepAdvancedChoicesUntilSaved()
    {
        UiTestDriver driver;
        ConvertParament row;
        row.setIOutputType(1);
        row.setStrOutputName("Atlas");
        row.setStrOutputFolder("/books");
        ConvertSettings settings(row);
        settings.showWindow();
        const auto advanced = [&](const QString &version) {
            clickControl(&settings, "btnAdvanced");
            auto *controller = settings.findChild<BatchAdvancedSetting *>();
            QVERIFY(controller && controller->isSheet() && controller->window()->isVisible());
            type(control<QLineEdit>(controller, "txtAppVersion"), version);
            type(control<QLineEdit>(controller, "txtAppTitle"), "From the sheet");
            clickControl(controller, "btnOK2");
        };
        advanced("3.0");
        QCOMPARE(control<QLineEdit>(&settings, "txtTitle")->text(), QString("From the sheet"));
        clickControl(&settings, "btnSave");
        QCOMPARE(settings.parament().strAppVersion(), QString("3.0"));
        QCOMPARE(settings.parament().strTitle(), QString("From the sheet"));

        ConvertSettings cancelled(row);
        cancelled.showWindow();
        clickControl(&cancelled, "btnAdvanced");
        clickControl(cancelled.findChild<BatchAdvancedSetting *>(), "btnOK2");
        clickControl(&cancelled, "btnCancel");
        QCOMPARE(cancelled.parament(), row);
        QVERIFY(driver.failures().isEmpty());
    }
};

QV_TEST(AdvancedSettingTest)
#include "tst_advancedsetting.moc"
