#include "ProjectFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "batch/ImportParament.h"
#include "furnishings/FlashOutline.h"
#include "pages/FlashPageSource.h"
#include "project/BookDocument.h"
#include "project/BookProject.h"
#include "project/DownloadWorkspaceInfo.h"
#include "project/ProjectBackup.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace ProjectFixtures;
using namespace TestFiles;

class ProjectBackupTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

private slots:
    void keepsTheNewestBackups()
    {
        auto book = importedBook(writePictures(m_dir.filePath("pictures"), 2));
        QVERIFY(book);
        ProjectBackup backups(m_dir.filePath("Backup"), 3);
        QDir().mkpath(m_dir.filePath("Backup/.partial-20990101-000000-000")); // a backup that never finished
        QDir().mkpath(m_dir.filePath("Backup/20990101-000000-000"));          // a folder without a project
        QStringList made;
        for (int i = 0; i < 5; ++i) {
            book->flashOutline()->appendItem(FlashOutlineItem::create(QString::number(i), 1));
            ProjectResult result;
            made << backups.backup(*book, &result);
            QVERIFY2(!made.last().isEmpty(), qPrintable(result.message));
        }
        QCOMPARE(backups.backups(), QStringList({made[4], made[3], made[2]}));
        QCOMPARE(backups.latestBackup(), made[4]);
        QVERIFY(!QFileInfo::exists(made[0]));

        // Backing up leaves the book where it was.
        QVERIFY(book->isUntitled());
        QVERIFY(book->isTemporaryFolder(book->pageSource()->workspace()));
        QVERIFY(QFileInfo(book->pageSource()->pages()[0]->pageFilePath()).isFile());

        // A restored backup is a new book of its own: saving it never writes into
        // the backup, which a later backup may delete.
        ProjectResult result;
        auto restored = ProjectBackup::restore(backups.latestBackup(), &result);
        QVERIFY2(restored, qPrintable(result.message));
        QVERIFY(restored->isUntitled());
        QCOMPARE(restored->flashOutline()->totalCount(), 5);
        QVERIFY(!restored->pageSource()->pages()[0]->pageFilePath().startsWith(backups.folder()));
        const auto backupFiles = folderStamps(backups.folder());
        QDir().mkpath(m_dir.filePath("restored"));
        QVERIFY(BookProject::saveAs(*restored, m_dir.filePath("restored/Book.qvprj")).ok());
        QCOMPARE(folderStamps(backups.folder()), backupFiles);
        QVERIFY(BookProject::open(m_dir.filePath("restored/Book.qvprj")));
    }

    void downloadWorkspaceInfo()
    {
        ImportParament parament;
        parament.sourceFiles = {"/books/annual.pdf"};
        parament.strPassword = "s3cret";
        parament.strPageRange = "2-9";
        parament.iWidePageMode = 1;
        const DownloadWorkspaceInfo info = DownloadWorkspaceInfo::fromImport(parament);
        const QString folder = m_dir.filePath("download");
        QVERIFY(info.writeToFolder(folder));
        QCOMPARE(DownloadWorkspaceInfo::readFromFolder(folder).value_or(DownloadWorkspaceInfo()), info);
        // It holds a password: nobody but its owner reads it.
        QCOMPARE(QFile::permissions(folder + "/.info") & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());
        // Written again after another import, it stays private.
        QVERIFY(DownloadWorkspaceInfo().writeToFolder(folder));
        QCOMPARE(QFile::permissions(folder + "/.info") & QFileDevice::ReadOther, QFileDevice::Permissions());

        parament.sourceFiles = {"/pictures/a.png", "/pictures/b.png"};
        QVERIFY(DownloadWorkspaceInfo::fromImport(parament).pdf.isEmpty());
        QVERIFY(!DownloadWorkspaceInfo::readFromFolder(m_dir.filePath("nowhere")));
    }
};

QV_TEST(ProjectBackupTest)
#include "tst_projectbackup.moc"
