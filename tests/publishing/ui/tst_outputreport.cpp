#include "TestSupport.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "foundation/ZipWriter.h"
#include "publishing/ui/OutputReport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QPushButton *button(OutputReport &report, const char *name)
{
    return report.window()->findChild<QPushButton *>(name);
}

// The report for file and kind, run modally; press is clicked inside the run.
int runReport(OutputReport &report, UiTestDriver &driver, const char *press)
{
    driver.answerModal([press](WindowController *c) { c->window()->findChild<QPushButton *>(press)->click(); });
    return report.runModal();
}

} // namespace

class OutputReportTest : public QObject
{
    Q_OBJECT
private slots:
    void viewBookOpensPagesAndRevealsEverythingElse()
    {
        QTemporaryDir dir;
        const QStringList files{"Book.HTML", "Book.app", "Book.exe", "Book.zip", "Plugin.zip"};
        for (const QString &name : files) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const struct
        {
            QString file;
            OutputKind kind;
            bool canView;
            QString viewRequest;
        } cases[] = {{"Book.HTML", OutputKind::WebFolder, true, "page"},
                     {"Book.app", OutputKind::Application, true, "reveal"},
                     {"Book.zip", OutputKind::ZipArchive, false, ""},
                     {"Book.exe", OutputKind::Executable, false, ""},
                     {"Book.zip", OutputKind::SealedPackage, false, ""},
                     {"Plugin.zip", OutputKind::WordPress, true, "reveal"},
                     {"Plugin.zip", OutputKind::Drupal, true, "reveal"}};
        for (const auto &c : cases) {
            UiTestDriver driver;
            OutputReport report(dir.filePath(c.file));
            report.setOutputType(c.kind);
            QCOMPARE(report.window()->findChild<QLineEdit *>("lblFileName")->text(), dir.filePath(c.file));
            QCOMPARE(button(report, "btnViewBook")->isEnabled(), c.canView);
            report.showWindow();
            button(report, "btnViewBook")->click();
            button(report, "btnOpenFolder")->click();
            QStringList kinds;
            for (const auto &request : driver.workspaceRequests()) {
                kinds << request.kind;
                QCOMPARE(request.target, dir.filePath(c.file));
            }
            const QStringList expected = c.canView ? QStringList{c.viewRequest, "reveal"} : QStringList{"reveal"};
            QCOMPARE(kinds, expected);
            report.close();
        }
    }

    void theChoiceOfUploadIsLeftToTheOwner()
    {
        UiTestDriver driver;
        OutputReport online("/out/Book.html");
        QCOMPARE(runReport(online, driver, "btnUploadOnline"), 0);
        QCOMPARE(online.openPanelNumber(), 1);
        OutputReport ftp("/out/Book.html");
        runReport(ftp, driver, "btnFTPUpload");
        QCOMPARE(ftp.openPanelNumber(), 2);
        driver.answerModal([](WindowController *c) { c->window()->close(); }); // the close box
        OutputReport boxed("/out/Book.html");
        boxed.runModal();
        QCOMPARE(boxed.openPanelNumber(), 0);
        QVERIFY(driver.workspaceRequests().isEmpty());
    }

    void aPluginPackageTooLargeToUploadIsToldHowToInstall()
    {
        QTemporaryDir dir;
        // Sites with PHP's default limits take uploads of at most 2 MB.
        const qint64 large = 3 * 1024 * 1024 + 100 * 1024;
        const auto sized = [&](const QString &name, qint64 size) {
            QFile file(dir.filePath(name));
            return file.open(QIODevice::WriteOnly) && file.resize(size) ? file.fileName() : QString();
        };
        // A Joomla package is unpacked into a folder named like its module.
        const QString joomla = dir.filePath("atlas.zip");
        {
            QFile filler(sized("filler.bin", large));
            ZipWriter zip(joomla);
            QVERIFY(zip.addData("mod_atlas_3.xml", "<extension/>"));
            QVERIFY(zip.addFile("book/filler.bin", filler.fileName(), ZipWriter::Method::Store));
            QVERIFY(zip.commit());
        }
        const struct
        {
            QString file;
            OutputKind kind;
            QString where; // the folder the note sends the package to; empty: no advice
        } cases[] = {{sized("small.zip", 2 * 1024 * 1024), OutputKind::WordPress, ""},
                     {sized("wordpress.zip", large), OutputKind::WordPress, "wp-content/plugins"},
                     {joomla, OutputKind::Joomla, "modules/mod_atlas_3"},
                     {sized("drupal.zip", large), OutputKind::Drupal, "sites/all/modules"},
                     {sized("web.zip", large), OutputKind::ZipArchive, ""}};
        for (const auto &c : cases) {
            OutputReport report(c.file);
            report.setOutputType(c.kind);
            const QLabel *note = report.window()->findChild<QLabel *>("lblPackageNote");
            QVERIFY(note);
            const bool package = c.kind.writer() == OutputKind::Writer::PluginPackage;
            QCOMPARE(note->isHidden(), !package);
            if (!package)
                continue;
            // The size in megabytes, as the upload form counts it.
            const double megabytes = QFileInfo(c.file).size() / (1024.0 * 1024.0);
            QVERIFY2(note->text().contains(QLocale().toString(megabytes, 'f', 1)), qPrintable(note->text()));
            for (const QString &folder : {QString("wp-content/plugins"), QString("modules/mod_atlas_3"),
                                          QString("sites/all/modules")})
                QCOMPARE(note->text().contains(folder), folder == c.where);

            // Every line of the note shows, above the buttons.
            report.showWindow();
            const QPushButton *close = button(report, "btnClose");
            QVERIFY(note->height() >= note->heightForWidth(note->width()));
            QVERIFY(note->mapTo(report.window(), QPoint(0, note->height())).y() <= close->mapTo(report.window(), QPoint()).y());
        }
    }
};

QV_TEST(OutputReportTest)
#include "tst_outputreport.moc"
