#include "RowDrags.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "WindowControls.h"
#include "foundation/ZipExtractor.h"
#include "foundation/ZipWriter.h"
#include "furnishings/SceneObject.h"
#include "furnishings/ui/ScenesMaker.h"
#include "platform/ui/QvWebView.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "shell/PreviewServer.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

QStringList layerNames(const ScenesMaker &maker)
{
    QStringList names;
    for (const SceneObject &layer : maker.iconsList())
        names << QStringLiteral("%1 %2 %3").arg(QFileInfo(layer.file()).fileName()).arg(layer.layerIndex()).arg(layer.layoutIndex());
    return names;
}

// The value a script answers in the maker's preview.
QVariant evaluate(ScenesMaker &maker, const QString &script)
{
    return scriptAnswer(maker.previewView(), script);
}

// A scene package archive whose layers, named as given, are all picture.
bool writePackage(const QString &archive, const QStringList &names, const QString &picture = {})
{
    QString items;
    ZipWriter zip(archive);
    zip.addDirectory("Resources/");
    for (const QString &name : names) {
        items += "<Item><URL>" + name.toHtmlEscaped() + "</URL></Item>";
        zip.addFile("Resources/" + name, picture);
    }
    zip.addData("Meta.xml", ("<Meta><Scenes><Ground><Background>" + items + "</Background></Ground></Scenes></Meta>").toUtf8());
    return zip.commit();
}

} // namespace

// The scenes maker driven through its window: layers added, reordered, previewed,
// shot, exported, cleared and imported back; bad input refused with a message.
class ScenesMakerTest : public QObject
{
    Q_OBJECT
private slots:
    void composeExportAndImportAScene()
    {
        QTemporaryDir dir;
        const QString workspace = dir.filePath("workspace");
        QVERIFY(writeFile(dir.filePath("art/sun.swf"), TestPictures::rectangleSwf(QColor(0xE5, 0x39, 0x35))));
        QVERIFY(TestPictures::writePicture(dir.filePath("art/grass.png"), QSize(60, 40), QColor(0x43, 0xA0, 0x47)));
        QVERIFY(writeFile(dir.filePath("garbage.scp"), "PK\x03\x04 broken"));
        PreviewServer server;
        UiTestDriver driver;
        driver.setModalTimeout(120000);
        ScenesMaker maker;
        maker.setWorkspace(workspace);
        maker.setTitle("Meadow");
        maker.setPreviewHost([&](const QString &folder) {
            server.setDocumentRoot(folder);
            return server.isListening() || server.start() ? server.baseUrl() : QUrl();
        });
        QMap<QString, QByteArray> exported, afterGarbage, beforeGarbage;
        driver.answerModal([&](WindowController *c) {
            auto *file = control<QLineEdit>(c, "txtFile");
            // A file that is not there adds nothing.
            driver.answerAlert("OK");
            file->setText("{sceneworkspace}/missing.swf");
            clickControl(c, "btnAdd");
            QCOMPARE(maker.iconsList().size(), 0);

            file->setText(dir.filePath("art/sun.swf"));
            control<QComboBox>(c, "popLayer")->setCurrentIndex(0);
            control<QComboBox>(c, "popLayout")->setCurrentIndex(SceneObject::TopLeft);
            clickControl(c, "btnAdd");
            file->setText(dir.filePath("art/grass.png"));
            control<QComboBox>(c, "popLayer")->setCurrentIndex(1);
            control<QComboBox>(c, "popLayout")->setCurrentIndex(SceneObject::BottomRight);
            clickControl(c, "btnAdd");
            control<QTableView>(c, "tableView")->selectRow(1);
            clickControl(c, "btnMoveUp");
            QCOMPARE(layerNames(maker), QStringList({"grass.png 1 3", "sun.swf 0 0"}));

            // The preview shows both layers in their places; the movie plays.
            QTRY_COMPARE_WITH_TIMEOUT(evaluate(maker, "document.querySelector('.qv-scene-back .qv-top-left')?.getAttribute('data-swf')").toString(),
                                      QString("playing"), 30000);
            QCOMPARE(evaluate(maker, "document.querySelector('.qv-scene-front img.qv-bottom-right') !== null").toBool(), true);
            // The shot is the preview: the movie in its corner (once the player drew its
            // first frame), the picture in its own.
            const auto near = [&](double x, double y, QColor want) {
                const QImage shot(workspace + "/shot.jpg");
                const QColor got = shot.pixelColor(int(shot.width() * x), int(shot.height() * y));
                return qAbs(got.red() - want.red()) < 30 && qAbs(got.green() - want.green()) < 30 && qAbs(got.blue() - want.blue()) < 30;
            };
            QTRY_VERIFY_WITH_TIMEOUT((clickControl(c, "btnSnap"), near(0.19, 0.19, QColor(0xE5, 0x39, 0x35))), 30000);
            QVERIFY(maker.hasSnap());
            QCOMPARE(TestPictures::pictureFormat(workspace + "/shot.jpg"), QByteArray("jpeg"));
            QVERIFY(near(0.92, 0.92, QColor(0x43, 0xA0, 0x47))); // the picture in its corner at its own size

            driver.answerPanel({dir.filePath("out/Meadow.scp")});
            clickControl(c, "btnExport");
            QTRY_VERIFY(QFileInfo::exists(dir.filePath("out/Meadow.scp")));
            exported = folderContents(workspace);

            driver.answerAlert("OK");
            clickControl(c, "btnClearAll");
            QCOMPARE(maker.iconsList().size(), 0);
            driver.answerPanel({dir.filePath("out/Meadow.scp")});
            clickControl(c, "btnImport");
            QTRY_COMPARE(layerNames(maker), QStringList({"sun.swf 0 0", "grass.png 1 3"})); // background layers first

            // A package without layers keeps the list, and the files it names.
            QVERIFY(writePackage(dir.filePath("bare.scp"), {}));
            driver.answerPanel({dir.filePath("bare.scp")});
            clickControl(c, "btnImport");
            QTRY_COMPARE(maker.title(), QString("bare"));
            QCOMPARE(layerNames(maker), QStringList({"sun.swf 0 0", "grass.png 1 3"}));
            for (const SceneObject &layer : maker.iconsList())
                QVERIFY2(QFileInfo(layer.file()).isFile(), qPrintable(layer.file()));

            // A broken archive leaves the workspace as it was, and says so.
            beforeGarbage = folderContents(workspace);
            driver.answerPanel({dir.filePath("garbage.scp")});
            driver.answerAlert("OK");
            clickControl(c, "btnImport");
            QTRY_COMPARE(driver.alerts().size(), 3);
            afterGarbage = folderContents(workspace);

            // The names of the program's scenes and "none" are refused.
            auto *caption = control<QLineEdit>(c, "txtCaption");
            for (const char *name : {"None", "nOnE", "Garden", "a/b"}) {
                driver.answerAlert("OK");
                caption->setText(name);
                clickControl(c, "btnOK");
                QVERIFY(c->window()->isVisible());
            }
            caption->setText("Meadow");
            clickControl(c, "btnOK");
        });
        QCOMPARE(maker.runModal(), 1);
        QCOMPARE(maker.title(), QString("Meadow"));
        QVERIFY(driver.failures().isEmpty());
        QCOMPARE(driver.alerts().size(), 7);

        // The archive holds the package at its top; the import brought it back whole.
        const QStringList entries = ZipExtractor::entryNames(dir.filePath("out/Meadow.scp"));
        QVERIFY(entries.contains("Meta.xml") && entries.contains("shot.jpg"));
        QVERIFY(entries.contains("Resources/sun.swf") && entries.contains("Resources/grass.png"));
        QCOMPARE(afterGarbage, beforeGarbage);
        QCOMPARE(readFile(workspace + "/Resources/sun.swf"), readFile(dir.filePath("art/sun.swf")));
        QCOMPARE(exported.value("Resources/grass.png"), readFile(dir.filePath("art/grass.png")));
        const auto layers = SceneObject::loadSceneObjsFromPath(workspace);
        QCOMPARE(layers->size(), 2);
        QCOMPARE(SceneObject::sceneTitleFromPath(workspace), QString("Meadow"));
    }

    // New after choosing a layer edits a layer still to be added; rows dragged to a new
    // place and then out of the window; layers that share a place all show, stacked
    // as the book stacks them.
    void newLayerDragsAndStackedPreview()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("art")));
        const QList<QColor> colors = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
        for (int i = 0; i < colors.size(); ++i)
            QVERIFY(TestPictures::writePicture(dir.filePath(QStringLiteral("art/%1.png").arg(QChar('a' + i))), QSize(40 + 10 * i, 30),
                                               colors.at(i)));
        UiTestDriver driver;
        ScenesMaker maker;
        maker.setWorkspace(dir.filePath("workspace"));
        driver.answerModal([&](WindowController *c) {
            auto *file = control<QLineEdit>(c, "txtFile");
            auto *layout = control<QComboBox>(c, "popLayout");
            auto *list = control<QTableView>(c, "tableView");
            for (const char *name : {"a.png", "b.png", "c.png"}) {
                file->setText(dir.filePath(QStringLiteral("art/") + name));
                layout->setCurrentIndex(SceneObject::TopLeft);
                clickControl(c, "btnAdd");
            }
            // All three in one corner, in list order, the last one over the others.
            QTRY_COMPARE_WITH_TIMEOUT(
                evaluate(maker, "[...document.querySelectorAll('.qv-scene-back img.qv-top-left')].map(i => i.naturalWidth).join()")
                    .toString(),
                QString("40,50,60"), 20000);

            list->selectRow(0);
            clickControl(c, "btnEdit");
            file->setText(dir.filePath("art/d.png"));
            layout->setCurrentIndex(SceneObject::BottomRight);
            emit layout->activated(SceneObject::BottomRight);
            control<QComboBox>(c, "popLayer")->setCurrentIndex(1);
            clickControl(c, "btnAdd");
            QCOMPARE(layerNames(maker), QStringList({"a.png 0 0", "b.png 0 0", "c.png 0 0", "d.png 1 3"}));

            // Dragged to the end, then another row out of the window: it is deleted.
            const std::unique_ptr<QDrag> moved = RowDrags::dragWithin(list, {0}, 4);
            QCOMPARE(layerNames(maker), QStringList({"b.png 0 0", "c.png 0 0", "d.png 1 3", "a.png 0 0"}));
            RowDrags::dragOut(list, {1});
            QCOMPARE(layerNames(maker), QStringList({"b.png 0 0", "d.png 1 3", "a.png 0 0"}));
            QTRY_COMPARE_WITH_TIMEOUT(
                evaluate(maker, "[...document.querySelectorAll('.qv-scene img')].map(i => i.naturalWidth).join()").toString(),
                QString("50,40,70"), 20000);
            clickControl(c, "btnCancel");
        });
        QCOMPARE(maker.runModal(), 0);
        QVERIFY(driver.failures().isEmpty());
    }

    // Layer names from a package are text in the preview page, never markup; names no
    // file of a package may have are refused where the package is read. OK waits for
    // the preview it takes the picture of without holding the window: Cancel meanwhile
    // ends the dialog with nothing saved. A scene that cannot be written, or a picture
    // that cannot be made, keeps the dialog open.
    void packageNamesStayTextAndOkSavesOnlyWhatItWrote()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("art/notes.png"), "not a picture"));
        QVERIFY(TestPictures::writePicture(dir.filePath("art/grass.png"), QSize(60, 40), Qt::green));
        QVERIFY(TestPictures::writePicture(dir.filePath("art/gone.png"), QSize(60, 40), Qt::blue));
        const QString hostile = "a.png\"><img src=x onerror=\"document.title='taken'\">";
        QVERIFY(writePackage(dir.filePath("odd.scp"), {hostile, "b.png&amp"}, dir.filePath("art/gone.png")));
        UiTestDriver driver;
        {
            ScenesMaker maker;
            maker.setWorkspace(dir.filePath("odd"));
            driver.answerModal([&](WindowController *c) {
                driver.answerPanel({dir.filePath("odd.scp")});
                clickControl(c, "btnImport");
                QTRY_COMPARE(layerNames(maker), QStringList({"b.png&amp 0 4"}));
                QTRY_VERIFY_WITH_TIMEOUT(
                    evaluate(maker, "(document.querySelector('.qv-scene-back img.qv-fill') || {}).naturalWidth > 0").toBool(), 30000);
                QCOMPARE(evaluate(maker, "document.querySelectorAll('img').length").toInt(), 1);
                QVERIFY(evaluate(maker, "document.title").toString() != "taken");

                control<QLineEdit>(c, "txtFile")->setText(dir.filePath("art/grass.png"));
                clickControl(c, "btnAdd"); // the preview loads again
                QTimer::singleShot(0, c, [c] { clickControl(c, "btnCancel"); });
                clickControl(c, "btnOK");
            });
            QCOMPARE(maker.runModal(), 0);
            QCOMPARE(SceneObject::loadSceneObjsFromPath(dir.filePath("odd"))->size(), 1);
        }

        // Editing a scene: its description is there before OK.
        const QString workspace = dir.filePath("edited");
        QVERIFY(SceneObject::saveSceneObjs({SceneObject(dir.filePath("art/grass.png"), 0, 4)}, "Lawn", QString(), workspace));
        ScenesMaker maker;
        maker.setWorkspace(workspace);
        driver.answerModal([&](WindowController *c) {
            control<QLineEdit>(c, "txtFile")->setText(dir.filePath("art/gone.png"));
            clickControl(c, "btnAdd");
            QVERIFY(QFile::remove(dir.filePath("art/gone.png")));
            driver.answerAlert("OK");
            clickControl(c, "btnOK");
            QTRY_COMPARE(driver.alerts().size(), 1);
            QVERIFY(c->window()->isVisible());

            QVERIFY(TestPictures::writePicture(dir.filePath("art/gone.png"), QSize(60, 40), Qt::blue));
            control<QLineEdit>(c, "txtThumbFile")->setText(dir.filePath("art/notes.png"));
            driver.answerAlert("OK");
            clickControl(c, "btnOK");
            QTRY_COMPARE(driver.alerts().size(), 2);
            QVERIFY(c->window()->isVisible());
            QVERIFY(driver.alerts().at(1).detailedText.contains("notes.png"));

            control<QLineEdit>(c, "txtThumbFile")->clear();
            clickControl(c, "btnOK");
        });
        QCOMPARE(maker.runModal(), 1);
        QCOMPARE(TestPictures::pictureFormat(workspace + "/shot.jpg"), QByteArray("jpeg"));
        QCOMPARE(SceneObject::loadSceneObjsFromPath(workspace)->size(), 2);
        QVERIFY(driver.failures().isEmpty());
    }
};

QV_TEST(ScenesMakerTest)
#include "tst_scenesmaker.moc"
