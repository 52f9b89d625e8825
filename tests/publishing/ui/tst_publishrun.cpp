#include "FakeOutputJob.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/ImageUtility.h"
#include "output/security/BookSecurity.h"
#include "pages/FlashPageSourceImg.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "project/AppSettings.h"
#include "publishing/PhonePageRun.h"
#include "publishing/PluginSettings.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "templates/FlashTemplate.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <memory>

using namespace TestFiles;

namespace {

// A publish dialog over a one-page book with phone pages, publishing into folder
// through a fake engine; the report is recorded instead of shown.
struct Run
{
    Run(const QString &folder, int kind, FakeOutputJob::Outcome outcome, const QString &name = QStringLiteral("MyBook"),
        const std::function<void(PublishBookWindowDelegate &)> &setup = {})
        : source(std::make_unique<FlashPageSourceImg>()), d(std::make_unique<PublishBookWindowDelegate>()),
          outcome(outcome)
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
        d->runServices().makeJob = [this] {
            ++jobsMade;
            return std::make_shared<FakeOutputJob>(this->outcome);
        };
        d->runServices().showReport = [this](const QString &path, OutputKind kind, PublishRunServices::Uploads) {
            reports << QStringLiteral("%1 %2").arg(kind.number()).arg(path);
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
        return QTest::qWaitFor([this] { return !d->isStart() && !d->isWorkerRunning(); }, 10000);
    }
    std::shared_ptr<FakeOutputJob> job() const { return std::static_pointer_cast<FakeOutputJob>(d->outputJob()); }
    // Whether every control that changes the run is usable (true) or none is (false).
    bool controlsAre(bool usable) const
    {
        for (const char *name : {"btnPublic", "btnBrowse", "btnOPHtml", "btnAdvanced"})
            if (get(name)->isEnabled() != usable)
                return false;
        return field("txtOutputName")->isReadOnly() != usable && field("txtTitle")->isReadOnly() != usable;
    }

    std::unique_ptr<FlashPageSourceImg> source;
    std::unique_ptr<PublishBookWindowDelegate> d;
    FakeOutputJob::Outcome outcome;
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
        Run run(out, 0, FakeOutputJob::Write);
        run.field("txtOutputName")->clear();
        run.field("txtTitle")->clear();

        driver.answerAlert("Go Back");
        run.publish();
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
            Run run(out, 0, FakeOutputJob::Write);
            run.field("txtOutputName")->setText(name);
            driver.answerAlert("OK");
            run.publish();
            QVERIFY2(alertTexts(driver).value(0).contains("cannot be used"), qPrintable(name));
            QCOMPARE(run.jobsMade, 0);
        }
        QVERIFY(folderContents(out).isEmpty());

        // A folder that is a file, a folder below a file, a bookcase as an executable.
        UiTestDriver driver;
        Run inFile(folder("bad-file"), 0, FakeOutputJob::Write);
        Run underFile(folder("bad-file") + "/sub", 0, FakeOutputJob::Write);
        Run bookcase(out, 3, FakeOutputJob::Write, "Case", [](PublishBookWindowDelegate &d) { d.setIsBookcaseMode(true); });
        for (Run *run : {&inFile, &underFile, &bookcase}) {
            driver.answerAlert("OK");
            run->publish();
            QCOMPARE(run->jobsMade, 0);
        }
        QCOMPARE(driver.alerts().size(), 3);
        // The folder and the system's reason come with a folder that cannot be made.
        QCOMPARE(driver.alerts().value(1).detailedText,
                 folder("bad-file") + "/sub\n" + QString::fromLocal8Bit(std::strerror(ENOTDIR)));
        QCOMPARE(readFile(folder("bad-file")), QByteArray("a file"));
        QVERIFY(folderContents(out).isEmpty());
    }

    void cancelKeepsTheWindowAliveAndRestoresTheOlderBook()
    {
        const QString out = folder("cancel");
        writeOlderBook(out, "Older");
        const auto before = folderContents(out);
        UiTestDriver driver;
        Run run(out, 0, FakeOutputJob::WaitForCancel);
        run.d->showWindow();

        driver.answerAlert("YES");
        run.publish();
        QVERIFY(run.d->isStart() && run.d->isWorkerRunning());
        QVERIFY(run.controlsAre(false) && run.get("_infoView")->isVisibleTo(run.w));
        auto *bar = run.get<QProgressBar>("prgBar"); // a quarter done by the engine's first notification
        QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum() / 4);
        run.d->performClose(); // the close box is refused while the job runs
        QVERIFY(run.d->isWindowVisible());

        // Cancel returns at once; until the job has stopped the controls stay off and
        // the window stays open.
        run.cancel();
        QVERIFY(run.controlsAre(false) && !run.get("btnCancel")->isEnabled());
        run.d->performClose();
        QVERIFY(run.d->isWindowVisible());
        QVERIFY(run.finished());
        QVERIFY(run.controlsAre(true) && run.get("btnCancel")->isEnabled());
        QCOMPARE(folderContents(out), before);
        QCOMPARE(driver.alerts().size(), 1); // a cancel says nothing
        QVERIFY(run.reports.isEmpty());

        // Cancel without a job closes the dialog with 0.
        run.cancel();
        QTRY_VERIFY(!run.d->isWindowVisible());
        QCOMPARE(run.d->closeMode(), 0);
    }

    void failuresAreShownThenAPublishedBookIsReported()
    {
        const QString out = QDir::homePath() + "/home-book";
        writeFile(out + "/MyBook.html", "older page");
        UiTestDriver driver;
        Run run("~/publish-home/../home-book/", 0, FakeOutputJob::Fail);
        run.reportAnswer = 2;
        // An older page that cannot be moved aside stops the run before the job.
        run.d->publishBackup().setRenameFunction([](const QString &, const QString &) { return EACCES; });
        driver.answerAlert("YES");
        driver.answerAlert("OK");
        run.publish();
        QVERIFY(alertTexts(driver).value(1).contains(out + "/MyBook.html"));
        QCOMPARE(run.jobsMade, 0);

        // The engine fails: its reason is shown and the dialog stays usable.
        run.d->publishBackup().setRenameFunction(&PublishBackup::systemRename);
        driver.answerAlert("YES");
        driver.answerAlert("OK");
        run.publish();
        QVERIFY(run.finished());
        QVERIFY(driver.alerts().last().informativeText.contains("disk is full"));
        QCOMPARE(readFile(out + "/MyBook.html"), QByteArray("older page"));
        QVERIFY(run.controlsAre(true) && run.reports.isEmpty());

        // Written where the folder was checked: the report, then the dialog closes.
        run.outcome = FakeOutputJob::Write;
        driver.answerAlert("YES");
        run.publish();
        QVERIFY(run.finished());
        QCOMPARE(run.job()->convertPara().strOutputFolder(), out);
        QCOMPARE(readFile(out + "/MyBook.html"), QByteArray("new page"));
        QCOMPARE(run.reports, QStringList{"0 " + out + "/MyBook.html"});
        QCOMPARE(run.d->openPanelNumber(), 2);
        QCOMPARE(run.d->projectFilePath(), out);
        QTRY_COMPARE(run.d->closeMode(), 1);
    }

    void phonePagesAreMadeOrDeclined()
    {
        const QString out = folder("phone");
        UiTestDriver driver;
        Run declined(out, 0, FakeOutputJob::Write);
        declined.source->phonePages().clear();
        driver.answerAlert("Cancel");
        declined.publish();
        QVERIFY(declined.finished());
        QCOMPARE(declined.job()->convertPara().loadType(), 2);
        QCOMPARE(declined.d->convertPara().loadType(), 2);
        QVERIFY(!QFileInfo::exists(out + "/mobile"));

        // Made: the template's page ratio and the import quality give the size; every
        // picture stays with its page, also past a page whose picture was not made (the
        // engine makes that one), and the user's replacement is kept.
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultTemplateName())));
        QVERIFY(tmpl.setPropertyValue("pageWidth", "2000") && tmpl.setPropertyValue("pageHeight", "1000"));
        const QString made = folder("phone-made");
        Run run(folder("phone2"), 0, FakeOutputJob::Write, "MyBook", [&](PublishBookWindowDelegate &d) {
            d.setFlashTmpl(&tmpl);
        });
        run.source->phonePages().clear();
        for (int i = 2; i <= 4; ++i) {
            auto page = std::make_shared<FlashPageImage>();
            page->setPageFilePath(QStringLiteral("/pages/%1.png").arg(i));
            run.source->pages() << page;
        }
        QStringList snapped, shots;
        QSize snapSize;
        QSizeF reviewSize;
        run.d->runServices().batchSnap = [&](const QStringList &pages, const QString &workspace, qint64 w, qint64 h) {
            snapped = pages;
            snapSize = QSize(int(w), int(h));
            QStringList images;
            for (int i = 0; i < pages.size(); ++i) {
                images << QStringLiteral("%1/%2.jpg").arg(workspace).arg(i + 1);
                if (i != 0)
                    writeFile(images.last(), "picture");
            }
            return shots = images;
        };
        run.d->runServices().reviewPhonePages = [&](const QStringList &, const QStringList &images, double w, double h) {
            reviewSize = QSizeF(w, h);
            QStringList reviewed = images;
            writeFile(made + "/replaced.jpg", "replaced");
            reviewed[2] = made + "/replaced.jpg";
            return std::optional<QStringList>(reviewed);
        };
        driver.answerAlert("OK");
        run.publish();
        QVERIFY(run.finished());
        const double side = 10.0 * ImageUtility::getImageDPIByLevel(AppSettings::shareInstance()->importQualityLevel());
        QCOMPARE(snapSize, QSize(int(side), int(side / 2)));
        QCOMPARE(reviewSize, QSizeF(side, side / 2));
        QCOMPARE(snapped.size(), 4);
        QCOMPARE(PhonePageRun::phonePictures(*run.source),
                 QStringList({"", shots.value(1), made + "/replaced.jpg", shots.value(3)}));
        QCOMPARE(run.job()->flashPageSource()->phonePages().size(), 4);
    }
};

QV_TEST(PublishRunTest)
#include "tst_publishrun.moc"
