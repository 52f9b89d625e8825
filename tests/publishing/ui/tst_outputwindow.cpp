#include "MainWindowSteps.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/ZipWriter.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "publishing/ui/ConvertSettings.h"
#include "publishing/ui/MobileSettingView.h"
#include "publishing/ui/RoundButtonCell.h"
#include "templates/FlashTemplate.h"
#include "platform/ui/ColorPanelDelegate.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

// The output window as a batch row's settings, with its mobile settings file and panel.
class OutputWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void aRowsSettingsAreShownAndSavedBack()
    {
        UiTestDriver driver;
        ConvertParament row;
        row.setIOutputType(6);
        row.setStrOutputFolder("/books");
        row.setStrOutputName("Atlas");
        row.setLoadType(2);
        ConvertSettings settings(row);
        driver.answerModal([](WindowController *c) {
            QCOMPARE(control<QLabel>(c, "ExFileName")->text(), QString(".zip"));
            QVERIFY(!control<QCheckBox>(c, "btnMakeMobileVersion")->isChecked());
            control<QAbstractButton>(c, "cellKind0")->click();
            QCOMPARE(control<QLabel>(c, "ExFileName")->text(), QString(".html"));
            control<QLineEdit>(c, "txtTitle")->setText("The Atlas");
            control<QCheckBox>(c, "btnMakeMobileVersion")->setChecked(true);
            control<QLineEdit>(c, "txtOutputName")->clear();
            QVERIFY(!control<QPushButton>(c, "btnSave")->isEnabled()); // a row needs a name
            QVERIFY(control<QPushButton>(c, "btnPublic")->isHidden()); // no owner converts the row
            control<QLineEdit>(c, "txtOutputName")->setText("Atlas 2");
            clickControl(c, "btnSave");
        });
        QCOMPARE(settings.runModal(), 1);
        QCOMPARE(settings.parament().iOutputType(), 0);
        QCOMPARE(settings.parament().strOutputName(), QString("Atlas 2"));
        QCOMPARE(settings.parament().strTitle(), QString("The Atlas"));
        QCOMPARE(settings.parament().loadType(), 0);
    }

    void mobileSettingsFilesLoadIntoTheMobileTemplate()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        // A theme package whose settings name its own picture; made before any template.
        QVERIFY(writeFile(dir.filePath("theme/tmplSetting.txt"),
                          "backgroundColor=0x102030\nbackgroundImage=STYLE_RESOURCE:bg/wood.jpg\n"));
        QVERIFY(writeFile(dir.filePath("theme/bg/wood.jpg"), "jpeg"));
        {
            ZipWriter zip(dir.filePath("Wood.h5thm"));
            QVERIFY(zip.addFolderContents(dir.filePath("theme")));
            QVERIFY(zip.commit());
            ZipWriter bare(dir.filePath("Bare.h5thm"));
            QVERIFY(bare.addData("readme.txt", "nothing"));
            QVERIFY(bare.commit());
        }
        QVERIFY(writeFile(dir.filePath("Settings.TXT"), "backgroundColor=0x445566\n"));
        QVERIFY(writeFile(dir.filePath("settings.txt"), "backgroundColor=0x778899\n"));

        ConvertSettings settings{ConvertParament()};
        settings.showWindow();
        driver.answerPanel({dir.filePath("Wood.h5thm")});
        clickControl(&settings, "_btnMobleSetting");
        QTRY_VERIFY(settings.mobileTemplate());
        FlashTemplate *metro = settings.mobileTemplate().get();
        QVERIFY(metro->isMobileTemplate());
        QCOMPARE(metro->propertyValue("backgroundColor"), QString("0x102030"));
        QCOMPARE(readFile(metro->propertyFilePath("backgroundImage")), QByteArray("jpeg"));

        // A package without settings changes none; "TXT" is no settings text.
        for (const char *file : {"Bare.h5thm", "Settings.TXT"}) {
            driver.answerPanel({dir.filePath(file)});
            if (QString(file).endsWith("TXT"))
                driver.answerAlert("OK"); // not an archive
            clickControl(&settings, "_btnMobleSetting");
            QTRY_COMPARE(settings.mbSettingFile(), dir.filePath(file));
            QCOMPARE(metro->propertyValue("backgroundColor"), QString("0x102030"));
        }
        driver.answerPanel({dir.filePath("settings.txt")});
        clickControl(&settings, "_btnMobleSetting");
        QTRY_COMPARE(metro->propertyValue("backgroundColor"), QString("0x778899"));

        // The mobile settings panel covers the output fields while it is shown.
        clickControl(&settings, "btnShowMobileSetting");
        QVERIFY(!control<QLineEdit>(&settings, "txtOutputFolder")->isEnabled());
        clickControl(&settings, "btnMobileSettingDone");
        QVERIFY(control<QLineEdit>(&settings, "txtOutputFolder")->isEnabled());
        settings.close();
        QVERIFY(driver.failures().isEmpty());
    }

    void theMobileSettingsPanel()
    {
        UiTestDriver driver;
        MobileSettingView view(QRect(0, 0, 221, 160), nullptr);
        view.setMbFlipStyle("Curl");
        view.setMbDoubleSlide("No");
        view.setMainColor(QColor(0x11, 0x22, 0x33));
        view.setNeedsDisplay(true);
        QCOMPARE(view.flipStylePopUp()->currentText(), QString("Flip"));
        QCOMPARE(view.mbFlipStyle(), QString("Flip"));
        QCOMPARE(view.doubleSlidePopUp()->currentText(), QString("No"));
        QCOMPARE(view.colorButton()->backgroundColor(), QColor(0x11, 0x22, 0x33));
        // The swatch follows the chooser; Cancel puts the colour back.
        driver.answerModal([&view](WindowController *c) {
            auto *chooser = qobject_cast<ColorPanelDelegate *>(c);
            chooser->setColor(QColor(0x44, 0x55, 0x66));
            QCOMPARE(view.colorButton()->backgroundColor(), QColor(0x44, 0x55, 0x66));
            chooser->onCancel();
        });
        view.colorButton()->click();
        QCOMPARE(view.mainColor(), QColor(0x11, 0x22, 0x33));
        QCOMPARE(view.colorButton()->backgroundColor(), QColor(0x11, 0x22, 0x33));
        driver.answerModal([](WindowController *c) {
            qobject_cast<ColorPanelDelegate *>(c)->setColor(QColor(0xAA, 0xBB, 0xCC));
            qobject_cast<ColorPanelDelegate *>(c)->onOK();
        });
        view.colorButton()->click();
        QCOMPARE(view.mainColor(), QColor(0xAA, 0xBB, 0xCC));
        QCOMPARE(view.colorButton()->backgroundColor(), QColor(0xAA, 0xBB, 0xCC));
        driver.answerPanel({"/books/phone.txt"});
        view.moreButton()->click();
        QTRY_COMPARE(view.mbSettingFile(), QString("/books/phone.txt"));
    }
};

QV_TEST(OutputWindowTest)
#include "tst_outputwindow.moc"
