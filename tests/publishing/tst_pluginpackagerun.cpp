#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "batch/ImportParament.h"
#include "foundation/ZipExtractor.h"
#include "online/UploadBookDelegate.h"
#include "output/OutputOperation.h"
#include "output/packages/PublishPlugin.h"
#include "pages/FlashPageSource.h"
#include "pages/PageImport.h"
#include "publishing/PluginPackageRun.h"
#include "publishing/PublishRun.h"
#include "templates/FlashTemplate.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

// The plug-in package dialog's work: the book converted in the background, the
// package written from it.
class PluginPackageRunTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<FlashPageSource> m_source;
    FlashTemplate m_tmpl;

    // A run over the two-page book (none when book is false: every conversion fails).
    void prepare(PluginPackageRun &run, bool book = true)
    {
        PublishRun::Setup setup;
        setup.pageSource = m_source.get();
        setup.tmpl = &m_tmpl;
        run.setBookMaker([setup, book](const ConvertParament &record) -> std::shared_ptr<OutputOperation> {
            if (!book)
                return nullptr;
            auto job = std::make_shared<OutputOperation>();
            PublishRun::handOverBook(*job, setup, record);
            return job;
        });
    }

    PluginPackageRun::Package package(OutputKind kind, const QString &name, const QString &title)
    {
        PluginPackageRun::Package p;
        p.kind = kind;
        p.record.setStrOutputFolder(m_dir.filePath("out"));
        p.record.setStrOutputName(name);
        p.record.setStrTitle(title);
        p.width = "100%";
        p.height = "600px";
        p.version = kind == OutputKind::Drupal ? "7" : "2.5";
        p.id = "3";
        return p;
    }

    static PluginPackageRun::Outcome outcomeOf(PluginPackageRun &run)
    {
        PluginPackageRun::Outcome outcome = PluginPackageRun::Outcome::None;
        QTest::qWaitFor([&] { return (outcome = run.takeOutcome()) != PluginPackageRun::Outcome::None; }, 60000);
        return outcome;
    }

private slots:
    void initTestCase()
    {
        ImportParament p;
        for (int i = 0; i < 2; ++i) {
            p.sourceFiles << m_dir.filePath(QStringLiteral("%1.png").arg(i + 1));
            QVERIFY(TestPictures::writePicture(p.sourceFiles.last(), QSize(300, 400), i ? Qt::darkCyan : Qt::darkYellow));
        }
        p.iQualityLevel = 2;
        PageImport import(p, m_dir.filePath("workspace"));
        QVERIFY(import.run());
        m_source = import.pageSource();
        QVERIFY(m_tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultTemplateName())));
    }

    void aPackageStartedAtOnceWaitsForItsBook()
    {
        PluginPackageRun run;
        prepare(run);
        ConvertParament record;
        record.setStrTitle("Atlas");
        run.convertBook(record);
        // Running from the start: a package started now cannot take an older book.
        QCOMPARE(run.uploadBookDelegate().convertStatus(), UploadBookDelegate::kRunning);
        QVERIFY(run.publish(package(OutputKind::Joomla, "atlas", "Atlas")));
        QVERIFY(!run.publish(package(OutputKind::Joomla, "other", "Atlas"))); // one at a time
        QCOMPARE(outcomeOf(run), PluginPackageRun::Outcome::Written);
        QVERIFY(!run.isPublishing());
        const QStringList entries = ZipExtractor::entryNames(m_dir.filePath("out/atlas.zip"));
        QVERIFY(entries.contains("mod_atlas_3.xml"));
        QVERIFY(entries.contains("book/book.html"));
        QVERIFY(!QFile::exists(m_dir.filePath("out/other.zip")));

        // A title changed since the book was converted: converted again, then packed.
        QVERIFY(run.publish(package(OutputKind::Drupal, "atlas", "The Atlas of Birds")));
        QCOMPARE(outcomeOf(run), PluginPackageRun::Outcome::Written);
        QVERIFY(readText(UploadBookDelegate::bookFolder("book") + "/book.html").contains("The Atlas of Birds"));
        QVERIFY(ZipExtractor::entryNames(m_dir.filePath("out/atlas.zip")).contains("atlas_3/atlas_3.info"));

        // A writer that refuses its input fails and leaves the older package.
        PluginPackageRun::Package bad = package(OutputKind::Drupal, "atlas", "The Atlas of Birds");
        bad.width = "100%;background:url(x)";
        const QByteArray before = readFile(m_dir.filePath("out/atlas.zip"));
        QVERIFY(run.publish(bad));
        QCOMPARE(outcomeOf(run), PluginPackageRun::Outcome::Failed);
        QVERIFY(!run.failure().isEmpty());
        QCOMPARE(readFile(m_dir.filePath("out/atlas.zip")), before);
    }

    // A package cancelled right after it started writes nothing, keeps the older package
    // and leaves the run ready for the next one, which converts the book again.
    void cancelledPackageWritesNothing()
    {
        PluginPackageRun run;
        prepare(run);
        QVERIFY(writeFile(m_dir.filePath("out/kept.zip"), "older"));
        QVERIFY(run.publish(package(OutputKind::WordPress, "kept", "Kept")));
        run.cancel();
        QCOMPARE(outcomeOf(run), PluginPackageRun::Outcome::Cancelled);
        QCOMPARE(readFile(m_dir.filePath("out/kept.zip")), QByteArray("older"));
        QVERIFY(run.publish(package(OutputKind::WordPress, "kept", "Kept")));
        QCOMPARE(outcomeOf(run), PluginPackageRun::Outcome::Written);
        QVERIFY(ZipExtractor::entryNames(m_dir.filePath("out/kept.zip")).contains("kept/book/book.html"));
    }

    void nothingIsWrittenFromABookThatWasNotConverted()
    {
        PluginPackageRun run;
        prepare(run, false);
        run.convertBook(ConvertParament());
        QVERIFY(QTest::qWaitFor([&] { return run.uploadBookDelegate().convertStatus() & UploadBookDelegate::kFailed; }));
        QVERIFY(run.publish(package(OutputKind::WordPress, "missing", "Demo")));
        QCOMPARE(outcomeOf(run), PluginPackageRun::Outcome::BookMissing);
        QVERIFY(!QFile::exists(m_dir.filePath("out/missing.zip")));
        // The failure is told by the outcome: the conversion counts as seen.
        QCOMPARE(run.uploadBookDelegate().convertStatus(), 8);
    }
};

QV_TEST(PluginPackageRunTest)
#include "tst_pluginpackagerun.moc"
