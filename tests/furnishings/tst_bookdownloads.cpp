#include "TestFiles.h"
#include "TestSupport.h"
#include "furnishings/DownloadCfgItem.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

// The download workspace's ".cfg" and what a book takes from it.
class BookDownloadsTest : public QObject
{
    Q_OBJECT
private slots:
    void settingsRoundTrip()
    {
        QTemporaryDir dir;
        const QString workspace = dir.filePath("made/on/save");
        QVERIFY(!DownloadCfgItem::readSettings(workspace));
        DownloadSettings settings;
        settings.file = "./Book.pdf";
        settings.url = "https://example.com/book.pdf";
        settings.prefix = "leaf-";
        settings.pages = {"./pages/1.pdf", "./pages/2.pdf"};
        settings.attachs = {"/home/u/Prices.csv"};
        settings.hasPDF = true;
        settings.fileType = 1;
        QVERIFY(DownloadCfgItem::writeSettings(workspace, settings));
        // A file outside the workspace is read back as the workspace's copy of it: a
        // ".cfg" from elsewhere names no other file of the user's.
        settings.attachs = {"./attachments/Prices.csv"};
        QCOMPARE(DownloadCfgItem::readSettings(workspace), std::optional<DownloadSettings>(settings));
        QVERIFY(writeFile(DownloadCfgItem::settingsFile(workspace), "not a property list"));
        QVERIFY(!DownloadCfgItem::readSettings(workspace));
    }

    void onlyVisibleFilesOfTheWorkspaceAreOffered()
    {
        QTemporaryDir dir;
        const QString workspace = dir.filePath("download");
        QVERIFY(writeFile(workspace + "/.info", "<plist>the source's password</plist>"));
        QVERIFY(writeFile(workspace + "/attachments/.hidden", "secret"));
        QVERIFY(writeFile(workspace + "/attachments/notes.txt", "notes"));
        QVERIFY(writeFile(dir.filePath("outside.pdf"), "%PDF outside"));
        DownloadSettings settings;
        settings.hasPDF = true;
        settings.file = "./.info";
        settings.attachs = {"./attachments/.hidden", "./../outside.pdf", "/v1./notes.txt"};
        QVERIFY(DownloadCfgItem::writeSettings(workspace, settings));

        const BookDownloads downloads = DownloadCfgItem::downloadsForWorkspace(workspace);
        QVERIFY(downloads.wholeFile.isEmpty());
        QCOMPARE(downloads.attachments.size(), 1);
        QCOMPARE(downloads.attachments.first().file, workspace + "/attachments/notes.txt");

        // Only a leading "./" means the workspace, and never a way out of it.
        QCOMPARE(DownloadCfgItem::resolvedPath("/v1./a.pdf", workspace), QString("/v1./a.pdf"));
        QCOMPARE(DownloadCfgItem::resolvedPath("./pages/2.pdf", workspace), workspace + "/pages/2.pdf");
        QVERIFY(DownloadCfgItem::resolvedPath("./../outside.pdf", workspace).isEmpty());
    }
};

QV_TEST(BookDownloadsTest)
#include "tst_bookdownloads.moc"
