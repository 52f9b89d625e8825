#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "furnishings/FlashOutline.h"
#include "pages/FlashPageSource.h"
#include "pages/PDFSearch.h"
#include "pages/PageImport.h"
#include "project/BookDocument.h"
#include "project/BookProjectPart.h"
#include "project/DownloadWorkspaceInfo.h"
#include "project/ProjectBackup.h"
#include "project/RecentProjectItem.h"
#include "shell/BookImportTask.h"
#include "shell/BookSession.h"
#include "shell/EnginePreviewBuilder.h"
#include "output/web/ViewerConfig.h"
#include "pages/FlashPageSource.h"
#include "templates/FlashTemplate.h"

#include <QtTest>

using TestFiles::readText;

namespace {

QString demoPdf()
{
    return QStringLiteral(QUORVEL_SOURCE_DIR "/resources/demo/Demo.pdf");
}

ImportParament demoImport(const QString &range = QStringLiteral("ALL"))
{
    ImportParament p;
    p.sourceFiles = {demoPdf()};
    p.strPageRange = range;
    p.iQualityLevel = 2;
    return p;
}

// Imports the demo PDF into a new book as the window does, on a worker thread.
std::unique_ptr<BookSession> importDemo(const QString &range = QStringLiteral("ALL"))
{
    QString error;
    std::unique_ptr<BookSession> session = BookSession::createForImport(&error);
    if (!session)
        qFatal("no session: %s", qPrintable(error));
    BookImportTask task(demoImport(range), session->importWorkspace());
    task.setThreadCount(2);
    QSignalSpy finished(&task, &BookImportTask::finished);
    task.start();
    if (!finished.wait(60000) || !finished.first().first().toBool())
        qFatal("import failed: %s", qPrintable(task.result().message));
    session->adoptImport(task.pageImport(), task.parament());
    return session;
}

} // namespace

class BookSessionTest : public QObject
{
    Q_OBJECT
private slots:
    void importRunsOnAWorkerWithProgress()
    {
        QTemporaryDir dir;
        BookImportTask task(demoImport(QStringLiteral("1-3")), dir.path() + "/pages");
        task.setThreadCount(2);
        QSignalSpy progress(&task, &BookImportTask::progress);
        QSignalSpy finished(&task, &BookImportTask::finished);
        task.start();
        QVERIFY(task.isRunning());
        QVERIFY(finished.wait(60000));
        QVERIFY(finished.first().first().toBool());
        QCOMPARE(progress.count(), 3);
        QCOMPARE(progress.last(), (QList<QVariant>{3, 3}));
        QCOMPARE(task.pageImport().pageSource()->pageCount(), 3);
        QCOMPARE(TestPictures::missingPagePictures(*task.pageImport().pageSource()), QStringList());
    }

    void aStoppedImportLeavesNothing()
    {
        QTemporaryDir dir;
        const QString workspace = dir.path() + "/pages";
        auto task = std::make_unique<BookImportTask>(demoImport(), workspace);
        task->setThreadCount(1);
        QSignalSpy finished(task.get(), &BookImportTask::finished);
        task->stop(); // before any page was made
        task->start();
        QVERIFY(finished.wait(60000));
        QVERIFY(!finished.first().first().toBool());
        QCOMPARE(task->result().error, PageError::Cancelled);
        QVERIFY(!QFileInfo::exists(workspace + "/large"));

        // Going away while running stops and waits instead of leaving a worker behind.
        task = std::make_unique<BookImportTask>(demoImport(), workspace);
        task->start();
        task.reset();
    }

    void importedBookSavesAndOpensAgain()
    {
        std::unique_ptr<BookSession> session = importDemo();
        QCOMPARE(session->pageCount(), 8);
        QCOMPARE(session->suggestedFileName(), QStringLiteral("Demo.qvprj"));
        QVERIFY(session->document().flashOutline()->totalCount() >= 8);
        QVERIFY(session->document().pdfSearch()->pageText(3).contains(QStringLiteral("Gull Hill")));
        const auto info = DownloadWorkspaceInfo::readFromFolder(session->document().parts().downloadWorkspace());
        QVERIFY(info);
        QCOMPARE(info->pdf, demoPdf());

        QCOMPARE(session->save().error, ProjectError::Untitled);

        QTemporaryDir dir;
        const QString file = dir.path() + "/Lighthouse.qvprj";
        const ProjectResult saved = session->saveAs(file);
        QVERIFY2(saved.ok(), qPrintable(saved.message));
        QVERIFY(!session->isModified());
        QCOMPARE(RecentProjectItem::recentProjects().value(0).path(), file);

        ProjectBackup backups(dir.path() + "/backups");
        QVERIFY(!session->backup(backups).isEmpty());
        QCOMPARE(backups.backups().size(), 1);
        session.reset();

        ProjectResult opened;
        std::unique_ptr<BookSession> again = BookSession::open(file, &opened);
        QVERIFY2(again, qPrintable(opened.message));
        QCOMPARE(TestPictures::missingPagePictures(*again->document().pageSource()), QStringList());
        QCOMPARE(DownloadWorkspaceInfo::readFromFolder(again->document().parts().downloadWorkspace())
                     .value_or(DownloadWorkspaceInfo())
                     .pdf,
                 demoPdf());

        QVERIFY(!BookSession::open(dir.path() + "/missing.qvprj", &opened));
        QCOMPARE(opened.error, ProjectError::FileNotFound);
    }

    void previewIsWrittenFromACopyOfTheBook()
    {
        std::unique_ptr<BookSession> session = importDemo(QStringLiteral("1-2"));
        FlashTemplate *tmpl = session->document().flashTmpl();
        QVERIFY(tmpl->setPropertyValue(QStringLiteral("backgroundColor"), QStringLiteral("0xABCDEF")));
        EnginePreviewBuilder builder([&] {
            return EnginePreviewBuilder::Book{&session->document(), QStringLiteral("Lights")};
        });
        QString error;
        std::unique_ptr<PreviewJob> job = builder.prepare(PreviewChange::All, &error);
        QVERIFY2(job, qPrintable(error));
        // What the user does after the rebuild started is not in this rebuild.
        QVERIFY(tmpl->setPropertyValue(QStringLiteral("backgroundColor"), QStringLiteral("0x000000")));

        QTemporaryDir preview;
        std::atomic_bool stop{false};
        const PreviewBuildResult result = job->run(preview.path(), stop);
        QVERIFY2(result.ok(), qPrintable(result.message));
        QVERIFY(QFileInfo::exists(preview.path() + "/index.html"));
        QVERIFY(QFileInfo::exists(preview.path() + "/mobile/index.html"));
        const QString config = readText(preview.path() + "/files/config.js");
        QVERIFY(config.contains(QStringLiteral("#ABCDEF"), Qt::CaseInsensitive));
        QVERIFY(config.contains(QStringLiteral("\"Lights\"")));
        QVERIFY(readText(preview.path() + "/files/outline.js").contains(QStringLiteral("The Island")));

        // A stopped rebuild leaves the last preview as it was.
        job = builder.prepare(PreviewChange::Settings, &error);
        stop = true;
        QCOMPARE(job->run(preview.path(), stop).outcome, PreviewBuildResult::Outcome::Cancelled);
        QCOMPARE(readText(preview.path() + "/files/config.js"), config);

        // Settings alone over the pages written before: the pages are taken over, and the
        // configuration written is reported for the book on show...
        stop = false;
        QVERIFY(builder.prepare(PreviewChange::All, &error)->run(preview.path(), stop).ok());
        QVERIFY(tmpl->setPropertyValue(QStringLiteral("backgroundColor"), QStringLiteral("0x123456")));
        PreviewBuildResult settings = builder.prepare(PreviewChange::Settings, &error)->run(preview.path(), stop);
        QVERIFY(settings.ok() && settings.settings.pagesKept);
        QCOMPARE(settings.settings.desktop.value(QStringLiteral("backgroundColor")).toString(), QStringLiteral("#123456"));
        QVERIFY(readText(preview.path() + "/files/config.js").contains(QStringLiteral("#123456")));
        QCOMPARE(ViewerConfig::pageRecords(settings.settings.mobile.value(QStringLiteral("pages"))).size(), 2);
        // ...but over pages that changed meanwhile, whatever the change was said to be,
        // the pages are read again and written.
        for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds)
            session->document().pageSource()->pageList(kind).removeLast();
        settings = builder.prepare(PreviewChange::Settings, &error)->run(preview.path(), stop);
        QVERIFY(settings.ok() && !settings.settings.pagesKept);
        QCOMPARE(ViewerConfig::pageRecords(settings.settings.desktop.value(QStringLiteral("pages"))).size(), 1);
        QVERIFY(!QFileInfo::exists(preview.path() + "/files/page/2.jpg"));

        // No book, or a book without pages: nothing to build, and nothing to say.
        EnginePreviewBuilder empty([] { return EnginePreviewBuilder::Book{}; });
        error.clear();
        QVERIFY(!empty.prepare(PreviewChange::All, &error));
        QVERIFY(error.isEmpty());
    }
};

QV_TEST(BookSessionTest)
#include "tst_booksession.moc"
