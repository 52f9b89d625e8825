#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/PropertyList.h"
#include "pages/FlashPageSourceImg.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "publishing/PluginSettings.h"
#include "publishing/ui/PPDetailView.h"
#include "publishing/ui/PublishBookWindowDelegate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QStringList kKinds{"btnOPHtml", "btnOPApp", "btnOPExe", "btnOPWordPress", "btnOPJoomla", "btnOPDrupal"};

// A dialog over a record of kind (window loaded, not shown).
struct Dialog
{
    explicit Dialog(int kind, const std::function<void(PublishBookWindowDelegate &)> &setup = {},
                    const QString &name = QStringLiteral("MyBook"))
        : d(std::make_unique<PublishBookWindowDelegate>())
    {
        ConvertParament p;
        p.setIOutputType(kind);
        p.setStrOutputName(name);
        p.setStrTitle(QStringLiteral("A Title"));
        p.setStrOutputFolder(QStringLiteral("/somewhere/out/"));
        p.setIsConvertBasicHtml(true);
        d->setConvertPara(p);
        if (setup)
            setup(*d);
        w = d->window();
    }
    template <class T = QWidget>
    T *get(const QString &name) const
    {
        T *found = w->findChild<T *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    QLineEdit *field(const char *name) const { return get<QLineEdit>(name); }
    bool shown(const char *name) const { return get(name)->isVisibleTo(w); }
    bool enabled(const char *name) const { return get(name)->isEnabled(); }
    void click(const char *name) const { get<QAbstractButton>(name)->click(); }
    QStringList chosenKinds() const
    {
        QStringList on;
        for (const QString &name : kKinds) {
            if (get<QAbstractButton>(name)->isChecked())
                on << name;
        }
        return on;
    }

    std::unique_ptr<PublishBookWindowDelegate> d;
    QvWindow *w = nullptr;
};

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
        QTest::addColumn<bool>("basicHtml");
        QTest::newRow("html") << 0 << 0 << QStringList{"btnOPHtml"} << ".html" << true;
        QTest::newRow("app") << 1 << 1 << QStringList{"btnOPApp"} << ".app" << false;
        QTest::newRow("exe") << 3 << 3 << QStringList{"btnOPExe"} << ".exe" << false;
        QTest::newRow("wordpress") << 6 << 6 << QStringList{"btnOPWordPress"} << ".zip" << true;
        QTest::newRow("sealed book") << 5 << 0 << QStringList{} << ".html" << true;
        QTest::newRow("zip") << 2 << 0 << QStringList{} << ".html" << true;
        QTest::newRow("beyond drupal") << 12 << 8 << QStringList{"btnOPDrupal"} << ".zip" << true;
        QTest::newRow("negative") << -3 << 0 << QStringList{"btnOPHtml"} << ".html" << true;
    }

    void storedKindsOpenAsTheKindsOffered()
    {
        QFETCH(int, stored);
        QFETCH(int, kind);
        QFETCH(QStringList, chosen);
        QFETCH(QString, extension);
        QFETCH(bool, basicHtml);
        Dialog dlg(stored);
        QCOMPARE(dlg.chosenKinds(), chosen);
        QCOMPARE(dlg.get<QLabel>("ExFileName")->text(), extension);
        QCOMPARE(dlg.shown("_pluginExtendView"), kind >= 4);
        QCOMPARE(dlg.shown("_outputExtendView"), kind < 4);
        QCOMPARE(dlg.enabled("btnBasicHtml"), basicHtml);
        QVERIFY(dlg.get<QCheckBox>("btnBasicHtml")->isChecked());
        dlg.d->saveConvertPara(); // publishes as the kind shown
        QCOMPARE(dlg.d->convertPara().iOutputType(), kind);

        // Packed into an archive, the book is written as "<name>.zip", whatever the kind;
        // the typed name stays.
        dlg.field("txtOutputName")->setText(QStringLiteral("Typed"));
        dlg.get<QCheckBox>("btnCompressToZip")->setChecked(true);
        QCOMPARE(dlg.get<QLabel>("ExFileName")->text(), QStringLiteral(".zip"));
        QCOMPARE(dlg.field("txtOutputName")->text(), QStringLiteral("Typed"));
        dlg.get<QCheckBox>("btnCompressToZip")->setChecked(false);
        QCOMPARE(dlg.get<QLabel>("ExFileName")->text(), extension);
    }

    void kindButtonsKeepOneOrNoneChosen()
    {
        Dialog dlg(5);
        dlg.click("btnOPJoomla");
        dlg.click("btnOPJoomla"); // clicking the chosen button again keeps it chosen
        QCOMPARE(dlg.chosenKinds(), QStringList{"btnOPJoomla"});
        QCOMPARE(dlg.d->convertPara().iOutputType(), 7);
        QVERIFY(dlg.d->detailView(OutputKind::Joomla)->isVisibleTo(dlg.w) && !dlg.d->detailView(OutputKind::WordPress)->isVisibleTo(dlg.w));

        dlg.click("btnOPDrupal");
        QCOMPARE(dlg.chosenKinds(), QStringList{"btnOPDrupal"});
        QVERIFY(dlg.d->detailView(OutputKind::Drupal)->isVisibleTo(dlg.w) && !dlg.d->detailView(OutputKind::Joomla)->isVisibleTo(dlg.w));

        // A switch disabled for one kind comes back unchanged for the next.
        dlg.click("btnOPExe");
        QVERIFY(!dlg.enabled("btnBasicHtml") && !dlg.shown("_pluginExtendView"));
        dlg.click("btnOPHtml");
        QVERIFY(dlg.enabled("btnBasicHtml") && dlg.get<QCheckBox>("btnBasicHtml")->isChecked());
    }

    void fieldsShowTheRecordAndItsFallbacks()
    {
        Dialog dlg(0);
        QLineEdit *name = dlg.field("txtOutputName");
        QCOMPARE(dlg.field("txtOutputFolder")->text(), QStringLiteral("/somewhere/out/"));
        // A typed name gives way to the record's name when the kind changes.
        name->setText(QStringLiteral("Typed"));
        dlg.click("btnOPApp");
        QCOMPARE(name->text(), QStringLiteral("MyBook"));
        name->setText(QStringLiteral("Typed"));
        dlg.d->saveConvertPara();
        dlg.click("btnOPHtml");
        QCOMPARE(name->text(), QStringLiteral("Typed"));

        // Load types beyond the four offered open as the nearest one.
        for (auto [stored, shown] : {std::pair{7, 3}, std::pair{-1, 0}, std::pair{2, 2}}) {
            Dialog typed(0, [stored](PublishBookWindowDelegate &d) { d.convertPara().setLoadType(stored); });
            typed.d->saveConvertPara();
            QCOMPARE(typed.d->convertPara().loadType(), shown);
        }
    }

    void sizeAndIdFieldsTakeDigitsAtTheEnd()
    {
        Dialog dlg(7);
        QLineEdit *width = dlg.field("txtWidth");
        width->clear();
        QTest::keyClicks(width, "12a");
        QCOMPARE(width->text(), QStringLiteral("12"));
        for (QLineEdit *other : {dlg.field("txtHeight"), dlg.d->detailView(OutputKind::Joomla)->txtID(), dlg.d->detailView(OutputKind::Drupal)->txtID()}) {
            other->clear();
            QTest::keyClicks(other, "4%");
            QCOMPARE(other->text(), QStringLiteral("4"));
        }
    }

    void pluginFieldsComeFromAndGoToTheSettingsFile()
    {
        {
            Dialog first(7);
            PPDetailView *joomla = first.d->detailView(OutputKind::Joomla);
            PPDetailView *drupal = first.d->detailView(OutputKind::Drupal);
            QCOMPARE(joomla->txtID()->text(), QStringLiteral("1"));
            joomla->comVersion()->setCurrentIndex(0);
            drupal->comVersion()->setCurrentText(QStringLiteral("5"));
            first.get<QComboBox>("comUnit1")->setCurrentText(QStringLiteral("px"));
            first.field("txtHeight")->setText(QStringLiteral("480"));
            first.d->saveDictionaryToFile();
            QCOMPARE(first.d->getJoomlaID(), QStringLiteral("1")); // the run publishes with "1"
        }
        const QVariantMap stored = PropertyList::readFile(PluginSettings::defaultFilePath())->toMap();
        QCOMPARE(stored.value("jID"), QVariant(2));
        QCOMPARE(stored.value("dID"), QVariant("1"));
        QCOMPARE(stored.value("name"), QVariant("MyBook"));
        QCOMPARE(stored.value("jVer").toString() + stored.value("dVer").toString(), QStringLiteral("2.56"));

        Dialog next(7);
        QCOMPARE(next.d->detailView(OutputKind::Joomla)->txtID()->text(), QStringLiteral("2"));
        QCOMPARE(next.get<QComboBox>("comUnit1")->currentText(), QStringLiteral("px"));
        QCOMPARE(next.field("txtHeight")->text(), QStringLiteral("480"));
    }

    void bookcaseModeFixesCoverSwitchAndLoadType()
    {
        Dialog dlg(6, [](PublishBookWindowDelegate &d) {
            d.setIsBookcaseMode(true);
            d.setShotFile("/nowhere/cover.jpg");
        });
        QPushButton *shot = dlg.get<QPushButton>("btnShot");
        QVERIFY(!shot->icon().isNull() && shot->isFlat()); // the bookcase picture
        UiTestDriver driver;
        shot->click(); // no panel: the shot cannot be changed
        QVERIFY(driver.panels().isEmpty());

        auto lockedDown = [&] { return !dlg.enabled("btnBasicHtml") && !dlg.enabled("mtxLoadType"); };
        QVERIFY(lockedDown());
        dlg.click("btnOPHtml");
        QVERIFY(lockedDown());
        dlg.d->setButtonsStatus(false);
        dlg.d->setButtonsStatus(true);
        QVERIFY(lockedDown());
    }

    void coverShotAndFolderPanels()
    {
        QTemporaryDir dir;
        QVERIFY(TestPictures::writePicture(dir.filePath("thumb1.jpg"), QSize(40, 60), Qt::red));
        QVERIFY(TestPictures::writePicture(dir.filePath("chosen.png"), QSize(40, 60), Qt::red));
        // Without a given cover, the book's first thumbnail page is the shot.
        FlashPageSourceImg source;
        for (const char *file : {"thumb1.jpg", "thumb2.jpg"}) {
            auto thumb = std::make_shared<FlashPageImage>();
            thumb->setPageFilePath(dir.filePath(file));
            source.thumbPages() << thumb;
        }
        Dialog dlg(0, [&](PublishBookWindowDelegate &d) { d.setFlashPageSource(&source); });
        QCOMPARE(dlg.d->shotFile(), dir.filePath("thumb1.jpg"));
        QVERIFY(!dlg.get<QPushButton>("btnShot")->icon().isNull());

        UiTestDriver driver;
        driver.answerPanel({dir.filePath("chosen.png")});
        dlg.click("btnShot");
        QTRY_COMPARE(dlg.d->shotFile(), dir.filePath("chosen.png"));

        driver.answerPanel({dir.path()});
        dlg.click("btnBrowse");
        QTRY_COMPARE(dlg.field("txtOutputFolder")->text(), dir.path());

        dlg.field("txtOutputFolder")->setText(QStringLiteral("~/books"));
        dlg.click("btnOpen");
        QCOMPARE(driver.workspaceRequests().value(0).target, QDir::homePath() + "/books");

        // A given cover that does not exist shows nothing but is kept for the run.
        Dialog missing(0, [&](PublishBookWindowDelegate &d) {
            d.setShotFile(dir.filePath("gone.png"));
            d.setFlashPageSource(&source);
        });
        QCOMPARE(missing.d->shotFile(), dir.filePath("gone.png"));
        QVERIFY(missing.get<QPushButton>("btnShot")->icon().isNull());
    }

    void advancedSheetEndKeepsTheApplicationIcon()
    {
        QTemporaryDir dir;
        QVERIFY(TestPictures::writePicture(dir.filePath("book.png"), QSize(40, 60), Qt::red));
        auto withIcon = [&](PublishBookWindowDelegate &d) {
            d.convertPara().setStrAppIconFile(dir.filePath("book.png"));
            d.convertPara().setStrTitle(QStringLiteral("From the sheet"));
        };
        Dialog app(1, withIcon);
        app.field("txtTitle")->setText(QStringLiteral("typed"));
        app.d->AdvancedWindowDidEnd(0);
        QCOMPARE(app.field("txtTitle")->text(), QStringLiteral("typed"));
        QCOMPARE(app.d->convertPara().strAppIconFile(), dir.filePath("book.png"));

        app.d->AdvancedWindowDidEnd(1);
        QCOMPARE(app.field("txtTitle")->text(), QStringLiteral("From the sheet"));
        const QString copy = QDir::cleanPath(AppUtility::userAppExtraDataPath() + "/book.png");
        QCOMPARE(app.d->convertPara().strAppIconFile(), copy);

        Dialog exe(3, withIcon);
        exe.d->AdvancedWindowDidEnd(1);
        QCOMPARE(exe.d->convertPara().strAppIconFile(), dir.filePath("book.png"));
    }
};

QV_TEST(PublishBookWindowTest)
#include "tst_publishbookwindow.moc"
