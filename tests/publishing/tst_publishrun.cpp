#include "FakeOutputJob.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "output/security/BookSecurity.h"
#include "project/RecentProjectItem.h"
#include "publishing/PublishRun.h"
#include "templates/FlashTemplate.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

using namespace TestFiles;

namespace {

// A run through a stand-in engine, answering its questions from answers (yes when
// none is left) and keeping what it was asked and what it reported.
struct Run
{
    explicit Run(FakeOutputJob::Outcome outcome) : outcome(outcome)
    {
        run.setJobMaker([this] {
            ++jobsMade;
            return std::make_shared<FakeOutputJob>(this->outcome);
        });
        run.setReplaceQuestion([this](const QString &path, bool companion) {
            asked << (companion ? "companion " : "") + path;
            return answers.isEmpty() || answers.takeFirst();
        });
        QObject::connect(&run, &PublishRun::finished, [this](const PublishRun::Result &r) { result = r; });
        QObject::connect(&run, &PublishRun::progressed,
                         [this](qint64 index, qint64 count, int type) { progress << QList<qint64>{index, count, type}; });
    }

    PublishRun::StartOutcome start(const QString &folder, int kind, const QString &name = QStringLiteral("MyBook"),
                              const std::function<void(PublishRun::Setup &)> &tweak = {})
    {
        result.reset();
        PublishRun::Setup setup;
        setup.record.setIOutputType(kind);
        setup.record.setStrOutputName(name);
        setup.record.setStrTitle(QStringLiteral("A Title"));
        setup.folder = folder;
        if (tweak)
            tweak(setup);
        QDir().mkpath(folder);
        return run.start(setup, &blockage);
    }
    // Waits for the end of the run start() began.
    bool finished()
    {
        return QTest::qWaitFor([this] { return result.has_value(); }, 10000) && !run.isStart();
    }
    std::shared_ptr<FakeOutputJob> job() const { return std::static_pointer_cast<FakeOutputJob>(run.job()); }

    PublishRun run;
    FakeOutputJob::Outcome outcome;
    QList<bool> answers;
    QStringList asked;
    std::optional<PublishRun::Result> result;
    PublishRun::Blockage blockage;
    QList<QList<qint64>> progress;
    int jobsMade = 0;
};

const std::function<void(PublishRun::Setup &)> packed = [](PublishRun::Setup &s) {
    s.record.setCompressToZip(true);
};

} // namespace

class PublishRunTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString folder(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void init() { BookSecurity::shareInstance()->setSecurityType(0); }

    void failedAndCancelledRunsLeaveTheFolderAsItWas_data()
    {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<bool>("zip");
        QTest::addColumn<QString>("reason");
        QTest::newRow("web folder, failed") << int(FakeOutputJob::Fail) << false << "The disk is full.";
        QTest::newRow("web folder, cancelled") << int(FakeOutputJob::WaitForCancel) << false << "";
        QTest::newRow("packed, failed") << int(FakeOutputJob::Fail) << true << "The disk is full.";
        QTest::newRow("packed, cancelled") << int(FakeOutputJob::WaitForCancel) << true << "";
        QTest::newRow("unknown status") << int(FakeOutputJob::UnknownStatus) << false << "";
    }

    void failedAndCancelledRunsLeaveTheFolderAsItWas()
    {
        QFETCH(int, outcome);
        QFETCH(bool, zip);
        QFETCH(QString, reason);
        const QString out = folder(QTest::currentDataTag());
        writeOlderBook(out, "MyBook");
        writeFile(out + "/MyBook.zip", "older archive");
        writeFile(out + "/index.zip", "someone's index");
        const auto before = folderContents(out);
        Run r{FakeOutputJob::Outcome(outcome)};
        QCOMPARE(r.start(out, 0, "MyBook", zip ? packed : nullptr), PublishRun::StartOutcome::Running);
        QVERIFY(r.run.isStart());
        if (outcome == FakeOutputJob::WaitForCancel) {
            QTRY_VERIFY(r.job()->running);
            // The older items are out of the way while the job writes.
            QVERIFY(!QFileInfo::exists(zip ? out + "/MyBook.zip" : out + "/mobile"));
            // Cancel returns at once; the end follows once the job has stopped, and no
            // other run starts before it.
            r.run.cancel();
            QVERIFY(!r.result && r.run.isBusy());
            QCOMPARE(r.run.start(PublishRun::Setup{}), PublishRun::StartOutcome::Declined);
        }
        QVERIFY(r.finished());
        QVERIFY(!r.result->isWritten());
        QCOMPARE(r.result->status, outcome == FakeOutputJob::UnknownStatus ? 7 : int(r.job()->status()));
        QCOMPARE(r.result->failure ? r.result->failure->reason() : QString(), reason);
        QVERIFY(r.result->restoreFailures.isEmpty());
        QCOMPARE(folderContents(out), before);
        QVERIFY(r.run.backup().isEmpty());
        QVERIFY(!RecentProjectItem::recentProjects().value(0).path().startsWith(out));

        // A second failed run into a new folder leaves this one alone.
        r.outcome = FakeOutputJob::Fail;
        r.start(out + "-next", 0, "MyBook", [](PublishRun::Setup &s) { s.freshFolder = true; });
        QVERIFY(r.finished());
        QCOMPARE(r.jobsMade, 2);
        QCOMPARE(folderContents(out), before);
    }

    void aMobileFolderAloneIsAskedAboutAndReplaced()
    {
        const QString out = folder("mobile");
        writeFile(out + "/mobile/index.html", "someone's phone pages");
        writeFile(out + "/notes.txt", "notes");
        Run r(FakeOutputJob::Write);
        r.answers = {false};
        QCOMPARE(r.start(out, 0), PublishRun::StartOutcome::Declined);
        QCOMPARE(r.asked, QStringList{"companion " + out + "/mobile"});
        QCOMPARE(r.jobsMade, 0);

        QCOMPARE(r.start(out, 0), PublishRun::StartOutcome::Running);
        QVERIFY(r.finished());
        QVERIFY(r.result->isWritten());
        QCOMPARE(readFile(out + "/mobile/index.html"), QByteArray("new phone page"));
        QCOMPARE(readFile(out + "/notes.txt"), QByteArray("notes"));
        QCOMPARE(r.result->projectFilePath, out);
        QCOMPARE(r.result->reportPath, out + "/MyBook.html");
        // Recorded as the web book it is, by its page.
        QCOMPARE(RecentProjectItem::recentProjects().value(0), RecentProjectItem("A Title", out + "/MyBook.html", 0));
        const QString backup = r.run.backup().backupFilePath();
        QVERIFY(backup.isEmpty() || !QFileInfo::exists(backup));

        // Without a phone version the "mobile" folder is none of the run's business.
        const QString other = folder("mobile2");
        writeFile(other + "/mobile/index.html", "someone's phone pages");
        r.asked.clear();
        r.start(other, 0, "MyBook", [](PublishRun::Setup &s) { s.record.setLoadType(2); });
        QVERIFY(r.finished());
        QCOMPARE(readFile(other + "/mobile/index.html"), QByteArray("someone's phone pages"));
        QVERIFY(r.asked.isEmpty());
    }

    void aPackedWebFolderGetsTheUsersName()
    {
        const QString out = folder("zip");
        writeFile(out + "/MyBook.zip", "older archive");
        writeFile(out + "/index.zip", "someone's index");
        Run r(FakeOutputJob::Write);
        r.answers = {true, false}; // declining either question moves nothing
        QCOMPARE(r.start(out, 0, "MyBook", packed), PublishRun::StartOutcome::Declined);
        QCOMPARE(r.asked, (QStringList{out + "/MyBook.zip", out + "/index.zip"}));
        QCOMPARE(readFile(out + "/MyBook.zip"), QByteArray("older archive"));

        QCOMPARE(r.start(out, 0, "MyBook", packed), PublishRun::StartOutcome::Running);
        QVERIFY(r.finished());
        QCOMPARE(r.job()->convertPara().strOutputName(), QStringLiteral("index"));
        QCOMPARE(readFile(out + "/MyBook.zip"), QByteArray("new archive"));
        QCOMPARE(readFile(out + "/index.zip"), QByteArray("someone's index")); // only borrowed
        QCOMPARE(r.result->projectFilePath, out + "/MyBook.zip");
        QCOMPARE(r.result->reportPath, out + "/MyBook.zip");

        // A book named "index" stays index.zip.
        const QString plain = folder("zip-index");
        r.start(plain, 0, "index", packed);
        QVERIFY(r.finished());
        QCOMPARE(folderContents(plain), (QMap<QString, QByteArray>{{"index.zip", "new archive"}}));
        QCOMPARE(r.result->reportPath, plain + "/index.zip");
    }

    void movesThatFailLoseNothing()
    {
        const QString out = folder("moves");
        writeOlderBook(out, "MyBook");
        const auto before = folderContents(out);
        Run r(FakeOutputJob::Fail);

        // A move aside that fails stops the run and puts back what was moved before it.
        r.run.backup().setRenameFunction([](const QString &from, const QString &to) {
            return from.endsWith("/files") ? EACCES : PublishBackup::systemRename(from, to);
        });
        QCOMPARE(r.start(out, 0), PublishRun::StartOutcome::Blocked);
        QCOMPARE(r.blockage.path, out + "/files");
        QVERIFY(!r.blockage.reason.isEmpty());
        QCOMPARE(r.jobsMade, 0);
        QCOMPARE(folderContents(out), before);

        // A move back that fails keeps the older book in the backup folder and says so.
        QString backupFolder;
        r.run.backup().setRenameFunction([&](const QString &from, const QString &to) {
            backupFolder = r.run.backup().backupFilePath();
            return from.startsWith(backupFolder + "/") ? EACCES : PublishBackup::systemRename(from, to);
        });
        r.start(out, 0);
        QVERIFY(r.finished());
        QCOMPARE(r.result->restoreFailures.size(), 3);
        QVERIFY(r.result->restoreFailures.first().backup.startsWith(backupFolder + "/"));
        QCOMPARE(readFile(backupFolder + "/MyBook.html"), QByteArray("older page"));
        QCOMPARE(readFile(backupFolder + "/files/page/1.jpg"), QByteArray("older picture"));

        // The next run neither empties nor reuses that folder.
        r.run.backup().setRenameFunction(&PublishBackup::systemRename);
        r.start(out, 0);
        QVERIFY(r.finished());
        QVERIFY(r.run.backup().backupFilePath() != backupFolder);
        QCOMPARE(readFile(backupFolder + "/MyBook.html"), QByteArray("older page"));
        removeTree(backupFolder);
    }

    void progressComesOnlyFromItsOwnJob()
    {
        Run r(FakeOutputJob::WaitForCancel);
        r.start(folder("progress"), 0, "MyBook", [](PublishRun::Setup &s) { s.freshFolder = true; });
        QTRY_COMPARE(r.progress, (QList<QList<qint64>>{{1, 4, 1}})); // the engine's own notification
        const QString id = r.run.taskID();
        QVERIFY(!id.isEmpty() && id == r.job()->taskID() && r.job()->isProcess());
        r.run.takeProgress({{"id", "another run"}, {"index", 4}, {"count", 4}, {"type", 3}});
        r.run.takeProgress({{"id", id}, {"index", 3}, {"count", 0}});
        QCOMPARE(r.progress.size(), 2);
        QCOMPARE(r.progress.last(), (QList<qint64>{3, 0, -1}));
        r.run.cancel();
        r.run.takeProgress({{"id", id}, {"index", 0}, {"count", 2}, {"type", 1}}); // after the run nothing moves
        QCOMPARE(r.progress.size(), 2);
    }

    void eachJobGetsAFreshContentKeyAndTheBookKeepsItsOwn()
    {
        auto security = std::make_shared<BookSecurity>();
        security->setSecurityType(BookSecurity::SinglePassword);
        const QString key = security->rc4String();
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultTemplateName())));
        Run r(FakeOutputJob::Write);
        for (const QString setting : {"Single Password", "No Security"}) {
            QVERIFY(tmpl.setPropertyValue("securitySetting", setting));
            r.start(folder(setting), 0, "MyBook", [&](PublishRun::Setup &s) {
                s.parts.setSecurity(security);
                s.tmpl = &tmpl;
            });
            QVERIFY(r.finished());
            const std::shared_ptr<BookSecurity> copy = r.job()->bookParts().security();
            QCOMPARE(copy->securityType() == BookSecurity::NoSecurity, setting == "No Security");
            QVERIFY(copy->rc4String() != key || setting == "No Security");
        }
        QCOMPARE(security->securityType(), int(BookSecurity::SinglePassword));
        QCOMPARE(security->rc4String(), key);
    }
};

QV_TEST(PublishRunTest)
#include "tst_publishrun.moc"
