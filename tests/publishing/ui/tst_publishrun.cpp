#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/ImageUtility.h"
#include "output/security/BookSecurity.h"
#include "output/ConvertBookInfo.h"
#include "output/OutputOperation.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/PageImport.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "project/AppSettings.h"
#include "project/RecentProjectItem.h"
#include "publishing/PluginSettings.h"
#include "publishing/ui/ImageBrowser.h"
#include "publishing/ui/OutputReport.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "templates/FlashTemplate.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cerrno>
#include <cstring>

#include <cerrno>
#include <memory>

using namespace TestFiles;

namespace {

// An older book of another name in folder: its page, "files" and "mobile".
void writeOlderBook(const QString &folder, const QString &name = QStringLiteral("Older"))
{
    writeFile(folder + "/" + name + ".html", "older page");
    writeFile(folder + "/files/page/1.jpg", "older picture");
    writeFile(folder + "/mobile/index.html", "older phone page");
}

// Stands in for the output engine: writes a small book, fails, or waits to be cancelled.
class FakeEngine : public OutputOperation
{
public:
    enum Outcome { Write, Fail, FailWithoutReason, WaitForCancel, UnknownStatus };
    explicit FakeEngine(Outcome outcome) : m_outcome(outcome) {}
    std::atomic_bool running{false};

protected:
    void main() override
    {
        running = true;
        const ConvertParament p = convertPara();
        const QString base = p.strOutputFolder() + "/" + p.strOutputName();
        // What a failing engine leaves behind: part of the book where it belongs.
        const QString half = p.iOutputType() == 0 && !p.compressToZip() ? p.strOutputFolder() + "/files/half.jpg"
                                                                        : base + (p.iOutputType() == 3 ? ".exe" : ".zip");
        NotificationCenter::defaultCenter()->postNotification(
            ConvertBookNotification, this,
            {{"id", taskID()}, {"index", 1}, {"count", 4}, {"type", int(ConvertStep::NormalPages)}});
        switch (m_outcome) {
        case Write:
            if (p.iOutputType() == 0 && !p.compressToZip()) {
                writeFile(base + ".html", "new page");
                writeFile(p.strOutputFolder() + "/files/page/1.jpg", "new picture");
                if (p.loadType() != 2)
                    writeFile(p.strOutputFolder() + "/mobile/index.html", "new phone page");
                finishWith(StatusWritten, p.strOutputFolder());
            } else {
                const QString file = base + (p.iOutputType() == 3 ? ".exe" : ".zip");
                writeFile(file, "new archive");
                finishWith(StatusWritten, file);
            }
            return;
        case Fail:
            writeFile(half, "half written");
            finishWith(StatusFailed, QString(), WorkerException("The disk is full."));
            return;
        case FailWithoutReason:
            finishWith(StatusFailed, QString());
            return;
        case WaitForCancel:
            writeFile(half, "half written");
            while (!isCancelled())
                QThread::msleep(5);
            QThread::msleep(200); // an engine takes a moment to stop
            finishWith(StatusCancelled, QString());
            return;
        case UnknownStatus:
            finishWith(7, QString());
            return;
        }
    }

private:
    Outcome m_outcome;
};

// A publish dialog over a one-page book with phone pages, publishing into folder
// through a fake engine; the report is recorded instead of shown.
struct Run
{
    Run(const QString &folder, int kind, FakeEngine::Outcome outcome, const QString &name = QStringLiteral("MyBook"),
        const std::function<void(PublishBookWindowDelegate &)> &setup = {})
        : source(std::make_unique<FlashPageSourceImg>()), d(std::make_unique<PublishBookWindowDelegate>())
    {
        auto page = std::make_shared<FlashPageImage>();
        page->setPageFilePath(folder + "/../page1.png");
        source->pages() << page;
        source->phonePages() << page;
        d->setFlashPageSource(source.get());
        ConvertParament p;
        p.setIOutputType(kind);
        p.setStrOutputName(name);
        p.setStrTitle(QStringLiteral("A Title"));
        p.setStrOutputFolder(folder);
        d->setConvertPara(p);
        d->runServices().makeJob = [this, outcome] {
            ++jobsMade;
            return std::make_shared<FakeEngine>(outcome);
        };
        d->runServices().showReport = [this](const QString &path, int kind) {
            reports << QStringLiteral("%1 %2").arg(kind).arg(path);
            return reportAnswer;
        };
        if (setup)
            setup(*d);
        w = d->window();
    }
    template <class T = QWidget>
    T *get(const char *name) const
    {
        T *found = w->findChild<T *>(name);
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QLineEdit *field(const char *name) const { return get<QLineEdit>(name); }
    void publish() { get<QAbstractButton>("btnPublic")->click(); }
    void cancel() { get<QAbstractButton>("btnCancel")->click(); }
    // Waits until the run that publish() started has finished.
    bool finished() const
    {
        QElapsedTimer clock;
        clock.start();
        while ((d->isStart() || d->isWorkerRunning()) && clock.elapsed() < 10000)
            QTest::qWait(10);
        return !d->isStart() && !d->isWorkerRunning();
    }
    std::shared_ptr<FakeEngine> job() const { return std::static_pointer_cast<FakeEngine>(d->outputJob()); }
    bool controlsEnabled() const
    {
        return get("btnPublic")->isEnabled() && get("btnBrowse")->isEnabled() && !field("txtOutputName")->isReadOnly();
    }

    std::unique_ptr<FlashPageSourceImg> source;
    std::unique_ptr<PublishBookWindowDelegate> d;
    QvWindow *w = nullptr;
    int jobsMade = 0;
    QStringList reports;
    int reportAnswer = 0;
};

QStringList alertTexts(const UiTestDriver &driver)
{
    QStringList texts;
    for (const UiTestDriver::ShownAlert &alert : driver.alerts())
        texts << alert.messageText;
    return texts;
}

} // namespace

class PublishRunTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString folder(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void init()
    {
        QFile::remove(PluginSettings::defaultFilePath());
        BookSecurity::shareInstance()->setSecurityType(0);
    }

    void emptyNameAndTitleAreAskedFor()
    {
        const QString out = folder("names");
        UiTestDriver driver;
        Run run(out, 0, FakeEngine::Write);
        run.field("txtOutputName")->clear();
        run.field("txtTitle")->clear();

        driver.answerAlert("Go Back");
        run.publish();
        const UiTestDriver::ShownAlert both = driver.alerts().value(0);
        QCOMPARE(both.messageText, QStringLiteral("Warning"));
        QCOMPARE(both.informativeText, QStringLiteral("1.Input the file name!\n2.Input the title recommend."));
        QCOMPARE(both.buttons, (QStringList{"Go Back", "Default Input"}));
        QCOMPARE(both.style, AlertStyle::Warning);
        QVERIFY(run.field("txtOutputName")->text().isEmpty());

        driver.answerAlert("Default Input");
        run.publish();
        QCOMPARE(run.field("txtOutputName")->text() + "/" + run.field("txtTitle")->text(), QStringLiteral("Index/Demo"));
        QCOMPARE(run.jobsMade, 0);
        QVERIFY(!QFileInfo::exists(out)); // nothing written before the user publishes again

        // A missing title alone may be ignored: the book is published without one.
        run.field("txtTitle")->clear();
        driver.answerAlert("Ignore");
        run.publish();
        const UiTestDriver::ShownAlert titleOnly = driver.alerts().value(2);
        QCOMPARE(titleOnly.informativeText, QStringLiteral("1.Input the title recommend."));
        QCOMPARE(titleOnly.buttons, (QStringList{"Ignore", "Default Input"}));
        QVERIFY(run.finished());
        QCOMPARE(run.job()->convertPara().strTitle(), QString());
        QCOMPARE(run.reports, QStringList{"0 " + out + "/Index.html"});
    }

    void badNamesAndFoldersWriteNothing()
    {
        const QString out = folder("bad");
        QDir().mkpath(out);
        writeFile(folder("bad-file"), "a file");
        for (const QString &name : QStringList{"a/b", "..", "."}) {
            UiTestDriver driver;
            Run run(out, 0, FakeEngine::Write);
            run.field("txtOutputName")->setText(name);
            driver.answerAlert("OK");
            run.publish();
            QVERIFY2(alertTexts(driver).value(0).contains("cannot be used"), qPrintable(name));
            QCOMPARE(run.jobsMade, 0);
        }
        QVERIFY(folderContents(out).isEmpty());

        UiTestDriver driver;
        Run inFile(folder("bad-file"), 0, FakeEngine::Write);
        driver.answerAlert("OK");
        inFile.publish();
        QCOMPARE(alertTexts(driver), QStringList{"\"" + folder("bad-file") + "\" is a file, not a folder."});
        QCOMPARE(readFile(folder("bad-file")), QByteArray("a file"));

        Run underFile(folder("bad-file") + "/sub", 0, FakeEngine::Write);
        driver.answerAlert("OK");
        underFile.publish();
        QCOMPARE(driver.alerts().last().messageText, QStringLiteral("Failed to Create the directory !"));
        // The folder and the system's reason come with it.
        QCOMPARE(driver.alerts().last().detailedText,
                 folder("bad-file") + "/sub\n" + QString::fromLocal8Bit(std::strerror(ENOTDIR)));

        Run bookcase(out, 3, FakeEngine::Write, "Case", [](PublishBookWindowDelegate &d) { d.setIsBookcaseMode(true); });
        driver.answerAlert("OK");
        bookcase.publish();
        QCOMPARE(driver.alerts().last().informativeText, QStringLiteral("Convert bookcase into *.exe is not supported!"));
        QCOMPARE(inFile.jobsMade + underFile.jobsMade + bookcase.jobsMade, 0);
    }

    void cancelKeepsTheWindowAliveAndRestoresTheOlderBook()
    {
        const QString out = folder("cancel");
        writeOlderBook(out);
        const auto before = folderContents(out);
        UiTestDriver driver;
        Run run(out, 0, FakeEngine::WaitForCancel);
        run.d->showWindow();

        driver.answerAlert("NO");
        run.publish();
        QCOMPARE(driver.alerts().value(0).messageText,
                 QStringLiteral("\"files\" folder already exists in the folder \"cancel\". Do you want to replace it?"));
        QCOMPARE(run.jobsMade, 0);
        QCOMPARE(folderContents(out), before);

        driver.answerAlert("YES");
        run.publish();
        QVERIFY(run.d->isStart() && run.d->isWorkerRunning());
        QTRY_VERIFY(run.job()->running);
        QVERIFY(!run.controlsEnabled() && run.get("_infoView")->isVisibleTo(run.w));
        // The older book's companions are out of the way; the page of another name stays.
        QVERIFY(!QFileInfo::exists(out + "/files/page/1.jpg") && !QFileInfo::exists(out + "/mobile"));
        QCOMPARE(readFile(out + "/Older.html"), QByteArray("older page"));
        QCOMPARE(run.d->backupPathDict().size(), 2);
        run.d->performClose(); // the close box is refused while the job runs
        QVERIFY(run.d->isWindowVisible());

        // While the job stops, the window keeps handling events with its controls off.
        bool firedDuringCancel = false;
        bool disabledDuringCancel = false;
        QTimer::singleShot(50, [&] {
            firedDuringCancel = run.d->outputJob() && !run.d->outputJob()->isFinished();
            disabledDuringCancel = !run.controlsEnabled() && !run.get("btnCancel")->isEnabled();
        });
        run.cancel();
        QVERIFY(firedDuringCancel && disabledDuringCancel);
        QVERIFY(!run.d->isStart() && !run.d->isWorkerRunning());
        QCOMPARE(run.job()->status(), OutputOperation::StatusCancelled);
        QVERIFY(run.controlsEnabled() && run.get("btnCancel")->isEnabled());
        QCOMPARE(folderContents(out), before);
        QCOMPARE(driver.alerts().size(), 2); // a cancel says nothing
        QVERIFY(run.reports.isEmpty());
        QVERIFY(run.d->isWindowVisible());

        // Cancel without a job closes the dialog with 0.
        run.cancel();
        QTRY_VERIFY(!run.d->isWindowVisible());
        QCOMPARE(run.d->closeMode(), 0);
    }

    void mobileFolderAloneIsAskedAboutAndReplaced()
    {
        const QString out = folder("mobile");
        writeFile(out + "/mobile/index.html", "someone's phone pages");
        writeFile(out + "/notes.txt", "notes");
        UiTestDriver driver;
        Run run(out, 0, FakeEngine::Write);
        run.reportAnswer = 2;
        driver.answerAlert("YES");
        run.publish();
        QCOMPARE(driver.alerts().value(0).messageText,
                 QStringLiteral("\"mobile\" folder already exists in the folder \"mobile\". Do you want to replace it?"));
        QVERIFY(run.finished());
        QCOMPARE(readFile(out + "/mobile/index.html"), QByteArray("new phone page"));
        QCOMPARE(readFile(out + "/notes.txt"), QByteArray("notes"));
        QCOMPARE(run.reports, QStringList{"0 " + out + "/MyBook.html"});
        QCOMPARE(run.d->openPanelNumber(), 2);
        QCOMPARE(run.d->projectFilePath(), out);
        QTRY_COMPARE(run.d->closeMode(), 1);
        // Recorded as the web book it is, by its page.
        QCOMPARE(RecentProjectItem::recentProjects().value(0), RecentProjectItem("A Title", out + "/MyBook.html", 0));
        const QString backup = run.d->backupFilePath();
        QVERIFY(backup.isEmpty() || !QFileInfo::exists(backup));

        // Without a phone version the "mobile" folder is none of the run's business.
        const QString other = folder("mobile2");
        writeFile(other + "/mobile/index.html", "someone's phone pages");
        Run noPhone(other, 0, FakeEngine::Write, "MyBook",
                    [](PublishBookWindowDelegate &d) { d.convertPara().setLoadType(2); });
        noPhone.publish();
        QVERIFY(noPhone.finished());
        QCOMPARE(readFile(other + "/mobile/index.html"), QByteArray("someone's phone pages"));
        QCOMPARE(driver.alerts().size(), 1);
    }

    void twoFailedRunsKeepTheFirstBookRestored()
    {
        const QString first = folder("first");
        writeOlderBook(first, "MyBook");
        const auto before = folderContents(first);
        UiTestDriver driver;
        Run run(first, 0, FakeEngine::Fail);
        driver.answerAlert("YES");
        driver.answerAlert("OK");
        run.publish();
        QVERIFY(run.finished());
        QCOMPARE(driver.alerts().value(0).messageText, QStringLiteral("\"MyBook.html\" already exists. Do you want to replace it?"));
        QCOMPARE(driver.alerts().value(0).informativeText,
                 QStringLiteral("A project with the same name already exists in the folder \"first\". Replacing it will "
                                "overwrite its current contents."));
        QCOMPARE(driver.alerts().value(1).informativeText, QStringLiteral("The disk is full."));
        QCOMPARE(folderContents(first), before);
        QVERIFY(run.d->backupPathDict().isEmpty());

        // A second failed run into a new folder leaves the first folder alone.
        run.field("txtOutputFolder")->setText(folder("second"));
        driver.answerAlert("OK");
        run.publish();
        QVERIFY(run.finished());
        QCOMPARE(run.jobsMade, 2);
        QCOMPARE(folderContents(first), before);
        QVERIFY(run.controlsEnabled());
        QVERIFY(run.reports.isEmpty());
    }

    void packedWebFolderGetsTheUsersName()
    {
        const QString out = folder("zip");
        writeFile(out + "/MyBook.zip", "older archive");
        writeFile(out + "/index.zip", "someone's index");
        UiTestDriver driver;
        auto zipped = [](PublishBookWindowDelegate &d) { d.convertPara().setCompressToZip(true); };
        Run run(out, 0, FakeEngine::Write, "MyBook", zipped);

        driver.answerAlert("YES");
        driver.answerAlert("NO"); // declining either question moves nothing
        run.publish();
        QCOMPARE(alertTexts(driver), (QStringList{"\"MyBook.zip\" already exists. Do you want to replace it?",
                                                  "\"index.zip\" already exists. Do you want to replace it?"}));
        QCOMPARE(run.jobsMade, 0);
        QCOMPARE(readFile(out + "/MyBook.zip"), QByteArray("older archive"));

        driver.answerAlert("YES");
        driver.answerAlert("YES");
        run.publish();
        QVERIFY(run.finished());
        QCOMPARE(run.job()->convertPara().strOutputName(), QStringLiteral("index"));
        QCOMPARE(run.d->convertPara().strOutputName(), QStringLiteral("MyBook"));
        QCOMPARE(readFile(out + "/MyBook.zip"), QByteArray("new archive"));
        QCOMPARE(readFile(out + "/index.zip"), QByteArray("someone's index")); // only borrowed
        QCOMPARE(run.reports, QStringList{"0 " + out + "/MyBook.zip"});
        QCOMPARE(run.d->projectFilePath(), out + "/MyBook.zip");

        // A book named "index" stays index.zip.
        const QString plain = folder("zip-index");
        Run index(plain, 0, FakeEngine::Write, "index", zipped);
        index.publish();
        QVERIFY(index.finished());
        QCOMPARE(folderContents(plain), (QMap<QString, QByteArray>{{"index.zip", "new archive"}}));
        QCOMPARE(index.reports, QStringList{"0 " + plain + "/index.zip"});
    }

    void packedWebFolderThatFailsKeepsBothArchives_data()
    {
        QTest::addColumn<int>("outcome");
        QTest::newRow("failed") << int(FakeEngine::Fail);
        QTest::newRow("cancelled") << int(FakeEngine::WaitForCancel);
    }

    void packedWebFolderThatFailsKeepsBothArchives()
    {
        QFETCH(int, outcome);
        const QString out = folder(QStringLiteral("zip-fail-%1").arg(outcome));
        writeFile(out + "/MyBook.zip", "older archive");
        writeFile(out + "/index.zip", "someone's index");
        const auto before = folderContents(out);
        UiTestDriver driver;
        Run run(out, 0, FakeEngine::Outcome(outcome), "MyBook",
                [](PublishBookWindowDelegate &d) { d.convertPara().setCompressToZip(true); });
        driver.answerAlert("YES");
        driver.answerAlert("YES");
        if (outcome == FakeEngine::Fail)
            driver.answerAlert("OK");
        run.publish();
        if (outcome == FakeEngine::WaitForCancel) {
            QTRY_VERIFY(run.job()->running);
            run.cancel();
        }
        QVERIFY(run.finished());
        QCOMPARE(folderContents(out), before);
        QCOMPARE(run.d->convertPara().strOutputName(), QStringLiteral("MyBook"));
        QCOMPARE(run.field("txtOutputName")->text(), QStringLiteral("MyBook"));
    }

    void movesThatFailLoseNothing()
    {
        const QString out = folder("moves");
        writeOlderBook(out, "MyBook");
        const auto before = folderContents(out);
        UiTestDriver driver;
        Run run(out, 0, FakeEngine::Fail);

        // A move aside that fails stops the run and puts back what was moved before it.
        run.d->publishBackup().setRenameFunction([](const QString &from, const QString &to) {
            return from.endsWith("/files") ? EACCES : PublishBackup::systemRename(from, to);
        });
        driver.answerAlert("YES");
        driver.answerAlert("OK");
        run.publish();
        QCOMPARE(driver.alerts().last().messageText, QString("\"" + out + "/files\" could not be moved out of the way."));
        QCOMPARE(run.jobsMade, 0);
        QCOMPARE(folderContents(out), before);
        QVERIFY(run.controlsEnabled());

        // A move back that fails keeps the older book in the backup folder and says where.
        QString backupFolder;
        run.d->publishBackup().setRenameFunction([&](const QString &from, const QString &to) {
            backupFolder = run.d->backupFilePath();
            return from.startsWith(backupFolder + "/") ? EACCES : PublishBackup::systemRename(from, to);
        });
        driver.answerAlert("YES");
        driver.answerAlert("OK");
        driver.answerAlert("OK");
        run.publish();
        QVERIFY(run.finished());
        const UiTestDriver::ShownAlert kept = driver.alerts().value(driver.alerts().size() - 2);
        QCOMPARE(kept.messageText, QStringLiteral("Some older files could not be put back."));
        QVERIFY(kept.informativeText.contains(backupFolder));
        QCOMPARE(driver.alerts().last().informativeText, QStringLiteral("The disk is full."));
        QCOMPARE(readFile(backupFolder + "/MyBook.html"), QByteArray("older page"));
        QCOMPARE(readFile(backupFolder + "/files/page/1.jpg"), QByteArray("older picture"));

        // The next run neither empties nor reuses that folder.
        run.d->publishBackup().setRenameFunction(&PublishBackup::systemRename);
        driver.answerAlert("OK");
        run.publish();
        QVERIFY(run.finished());
        QVERIFY(run.d->backupFilePath() != backupFolder);
        QCOMPARE(readFile(backupFolder + "/MyBook.html"), QByteArray("older page"));
        removeTree(backupFolder);
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("reason");
        QTest::newRow("with a reason") << int(FakeEngine::Fail) << "The disk is full.";
        QTest::newRow("without a reason") << int(FakeEngine::FailWithoutReason) << "The output stopped without saying why.";
        QTest::newRow("unknown status") << int(FakeEngine::UnknownStatus) << "The output ended in an unknown state (7).";
    }

    void failuresAreReported()
    {
        QFETCH(int, outcome);
        QFETCH(QString, reason);
        const QString out = folder(QStringLiteral("fail-%1").arg(outcome));
        UiTestDriver driver;
        Run run(out, 3, FakeEngine::Outcome(outcome));
        driver.answerAlert("OK");
        run.publish();
        QVERIFY(run.finished());
        QCOMPARE(driver.alerts().size(), 1);
        QCOMPARE(driver.alerts().first().messageText, QStringLiteral("The book could not be published."));
        QCOMPARE(driver.alerts().first().informativeText, reason);
        QVERIFY(run.controlsEnabled());
        QVERIFY(run.reports.isEmpty());
        QVERIFY(RecentProjectItem::recentProjects().isEmpty() || RecentProjectItem::recentProjects().first().path() != out);
    }

    void progressShowsOnlyItsOwnRun()
    {
        const QString out = folder("progress");
        UiTestDriver driver;
        Run run(out, 0, FakeEngine::WaitForCancel, "MyBook",
                [](PublishBookWindowDelegate &d) { d.convertPara().setCompressToZip(true); });
        run.publish();
        auto *bar = run.get<QProgressBar>("prgBar");
        auto *label = run.get<QLabel>("lblInfo");
        QCOMPARE(bar->maximum(), 0); // indeterminate until the first notification
        QTRY_COMPARE(label->text(), QStringLiteral("Preparing normal page..."));
        QCOMPARE(bar->value(), bar->maximum() / 4);

        const QString id = run.d->taskID();
        QVERIFY(!id.isEmpty() && id == run.job()->taskID() && run.job()->isProcess());
        auto notify = [&](const QVariant &task, int index, int count, int type) {
            run.d->innerConvertMSG({{"id", task}, {"index", index}, {"count", count}, {"type", type}});
        };
        notify("another run", 4, 4, 3);
        QCOMPARE(bar->value(), bar->maximum() / 4);
        QCOMPARE(label->text(), QStringLiteral("Preparing normal page..."));
        notify(id, 3, 0, 6); // no count: the bar stays, the label moves on
        QCOMPARE(bar->value(), bar->maximum() / 4);
        QCOMPARE(label->text(), QStringLiteral("Preparing search files..."));
        notify(id, 1, 2, 42);
        QCOMPARE(bar->value(), bar->maximum() / 2);
        QCOMPARE(label->text(), QStringLiteral("Preparing search files..."));
        notify(id, 2, 2, 16);
        QCOMPARE(label->text(), QStringLiteral("Compressing the book..."));

        run.cancel();
        notify(id, 0, 2, 1); // after the run nothing moves
        QCOMPARE(label->text(), QStringLiteral("Compressing the book..."));
    }

    void phonePagesAreMadeOrDeclined()
    {
        const QString out = folder("phone");
        UiTestDriver driver;
        Run declined(out, 0, FakeEngine::Write);
        declined.source->phonePages().clear();
        driver.answerAlert("Cancel");
        declined.publish();
        QCOMPARE(driver.alerts().value(0).messageText, QStringLiteral("No any images for mobile version!"));
        QVERIFY(declined.finished());
        QCOMPARE(declined.job()->convertPara().loadType(), 2);
        QCOMPARE(declined.d->convertPara().loadType(), 2);
        QVERIFY(!QFileInfo::exists(out + "/mobile"));

        // Made: the template's page ratio and the import quality give the size; only
        // pictures that exist, up to the first one missing, become phone pages.
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultTemplateName())));
        QVERIFY(tmpl.setPropertyValue("pageWidth", "2000") && tmpl.setPropertyValue("pageHeight", "1000"));
        const QString made = folder("phone-made");
        Run run(folder("phone2"), 0, FakeEngine::Write, "MyBook", [&](PublishBookWindowDelegate &d) {
            d.setFlashTmpl(&tmpl);
        });
        run.source->phonePages().clear();
        for (int i = 2; i <= 4; ++i) {
            auto page = std::make_shared<FlashPageImage>();
            page->setPageFilePath(QStringLiteral("/pages/%1.png").arg(i));
            run.source->pages() << page;
        }
        QStringList snapped;
        QSize snapSize;
        QSizeF reviewSize;
        run.d->runServices().batchSnap = [&](const QStringList &pages, const QString &workspace, qint64 w, qint64 h) {
            snapped = pages;
            snapSize = QSize(int(w), int(h));
            QStringList images;
            for (int i = 0; i < pages.size(); ++i) {
                images << QStringLiteral("%1/%2.jpg").arg(workspace).arg(i + 1);
                if (i != 2)
                    writeFile(images.last(), "picture");
            }
            return images;
        };
        run.d->runServices().reviewPhonePages = [&](const QStringList &, const QStringList &images, double w, double h) {
            reviewSize = QSizeF(w, h);
            QStringList reviewed = images;
            writeFile(made + "/replaced.jpg", "replaced");
            reviewed[1] = made + "/replaced.jpg";
            return std::optional<QStringList>(reviewed);
        };
        driver.answerAlert("OK");
        run.publish();
        QVERIFY(run.finished());
        const double side = 10.0 * ImageUtility::getImageDPIByLevel(AppSettings::shareInstance()->importQualityLevel());
        QCOMPARE(snapSize, QSize(int(side), int(side / 2)));
        QCOMPARE(reviewSize, QSizeF(side, side / 2));
        QCOMPARE(snapped.size(), 4);
        QCOMPARE(snapped.first(), folder("phone2") + "/../page1.png");
        QCOMPARE(run.source->phonePages().size(), 2);
        QCOMPARE(run.source->phonePages().at(1)->pageFilePath(), made + "/replaced.jpg");
        QCOMPARE(run.source->phonePages().at(1)->pageIndex(), 2);
        QVERIFY(run.source->phonePages().at(0)->isImage());
        QCOMPARE(run.job()->flashPageSource()->phonePages().size(), 2);
        QVERIFY(run.get("_infoView")->isHidden());

    }

    void jobWritesWhereTheFolderWasChecked()
    {
        UiTestDriver driver;
        Run run("~/publish-home/../home-book/", 0, FakeEngine::Write);
        run.publish();
        QVERIFY(run.finished());
        QCOMPARE(run.job()->convertPara().strOutputFolder(), QDir::homePath() + "/home-book");
        QCOMPARE(run.reports, QStringList{"0 " + QDir::homePath() + "/home-book/MyBook.html"});
        QVERIFY(QFileInfo::exists(QDir::homePath() + "/home-book/MyBook.html"));
    }

    void realRunMakesPhonePagesAndPublishesAWebFolder()
    {
        QTemporaryDir dir;
        ImportParament p;
        for (int i = 0; i < 2; ++i) {
            QImage picture(300, 400, QImage::Format_RGB32);
            picture.fill(i ? Qt::darkCyan : Qt::darkYellow);
            p.sourceFiles << dir.filePath(QStringLiteral("%1.png").arg(i + 1));
            QVERIFY(picture.save(p.sourceFiles.last()));
        }
        p.iQualityLevel = 2;
        PageImport import(p, dir.filePath("workspace"));
        QVERIFY(import.run());
        std::shared_ptr<FlashPageSource> source = import.pageSource();
        source->phonePages().clear();
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultTemplateName())));

        // The program's own snapshots, review, engine and report.
        const QString out = dir.filePath("out");
        UiTestDriver driver;
        Run run(out, 0, FakeEngine::Write, "Real", [&](PublishBookWindowDelegate &d) {
            d.setFlashPageSource(source.get());
            d.setFlashTmpl(&tmpl);
            d.setRunServices(PublishRunServices::standard());
        });
        QStringList reviewed;
        QString reported;
        driver.answerAlert("OK");
        driver.answerModal([&](WindowController *browser) {
            reviewed = static_cast<ImageBrowser *>(browser)->images();
            browser->closeWindowWithCode(1);
        });
        driver.answerModal([&](WindowController *report) {
            reported = static_cast<OutputReport *>(report)->outputFileName();
            report->closeWindowWithCode(0);
        });
        run.publish();
        QVERIFY(run.finished());
        QCOMPARE(driver.modalRuns(), (QStringList{"ImageBrowser", "OutputReport"}));
        QCOMPARE(reviewed.size(), 2);
        QCOMPARE(source->phonePages().size(), 2);
        const int side = 10 * ImageUtility::getImageDPIByLevel(AppSettings::shareInstance()->importQualityLevel());
        QCOMPARE(QImage(reviewed.first()).size(), QSize(side * 3 / 4, side)); // the template's 1080 by 1440
        QCOMPARE(run.d->outputJob()->status(), OutputOperation::StatusWritten);
        QCOMPARE(reported, out + "/Real.html");
        QVERIFY(readFile(out + "/Real.html").contains("<html"));
        QVERIFY(QFileInfo(out + "/mobile/files/page/1.jpg").isFile());
        QTRY_COMPARE(run.d->closeMode(), 1);
    }
};

QV_TEST(PublishRunTest)
#include "tst_publishrun.moc"
