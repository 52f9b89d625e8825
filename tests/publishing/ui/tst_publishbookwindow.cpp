#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/PropertyList.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "project/AppSettings.h"
#include "publishing/PluginSettings.h"
#include "publishing/ui/PPDetailView.h"
#include "publishing/ui/PublishBookWindowDelegate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QStringList kKindButtons{"btnOPHtml", "btnOPApp", "btnOPExe", "btnOPWordPress", "btnOPJoomla", "btnOPDrupal"};

ConvertParament record(int kind, const QString &name = QStringLiteral("MyBook"))
{
    ConvertParament p;
    p.setIOutputType(kind);
    p.setStrOutputName(name);
    p.setStrTitle(QStringLiteral("A Title"));
    p.setStrOutputFolder(QStringLiteral("/somewhere/out/"));
    return p;
}

// A dialog over record with its window loaded (not shown).
struct Dialog
{
    explicit Dialog(const ConvertParament &p, const std::function<void(PublishBookWindowDelegate &)> &setup = {})
    {
        d = std::make_unique<PublishBookWindowDelegate>();
        d->setConvertPara(p);
        if (setup)
            setup(*d);
        w = d->window();
    }
    template <class T = QWidget>
    T *get(const char *name) const
    {
        T *found = w->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    bool shown(const char *name) const { return get(name)->isVisibleTo(w); }
    QStringList checkedKinds() const
    {
        QStringList on;
        for (const QString &name : kKindButtons) {
            if (get<QAbstractButton>(name.toLatin1().constData())->isChecked())
                on << name;
        }
        return on;
    }
    void click(const char *name) const { get<QAbstractButton>(name)->click(); }

    std::unique_ptr<PublishBookWindowDelegate> d;
    QvWindow *w = nullptr;
};

void writeImage(const QString &path, Qt::GlobalColor color)
{
    QImage image(40, 60, QImage::Format_RGB32);
    image.fill(color);
    QVERIFY(image.save(path));
}

} // namespace

class PublishBookWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { QFile::remove(PluginSettings::defaultFilePath()); }

    void storedKindsOpenAsTheKindsOffered_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("pluginOptions");
        QTest::addColumn<bool>("basicHtmlEnabled");
        QTest::newRow("html") << 0 << 0 << QStringList{"btnOPHtml"} << ".html" << false << true;
        QTest::newRow("app") << 1 << 1 << QStringList{"btnOPApp"} << ".app" << false << false;
        QTest::newRow("exe") << 3 << 3 << QStringList{"btnOPExe"} << ".exe" << false << false;
        QTest::newRow("wordpress") << 6 << 6 << QStringList{"btnOPWordPress"} << ".zip" << true << true;
        QTest::newRow("sealed book") << 5 << 0 << QStringList{} << ".html" << false << true;
        QTest::newRow("zip") << 2 << 0 << QStringList{} << ".html" << false << true;
        QTest::newRow("html5") << 4 << 0 << QStringList{} << ".html" << false << true;
        QTest::newRow("beyond drupal") << 12 << 8 << QStringList{"btnOPDrupal"} << ".zip" << true << true;
        QTest::newRow("negative") << -3 << 0 << QStringList{"btnOPHtml"} << ".html" << false << true;
    }

    void storedKindsOpenAsTheKindsOffered()
    {
        QFETCH(int, stored);
        QFETCH(int, kind);
        QFETCH(QStringList, chosen);
        QFETCH(QString, extension);
        QFETCH(bool, pluginOptions);
        QFETCH(bool, basicHtmlEnabled);

        ConvertParament p = record(stored);
        p.setIsConvertBasicHtml(true);
        Dialog dlg(p);
        QCOMPARE(dlg.d->convertPara().iOutputType(), kind);
        QCOMPARE(dlg.checkedKinds(), chosen);
        QCOMPARE(dlg.get<QLabel>("ExFileName")->text(), extension);
        QCOMPARE(dlg.shown("_pluginExtendView"), pluginOptions);
        QCOMPARE(dlg.shown("_outputExtendView"), !pluginOptions);
        QCOMPARE(dlg.get<QCheckBox>("btnBasicHtml")->isEnabled(), basicHtmlEnabled);
        QVERIFY(dlg.get<QCheckBox>("btnBasicHtml")->isChecked());

        // What is published is the kind shown, whatever the fields hold.
        dlg.d->saveConvertPara();
        QCOMPARE(dlg.d->convertPara().iOutputType(), kind);
    }

    void kindButtonsKeepOneOrNoneChosen()
    {
        Dialog dlg(record(5));
        QVERIFY(dlg.checkedKinds().isEmpty());

        dlg.click("btnOPJoomla");
        QCOMPARE(dlg.checkedKinds(), QStringList{"btnOPJoomla"});
        QCOMPARE(dlg.d->convertPara().iOutputType(), 7);
        // Clicking the chosen button again keeps it chosen.
        dlg.click("btnOPJoomla");
        QCOMPARE(dlg.checkedKinds(), QStringList{"btnOPJoomla"});

        QGroupBox *box = dlg.get<QGroupBox>("boxDetail");
        QCOMPARE(box->title(), QStringLiteral("Joomla"));
        QVERIFY(dlg.d->detailView(7)->isVisibleTo(dlg.w));
        QVERIFY(!dlg.d->detailView(6)->isVisibleTo(dlg.w));
        QVERIFY(!dlg.d->detailView(8)->isVisibleTo(dlg.w));

        dlg.click("btnOPDrupal");
        QCOMPARE(dlg.checkedKinds(), QStringList{"btnOPDrupal"});
        QCOMPARE(box->title(), QStringLiteral("Drupal"));
        QVERIFY(dlg.d->detailView(8)->isVisibleTo(dlg.w));
        QVERIFY(!dlg.d->detailView(7)->isVisibleTo(dlg.w));

        // Kinds without detail views leave the last one as it was, behind hidden options.
        dlg.click("btnOPExe");
        QCOMPARE(dlg.checkedKinds(), QStringList{"btnOPExe"});
        QVERIFY(!dlg.shown("_pluginExtendView"));
        QCOMPARE(box->title(), QStringLiteral("Drupal"));

        // A switch disabled for one kind is enabled again, unchanged, for the next.
        QCheckBox *basic = dlg.get<QCheckBox>("btnBasicHtml");
        QVERIFY(!basic->isEnabled());
        dlg.click("btnOPHtml");
        QVERIFY(basic->isEnabled());
        QVERIFY(!basic->isChecked());

        // Anything that is not a kind button chooses none, and kind 0.
        dlg.d->onChooseOutputType(dlg.get<QPushButton>("btnBrowse"));
        QVERIFY(dlg.checkedKinds().isEmpty());
        QCOMPARE(dlg.d->convertPara().iOutputType(), 0);
    }

    void fieldsShowTheRecordAndItsFallbacks()
    {
        Dialog dlg(record(0));
        QLineEdit *name = dlg.get<QLineEdit>("txtOutputName");
        QCOMPARE(name->text(), QStringLiteral("MyBook"));
        QCOMPARE(dlg.get<QLineEdit>("txtTitle")->text(), QStringLiteral("A Title"));
        QCOMPARE(dlg.get<QLineEdit>("txtOutputFolder")->text(), QStringLiteral("/somewhere/out/"));

        // A typed name gives way to the record's name when the kind changes.
        name->setText(QStringLiteral("Typed"));
        dlg.click("btnOPApp");
        QCOMPARE(name->text(), QStringLiteral("MyBook"));
        name->setText(QStringLiteral("Typed"));
        dlg.d->saveConvertPara();
        dlg.click("btnOPHtml");
        QCOMPARE(name->text(), QStringLiteral("Typed"));

        ConvertParament empty;
        empty.setLoadType(7);
        Dialog blank(empty);
        QCOMPARE(blank.get<QLineEdit>("txtOutputName")->text(), QStringLiteral("Index"));
        QCOMPARE(blank.get<QLineEdit>("txtTitle")->text(), QStringLiteral("Demo"));
        QCOMPARE(blank.get<QLineEdit>("txtOutputFolder")->text(), AppSettings::defaultOutputFolder());
        QVERIFY(AppSettings::defaultOutputFolder().endsWith("/Zendarrow/"));
        QCOMPARE(blank.d->convertPara().loadType(), 3);
        blank.d->saveConvertPara();
        QCOMPARE(blank.d->convertPara().loadType(), 3);
        QCOMPARE(blank.d->convertPara().strOutputName(), QStringLiteral("Index"));

        // A negative load type is no load type: it opens as 0.
        ConvertParament negative;
        negative.setLoadType(-1);
        Dialog low(negative);
        low.d->saveConvertPara();
        QCOMPARE(low.d->convertPara().loadType(), 0);

        // An emptied folder field gets the default folder at the next display check.
        blank.get<QLineEdit>("txtOutputFolder")->clear();
        blank.get<QLineEdit>("txtTitle")->clear();
        blank.d->onTypeChange();
        QCOMPARE(blank.get<QLineEdit>("txtOutputFolder")->text(), AppSettings::defaultOutputFolder());
        QCOMPARE(blank.get<QLineEdit>("txtTitle")->text(), QStringLiteral("Demo"));
    }

    void sizeAndIdFieldsTakeDigitsAtTheEnd()
    {
        Dialog dlg(record(7));
        QLineEdit *width = dlg.get<QLineEdit>("txtWidth");
        width->clear();
        QTest::keyClicks(width, "12a");
        QCOMPARE(width->text(), QStringLiteral("12"));
        width->clear();
        width->insert(QStringLiteral("a1")); // as pasted: only the last character is tested
        QCOMPARE(width->text(), QStringLiteral("a1"));

        QLineEdit *joomlaId = dlg.d->detailView(7)->txtID();
        joomlaId->clear();
        QTest::keyClicks(joomlaId, "4x");
        QCOMPARE(joomlaId->text(), QStringLiteral("4"));
        QLineEdit *height = dlg.get<QLineEdit>("txtHeight");
        height->clear();
        QTest::keyClicks(height, "5%");
        QCOMPARE(height->text(), QStringLiteral("5"));

        // Other fields take any text.
        QLineEdit *title = dlg.get<QLineEdit>("txtTitle");
        title->clear();
        QTest::keyClicks(title, "Vol 2b");
        QCOMPARE(title->text(), QStringLiteral("Vol 2b"));

        dlg.click("btnDefaultSize");
        QCOMPARE(width->text(), QStringLiteral("100"));
        QCOMPARE(height->text(), QStringLiteral("100"));
        QCOMPARE(dlg.get<QComboBox>("comUnit")->currentText(), QStringLiteral("%"));
        QCOMPARE(dlg.get<QComboBox>("comUnit1")->currentText(), QStringLiteral("%"));
    }

    void pluginFieldsComeFromAndGoToTheSettingsFile()
    {
        {
            Dialog first(record(7));
            PPDetailView *joomla = first.d->detailView(7);
            PPDetailView *drupal = first.d->detailView(8);
            QCOMPARE(joomla->comVersion()->currentText(), QStringLiteral("2.5"));
            QCOMPARE(joomla->txtID()->text(), QStringLiteral("1"));
            QCOMPARE(drupal->comVersion()->currentText(), QStringLiteral("7"));
            QCOMPARE(drupal->txtID()->text(), QStringLiteral("1"));
            QCOMPARE(first.get<QComboBox>("comUnit")->currentText(), QStringLiteral("%"));
            QCOMPARE(first.get<QComboBox>("comUnit1")->currentText(), QStringLiteral("%"));
            QVERIFY(!first.get<QComboBox>("comUnit")->isEditable());
            QCOMPARE(first.get<QLineEdit>("txtWidth")->text(), QStringLiteral("100"));
            // WordPress has no version and no id.
            QVERIFY(!first.d->detailView(6)->comVersion());
            QVERIFY(!first.d->detailView(6)->txtID());
            QVERIFY(first.d->detailView(6)->lblURL()->text().contains("How to insert the Flipbook into WordPress ?"));

            joomla->comVersion()->setCurrentIndex(0); // "2.5 and later"
            QCOMPARE(joomla->comVersion()->currentText(), QStringLiteral("2.5 and later"));
            QCOMPARE(first.d->getJoomlaVersion(), QStringLiteral("2.5"));
            drupal->comVersion()->setCurrentText(QStringLiteral("5"));
            QCOMPARE(first.d->getDrupalVersion(), QStringLiteral("6"));
            first.get<QComboBox>("comUnit1")->setCurrentText(QStringLiteral("px"));
            first.get<QLineEdit>("txtHeight")->setText(QStringLiteral("480"));

            first.d->saveDictionaryToFile();
            QCOMPARE(first.d->getJoomlaID(), QStringLiteral("1")); // the run publishes with "1"
            QCOMPARE(first.d->loadValueMd5(), first.d->settingsValueMD5());
        }
        const QVariantMap stored = PropertyList::readFile(PluginSettings::defaultFilePath())->toMap();
        QCOMPARE(stored.value("jID"), QVariant(2));
        QCOMPARE(stored.value("dID"), QVariant("1"));
        QCOMPARE(stored.value("name"), QVariant("MyBook"));
        QCOMPARE(stored.value("jVer"), QVariant("2.5"));
        QCOMPARE(stored.value("dVer"), QVariant("6"));
        QCOMPARE(stored.value("unitH"), QVariant("px"));

        Dialog next(record(7));
        QCOMPARE(next.d->detailView(7)->txtID()->text(), QStringLiteral("2"));
        QCOMPARE(next.get<QComboBox>("comUnit1")->currentText(), QStringLiteral("px"));
        QCOMPARE(next.get<QLineEdit>("txtHeight")->text(), QStringLiteral("480"));
    }

    void controlsAroundARun()
    {
        Dialog dlg(record(1));
        QWidget *info = dlg.get("_infoView");
        QVERIFY(!info->isVisibleTo(dlg.w));
        QVERIFY(!dlg.get("btnAdvanced")->isEnabled()); // no advanced sheet yet

        dlg.d->setProgressIndeterminate(true);
        dlg.d->setButtonsStatus(false);
        for (const char *name : {"mtxLoadType", "btnBasicHtml", "btnPublic", "btnBrowse", "btnOpen", "txtWidth",
                                 "txtHeight", "comUnit", "comUnit1", "btnDefaultSize", "btnCompressToZip", "btnAdvanced"})
            QVERIFY2(!dlg.get(name)->isEnabled(), name);
        for (const QString &kind : kKindButtons)
            QVERIFY(!dlg.get(kind.toLatin1().constData())->isEnabled());
        QVERIFY(!dlg.d->detailView(7)->txtID()->isEnabled());
        QVERIFY(!dlg.d->detailView(8)->comVersion()->isEnabled());
        QVERIFY(dlg.d->detailView(8)->lblURL()->isEnabled());
        for (const char *name : {"txtOutputFolder", "txtOutputName", "txtTitle"})
            QVERIFY2(dlg.get<QLineEdit>(name)->isReadOnly(), name);
        QVERIFY(dlg.get("btnCancel")->isEnabled());
        QVERIFY(info->isVisibleTo(dlg.w));
        QVERIFY(dlg.d->isProgressAnimating());
        QCOMPARE(dlg.get<QProgressBar>("prgBar")->maximum(), 0); // moving bar

        dlg.d->setButtonsStatus(true);
        QVERIFY(!info->isVisibleTo(dlg.w));
        QVERIFY(!dlg.d->isProgressAnimating());
        QVERIFY(dlg.get<QProgressBar>("prgBar")->maximum() > 0);
        QVERIFY(dlg.get("btnPublic")->isEnabled());
        QVERIFY(!dlg.get<QLineEdit>("txtTitle")->isReadOnly());
        QVERIFY(dlg.d->detailView(7)->txtID()->isEnabled());
        // The display rules apply again: a desktop application has no basic HTML.
        QVERIFY(!dlg.get("btnBasicHtml")->isEnabled());
        QVERIFY(!dlg.get("btnAdvanced")->isEnabled());
    }

    void publishAndCancelWithoutRun()
    {
        QWidget mainWindow;
        mainWindow.show();
        UiTestDriver driver;
        Dialog dlg(record(0));
        int runs = 0;
        dlg.d->setPublishRun([&](PublishBookWindowDelegate &d) {
            ++runs;
            d.setIsStart(true);
        });
        int cancels = 0;
        dlg.d->setCancelRun([&](PublishBookWindowDelegate &) { ++cancels; });
        int ended = -1;
        dlg.d->beginSheet(&mainWindow, [&](int code) { ended = code; });
        QCOMPARE(driver.sheets(), QStringList{"PublishBookWindow"});

        dlg.click("btnPublic");
        dlg.click("btnPublic"); // a second press while the run is under way starts nothing
        QCOMPARE(runs, 1);
        dlg.click("btnCancel"); // stops the run, keeps the dialog
        QCOMPARE(cancels, 1);
        QTest::qWait(20);
        QCOMPARE(ended, -1);

        dlg.d->setIsStart(false);
        dlg.click("btnCancel");
        QTRY_COMPARE(ended, 0);
        QVERIFY(!dlg.d->isWindowVisible());
    }

    void windowIsNeverSmallerThan800By600()
    {
        QCOMPARE(PublishBookWindowDelegate::windowWillResize(QSize(500, 900)), QSize(800, 900));
        QCOMPARE(PublishBookWindowDelegate::windowWillResize(QSize(1000, 300)), QSize(1000, 600));
        QCOMPARE(PublishBookWindowDelegate::windowWillResize(QSize(1000, 700)), QSize(1000, 700));

        Dialog dlg(record(0));
        dlg.w->show();
        dlg.w->resize(400, 300);
        QVERIFY(dlg.w->width() >= 800);
        QVERIFY(dlg.w->height() >= 600);
        dlg.w->hide();
    }

    void coverShotComesFromTheBookOrThePanel()
    {
        QTemporaryDir dir;
        writeImage(dir.filePath("thumb1.jpg"), Qt::red);
        writeImage(dir.filePath("chosen.png"), Qt::blue);

        Dialog dlg(record(0), [&](PublishBookWindowDelegate &d) {
            d.setThumbPagePaths({dir.filePath("thumb1.jpg"), dir.filePath("thumb2.jpg")});
        });
        QCOMPARE(dlg.d->shotFile(), dir.filePath("thumb1.jpg"));
        QPushButton *shot = dlg.get<QPushButton>("btnShot");
        QVERIFY(!shot->icon().isNull());
        QVERIFY(!shot->isFlat());

        UiTestDriver driver;
        driver.answerPanel({dir.filePath("chosen.png")});
        shot->click();
        QTRY_COMPARE(dlg.d->shotFile(), dir.filePath("chosen.png"));
        const QvPanelOptions &panel = driver.panels().first();
        QCOMPARE(panel.types, (QStringList{"bmp", "jpg", "jpeg", "gif", "png"}));
        QVERIFY(!panel.allowsOtherFileTypes && !panel.allowsMultipleSelection && !panel.canChooseDirectories);
        QCOMPARE(panel.directory, QDir::homePath());

        // A given cover that does not exist shows nothing but is kept for the run.
        Dialog missing(record(0), [&](PublishBookWindowDelegate &d) {
            d.setShotFile(dir.filePath("gone.png"));
            d.setThumbPagePaths({dir.filePath("thumb1.jpg")});
        });
        QCOMPARE(missing.d->shotFile(), dir.filePath("gone.png"));
        QVERIFY(missing.get<QPushButton>("btnShot")->icon().isNull());
    }

    void bookcaseModeFixesCoverSwitchAndLoadType()
    {
        QTemporaryDir dir;
        writeImage(dir.filePath("cover.jpg"), Qt::green);
        Dialog dlg(record(6), [&](PublishBookWindowDelegate &d) {
            d.setIsBookcaseMode(true);
            d.setShotFile(dir.filePath("cover.jpg"));
        });
        QPushButton *shot = dlg.get<QPushButton>("btnShot");
        QVERIFY(!shot->icon().isNull()); // the bookcase picture
        QVERIFY(shot->isFlat());
        UiTestDriver driver;
        shot->click(); // no panel: the shot cannot be changed
        QTest::qWait(20);
        QVERIFY(driver.panels().isEmpty());
        QCOMPARE(dlg.d->shotFile(), dir.filePath("cover.jpg"));

        auto lockedDown = [&] {
            return !dlg.get("btnBasicHtml")->isEnabled() && !dlg.get("mtxLoadType")->isEnabled();
        };
        QVERIFY(lockedDown());
        dlg.click("btnOPHtml");
        QVERIFY(lockedDown());
        dlg.d->setButtonsStatus(false);
        dlg.d->setButtonsStatus(true);
        QVERIFY(lockedDown());
        QVERIFY(dlg.get("btnPublic")->isEnabled());
    }

    void folderButtons()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        Dialog dlg(record(0));
        QLineEdit *folder = dlg.get<QLineEdit>("txtOutputFolder");

        driver.answerPanel({dir.path()});
        dlg.click("btnBrowse");
        QTRY_COMPARE(folder->text(), dir.path());
        const QvPanelOptions &panel = driver.panels().first();
        QCOMPARE(panel.prompt, QStringLiteral("Choose folder"));
        QVERIFY(panel.canChooseDirectories && !panel.canChooseFiles);
        QCOMPARE(panel.directory, userDocumentsFolder()); // "/somewhere/out/" does not exist

        driver.answerPanel({dir.filePath("sub")});
        dlg.click("btnBrowse");
        QTRY_COMPARE(folder->text(), dir.filePath("sub"));
        QCOMPARE(driver.panels().last().directory, dir.path());

        folder->setText(QStringLiteral("~/books"));
        dlg.click("btnOpen");
        QCOMPARE(driver.workspaceRequests().size(), 1);
        QCOMPARE(driver.workspaceRequests().first().kind, QStringLiteral("open"));
        QCOMPARE(driver.workspaceRequests().first().target, QDir::homePath() + "/books");
    }

    void advancedSheetEndKeepsTheApplicationIcon()
    {
        QTemporaryDir dir;
        const QString extra = AppUtility::userAppExtraDataPath();
        QFile::remove(extra + "/book.icns");
        QFile icon(dir.filePath("book.icns"));
        QVERIFY(icon.open(QIODevice::WriteOnly));
        icon.write("icon");
        icon.close();

        Dialog dlg(record(1));
        dlg.d->convertPara().setStrAppIconFile(dir.filePath("book.icns"));
        dlg.d->convertPara().setStrTitle(QStringLiteral("From the sheet"));
        dlg.d->AdvancedWindowDidEnd(0);
        QCOMPARE(dlg.get<QLineEdit>("txtTitle")->text(), QStringLiteral("A Title"));
        QCOMPARE(dlg.d->convertPara().strAppIconFile(), dir.filePath("book.icns"));

        dlg.d->AdvancedWindowDidEnd(1);
        QCOMPARE(dlg.get<QLineEdit>("txtTitle")->text(), QStringLiteral("From the sheet"));
        const QString copy = QDir::cleanPath(extra + "/book.icns");
        QCOMPARE(dlg.d->convertPara().strAppIconFile(), copy);

        // Choosing the copy again, spelled another way, keeps it.
        dlg.d->convertPara().setStrAppIconFile(extra + "/./book.icns");
        dlg.d->AdvancedWindowDidEnd(1);
        QCOMPARE(dlg.d->convertPara().strAppIconFile(), copy);
        QVERIFY(QFile::exists(copy));

        // Other kinds keep the icon where it is.
        Dialog exe(record(3));
        exe.d->convertPara().setStrAppIconFile(dir.filePath("book.icns"));
        exe.d->AdvancedWindowDidEnd(1);
        QCOMPARE(exe.d->convertPara().strAppIconFile(), dir.filePath("book.icns"));
    }
};

QV_TEST(PublishBookWindowTest)
#include "tst_publishbookwindow.moc"
