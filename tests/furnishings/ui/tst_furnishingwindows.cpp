#include "MainWindowSteps.h"
#include "RowDrags.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/ZipWriter.h"
#include "furnishings/FlashMenuItem.h"
#include "furnishings/ToolbarIconSet.h"
#include "furnishings/ui/CaptionExpressionDelegate.h"
#include "furnishings/ui/ChangeIconFileDelegate.h"
#include "furnishings/ui/FlashMenuDelegate.h"
#include "furnishings/ui/OtherIconSettings.h"
#include "furnishings/ui/OtherIconsDelegate.h"
#include "furnishings/ui/PageNumberCaption.h"
#include "platform/RowDragMime.h"
#include "platform/ui/DragDeleteDetectView.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

// Drops files on the window's drop target, as a drop from the file manager does.
void dropFiles(WindowController &c, const QStringList &paths)
{
    std::unique_ptr<QMimeData> data(filesMime(paths));
    QVERIFY(c.window()->findChild<DragFileImport *>()->performDrop(data.get()));
}

void type(QLineEdit *field, const QString &text)
{
    field->clear();
    QTest::keyClicks(field, text);
}

// The file a save panel asked with options proposes.
QString proposedFile(const QvPanelOptions &options)
{
    QvPanel panel;
    panel.setIsOpenPanel(false);
    panel.setDirectory(options.directory);
    panel.setNameFieldStringValue(options.nameFieldStringValue);
    panel.setTypes(options.types);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    panel.configureDialog(dialog);
    return dialog.selectedFiles().value(0);
}

} // namespace

class FurnishingWindowsTest : public QObject
{
    Q_OBJECT
private slots:
    void captionsAreBuiltInTheSheetAndCheckedAsAWhole()
    {
        UiTestDriver driver;
        PageNumberCaption editor;
        editor.setExpression("1:Cover");
        editor.showWindow();
        clickControl(&editor, "btnAddExpression");
        CaptionExpressionDelegate *sheet = editor.expressionSheet();
        QVERIFY(sheet && sheet->isSheet());

        // A falling range is no expression: OK says so and stays.
        type(control<QLineEdit>(sheet, "txtFromPage"), "4x");
        QCOMPARE(control<QLineEdit>(sheet, "txtFromPage")->text(), QString("4")); // digits only
        type(control<QLineEdit>(sheet, "txtToPage"), "2");
        type(control<QLineEdit>(sheet, "txtCaption"), "p");
        driver.answerAlert("OK");
        clickControl(sheet, "btnOK");
        QCOMPARE(driver.alerts().size(), 1);
        QVERIFY(sheet->isWindowVisible());

        // A second macro asks first; the expression still counts with the first.
        type(control<QLineEdit>(sheet, "txtFromPage"), "2");
        type(control<QLineEdit>(sheet, "txtToPage"), "4");
        control<QLineEdit>(sheet, "txtCaption")->clear();
        sheet->macroMenu()->actions().at(4)->trigger(); // {r+}
        driver.answerAlert("Cancel");
        sheet->macroMenu()->actions().at(0)->trigger();
        QCOMPARE(control<QLineEdit>(sheet, "txtCaption")->text(), QString("{r+}"));
        QCOMPARE(control<QLabel>(sheet, "lblExpression")->text(), QString("2-4:{r+}"));
        clickControl(sheet, "btnOK");
        QTRY_VERIFY(!editor.expressionSheet());
        QCOMPARE(control<QPlainTextEdit>(&editor, "txtExpression")->toPlainText(), QString("1:Cover;2-4:{r+}"));
        const auto *preview = control<QTableWidget>(&editor, "tblPreview");
        QCOMPARE(preview->rowCount(), 4);
        QCOMPARE(preview->item(3, 1)->text(), QString("iv"));

        // Text typed by hand with a broken expression is refused, naming it.
        control<QPlainTextEdit>(&editor, "txtExpression")->setPlainText("1:Cover;5-9:Page;");
        driver.answerAlert("OK");
        clickControl(&editor, "btnOK");
        QCOMPARE(driver.alerts().last().detailedText, QString("5-9:Page"));
        QVERIFY(editor.isWindowVisible());
        control<QPlainTextEdit>(&editor, "txtExpression")->setPlainText("1:Cover;\n2-4:{r+};");
        clickControl(&editor, "btnOK");
        QCOMPARE(editor.closeMode(), 1);
        QCOMPARE(editor.expression(), QString("1:Cover;2-4:{r+}"));
        QVERIFY(driver.failures().isEmpty());
    }

    void menuEntriesAreEditedAndCheckedBeforeTheyAreKept()
    {
        UiTestDriver driver;
        FlashMenuDelegate editor;
        editor.setSettingXmlString("<menus><menu><title>Share it</title><action><share/></action></menu></menus>");
        editor.showWindow();
        QCOMPARE(control<QTableView>(&editor, "tableView")->model()->rowCount(), 1);

        clickControl(&editor, "btnAdd");
        type(control<QLineEdit>(&editor, "txtCaption"), "Write to us");
        control<QComboBox>(&editor, "popType")->setCurrentIndex(FlashMenuItem::Url);
        QVERIFY(control<QLineEdit>(&editor, "txtContent")->isEnabled());
        // An address is needed.
        driver.answerAlert("OK");
        clickControl(&editor, "btnOK");
        QCOMPARE(driver.alerts().size(), 1);
        QVERIFY(editor.isWindowVisible());
        type(control<QLineEdit>(&editor, "txtContent"), "mailto:ann@example.com");
        clickControl(&editor, "btnMoveUp");
        clickControl(&editor, "btnOK");
        QCOMPARE(editor.closeMode(), 1);

        const QList<FlashMenuItem> items = FlashMenuItem::parseByXmlString(editor.settingXmlString());
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(0).caption(), QString("Write to us"));
        QCOMPARE(items.at(0).content(), QString("mailto:ann@example.com"));
        QCOMPARE(items.at(1).caption(), QString("Share it"));
        QVERIFY(driver.failures().isEmpty());
    }

    void iconsAreAddedMovedAndDeletedWithoutTouchingTheGivenList()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        for (const char *name : {"a.png", "b.png", "c.png"})
            QVERIFY(TestPictures::writePicture(dir.filePath(name), QSize(16, 16), Qt::red));
        OtherIconItem start;
        start.setCaption("Start");
        start.setFile(dir.filePath("a.png"));
        start.setContent("1");
        const QString given = dir.filePath("icons.xml");
        QVERIFY(writeFile(given));
        QCOMPARE(OtherIconItem::saveIconList({start}, given), given);
        const QByteArray givenBytes = readFile(given);

        OtherIconsDelegate editor;
        editor.setCustomIconsSettingFile(given);
        editor.showWindow();
        // Dropped pictures become link icons, in drop order.
        dropFiles(editor, {dir.filePath("a.png"), dir.filePath("b.png"), dir.filePath("c.png")});
        QTRY_COMPARE(editor.iconsList().size(), 4);
        QCOMPARE(editor.iconsList().at(3).file(), dir.filePath("c.png"));
        QCOMPARE(editor.iconsList().at(3).type(), int(OtherIconItem::OpenLink));
        QCOMPARE(editor.iconsList().at(3).target(), QString("Blank"));

        // A row dragged within the list, and a stale drag that names no row.
        auto *view = control<QTableView>(&editor, "tableView");
        const std::unique_ptr<QDrag> moved = RowDrags::dragWithin(view, {0}, 2);
        QCOMPARE(editor.iconsList().at(1).caption(), QString("Start"));
        std::unique_ptr<QMimeData> stale(RowDragMime::mimeData(OtherIconDataType, {9}));
        view->model()->dropMimeData(stale.get(), Qt::MoveAction, 0, 0, {});
        QCOMPARE(editor.iconsList().at(1).caption(), QString("Start"));

        // After that reorder, a row dragged out of the window is deleted.
        RowDrags::dragOut(view, {1});
        QCOMPARE(editor.iconsList().size(), 3);
        QVERIFY(editor.iconsList().at(0).caption() != "Start");

        // Edited in the sheet: a page below 1 is refused, a letter typed is dropped.
        view->selectRow(0);
        editor.onTableViewDoubleClick();
        OtherIconSettings *sheet = editor.settingsDelegate();
        QVERIFY(sheet);
        control<QAbstractButton>(sheet, "cellType0")->click();
        type(control<QLineEdit>(sheet, "txtPageIndex"), "0");
        const qsizetype alerts = driver.alerts().size();
        driver.answerAlert("OK");
        clickControl(sheet, "btnOK");
        QCOMPARE(driver.alerts().size(), alerts + 1);
        QVERIFY(editor.settingsDelegate());
        type(control<QLineEdit>(sheet, "txtPageIndex"), "12a");
        QCOMPARE(control<QLineEdit>(sheet, "txtPageIndex")->text(), QString("12"));
        clickControl(sheet, "btnOK");
        QTRY_VERIFY(!editor.settingsDelegate());
        QCOMPARE(editor.iconsList().at(0).type(), int(OtherIconItem::GoToPage));
        QCOMPARE(editor.iconsList().at(0).content(), QString("12"));

        clickControl(&editor, "btnOK");
        const QString result = editor.customIconsSettingFile();
        QVERIFY(result != given);
        QCOMPARE(OtherIconItem::iconListFromFile(result)->size(), 3);
        QCOMPARE(readFile(given), givenBytes);
        QVERIFY(driver.failures().isEmpty());
    }

    void theIconSheetAsksAboutLargePicturesAndTakesTypedTargets()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        QVERIFY(TestPictures::writePicture(dir.filePath("wide.png"), QSize(100, 20), Qt::blue));
        OtherIconItem icon;
        icon.setType(OtherIconItem::OpenLink);
        OtherIconSettings sheet;
        sheet.setIconItem(&icon);
        sheet.showWindow();
        QVERIFY(!control<QPushButton>(&sheet, "btnOK")->isEnabled()); // no picture yet

        driver.answerPanel({dir.filePath("wide.png")});
        driver.answerAlert("NO");
        clickControl(&sheet, "btnBrowse");
        QTRY_COMPARE(driver.alerts().size(), 1);
        QVERIFY(control<QLineEdit>(&sheet, "txtFilePath")->text().isEmpty());
        // Dropped, the same picture is taken without a question.
        dropFiles(sheet, {dir.filePath("wide.png")});
        QTRY_COMPARE(control<QLineEdit>(&sheet, "txtFilePath")->text(), dir.filePath("wide.png"));
        QVERIFY(control<QPushButton>(&sheet, "btnOK")->isEnabled());

        auto *target = control<QComboBox>(&sheet, "comLinkTarget");
        target->setCurrentIndex(-1);
        target->lineEdit()->setText("top");
        QTest::keyClick(target->lineEdit(), Qt::Key_Return);
        QCOMPARE(target->currentText(), QString("Top"));
        QVERIFY(sheet.isWindowVisible()); // Enter stayed in the box
        type(control<QLineEdit>(&sheet, "txtUrlAddr"), "https://example.com/shop");
        clickControl(&sheet, "btnOK");
        QCOMPARE(icon.target(), QString("Top"));
        QCOMPARE(icon.content(), QString("https://example.com/shop"));
        QCOMPARE(icon.file(), dir.filePath("wide.png"));
        QCOMPARE(driver.alerts().size(), 1);
    }

    void toolbarIconsAreReplacedImportedAndExported()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        const QString workspace = dir.filePath("ws");
        QDir().mkpath(workspace);
        QDir().mkpath(QDir::homePath() + "/Documents"); // where the panels start
        QVERIFY(TestPictures::writePicture(dir.filePath("arrow.jpg"), QSize(24, 24), Qt::red));
        QVERIFY(TestPictures::writePicture(dir.filePath("zoom.png"), QSize(24, 24), Qt::green));
        QVERIFY(writeFile(workspace + "/99.zip", "the archive of the last run"));
        QVERIFY(writeFile(workspace + "/98.zip", "the archive of a run before"));
        QVERIFY(writeFile(dir.filePath("mine.zip"), "an archive of the user's own"));

        ChangeIconFileDelegate editor;
        editor.setWorkSpace(workspace);
        editor.setInputFile(workspace + "/99.zip"); // unreadable: refused with a message
        driver.answerAlert("OK");
        editor.showWindow();
        QTRY_COMPARE(driver.alerts().size(), 1);
        auto *table = control<QTableWidget>(&editor, "tableView");
        QVERIFY(table->rowCount() >= 12);

        // A picture dropped with no row selected replaces nothing.
        driver.answerAlert("OK");
        dropFiles(editor, {dir.filePath("arrow.jpg")});
        QTRY_COMPARE(driver.alerts().size(), 2);
        QVERIFY(!QFileInfo::exists(workspace + "/Icons"));

        int next = -1;
        for (int row = 0; row < editor.icons().count(); ++row)
            if (editor.icons().keyOf(row) == "next")
                next = row;
        table->selectRow(next);
        dropFiles(editor, {dir.filePath("arrow.jpg")});
        QTRY_VERIFY(QFileInfo::exists(workspace + "/Icons/next.png"));
        QCOMPARE(TestPictures::pictureFormat(workspace + "/Icons/next.png"), QByteArray("png"));
        // With the row left, a drop no longer replaces it.
        const QByteArray replaced = readFile(workspace + "/Icons/next.png");
        table->clearSelection();
        driver.answerAlert("OK");
        dropFiles(editor, {dir.filePath("zoom.png")});
        QTRY_COMPARE(driver.alerts().size(), 3);
        QCOMPARE(readFile(workspace + "/Icons/next.png"), replaced);

        // Imported: an archive reaching outside is refused; a good one is taken.
        {
            ZipWriter evil(dir.filePath("evil.zip"));
            evil.addFile("../zoom.png", dir.filePath("zoom.png"));
            QVERIFY(evil.commit());
            ZipWriter good(dir.filePath("good.zip"));
            good.addFile("ZOOM.png", dir.filePath("zoom.png"));
            QVERIFY(good.commit());
        }
        driver.answerPanel({dir.filePath("evil.zip")});
        driver.answerAlert("OK");
        clickControl(&editor, "btnImport");
        QTRY_COMPARE(driver.alerts().size(), 4);
        driver.answerPanel({dir.filePath("good.zip")});
        clickControl(&editor, "btnImport");
        QTRY_VERIFY(QFileInfo::exists(workspace + "/Icons/ZOOM.png"));

        // Exported over an existing file, proposed in the documents folder; it says so.
        QVERIFY(writeFile(dir.filePath("export.zip"), "old"));
        driver.answerPanel({dir.filePath("export.zip")});
        driver.answerAlert("OK");
        clickControl(&editor, "btnExport");
        QTRY_COMPARE(driver.alerts().size(), 5);
        QVERIFY(readFile(dir.filePath("export.zip")).startsWith("PK"));
        QCOMPARE(driver.alerts().last().informativeText, dir.filePath("export.zip"));
        QCOMPARE(proposedFile(driver.panels().last()), QDir::homePath() + "/Documents/iconSwfResource.zip");
        QHash<QString, QString> exported;
        QVERIFY(ToolbarIconSet::picturesInArchive(dir.filePath("export.zip"), dir.filePath("x"), {"next", "zoom"}, &exported));
        QCOMPARE(exported.size(), 2);

        // OK: a new archive, and those this window made before are gone.
        clickControl(&editor, "btnOK");
        QCOMPARE(editor.closeMode(), 1);
        QVERIFY(editor.inputFile().startsWith(workspace + "/"));
        QVERIFY(readFile(editor.inputFile()).startsWith("PK"));
        QVERIFY(!QFileInfo::exists(workspace + "/99.zip") && !QFileInfo::exists(workspace + "/98.zip"));
        QVERIFY(QFileInfo::exists(workspace + "/.cfg"));

        // An archive of the user's own is never deleted.
        ChangeIconFileDelegate again;
        again.setWorkSpace(workspace);
        again.setInputFile(dir.filePath("mine.zip"));
        driver.answerAlert("OK"); // mine.zip cannot be read
        again.showWindow();
        QTRY_COMPARE(driver.alerts().size(), 6);
        clickControl(&again, "btnOK");
        QVERIFY(readFile(again.inputFile()).startsWith("PK"));
        QVERIFY(QFileInfo::exists(dir.filePath("mine.zip")));

        // The SWF option answers its file, once one is there.
        ChangeIconFileDelegate swf;
        swf.setWorkSpace(workspace);
        swf.showWindow();
        control<QCheckBox>(&swf, "btnCheckedSWF")->setChecked(true);
        driver.answerAlert("Cancel"); // no SWF chosen: stay
        clickControl(&swf, "btnOK");
        QVERIFY(swf.isWindowVisible());
        QVERIFY(writeFile(dir.filePath("skin.swf"), "FWS"));
        dropFiles(swf, {dir.filePath("skin.swf")});
        QTRY_COMPARE(control<QLineEdit>(&swf, "lblSWFFile")->text(), dir.filePath("skin.swf"));
        clickControl(&swf, "btnOK");
        QCOMPARE(swf.inputFile(), dir.filePath("skin.swf"));
        QVERIFY(driver.failures().isEmpty());
    }
};

QV_TEST(FurnishingWindowsTest)
#include "tst_furnishingwindows.moc"
