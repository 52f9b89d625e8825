#include "FailingWrites.h"
#include "OutputFixtures.h"
#include "PackageChecks.h"
#include "PackageTestData.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/ZipExtractor.h"
#include "online/UploadBookDelegate.h"
#include "output/ConvertBookInfo.h"
#include "output/OutputOperation.h"
#include "output/packages/PackageTemplates.h"
#include "output/packages/PublishPlugin.h"
#include "pages/FlashPageSource.h"
#include "output/packages/AppBookDefaults.h"
#include "templates/FlashTemplate.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

using namespace OutputFixtures;
using namespace TestFiles;
using PackageChecks::confOf;
using PackageChecks::iconsOf;
using PackageChecks::infoOf;

namespace {

const QString kTitle = QStringLiteral("Atlas & \"Friends\"");

} // namespace

// Publishing a book imported from a real PDF as a macOS application, a Windows
// executable and web content system packages, through the output job.
class PublishPackagesTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    Book m_book;
    std::unique_ptr<FlashTemplate> m_tmpl;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    std::shared_ptr<OutputOperation> makeJob(const QString &folder, int kind)
    {
        ConvertParament p;
        p.setIOutputType(kind);
        p.setStrOutputFolder(folder);
        p.setStrOutputName(QStringLiteral("atlas"));
        p.setStrTitle(kTitle);
        auto job = std::make_shared<OutputOperation>();
        job->setFlashPageSource(m_book.pages.get());
        job->setFlashTmpl(m_tmpl.get());
        job->setPdfSearch(m_book.search.get());
        job->setConvertPara(p);
        return job;
    }

    static std::shared_ptr<PublishPlugin> plugin(const QString &version, const QString &id)
    {
        auto plugin = std::make_shared<PublishPlugin>();
        plugin->setStrWidth(QStringLiteral("90%"));
        plugin->setStrHeight(QStringLiteral("640"));
        plugin->setStrVersion(version);
        plugin->setStrID(id);
        return plugin;
    }

    // The web book the engine wrote, wherever a package put it: home page titled as
    // the book, one viewer entry per page.
    static void verifyWebBook(const QString &folder, const QString &homePage)
    {
        QVERIFY2(readText(folder + "/" + homePage).contains("<title>Atlas &amp; &quot;Friends&quot;</title>"),
                 qPrintable(folder + "/" + homePage));
        const QJsonObject config = configObject(folder + "/files/config.js");
        QCOMPARE(config.value("title").toString(), kTitle);
        QCOMPARE(config.value("pages").toArray().size(), 3);
        QVERIFY(QFileInfo::exists(folder + "/files/page/3.jpg"));
        QVERIFY(QFileInfo::exists(folder + "/mobile/index.html"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_book = importBook(path("source"), 3);
        QVERIFY(m_book.pages);
        m_tmpl = desktopTemplate();
        QVERIFY(m_tmpl);
    }

    void applicationBundleFromTheRecordAndTheSettings()
    {
        const QString folder = path("app");
        auto job = makeJob(folder, 1);
        ConvertParament p = job->convertPara();
        p.setStrAppVersion("3.1");
        p.setStrAppIdentifier("com.example.atlas");
        p.setStrWindowSize("CUSTOM:1024,700");
        p.setIAppWindowHide(2);
        p.setStrAppIconFile(PackageTestData::savePicture(path("red.png"), PackageTestData::picture(200, 200, Qt::red)));
        job->setConvertPara(p);
        runJob(job);
        QCOMPARE(job->status(), OutputOperation::StatusWritten);
        const QString app = folder + "/atlas.app";
        QCOMPARE(job->projectFilePath(), app);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"atlas.app"});

        QVariantMap info = infoOf(app);
        QCOMPARE(info.value("CFBundleDisplayName").toString(), kTitle);
        QCOMPARE(info.value("CFBundleShortVersionString").toString(), QString("3.1"));
        QCOMPARE(info.value("CFBundleIdentifier").toString(), QString("com.example.atlas"));
        const QString icon = app + "/Contents/Resources/" + info.value("CFBundleIconFile").toString();
        QCOMPARE(IcnsFile::largestImage(*IcnsFile::readFile(icon)).pixel(1000, 1000), QColor(Qt::red).rgb());
        QMap<QString, QString> conf = confOf(app);
        QCOMPARE(conf.value("page"), QString("book/atlas.html"));
        QCOMPARE(conf.value("window"), QString("CUSTOM:1024,700"));
        QCOMPARE(conf.value("hideOnClose"), QString("YES"));
        verifyWebBook(app + "/Contents/Resources/book", "atlas.html");

        // What the record leaves unset gets the defaults (the publish dialog fills the
        // record from the settings first); an icon that is gone gives the template's
        // icon. The new bundle replaces the old one whole.
        auto again = makeJob(folder, 1);
        p = again->convertPara();
        p.setStrAppVersion(QString());
        p.setStrAppIdentifier(QString());
        p.setStrWindowSize(QString());
        p.setIAppWindowHide(0);
        p.setStrAppIconFile(path("deleted.icns"));
        again->setConvertPara(p);
        runJob(again);
        QCOMPARE(again->status(), OutputOperation::StatusWritten);
        info = infoOf(app);
        QCOMPARE(info.value("CFBundleShortVersionString").toString(), AppBookDefaults::version);
        QCOMPARE(info.value("CFBundleIdentifier").toString(), defaultIdentifierName);
        conf = confOf(app);
        QCOMPARE(conf.value("hideOnClose"), QString("NO"));
        QCOMPARE(readFile(icon), readFile(PackageTemplates::macAppTemplatePath() + "/Contents/Resources/flipbookicons.icns"));
    }

    void zipSwitchPacksTheDesktopPackages()
    {
        const QString folder = path("zipped");
        auto app = makeJob(folder, 1);
        ConvertParament p = app->convertPara();
        p.setCompressToZip(true);
        app->setConvertPara(p);
        runJob(app);
        QCOMPARE(app->status(), OutputOperation::StatusWritten);
        QCOMPARE(app->projectFilePath(), folder + "/atlas.zip");
        QVERIFY(ZipExtractor().extractFile(app->projectFilePath(), path("zipped-app")));
        const QString bundle = path("zipped-app/atlas.app");
        const QString launcher = bundle + "/Contents/MacOS/" + infoOf(bundle).value("CFBundleExecutable").toString();
        QVERIFY(QFileInfo(launcher).permissions() & QFileDevice::ExeOther);
        verifyWebBook(bundle + "/Contents/Resources/book", "atlas.html");

        if (!QFile::exists(PackageTemplates::winExeStubPath()))
            return;
        auto exe = makeJob(folder, 3);
        p.setIOutputType(3);
        exe->setConvertPara(p);
        runJob(exe);
        QCOMPARE(exe->status(), OutputOperation::StatusWritten);
        QCOMPARE(ZipExtractor::entryNames(exe->projectFilePath()), QStringList{"atlas.exe"});
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"atlas.zip"});
    }

    void executableCarriesIconsAndTheBook()
    {
        if (!QFile::exists(PackageTemplates::winExeStubPath()))
            QSKIP("the Windows launcher was not built (no MinGW-w64 cross compiler)");
        const QString folder = path("exe");
        auto job = makeJob(folder, 3);
        ConvertParament p = job->convertPara();
        p.setStrExeSize("CUSTOM:800,600");
        p.setStrExeIconFile(PackageTestData::savePicture(path("blue.png"), PackageTestData::picture(256, 256, Qt::blue)));
        job->setConvertPara(p);
        runJob(job);
        QCOMPARE(job->status(), OutputOperation::StatusWritten);
        const QString exe = folder + "/atlas.exe";
        QCOMPARE(job->projectFilePath(), exe);
        QVERIFY(!job->isFileInfoError());

        QCOMPARE(iconsOf(readFile(exe)).value(256).pixel(255, 255), QColor(Qt::blue).rgb());
        const auto contents = ExeBookPayload::read(exe);
        QVERIFY(contents);
        QCOMPARE(contents->info.title, kTitle);
        QCOMPARE(contents->info.windowSize, QString("CUSTOM:800,600"));
        QVERIFY(PackageChecks::unpackExeBook(exe, path("exe-unpacked")));
        verifyWebBook(path("exe-unpacked"), "atlas.html");

        // A book file whose name Windows cannot hold is left out and reported; the rest
        // of the book is written.
        const QString scene = path("scene");
        QVERIFY(writeFile(scene + "/Meta.xml", "<scene/>"));
        QVERIFY(writeFile(scene + "/sky:night.png", "png"));
        auto odd = makeJob(folder, 3);
        odd->setFlashScenesManagement(BookScene{"Night", scene + "/Meta.xml", scene, {}, {}});
        runJob(odd);
        QCOMPARE(odd->status(), OutputOperation::StatusWritten);
        QVERIFY(odd->isFileInfoError());
        QVERIFY(PackageChecks::unpackExeBook(exe, path("exe-odd")));
        QVERIFY(QFileInfo::exists(path("exe-odd/files/scenes/Meta.xml")));
        verifyWebBook(path("exe-odd"), "atlas.html");
    }

    void pluginPackagesHoldManifestAndBook_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("manifest");
        QTest::addColumn<QString>("bookFolder");
        QTest::newRow("WordPress") << 6 << "1.0" << "atlas/atlas.php" << "atlas/book";
        QTest::newRow("Joomla") << 7 << "2.5" << "mod_atlas_4.xml" << "book";
        QTest::newRow("Drupal") << 8 << "6" << "atlas_4/atlas_4.info" << "atlas_4/book";
    }

    void pluginPackagesHoldManifestAndBook()
    {
        QFETCH(int, kind);
        QFETCH(QString, version);
        QFETCH(QString, manifest);
        QFETCH(QString, bookFolder);
        const QString folder = path(QString("plugin-%1-%2").arg(kind).arg(version));
        auto job = makeJob(folder, kind);
        auto settings = plugin(version, "4");
        job->setConvertPlugin(settings);
        runJob(job);
        QCOMPARE(job->status(), OutputOperation::StatusWritten);
        QCOMPARE(job->projectFilePath(), folder + "/atlas.zip");
        QCOMPARE(settings->packagePath(), job->projectFilePath());
        QCOMPARE(settings->convertStatus(), PublishPlugin::kRunning | PublishPlugin::kFinished);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"atlas.zip"});

        const QString unpacked = path(QString("unpacked-%1-%2").arg(kind).arg(version));
        QVERIFY(ZipExtractor().extractFile(job->projectFilePath(), unpacked));
        // The manifest names the book's title.
        QVERIFY(readText(unpacked + "/" + manifest).contains("Atlas &"));
        verifyWebBook(unpacked + "/" + bookFolder, "book.html");
        // The converted book stays in the upload folder for uploads.
        verifyWebBook(UploadBookDelegate::bookFolder("book"), "book.html");
    }

    void pluginKindWithoutSettingsUsesTheDefaults()
    {
        auto job = makeJob(path("plugin-default"), 7);
        runJob(job);
        QCOMPARE(job->status(), OutputOperation::StatusWritten);
        QVERIFY(ZipExtractor::entryNames(job->projectFilePath()).contains("mod_atlas_1.xml"));
    }

    void cancelledJobsLeaveTheFolderAsItWas_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("stopAt");
        for (int kind : {1, 3, 6, 8})
            for (int type : {int(ConvertStep::NormalPages), int(ConvertStep::Complete)})
                QTest::addRow("kind %d at type %d", kind, type) << kind << type;
    }

    void cancelledJobsLeaveTheFolderAsItWas()
    {
        QFETCH(int, kind);
        QFETCH(int, stopAt);
        if (kind == 3 && !QFile::exists(PackageTemplates::winExeStubPath()))
            QSKIP("the Windows launcher was not built");
        const QString folder = path(QString("cancel-%1-%2").arg(kind).arg(stopAt));
        auto older = makeJob(folder, kind);
        older->setConvertPlugin(plugin("7", "2"));
        runJob(older);
        QCOMPARE(older->status(), OutputOperation::StatusWritten);
        QVERIFY(writeFile(folder + "/notes.txt", "mine"));
        const auto before = folderContents(folder);

        // Run on this thread, so the progress reaches the observer at that very step.
        auto job = makeJob(folder, kind);
        auto settings = plugin("7", "2");
        job->setConvertPlugin(settings);
        job->setIsProcess(true);
        QObject observer;
        cancelAtStep(&observer, job, stopAt);
        job->start();
        QCOMPARE(job->status(), OutputOperation::StatusCancelled);
        QCOMPARE(folderContents(folder), before);
        if (kind >= 6 && stopAt == ConvertStep::Complete)
            QVERIFY(settings->convertStatus() & PublishPlugin::kFailed);
    }

    void failingJobsLeaveTheFolderAsItWas_data()
    {
        QTest::addColumn<int>("kind");
        for (int kind : {1, 3, 6, 7, 8})
            QTest::addRow("kind %d", kind) << kind;
    }

    void failingJobsLeaveTheFolderAsItWas()
    {
        QFETCH(int, kind);
        if (kind == 3 && !QFile::exists(PackageTemplates::winExeStubPath()))
            QSKIP("the Windows launcher was not built");
        const QString folder = path(QString("failing-%1").arg(kind));
        auto older = makeJob(folder, kind);
        runJob(older);
        QCOMPARE(older->status(), OutputOperation::StatusWritten);
        const auto before = folderContents(folder);

        // Each fails while packing, after the book was written: a damaged icon for the
        // desktop kinds, a size that is not one for the plug-ins.
        const QString damaged = path("damaged.icns");
        QVERIFY(writeFile(damaged, QByteArray("icns\0\0\0\x10garbage!", 16)));
        auto breakJob = [&](const std::shared_ptr<OutputOperation> &job) {
            ConvertParament p = job->convertPara();
            p.setStrAppIconFile(damaged);
            p.setStrExeIconFile(damaged);
            job->setConvertPara(p);
            auto bad = plugin("2.5", "1");
            bad->setStrWidth("100%;background:url(x)");
            job->setConvertPlugin(bad);
        };
        auto job = makeJob(folder, kind);
        breakJob(job);
        runJob(job);
        QCOMPARE(job->status(), OutputOperation::StatusFailed);
        QVERIFY(job->raiseException());
        QVERIFY(!job->raiseException()->reason().isEmpty());
        QVERIFY(job->projectFilePath().isEmpty());
        QCOMPARE(folderContents(folder), before);

        // An output folder that did not exist is not left behind.
        auto fresh = makeJob(path(QString("fresh-%1/deeper").arg(kind)), kind);
        breakJob(fresh);
        runJob(fresh);
        QCOMPARE(fresh->status(), OutputOperation::StatusFailed);
        QVERIFY(!QFileInfo::exists(path(QString("fresh-%1").arg(kind))));

        // A folder the job may not write into, and a disk that fills up while the package
        // is written: the older package stays as it was.
        {
            const FailingWrites::AsOrdinaryUser user;
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            auto denied = makeJob(folder, kind);
            runJob(denied);
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QCOMPARE(denied->status(), OutputOperation::StatusFailed);
        }
        QCOMPARE(folderContents(folder), before);
        {
            const FailingWrites::DiskFull full(4096);
            auto filled = makeJob(folder, kind);
            runJob(filled);
            QCOMPARE(filled->status(), OutputOperation::StatusFailed);
        }
        QCOMPARE(folderContents(folder), before);
    }
};

QV_TEST(PublishPackagesTest)
#include "tst_publishpackages.moc"
