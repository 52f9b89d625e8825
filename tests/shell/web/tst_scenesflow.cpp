#include "EditorSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppResources.h"
#include "foundation/AppUtility.h"
#include "furnishings/FlashScenesItem.h"
#include "furnishings/ui/BackgroundSettingView.h"
#include "platform/ui/DragDeleteDetectView.h"
#include "platform/ui/PictureGridView.h"
#include "project/BookDocument.h"
#include "shell/BookSession.h"
#include "shell/ui/FurnishingTabs.h"
#include "templates/FlashTemplate.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 90000;

void choose(QuorvelAppDelegate &app, const QString &tab, const QString &title)
{
    QVERIFY2(chooseInPicker(app, tab, title), qPrintable(title));
    const QList<BackgroundSettingView::Item> &items = app.furnishingTabs()->picker(tab)->imageList();
    QCOMPARE(items.value(app.furnishingTabs()->picker(tab)->selectedItemIndex()).bgName, title);
}

// Selects rows of the list and drags them as the list's view does: dropped before the
// row dropRow, or (dropRow -1) out of the window.
void dragRows(QTableView *list, const QList<int> &rows, int dropRow)
{
    QModelIndexList dragged;
    for (int row : rows)
        dragged << list->model()->index(row, 0);
    std::unique_ptr<QMimeData> data(list->model()->mimeData(dragged));
    if (dropRow >= 0) {
        list->model()->dropMimeData(data.get(), Qt::MoveAction, dropRow, 0, {});
        return;
    }
    const QPoint outside = list->mapToGlobal(QPoint(list->width() + 200, list->height() + 200));
    QVERIFY(DragDeleteDetectView::detectViewOfWindow(list->window())->dragFinished(list, *data, outside, false));
}

} // namespace

// A scene made in the scenes maker (movies and pictures, reordered and one deleted by
// dragging), a background picture and
// a theme, chosen in the main window's tabs, saved, reopened and published from the
// Book menu. QUORVEL_BOOK_OUT names the folder to publish into (the browser test reads
// the book there); a temporary one otherwise.
class ScenesFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void sceneAndBackgroundReachThePublishedBook()
    {
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("published") : given;
        const QString pdf = dir.filePath("Meadow.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 4));
        QVERIFY(writeFile(dir.filePath("art/sun.swf"), TestPictures::rectangleSwf(QColor(0xE5, 0x39, 0x35), 120, 120)));
        QVERIFY(TestPictures::writePicture(dir.filePath("art/grass.png"), QSize(160, 120), QColor(0x43, 0xA0, 0x47)));
        QVERIFY(TestPictures::writePicture(dir.filePath("art/sky.png"), QSize(320, 200), QColor(0x1E, 0x63, 0xD0)));
        QVERIFY(TestPictures::writePicture(dir.filePath("art/cloud.png"), QSize(80, 60), Qt::white));
        QVERIFY(TestPictures::writePicture(dir.filePath("art/stone.png"), QSize(80, 60), Qt::darkGray));
        removeTree(FlashScenesItem::userScenesFolder());

        UiTestDriver driver;
        driver.setModalTimeout(120000);
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        MainWindow *window = app.mainWindow();

        // The scene, made in the scenes maker from the Additions menu, is applied at once.
        driver.answerModal([&](WindowController *c) {
            addSceneLayer(c, dir.filePath("art/sun.swf"), 0, 0);    // behind the book, top left
            addSceneLayer(c, dir.filePath("art/grass.png"), 1, 3); // in front of it, bottom right
            addSceneLayer(c, dir.filePath("art/cloud.png"), 0, 1);
            addSceneLayer(c, dir.filePath("art/stone.png"), 0, 2);
            // The last two dragged to the top, then the stone out of the window.
            auto *list = control<QTableView>(c, "tableView");
            dragRows(list, {2, 3}, 0);
            dragRows(list, {1}, -1);
            QCOMPARE(list->model()->rowCount(), 3);
            control<QLineEdit>(c, "txtCaption")->setText("Meadow");
            clickControl(c, "btnOK");
        });
        QVERIFY(bookMenuItem(window, "scenesMaker")->isEnabled());
        bookMenuItem(window, "scenesMaker")->trigger();
        QCOMPARE(app.session()->document().parts().scene().name, QString("Meadow"));
        QVERIFY(QFileInfo::exists(FlashScenesItem::userScenesFolder() + "/Meadow/shot.jpg"));

        // A theme, then a background picture of the user's.
        choose(app, "theme", "Night");
        QCOMPARE(app.session()->document().flashTmpl()->currentStyleName(), QString("Night"));
        driver.answerPanel({dir.filePath("art/sky.png")});
        window->designTabView()->setCurrentWidget(window->tabPage("background"));
        app.furnishingTabs()->picker("background")->btnNew()->click();
        choose(app, "background", "sky");
        // A theme chosen again brings its own background: the tab no longer shows the sky.
        choose(app, "theme", "Night");
        BackgroundSettingView *backgrounds = app.furnishingTabs()->picker("background");
        QCOMPARE(backgrounds->selectedItemIndex(), 0);
        QCOMPARE(backgrounds->imageView()->selectedRows(), QList<int>{0});
        choose(app, "background", "sky");
        // Choosing the none scene and the Meadow again goes through the picker too.
        choose(app, "scene", "None");
        QVERIFY(app.session()->document().parts().scene().isNone());
        choose(app, "scene", "Meadow");
        QVERIFY(app.session()->isModified());

        const QString project = dir.filePath("Meadow.qvprj");
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(app.closeBook());
        // The user's scene goes; the book keeps its own copy.
        removeTree(FlashScenesItem::userScenesFolder());
        QVERIFY(app.openProject(project));
        const BookDocument &document = app.session()->document();
        QCOMPARE(document.parts().scene().name, QString("Meadow"));
        QVERIFY(document.parts().scene().folder.startsWith(dir.filePath("Meadow.qvprj.data/")));
        const QString background = document.flashTmpl()->propertyFilePath("backgroundImage");
        QVERIFY(background.startsWith(dir.filePath("Meadow.qvprj.data/")));
        QCOMPARE(readFile(background), readFile(dir.filePath("art/sky.png")));

        QVERIFY(publishWebFolder(app, driver, out, "Meadow", QString(), kLong));

        // The book carries the scene's files, the SWF player and the background.
        QCOMPARE(readFile(out + "/files/scenes/Resources/sun.swf"), readFile(dir.filePath("art/sun.swf")));
        QCOMPARE(readFile(out + "/files/lib/ruffle/ruffle.js"), readFile(AppResources::resourcePath("ruffle/ruffle.js")));
        const QJsonObject config = bookConfigOf(out + "/files/config.js");
        // The layers behind the book in their order in the maker's list, the stone gone.
        const QJsonArray behind = config.value("scene").toObject().value("background").toArray();
        QCOMPARE(behind.size(), 2);
        QCOMPARE(behind.at(0).toObject().value("file").toString(), QString("files/scenes/Resources/cloud.png"));
        QCOMPARE(behind.at(1).toObject().value("file").toString(), QString("files/scenes/Resources/sun.swf"));
        QCOMPARE(readFile(out + "/" + config.value("backgroundImage").toString()), readFile(dir.filePath("art/sky.png")));
        QCOMPARE(config.value("backgroundColor").toString(), QString("#0B0F14"));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
        removeTree(FlashScenesItem::userScenesFolder());
    }
};

QV_TEST(ScenesFlowTest)
#include "tst_scenesflow.moc"
