#include "MainWindowSteps.h"
#include "PackageChecks.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "batch/ImportParament.h"
#include "output/packages/PackageTemplates.h"
#include "output/packages/WinIcon.h"
#include "platform/ui/DragFileImport.h"
#include "pages/FlashPageSource.h"
#include "pages/PageImport.h"
#include "publishing/ui/AppIconMakerDelegate.h"
#include "publishing/ui/BatchAdvancedSetting.h"
#include "publishing/ui/OutputReport.h"
#include "templates/FlashTemplate.h"

#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;
using namespace PackageChecks;

namespace {

constexpr int kLong = 90000;

// A picture book of two pages, with the default template.
struct Book
{
    explicit Book(const QString &folder)
    {
        ImportParament p;
        for (int i = 0; i < 2; ++i) {
            p.sourceFiles << folder + QStringLiteral("/%1.png").arg(i + 1);
            TestPictures::writePicture(p.sourceFiles.last(), QSize(300, 400), i ? Qt::darkCyan : Qt::darkYellow);
        }
        p.iQualityLevel = 2;
        PageImport import(p, folder + QStringLiteral("/workspace"));
        imported = import.run();
        source = import.pageSource();
        imported = imported && tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultTemplateName()));
    }
    bool imported = false;
    std::shared_ptr<FlashPageSource> source;
    FlashTemplate tmpl;
};

// A publish dialog on book over the real engine, the kind chosen with its button.
std::unique_ptr<PublishBookWindowDelegate> dialogFor(Book &book, const char *kindButton, const QString &out)
{
    auto d = std::make_unique<PublishBookWindowDelegate>();
    d->setFlashPageSource(book.source.get());
    d->setFlashTmpl(&book.tmpl);
    d->setRunServices(PublishRunServices::standard());
    d->showWindow();
    clickControl(d.get(), kindButton);
    control<QLineEdit>(d.get(), "txtOutputFolder")->setText(out);
    control<QLineEdit>(d.get(), "txtOutputName")->setText(QStringLiteral("Atlas"));
    control<QCheckBox>(d.get(), "btnCompressToZip")->setChecked(false);
    return d;
}

void type(QLineEdit *field, const QString &text)
{
    field->clear();
    QTest::keyClicks(field, text);
}

// Publishes and closes the report; true when the dialog ended as published.
bool publish(UiTestDriver &driver, PublishBookWindowDelegate &d)
{
    driver.answerModal([](WindowController *report) { report->closeWindowWithCode(0); });
    clickControl(&d, "btnPublic");
    return QTest::qWaitFor([&] { return d.closeMode() == 1 && !d.isStart(); }, kLong);
}

} // namespace

// Desktop books published after their advanced settings were made in the sheet and
// the icon maker carry those settings.
class AdvancedPublishTest : public QObject
{
    Q_OBJECT
private slots:
    void applicationBookCarriesItsSettingsAndMadeIcon()
    {
        QTemporaryDir dir;
        Book book(dir.path());
        QVERIFY(book.imported);
        const QString out = dir.filePath("out");
        QVERIFY(TestPictures::writePicture(dir.filePath("logo.png"), QSize(1024, 1024), QColor(0xE5, 0x39, 0x35)));
        UiTestDriver driver;
        auto d = dialogFor(book, "btnOPApp", out);

        clickControl(d.get(), "btnAdvanced");
        BatchAdvancedSetting *sheet = d->advancedSettings();
        QVERIFY(sheet && sheet->isSheet());
        type(control<QLineEdit>(sheet, "txtAppTitle"), "Atlas of Birds");
        type(control<QLineEdit>(sheet, "txtAppVersion"), "2.5");
        type(control<QLineEdit>(sheet, "txtAppIdentifier"), "org.example.atlas");
        clickControl(sheet, "cellWindowCustom");
        type(control<QLineEdit>(sheet, "txtWindowWidth"), "800");
        type(control<QLineEdit>(sheet, "txtWindowHeight"), "600");
        control<QCheckBox>(sheet, "btnCloseMode")->setChecked(true);

        // The icon: one picture on the 512 size (the maker opens with the default
        // icon's pictures), copied to the smaller ones; the icon is made of it alone.
        driver.answerModal([&](WindowController *c) {
            auto *maker = qobject_cast<AppIconMakerDelegate *>(c);
            std::unique_ptr<QMimeData> files(filesMime({dir.filePath("logo.png")}));
            QVERIFY(maker->dropTarget(512)->performDrop(files.get()));
            QTRY_COMPARE(maker->fileDict().value("16").toString(), maker->workspace() + "/16.png");
            clickControl(maker, "_btnOK");
        });
        driver.answerAlert("OK");
        sheet->iconView()->openButton()->click();
        QTRY_VERIFY(sheet->iconFileName().endsWith("/icon.icns"));
        clickControl(sheet, "btnOK2");
        QVERIFY(!d->advancedSettings());
        QCOMPARE(control<QLineEdit>(d.get(), "txtTitle")->text(), QString("Atlas of Birds"));

        QVERIFY(publish(driver, *d));
        const QString app = out + "/Atlas.app";
        const QVariantMap info = infoOf(app);
        QCOMPARE(info.value("CFBundleDisplayName").toString(), QString("Atlas of Birds"));
        QCOMPARE(info.value("CFBundleShortVersionString").toString(), QString("2.5"));
        QCOMPARE(info.value("CFBundleIdentifier").toString(), QString("org.example.atlas"));
        const QMap<QString, QString> conf = confOf(app);
        QCOMPARE(conf.value("window"), QString("CUSTOM:800,600"));
        QCOMPARE(conf.value("hideOnClose"), QString("YES"));
        const QString icns = app + "/Contents/Resources/flipbookicons.icns";
        QCOMPARE(iconWidths(icns), (QList<int>{16, 32, 128, 256, 512}));
        const auto entries = IcnsFile::readFile(icns);
        QVERIFY(entries);
        for (const IcnsFile::Entry &entry : *entries) {
            const QImage &p = entry.image;
            QCOMPARE(p.pixelColor(p.width() / 2, p.height() / 2).rgb(), QColor(0xE5, 0x39, 0x35).rgb());
        }
        QVERIFY(driver.failures().isEmpty());
    }

    void executableBookCarriesTheChosenIcon()
    {
        if (!QFile::exists(PackageTemplates::winExeStubPath()))
            QSKIP("the Windows launcher was not built (no MinGW-w64 cross compiler)");
        QTemporaryDir dir;
        Book book(dir.path());
        QVERIFY(book.imported);
        const QString out = dir.filePath("out");
        const QColor teal(0x00, 0x89, 0x7B);
        QVERIFY(TestPictures::writePicture(dir.filePath("icon.png"), QSize(300, 300), teal));
        UiTestDriver driver;
        auto d = dialogFor(book, "btnOPExe", out);

        clickControl(d.get(), "btnAdvanced");
        BatchAdvancedSetting *sheet = d->advancedSettings();
        QVERIFY(sheet);
        driver.answerPanel({dir.filePath("icon.png")});
        sheet->iconView()->openButton()->click();
        QTRY_COMPARE(sheet->iconFileName(), dir.filePath("icon.png"));
        clickControl(sheet, "cellWindowFullScreen");
        clickControl(sheet, "btnOK2");
        QCOMPARE(d->convertPara().strExeIconFile(), dir.filePath("icon.png"));

        QVERIFY(publish(driver, *d));
        const QString exe = out + "/Atlas.exe";
        QCOMPARE(ExeBookPayload::read(exe)->info.windowSize, QString("FULLSCREEN"));
        WinIcon icons;
        icons.setIconFolder(dir.filePath("icons"));
        QVERIFY(icons.loadExeFile(exe));
        QVERIFY2(icons.parseExeIcon(), qPrintable(icons.errorString()));
        QVERIFY(!icons.exeIconsInfo().isEmpty());
        for (const QVariant &entry : icons.exeIconsInfo()) {
            const QImage picture = IcoFile::decodeImages(readFile(entry.toMap().value("fileName").toString())).value(0);
            QCOMPARE(picture.pixelColor(picture.width() / 2, picture.height() / 2).rgb(), teal.rgb());
        }
        QVERIFY(driver.failures().isEmpty());
    }
};

QV_TEST(AdvancedPublishTest)
#include "tst_advancedpublish.moc"
