#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/AuxArgumentString.h"
#include "foundation/PropertyList.h"
#include "furnishings/CoverDesign.h"
#include "furnishings/CoverRenderer.h"
#include "publishing/BookCoverProgram.h"
#include "publishing/BookCoverRenderQueue.h"
#include "publishing/BookCoverSettings.h"
#include "publishing/BookCoverTemplates.h"
#include "publishing/BookCoverWorkFiles.h"

#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

// A photograph-like picture: red on the left, blue on the right, a white band across.
QString writeSourcePicture(const QString &path)
{
    QImage image(600, 800, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    for (int y = 0; y < image.height(); ++y)
        for (int x = image.width() / 2; x < image.width(); ++x)
            image.setPixelColor(x, y, QColor(30, 40, 210));
    for (int y = 380; y < 420; ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, Qt::white);
    image.save(path, "JPG", 95);
    return path;
}

// A plain design: one background colour, a green frame, no shadow, no title.
CoverDesign plainDesign()
{
    CoverDesign design;
    design.setCanvasSize(QSize(500, 400));
    design.setBackgroundKind(CoverDesign::BackgroundKind::Solid);
    design.setBackgroundColor(QColor(0x20, 0x60, 0x20));
    design.setPictureScale(0.8);
    design.setFrameWidth(10);
    design.setFrameColor(QColor(0xFF, 0xEE, 0x00));
    design.setShadowOpacity(0);
    design.setTitlePlace(CoverDesign::TitlePlace::None);
    return design;
}

bool near(const QColor &a, const QColor &b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

int runMaker(const QStringList &arguments)
{
    QProcess process;
    process.start(BookCoverProgram::getBookCoverExePath(), arguments);
    if (!process.waitForFinished(60000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// A stand-in cover maker: records its argument string, waits a little, copies the
// input picture to the output.
QString writeStandIn(const QString &folder, const QString &log)
{
    const QString path = folder + "/maker.sh";
    writeFile(path, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '%1'\nsleep 0.3\n").arg(log).toUtf8());
    changeFilePermistion(path, 0755);
    return path;
}

} // namespace

// The cover maker program, run as the book cover editor runs it.
class BookCoverMakerTest : public QObject
{
    Q_OBJECT
private slots:
    void rendersAPictureIntoItsDesign()
    {
        QVERIFY(BookCoverProgram::installBookCoverExe());
        QTemporaryDir dir;
        const QString picture = writeSourcePicture(dir.filePath("photo.jpg"));
        const QString config = dir.filePath("design.plist");
        QVERIFY(plainDesign().saveToFile(config));
        const QByteArray designBytes = readFile(config);
        const QString cover = dir.filePath("cover.png");

        QCOMPARE(runMaker(BookCoverProgram::arguments(picture, cover, config, true, false)), 0);
        const QImage image(cover);
        QCOMPARE(image.size(), QSize(500, 400));
        // The corners are background; the picture keeps its sides (red left, blue
        // right) inside the frame, and the design file was only read.
        QVERIFY(near(image.pixelColor(3, 3), QColor(0x20, 0x60, 0x20), 2));
        const QPolygonF quad = CoverRenderer::pictureQuad(QSize(600, 800), plainDesign());
        const QRectF box = quad.boundingRect();
        QVERIFY(near(image.pixelColor(int(box.left()) + 4, int(box.center().y())), QColor(0xFF, 0xEE, 0x00)));
        QVERIFY(near(image.pixelColor(int(box.left() + box.width() * 0.25), int(box.top() + box.height() * 0.25)),
                     QColor(200, 30, 30)));
        QVERIFY(near(image.pixelColor(int(box.left() + box.width() * 0.75), int(box.top() + box.height() * 0.25)),
                     QColor(30, 40, 210)));
        QVERIFY(near(image.pixelColor(int(box.center().x()) - 30, int(box.center().y())), Qt::white));
        QCOMPARE(readFile(config), designBytes);

        // Without a design file it is made with the default design.
        QFile::remove(config);
        QCOMPARE(runMaker(BookCoverProgram::arguments(picture, cover, config, false, false)), 0);
        CoverDesign made;
        QVERIFY(made.loadFromFile(config));
        QCOMPARE(made, CoverDesign());
        QCOMPARE(QImage(cover).size(), CoverDesign().canvasSize());
    }

    void refusesWhatItCannotUseAndKeepsTheFiles()
    {
        QVERIFY(BookCoverProgram::installBookCoverExe());
        QTemporaryDir dir;
        const QString picture = writeSourcePicture(dir.filePath("photo.jpg"));
        const QString cover = dir.filePath("cover.png");
        writeFile(cover, "old cover");

        // A design file of something else is left alone.
        const QString foreign = dir.filePath("foreign.plist");
        PropertyList::writeFile(foreign, QVariantMap{{"format", "Other"}});
        const QByteArray foreignBytes = readFile(foreign);
        QCOMPARE(runMaker(BookCoverProgram::arguments(picture, cover, foreign, false, false)), 4);
        QCOMPARE(readFile(foreign), foreignBytes);
        QCOMPARE(readFile(cover), QByteArray("old cover"));

        // An unreadable picture.
        const QString config = dir.filePath("design.plist");
        const QString broken = dir.filePath("broken.jpg");
        writeFile(broken, "not a picture");
        QCOMPARE(runMaker(BookCoverProgram::arguments(broken, cover, config, true, false)), 3);
        QCOMPARE(readFile(cover), QByteArray("old cover"));

        // A design with values outside their ranges is drawn within them.
        QVariantMap wild = CoverDesign().toDictionary();
        wild["width"] = 1000000;
        wild["height"] = -5;
        CoverDesign read;
        QVERIFY(read.readDictionary(wild));
        QCOMPARE(read.canvasSize(), QSize(CoverDesign::kMaxSide, CoverDesign::kMinSide));
    }

    void aTurnedPictureIsDrawnAlikeOnOneCoreOrMany()
    {
        QTemporaryDir dir;
        const QImage picture(writeSourcePicture(dir.filePath("photo.jpg")));
        CoverDesign design = plainDesign();
        design.setTurn(35);
        design.setShadowOpacity(0.6);
        design.setShadowBlur(30);
        design.setTitle("Almanac");
        const QPolygonF quad = CoverRenderer::pictureQuad(picture.size(), design);
        // The far (right) edge is shorter than the near one.
        QVERIFY(quad[2].y() - quad[1].y() < quad[3].y() - quad[0].y() - 10);
        CoverRenderer one(1), many(4);
        QCOMPARE(one.render(picture, design), many.render(picture, design));
    }

    void installsOverAnOlderReadOnlyCopyAndKeepsTheSettings()
    {
        BookCoverSettings settings;
        settings.outputFile = "/covers/out.png";
        settings.outputMode = BookCoverSettings::InsertPage;
        QVERIFY(settings.save());
        QVERIFY(!BookCoverSettings::settingFile().startsWith(BookCoverProgram::saveAppPath()));

        QVERIFY(BookCoverProgram::installBookCoverExe());
        const QString folder = BookCoverProgram::saveAppPath();
        makeTreeWritable(folder);
        writeFile(folder + "/.ver", "1");
        writeFile(folder + "/left-over", "x");
        changeFilePermistion(folder, 0555);
        QVERIFY(BookCoverProgram::installBookCoverExe());
        QCOMPARE(readFile(folder + "/.ver"), BookCoverProgram::packageVersion().toUtf8());
        QVERIFY(!QFileInfo::exists(folder + "/left-over"));
        QVERIFY(QFileInfo(BookCoverProgram::getBookCoverExePath()).isExecutable());
        QCOMPARE(BookCoverSettings::load().outputMode, qint64(BookCoverSettings::InsertPage));
    }

    void theCommandLineEscapesPathsOnly()
    {
        QTemporaryDir dir;
        const QString odd = dir.filePath("a|b=c.jpg");
        writeFile(odd, "x");
        const QString line = BookCoverProgram::argumentString(odd, "/o=.png", "/c.plist", true, true);
        QCOMPARE(AuxArgumentString::parse(line).value("i"), odd);
        QCOMPARE(AuxArgumentString::parse(line).value("o"), QStringLiteral("/o=.png"));
    }
};

// What the book cover editor keeps: settings, templates, working files, its runs.
class BookCoverFilesTest : public QObject
{
    Q_OBJECT
private slots:
    void settingsOutOfRangeAreBroughtInside()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(".settings");
        PropertyList::writeFile(file, QVariantMap{{"mode", 7}, {"index", -3}, {"input", 5}});
        const BookCoverSettings read = BookCoverSettings::load(file);
        QCOMPARE(read.outputMode, qint64(0));
        QCOMPARE(read.outputIndex, qint64(0));
        QVERIFY(read.inputFile.isEmpty());
        // A typed page number: modes 0 and 1 end at the last page, mode 2 after it.
        QCOMPARE(BookCoverSettings::indexForPageNumber(1, 99, 5), qint64(4));
        QCOMPARE(BookCoverSettings::indexForPageNumber(2, 99, 5), qint64(5));
        QCOMPARE(BookCoverSettings::indexForPageNumber(0, 0, 5), qint64(0));
        QCOMPARE(BookCoverSettings::boundedIndex(2, 40, 3), qint64(3));
    }

    void templatesStayInTheirFolder()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("Templates");
        const QString victim = dir.filePath("victim");
        writeFile(victim, "keep me");
        QDir().mkpath(folder);
        PropertyList::writeFile(folder + "/.template",
                                QVariantList{QVariantMap{{"Evil", "../victim"}}, QVariantMap{{"Dot", ".."}}});
        BookCoverTemplates templates(folder);
        templates.load();
        QCOMPARE(templates.names(), QStringList({"Evil"}));
        QVERIFY(templates.remove("Evil"));
        QCOMPARE(readFile(victim), QByteArray("keep me"));

        // Saving a known name again keeps its file and moves it to the front.
        const QString design = dir.filePath("design.plist");
        writeFile(design, "one");
        QVERIFY(templates.store("Blue", design));
        QVERIFY(templates.store("Red", design));
        const QString blueFile = templates.find("Blue")->fileName;
        writeFile(design, "two");
        QVERIFY(!templates.isSameDesign("Blue", design));
        QVERIFY(templates.store("Blue", design));
        QCOMPARE(templates.names(), QStringList({"Blue", "Red"}));
        QCOMPARE(templates.find("Blue")->fileName, blueFile);
        QVERIFY(templates.isSameDesign("Blue", design));
        BookCoverTemplates reread(folder);
        reread.load();
        QCOMPARE(reread.names(), QStringList({"Blue", "Red"}));
    }

    void workingFilesReachTheirDestinationsOrSayWhyNot()
    {
        QTemporaryDir dir;
        BookCoverWorkFiles files(dir.filePath("work"));
        TestPictures::writePicture(dir.filePath("page.png"), QSize(20, 30), Qt::red);
        QVERIFY(files.takeSource(dir.filePath("page.png")));
        QCOMPARE(QFileInfo(files.tmpinputFile()).fileName(), QString("inputFile.png"));
        writeFile(files.tmpoutputFile(), "new cover");
        writeFile(files.tmpconfigFile(), "design");

        // An existing cover is replaced.
        const QString out = dir.filePath("out/cover.png");
        writeFile(out, "old cover");
        QString error;
        QVERIFY(files.commit(out, dir.filePath("out/design.plist"), &error));
        QCOMPARE(readFile(out), QByteArray("new cover"));

        // A destination that cannot be written is said, and stays as it was.
        const QString taken = dir.filePath("out/taken.png");
        QDir().mkpath(taken + "/inside");
        QVERIFY(!files.commit(taken, QString(), &error));
        QVERIFY(error.contains("taken.png"));
        QVERIFY(QFileInfo(taken + "/inside").isDir());
    }

    void rendersRunOneAtATimeAndTheLatestWins()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath("runs.log");
        BookCoverRenderQueue queue;
        queue.setProgram(writeStandIn(dir.path(), log));
        QSignalSpy idle(&queue, &BookCoverRenderQueue::idle);
        queue.request({"", "/out/1.png", "/c.plist", true, false});
        queue.request({"", "/out/2.png", "/c.plist", true, false});
        queue.request({"", "/out/3.png", "/c.plist", false, false});
        QVERIFY(queue.isRunning());
        QVERIFY(idle.wait(10000));
        const QStringList runs = readText(log).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(runs.size(), 2);
        QVERIFY(runs[0].contains("o=/out/1.png"));
        // The waiting request was replaced, keeping its "the picture changed".
        QVERIFY(runs[1].contains("o=/out/3.png") && runs[1].contains("f=1"));

        // Cancel stops a run at once: a maker that would take a minute is ended.
        const QString slow = dir.filePath("slow.sh");
        writeFile(slow, QByteArray("#!/bin/sh\nexec sleep 60\n"));
        changeFilePermistion(slow, 0755);
        queue.setProgram(slow);
        queue.request({"", "/out/4.png", "/c.plist", false, false});
        queue.cancel();
        QVERIFY(idle.wait(30000));
    }
};

QV_TEST(BookCoverMakerTest)
QV_TEST(BookCoverFilesTest)
#include "tst_bookcover.moc"
