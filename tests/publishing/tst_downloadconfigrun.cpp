#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "publishing/DownloadConfigRun.h"

#include <QTemporaryDir>
#include <QtTest>
#include <poppler-qt6.h>

using namespace TestFiles;

namespace {

int pageCountOf(const QString &pdf)
{
    const std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(pdf);
    return doc ? doc->numPages() : -1;
}

} // namespace

// The copy run of the download configuration: what it leaves in the workspace.
class DownloadConfigRunTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    DownloadConfigRun::Input input(const QString &workspace, const QString &pdf) const
    {
        DownloadConfigRun::Input in;
        in.workspace = workspace;
        in.pdfFile = pdf;
        in.identifier = "run";
        return in;
    }

private slots:
    void copiesTheFilesAndSplitsThePdf()
    {
        const QString pdf = path("Source.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 3));
        QVERIFY(writeFile(path("a/Prices.csv"), "a,b\n1,2\n"));
        QVERIFY(writeFile(path("v1./notes.txt"), "notes")); // "./" inside a path is no workspace path
        const QString workspace = path("download");

        DownloadConfigRun::Input in = input(workspace, pdf);
        in.settings.hasPDF = true;
        in.settings.file = pdf;
        in.settings.hasPages = true;
        in.settings.attachs = {path("a/Prices.csv"), path("v1./notes.txt")};
        DownloadConfigRun run(in);
        const DownloadConfigRun::Result result = run.run();
        QVERIFY2(result.succeeded(), qPrintable((result.missingSources + result.failures).join('\n')));
        QCOMPARE(run.progressCount(), 1 + 3 + 2);
        QCOMPARE(readFile(workspace + "/Source.pdf"), readFile(pdf));
        QCOMPARE(readFile(workspace + "/attachments/Prices.csv"), readFile(path("a/Prices.csv")));
        QCOMPARE(readFile(workspace + "/attachments/notes.txt"), QByteArray("notes"));
        QCOMPARE(result.pages, std::optional<QStringList>({"./pages/1.pdf", "./pages/2.pdf", "./pages/3.pdf"}));
        for (int page = 1; page <= 3; ++page)
            QCOMPARE(pageCountOf(workspace + QString("/pages/%1.pdf").arg(page)), 1);
        QCOMPARE(folderListing(workspace),
                 (QStringList{"Source.pdf", "attachments", "attachments/Prices.csv", "attachments/notes.txt", "pages",
                              "pages/1.pdf", "pages/2.pdf", "pages/3.pdf"}));

        // Again, with the whole PDF named in the workspace itself and the attachments'
        // sources gone: nothing is lost, and the pages (as many as the PDF has) stay.
        const QMap<QString, QString> pagesBefore = folderStamps(workspace + "/pages");
        QFile::remove(path("a/Prices.csv"));
        in.settings.file = "./Source.pdf";
        DownloadConfigRun again(in);
        QVERIFY(again.run().succeeded());
        QCOMPARE(readFile(workspace + "/Source.pdf"), readFile(pdf));
        QCOMPARE(readFile(workspace + "/attachments/Prices.csv"), QByteArray("a,b\n1,2\n"));
        QCOMPARE(folderStamps(workspace + "/pages"), pagesBefore);
    }

    void refusesWhatWouldOverwriteAndReportsWhatIsMissing()
    {
        const QString workspace = path("refusals");
        QVERIFY(writeFile(path("one/report.txt"), "first"));
        QVERIFY(writeFile(path("two/report.txt"), "second"));
        QVERIFY(writeFile(workspace + "/.info", "keep"));
        QVERIFY(writeFile(path(".info"), "replaced"));
        DownloadConfigRun::Input in = input(workspace, QString());
        in.settings.hasPDF = true;
        in.settings.file = path(".info"); // would take the place of the workspace's own file
        in.settings.attachs = {path("one/report.txt"), path("two/report.txt"), path("gone.txt")};
        const DownloadConfigRun::Result result = DownloadConfigRun(in).run();
        QVERIFY(!result.succeeded());
        QCOMPARE(result.missingSources, QStringList{path("gone.txt")});
        QCOMPARE(result.failures.size(), 2);
        QCOMPARE(readFile(workspace + "/.info"), QByteArray("keep"));
        QCOMPARE(readFile(workspace + "/attachments/report.txt"), QByteArray("first"));

        // A file of the workspace that is a link out of it is not copied into the book's
        // downloads, and the run says which.
        QVERIFY(writeFile(path("private/id_rsa"), "PRIVATE KEY"));
        QVERIFY(QFile::link(path("private/id_rsa"), workspace + "/attachments/key.csv"));
        in.settings.hasPDF = false;
        in.settings.attachs = {"./attachments/report.txt", "./attachments/key.csv"};
        const DownloadConfigRun::Result linked = DownloadConfigRun(in).run();
        QCOMPARE(linked.failures.size(), 1);
        QVERIFY2(linked.failures.first().contains("key.csv"), qPrintable(linked.failures.first()));
        QCOMPARE(folderListing(workspace + "/attachments"), QStringList{"report.txt"});
    }

    void aStoppedRunLeavesTheWorkspaceAsItWas()
    {
        const QString pdf = path("Five.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 5));
        const QString workspace = path("stopped");
        QVERIFY(writeFile(workspace + "/pages/1.pdf", "%PDF old one"));
        QVERIFY(writeFile(workspace + "/pages/2.pdf", "%PDF old two"));
        QVERIFY(writeFile(workspace + "/attachments/old.txt", "old"));
        QVERIFY(writeFile(path("new.txt"), "new"));
        const QMap<QString, QByteArray> before = folderContents(workspace);

        DownloadConfigRun::Input in = input(workspace, pdf);
        in.settings.hasPages = true;
        in.settings.attachs = {path("new.txt")};
        QVERIFY(DownloadConfigRun::pagesToBeMade(workspace, DownloadConfigRun::pdfPageCount(in), true));
        DownloadConfigRun run(in);
        run.stop();
        const DownloadConfigRun::Result result = run.run();
        QVERIFY(result.cancelled);
        QVERIFY(!result.pages);
        QCOMPARE(folderContents(workspace), before);
    }

    void pagesAreRemadeOnlyWhenTheirNumberDiffers()
    {
        const QString workspace = path("count");
        QVERIFY(!DownloadConfigRun::pagesToBeMade(workspace, 4, false));
        QVERIFY(DownloadConfigRun::pagesToBeMade(workspace, 4, true));
        for (int page = 1; page <= 4; ++page)
            QVERIFY(writeFile(workspace + QString("/pages/%1.pdf").arg(page), "%PDF"));
        QVERIFY(!DownloadConfigRun::pagesToBeMade(workspace, 4, true));
        QVERIFY(DownloadConfigRun::pagesToBeMade(workspace, 5, false));
        QVERIFY(!DownloadConfigRun::pagesToBeMade(workspace, 0, true)); // no source PDF: keep them
    }
};

QV_TEST(DownloadConfigRunTest)
#include "tst_downloadconfigrun.moc"
