#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/PageImport.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "publishing/SWFSnapDelegate.h"
#include "publishing/ui/PublishBookWindowDelegate.h"
#include "publishing/ui/PublishRunServices.h"
#include "templates/FlashTemplate.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

const QColor kRed(0xE5, 0x39, 0x35);
const QColor kBlue(0x1E, 0x63, 0xC8);

bool near(const QColor &got, const QColor &want)
{
    return qAbs(got.red() - want.red()) < 30 && qAbs(got.green() - want.green()) < 30
           && qAbs(got.blue() - want.blue()) < 30;
}

} // namespace

class MovieSnapshotsTest : public QObject
{
    Q_OBJECT
private slots:
    void helperDrawsAMovieOrSaysWhyNot()
    {
        removeTree(SWFSnapDelegate::installFolder()); // the snapshot installs the real helper
        QTemporaryDir dir;
        const QString movie = dir.filePath("Page1.SWF");
        QVERIFY(writeFile(movie, TestPictures::rectangleSwf(kRed, 200, 100)));

        // The movie's picture fitted into the size: a wide band with white above and below.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(SWFSnapDelegate::singleSnap(movie, dir.filePath("1.jpg"), 300, 300));
        qInfo("one SWF page snapshot: %lld ms", clock.elapsed());
        const QImage shot(dir.filePath("1.jpg"));
        QCOMPARE(shot.size(), QSize(300, 300));
        QVERIFY2(near(shot.pixelColor(150, 150), kRed), qPrintable(shot.pixelColor(150, 150).name()));
        QVERIFY(near(shot.pixelColor(20, 100), kRed));
        QVERIFY(near(shot.pixelColor(150, 20), Qt::white));
        QVERIFY(near(shot.pixelColor(150, 280), Qt::white));

        // Where the player is missing the helper says why, soon, and writes nothing.
        QProcess helper;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QUORVEL_RESOURCES", dir.path());
        helper.setProcessEnvironment(environment);
        helper.start(SWFSnapDelegate::ZuziDORExePath(), {"i=" + movie + "|o=" + dir.filePath("2.jpg") + "|w=30|h=30"});
        QVERIFY(helper.waitForFinished(30000));
        QVERIFY(helper.exitCode() != 0);
        QVERIFY(helper.readAllStandardError().contains("ZuziDOR: "));
        QVERIFY(!QFileInfo::exists(dir.filePath("2.jpg")));
    }

    void bookOfMoviePagesCarriesTheirPhonePictures()
    {
        // A book whose pages are movies, with pictures for the desktop viewer.
        QTemporaryDir dir;
        ImportParament p;
        for (int i = 0; i < 2; ++i) {
            p.sourceFiles << dir.filePath(QStringLiteral("%1.png").arg(i + 1));
            QVERIFY(TestPictures::writePicture(p.sourceFiles.last(), QSize(300, 400), Qt::darkYellow));
        }
        PageImport import(p, dir.filePath("workspace"));
        QVERIFY(import.run());
        std::shared_ptr<FlashPageSource> source = import.pageSource();
        source->phonePages().clear();
        const QColor colours[] = {kRed, kBlue};
        for (int i = 0; i < 2; ++i) {
            const QString movie = dir.filePath(QStringLiteral("movie%1.swf").arg(i + 1));
            QVERIFY(writeFile(movie, TestPictures::rectangleSwf(colours[i], 300, 400)));
            auto page = std::make_shared<FlashPage>();
            page->setPageFilePath(movie);
            page->setPageIndex(i + 1);
            source->pages()[i] = page;
        }
        FlashTemplate tmpl;
        QVERIFY(tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultTemplateName())));

        // Published as a web folder by the program's own snapshots, review and engine.
        const QString out = dir.filePath("out");
        UiTestDriver driver;
        PublishBookWindowDelegate publish;
        publish.setFlashPageSource(source.get());
        publish.setFlashTmpl(&tmpl);
        ConvertParament convert;
        convert.setIOutputType(0);
        convert.setStrOutputName(QStringLiteral("Movies"));
        convert.setStrTitle(QStringLiteral("Movies"));
        convert.setStrOutputFolder(out);
        publish.setConvertPara(convert);
        publish.setRunServices(PublishRunServices::standard());
        publish.runServices().showReport = [](const QString &, OutputKind, PublishRunServices::Uploads) { return 0; };
        driver.answerAlert("OK"); // make the phone pages
        driver.answerModal([](WindowController *review) { review->closeWindowWithCode(1); });
        publish.window()->findChild<QAbstractButton *>("btnPublic")->click();
        QVERIFY(QTest::qWaitFor([&] { return !publish.isStart() && !publish.isWorkerRunning(); }, 240000));
        QCOMPARE(driver.modalRuns(), QStringList{"ImageBrowser"});

        // Each phone page is its movie's picture.
        for (int i = 0; i < 2; ++i) {
            const QImage phone(out + QStringLiteral("/mobile/files/page/%1.jpg").arg(i + 1));
            QVERIFY2(!phone.isNull(), qPrintable(QString::number(i + 1)));
            QVERIFY(near(phone.pixelColor(phone.width() / 2, phone.height() / 2), colours[i]));
        }
        QVERIFY(QFileInfo(out + "/files/swf/1.swf").isFile());
    }
};

QV_TEST(MovieSnapshotsTest)
#include "tst_moviesnapshots.moc"
