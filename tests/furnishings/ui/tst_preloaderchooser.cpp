#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "WindowControls.h"
#include "foundation/AppUtility.h"
#include "furnishings/FlashTemlPreloaderItem.h"
#include "furnishings/ui/AddPreloader.h"
#include "furnishings/ui/FlashPreloaderDelegate.h"
#include "platform/PictureGridModel.h"
#include "platform/ui/PictureGridView.h"
#include "platform/ui/UiTestDriver.h"
#include "templates/ui/FurnishingSettingEditors.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace TestFiles;

namespace {

int rowNamed(FlashPreloaderDelegate *chooser, const QString &name)
{
    return chooser->indexOfPreloader(name);
}

void doubleClickRow(FlashPreloaderDelegate *chooser, int row)
{
    PictureGridView *grid = chooser->imageView();
    const QModelIndex index = grid->model()->index(row, 0);
    grid->scrollTo(index);
    const QPoint at = grid->visualRect(index).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

// Fills and confirms the add sheet the chooser has open.
void addThroughSheet(FlashPreloaderDelegate *chooser, const QString &movie, const QString &picture)
{
    clickControl(chooser, "btnAdd");
    AddPreloader *sheet = chooser->addPreloaderDelegate();
    QVERIFY(sheet && sheet->isWindowVisible());
    control<QLineEdit>(sheet, "txtPreloader")->setText(movie);
    control<QLineEdit>(sheet, "txtThumb")->setText(picture);
    clickControl(sheet, "btnOK");
    QVERIFY(!sheet->isWindowVisible());
}

} // namespace

// The preloader chooser as the design settings open it: a preloader added through its
// sheet, chosen with a double-click, removed again; the program's own stay.
class PreloaderChooserTest : public QObject
{
    Q_OBJECT
private slots:
    void addChooseAndRemoveAPreloader()
    {
        QTemporaryDir dir;
        removeTree(FlashTemlPreloaderItem::userFolder());
        QVERIFY(writeFile(dir.filePath("Spin.swf"), TestPictures::rectangleSwf(Qt::blue)));
        QVERIFY(writeFile(dir.filePath("Pulse.swf"), TestPictures::rectangleSwf(Qt::blue)));
        // A picture of two palette colours: a blue square on red.
        QImage spin(200, 120, QImage::Format_Mono);
        spin.setColorTable({qRgb(0xE5, 0x39, 0x35), qRgb(0x1E, 0x88, 0xE5)});
        spin.fill(0);
        for (int y = 30; y < 90; ++y)
            for (int x = 60; x < 140; ++x)
                spin.setPixel(x, y, 1);
        QVERIFY(spin.save(dir.filePath("spin.png")));
        UiTestDriver driver;
        TemplateEditorRequest request;
        request.valueSource = "preloader";
        request.key = "tmplPreloader";

        // Opened on no preloader, the default is chosen; closing keeps it.
        driver.answerModal([&](WindowController *c) {
            auto *chooser = qobject_cast<FlashPreloaderDelegate *>(c);
            QCOMPARE(chooser->selectedItemIndex(), rowNamed(chooser, "Default"));
            QVERIFY(!control<QPushButton>(c, "btnRemove")->isEnabled());
            // A movie named like one of the program's is refused with the reason.
            driver.answerAlert("OK");
            addThroughSheet(chooser, dir.filePath("Pulse.swf"), dir.filePath("spin.png"));
            addThroughSheet(chooser, dir.filePath("Spin.swf"), dir.filePath("spin.png"));
            QVERIFY(rowNamed(chooser, "Spin") >= 0);
            // Its preview shows the picture's own colours.
            PictureGridModel *grid = chooser->imageView()->pictureModel();
            QTRY_VERIFY(!grid->thumbnail(rowNamed(chooser, "Spin")).isNull());
            const QImage shown = grid->thumbnail(rowNamed(chooser, "Spin"));
            QCOMPARE(shown.pixelColor(2, 2).rgb(), qRgb(0xE5, 0x39, 0x35));
            QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2).rgb(), qRgb(0x1E, 0x88, 0xE5));
            c->performClose();
        });
        QCOMPARE(FurnishingSettingEditors::onSelectPreloader(request), std::optional<QString>("Default"));
        QVERIFY(driver.alerts().first().informativeText.contains("Pulse") || driver.alerts().first().detailedText.contains("Pulse"));
        QVERIFY(QFileInfo::exists(FlashTemlPreloaderItem::userFolder() + "/Spin.swf"));
        QVERIFY(!QFileInfo::exists(FlashTemlPreloaderItem::userFolder() + "/Pulse.swf"));

        // A double-click chooses.
        request.value = "Default";
        driver.answerModal([&](WindowController *c) { doubleClickRow(qobject_cast<FlashPreloaderDelegate *>(c), rowNamed(qobject_cast<FlashPreloaderDelegate *>(c), "Spin")); });
        QCOMPARE(FurnishingSettingEditors::onSelectPreloader(request), std::optional<QString>("Spin"));

        // Only the user's own can be removed; a mixed selection deletes only theirs.
        request.value = "Spin";
        driver.answerModal([&](WindowController *c) {
            auto *chooser = qobject_cast<FlashPreloaderDelegate *>(c);
            chooser->imageView()->setSelectedRows({rowNamed(chooser, "Bars")});
            QVERIFY(!control<QPushButton>(c, "btnRemove")->isEnabled());
            chooser->imageView()->setSelectedRows({rowNamed(chooser, "Bars"), rowNamed(chooser, "Spin")});
            QVERIFY(control<QPushButton>(c, "btnRemove")->isEnabled());
            driver.answerAlert("OK");
            clickControl(c, "btnRemove");
            QCOMPARE(rowNamed(chooser, "Spin"), -1);
            QVERIFY(rowNamed(chooser, "Bars") >= 0);
            c->performClose();
        });
        const std::optional<QString> afterRemove = FurnishingSettingEditors::onSelectPreloader(request);
        QCOMPARE(afterRemove, std::optional<QString>(FlashTemlPreloaderItem::installedPreloaders().first().prlName()));
        QVERIFY(!QFileInfo::exists(FlashTemlPreloaderItem::userFolder() + "/Spin.swf"));
        QVERIFY(!QFileInfo::exists(FlashTemlPreloaderItem::userFolder() + "/Spin.png"));
        QVERIFY(driver.failures().isEmpty());
    }
};

QV_TEST(PreloaderChooserTest)
#include "tst_preloaderchooser.moc"
