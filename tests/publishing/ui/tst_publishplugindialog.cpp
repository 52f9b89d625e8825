#include "MainWindowSteps.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "batch/ImportParament.h"
#include "foundation/PropertyList.h"
#include "foundation/ZipExtractor.h"
#include "foundation/ZipWriter.h"
#include "online/UploadBookDelegate.h"
#include "output/OutputOperation.h"
#include "pages/FlashPageSource.h"
#include "pages/PageImport.h"
#include "publishing/PublishRun.h"
#include "publishing/ui/PPDetailView.h"
#include "publishing/ui/PublishPluginDelegate.h"
#include "templates/FlashTemplate.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

// The plug-in package dialog, driven as a user does.
class PublishPluginDialogTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<FlashPageSource> m_source;
    FlashTemplate m_tmpl;

    // A dialog over the two-page book (a book that cannot be converted when book is false).
    std::unique_ptr<PublishPluginDelegate> dialog(bool book = true)
    {
        auto d = std::make_unique<PublishPluginDelegate>();
        PublishRun::Setup setup;
        setup.pageSource = m_source.get();
        setup.tmpl = &m_tmpl;
        d->packageRun().setBookMaker([setup, book](const ConvertParament &record) -> std::shared_ptr<OutputOperation> {
            if (!book)
                return nullptr;
            auto job = std::make_shared<OutputOperation>();
            PublishRun::handOverBook(*job, setup, record);
            return job;
        });
        d->convertBook();
        d->showWindow();
        control<QLineEdit>(d.get(), "txtOutputFolder")->setText(m_dir.filePath("out"));
        return d;
    }

    static QVariantMap storedSettings()
    {
        return PropertyList::readFile(PluginSettings::defaultFilePath()).value_or(QVariant()).toMap();
    }

private slots:
    void initTestCase()
    {
        ImportParament p;
        p.sourceFiles << m_dir.filePath("1.png");
        QVERIFY(TestPictures::writePicture(p.sourceFiles.last(), QSize(300, 400), Qt::darkCyan));
        PageImport import(p, m_dir.filePath("workspace"));
        QVERIFY(import.run());
        m_source = import.pageSource();
        QVERIFY(m_tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultTemplateName())));
    }

    void init() { QFile::remove(PluginSettings::defaultFilePath()); }

    void fieldsTakeDigitsAndPublishChecksTheForm()
    {
        QVariantMap stored = PluginSettings::defaultValues();
        stored.insert("type", "2");
        QVERIFY(PropertyList::writeFile(PluginSettings::defaultFilePath(), stored));
        UiTestDriver driver;
        auto d = dialog();
        QVERIFY(d->detailView(OutputKind::Drupal)->isVisibleTo(d->window()));
        QVERIFY(!d->detailView(OutputKind::Joomla)->isVisibleTo(d->window()));

        // Pasted text keeps its digits only.
        QLineEdit *width = control<QLineEdit>(d.get(), "txtWidth");
        width->setText("1a2");
        QCOMPARE(width->text(), QString("12"));
        d->detailView(OutputKind::Drupal)->txtID()->setText("<b>");
        QCOMPARE(d->detailView(OutputKind::Drupal)->txtID()->text(), QString());

        // An empty id, a name that is no file name: told, nothing starts.
        driver.answerAlert("OK");
        clickControl(d.get(), "btnPublic");
        d->detailView(OutputKind::Drupal)->txtID()->setText("4");
        control<QLineEdit>(d.get(), "txtOutputName")->setText("../up");
        driver.answerAlert("OK");
        clickControl(d.get(), "btnPublic");
        QCOMPARE(driver.alerts().size(), 2);
        QVERIFY(!d->packageRun().isPublishing());

        // An existing package is replaced only after Yes.
        control<QLineEdit>(d.get(), "txtOutputName")->setText("Shelf.ZIP");
        QVERIFY(writeFile(m_dir.filePath("out/Shelf.ZIP"), "mine"));
        driver.answerAlert("NO");
        clickControl(d.get(), "btnPublic");
        QVERIFY(!d->packageRun().isPublishing());
        QCOMPARE(readFile(m_dir.filePath("out/Shelf.ZIP")), QByteArray("mine"));
        QVERIFY(driver.failures().isEmpty());
    }

    void aPackageThatInstallsLikeAnotherOfTheFolderIsAskedFor()
    {
        UiTestDriver driver;
        auto d = dialog();
        QVERIFY(QDir().mkpath(m_dir.filePath("out")));
        ZipWriter other(m_dir.filePath("out/Unicode.zip"));
        QVERIFY(other.addData("unicode-buch/unicode-buch.php", "<?php\n"));
        QVERIFY(other.commit());
        control<QLineEdit>(d.get(), "txtOutputName")->setText("Ünïcödé Buch");
        driver.answerAlert("NO");
        clickControl(d.get(), "btnPublic");
        QVERIFY(!d->packageRun().isPublishing());
        QVERIFY(driver.alerts().value(0).messageText.contains("Unicode.zip"));
    }

    void theSettingsFileIsWrittenOnCloseOnlyWhenChanged()
    {
        QVariantMap stored = PluginSettings::defaultValues();
        stored.insert("type", "0");
        QVERIFY(PropertyList::writeFile(PluginSettings::defaultFilePath(), stored));
        const QString folder = QFileInfo(PluginSettings::defaultFilePath()).path();
        const auto stamp = [&] { return folderStamps(folder).value(".pluginSettings.plist"); };
        UiTestDriver driver;
        auto unchanged = dialog();
        const QString stamps = stamp();
        unchanged->performClose();
        QVERIFY(!unchanged->window()->isVisible());
        QCOMPARE(stamp(), stamps); // not even written again

        auto cancelled = dialog();
        control<QLineEdit>(cancelled.get(), "txtHeight")->setText("480");
        clickControl(cancelled.get(), "btnCancel");
        QCOMPARE(stamp(), stamps);

        auto changed = dialog();
        control<QLineEdit>(changed.get(), "txtHeight")->setText("480");
        changed->performClose();
        QCOMPARE(storedSettings().value("height").toString(), QString("480"));
        QVERIFY(driver.failures().isEmpty());
    }

    void aRunKeepsTheDialogUntilItsPackageIsWritten()
    {
        QVariantMap stored = PluginSettings::defaultValues();
        stored.insert("jID", "3");
        QVERIFY(PropertyList::writeFile(PluginSettings::defaultFilePath(), stored));
        UiTestDriver driver;
        auto d = dialog();
        clickControl(d.get(), "cellJoomla");
        control<QLineEdit>(d.get(), "txtOutputName")->setText("Atlas");
        control<QLineEdit>(d.get(), "txtTitle")->setText("The Atlas");
        clickControl(d.get(), "btnPublic");
        QVERIFY(d->packageRun().isPublishing());
        QVERIFY(control<QPushButton>(d.get(), "btnCancel")->isEnabled()); // it stops the work
        d->performClose(); // the close box waits for the workers
        QVERIFY(d->window()->isVisible());

        driver.answerAlert("YES"); // reveal
        QTRY_VERIFY_WITH_TIMEOUT(!d->window()->isVisible(), 60000);
        QCOMPARE(d->closeMode(), 1);
        QCOMPARE(driver.workspaceRequests().value(0).target, m_dir.filePath("out/Atlas.zip"));
        QVERIFY(ZipExtractor::entryNames(m_dir.filePath("out/Atlas.zip")).contains("mod_atlas_3.xml"));
        // The success tells the package's size, as the site's upload form will count it.
        const QString size = QLocale().formattedDataSize(QFileInfo(m_dir.filePath("out/Atlas.zip")).size(), 1,
                                                         QLocale::DataSizeTraditionalFormat);
        QVERIFY2(driver.alerts().last().informativeText.contains(size), qPrintable(driver.alerts().last().informativeText));
        QCOMPARE(storedSettings().value("jID").toInt(), 4); // the next module proposes 4
        QCOMPARE(storedSettings().value("type").toString(), QString("1"));
        QVERIFY(driver.failures().isEmpty());
    }

    // Cancel while a package is being made stops it: the window closes, and the older
    // package of that name is as it was.
    void cancelStopsThePackage()
    {
        UiTestDriver driver;
        QVERIFY(writeFile(m_dir.filePath("out/Older.zip"), "the older package"));
        auto d = dialog();
        clickControl(d.get(), "cellWordPress");
        control<QLineEdit>(d.get(), "txtOutputName")->setText("Older");
        driver.answerAlert("YES"); // replace it
        clickControl(d.get(), "btnPublic");
        QVERIFY(d->packageRun().isPublishing());
        clickControl(d.get(), "btnCancel");
        QVERIFY(d->window()->isVisible()); // until the worker has stopped
        QTRY_VERIFY_WITH_TIMEOUT(!d->window()->isVisible(), 60000);
        QCOMPARE(d->closeMode(), 0);
        QVERIFY(!d->packageRun().isPublishing());
        QCOMPARE(readFile(m_dir.filePath("out/Older.zip")), QByteArray("the older package"));
        QCOMPARE(driver.alerts().size(), 1); // only the question
    }

    void aBookThatCannotBeConvertedIsNeverPacked()
    {
        UiTestDriver driver;
        driver.answerAlert("Cancel"); // the conversion failed: not again
        auto d = dialog(false);
        QTRY_COMPARE(driver.alerts().size(), 1);
        control<QLineEdit>(d.get(), "txtOutputName")->setText("Nothing");
        driver.answerAlert("OK");     // asked again by the run: convert again
        driver.answerAlert("Cancel"); // which fails again
        clickControl(d.get(), "btnPublic");
        QTRY_COMPARE(driver.alerts().size(), 3);
        QVERIFY(control<QPushButton>(d.get(), "btnPublic")->isEnabled());
        QVERIFY(!QFile::exists(m_dir.filePath("out/Nothing.zip")));
        d->performClose();
        QVERIFY(!d->window()->isVisible());
        QVERIFY(driver.failures().isEmpty());
    }
};

QV_TEST(PublishPluginDialogTest)
#include "tst_publishplugindialog.moc"
