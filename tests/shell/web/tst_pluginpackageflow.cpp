#include "MainWindowSteps.h"
#include "PackageChecks.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/ZipExtractor.h"
#include "publishing/ui/BatchAdvancedSetting.h"
#include "publishing/ui/PPDetailView.h"
#include "publishing/ui/PublishPluginDelegate.h"

#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 90000;

// The choices of one package in the dialog.
struct Choice
{
    const char *cell;
    OutputKind kind;
    QString id;
};

} // namespace

// A book imported into the main window and published with the "Publish Plug-in…"
// command as a WordPress plug-in, a Joomla module and a Drupal module; each package
// passes the package checks. QUORVEL_BOOK_OUT names the folder the packages go into,
// unpacked into "<system>/" beside them (the browser test opens their books there).
class PluginPackageFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void packagesForEverySystemFromTheBookMenu()
    {
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("packages") : given;
        const QString pdf = dir.filePath("Almanac.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 3));
        UiTestDriver driver;
        driver.setModalTimeout(kLong);
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        QAction *command = bookMenuItem(app.mainWindow(), QStringLiteral("publishPlugin"));
        QVERIFY(command && command->isVisible() && command->isEnabled());

        for (const Choice &choice : {Choice{"cellWordPress", OutputKind::WordPress, "1"},
                                     Choice{"cellJoomla", OutputKind::Joomla, "5"},
                                     Choice{"cellDrupal", OutputKind::Drupal, "6"}}) {
            driver.answerModal([&](WindowController *c) {
                auto *dialog = qobject_cast<PublishPluginDelegate *>(c);
                QVERIFY(dialog);
                clickControl(dialog, choice.cell);
                control<QLineEdit>(dialog, "txtOutputFolder")->setText(out);
                control<QLineEdit>(dialog, "txtOutputName")->setText("Almanac");
                control<QLineEdit>(dialog, "txtTitle")->setText("The Almanac");
                control<QLineEdit>(dialog, "txtWidth")->setText("90");
                control<QLineEdit>(dialog, "txtHeight")->setText("640");
                control<QComboBox>(dialog, "comUnit1")->setCurrentText("px");
                if (PPDetailView *view = dialog->detailView(choice.kind); view->txtID())
                    view->txtID()->setText(choice.id);
                // The page's keywords, set in the advanced sheet, reach the book.
                clickControl(dialog, "btnAdvanced");
                BatchAdvancedSetting *sheet = dialog->advancedSettings();
                control<QLineEdit>(sheet, "txtPageWords")->setText("almanac, " + choice.kind.contentSystemName());
                clickControl(sheet, "btnOK1");
                driver.answerAlert("NO"); // no reveal
                clickControl(dialog, "btnPublic");
            });
            command->trigger();
            QCOMPARE(driver.modalRuns().last(), QString("PublishPluginDelegate"));

            const QString system = choice.kind.contentSystemName();
            const QString unpacked = out + "/" + system;
            removeTree(unpacked);
            QVERIFY(ZipExtractor().extractFile(out + "/Almanac.zip", unpacked));
            QVERIFY2(PackageChecks::phpLintFailures(unpacked).isEmpty(),
                     qPrintable(PackageChecks::phpLintFailures(unpacked).join('\n')));
            QString book, shown;
            if (choice.kind == OutputKind::WordPress) {
                book = unpacked + "/almanac/book/book.html";
                shown = PackageChecks::runPhp(PackageChecks::kWordPressHarness,
                                              {unpacked + "/almanac/almanac.php",
                                               TestSupport::sourceDataPath("php/wordpress-stubs.php")});
                QVERIFY(shown.isNull() || shown.contains("http://site/plugins/almanac/book/book.html"));
            } else if (choice.kind == OutputKind::Joomla) {
                book = unpacked + "/book/book.html";
                shown = PackageChecks::runPhp(PackageChecks::kJoomlaHarness, {unpacked + "/mod_almanac_5.php"});
                QVERIFY(shown.isNull() || shown.contains("/site/modules/mod_almanac_5/book/book.html"));
            } else {
                book = unpacked + "/almanac_6/book/book.html";
                shown = PackageChecks::runPhp(PackageChecks::kDrupalHarness,
                                              {unpacked + "/almanac_6/almanac_6.module", "almanac_6", "7"});
                QVERIFY(shown.isNull() || shown.contains("/sites/all/modules/almanac_6/book/book.html"));
            }
            QVERIFY2(shown.isNull() || (shown.contains("width:min(90%,100%)") && shown.contains("height:640px")),
                     qPrintable(shown));
            QVERIFY(QFileInfo(book).isFile());
            QFile::remove(out + "/Almanac.zip");
        }
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(PluginPackageFlowTest)
#include "tst_pluginpackageflow.moc"
