#include "EditorSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "furnishings/FlashMenuItem.h"
#include "furnishings/ui/CaptionExpressionDelegate.h"
#include "furnishings/ui/FlashMenuDelegate.h"
#include "furnishings/ui/OtherIconSettings.h"
#include "furnishings/ui/OtherIconsDelegate.h"
#include "furnishings/ui/PageNumberCaption.h"
#include "platform/ui/DragFileImport.h"
#include "project/BookDocument.h"
#include "shell/BookSession.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"
#include "templates/ui/TemplateSettingItemDelegate.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QTableWidget>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 90000;

} // namespace

// Captions, a viewer menu, extra icons and replaced toolbar icons set through their
// windows from the main window's design settings, kept in the project, and published
// as a web folder. QUORVEL_BOOK_OUT names the folder to publish into (the browser
// test reads the book there); a temporary one otherwise.
class FurnishingsFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void furnishingsSetInTheirWindowsReachThePublishedBook()
    {
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("published") : given;
        const QString pdf = dir.filePath("Herbarium.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 6));
        QVERIFY(TestPictures::writePicture(dir.filePath("contents.png"), QSize(32, 32), QColor(0x2E, 0x7D, 0x32)));
        QVERIFY(TestPictures::writePicture(dir.filePath("shop.png"), QSize(32, 32), QColor(0xE5, 0x39, 0x35)));
        QVERIFY(TestPictures::writePicture(dir.filePath("arrow.png"), QSize(32, 32), QColor(0x1E, 0x88, 0xE5)));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));

        // Roman numerals for the front pages, then numbers from 1.
        QVERIFY(editSetting(app, driver, "pageCaption", [](WindowController *c) {
            addCaption(c, "1", "2", 4, ""); // {r+}
            addCaption(c, "3", "6", -1, "{N+-2}");
            clickControl(c, "btnOK");
        }));
        QVERIFY(editSetting(app, driver, "flashMenu", [](WindowController *c) {
            addMenuEntry(c, "Our site", "https://example.com/herbs");
            addMenuEntry(c, "Write to us", "mailto:herbs@example.com");
            clickControl(c, "btnOK");
        }));
        const QString contents = dir.filePath("contents.png");
        const QString shop = dir.filePath("shop.png");
        QVERIFY(editSetting(app, driver, "otherIconsConfig", [contents, shop](WindowController *c) {
            addExtraIcon(c, contents, "Contents", "3");
            dropFiles(c, {shop});
            QTRY_COMPARE(static_cast<OtherIconsDelegate *>(c)->iconsList().size(), 2);
            clickControl(c, "btnOK");
        }));
        const QString arrow = dir.filePath("arrow.png");
        QVERIFY(editSetting(app, driver, "toolbarIconsFile", [arrow](WindowController *c) {
            replaceToolbarIcon(c, "Next page", arrow);
            auto *table = control<QTableWidget>(c, "tableView");
            QCOMPARE(table->item(table->currentRow(), 2)->toolTip(), QString("Icons/next.png"));
            clickControl(c, "btnOK");
        }));
        FlashTemplate *tmpl = app.session()->document().flashTmpl();
        QCOMPARE(tmpl->propertyValue("pageCaption"), QString("1-2:{r+};3-6:{N+-2}"));
        QVERIFY(tmpl->propertyValue("toolbarIconsFile").endsWith(".zip"));

        // Kept in the project.
        const QString project = dir.filePath("Herbarium.qvprj");
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(app.closeBook());
        QVERIFY(app.openProject(project));
        tmpl = app.session()->document().flashTmpl();
        QCOMPARE(FlashMenuItem::parseByXmlString(tmpl->propertyValue("flashMenu")).size(), 2);

        QVERIFY(publishWebFolder(app, driver, out, "Herbarium", QString(), kLong));

        // On disk: the replaced icon and the extra icons' pictures, copied as they were.
        QString config = readText(out + "/files/config.js");
        config = config.mid(config.indexOf('{'));
        config.truncate(config.lastIndexOf('}') + 1);
        const QJsonObject book = QJsonDocument::fromJson(config.toUtf8()).object();
        QCOMPARE(book.value("captions").toArray(), QJsonArray({"i", "ii", "1", "2", "3", "4"}));
        QCOMPARE(readFile(out + "/" + book.value("toolbarIcons").toObject().value("next").toString()), readFile(arrow));
        QCOMPARE(readFile(out + "/" + book.value("extraIcons").toArray().at(0).toObject().value("icon").toString()),
                 readFile(contents));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }

    // Two books opened one after the other each keep their own replaced toolbar icon:
    // the second book's window starts without the first book's, and each book shows
    // and publishes its own after it was saved and opened again.
    void eachBookKeepsItsOwnToolbarIcons()
    {
        QTemporaryDir dir;
        for (const char *name : {"Alder", "Birch"})
            QVERIFY(PdfFixtures::writeNumberedPdf(dir.filePath(QString(name) + ".pdf"), 2));
        const QString red = dir.filePath("red.png");
        const QString blue = dir.filePath("blue.png");
        QVERIFY(TestPictures::writePicture(red, QSize(32, 32), QColor(0xE5, 0x39, 0x35)));
        QVERIFY(TestPictures::writePicture(blue, QSize(32, 32), QColor(0x1E, 0x88, 0xE5)));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        // The next-page icon as the toolbar icon window shows it for the open book.
        const auto nextIcon = [&](const QString &replaceWith) {
            QByteArray shown;
            FlashTemplateOutlineDelegate *outline = app.mainWindow()->designSettings();
            driver.answerModal([&](WindowController *c) {
                auto *table = control<QTableWidget>(c, "tableView");
                const int next = table->findItems("Next page", Qt::MatchExactly).value(0)->row();
                const QString value = table->item(next, 2)->toolTip();
                shown = value.isEmpty() ? QByteArray() : readFile(app.mainWindow()->designSettings()->changeIconWorkspace() + "/" + value);
                if (replaceWith.isEmpty())
                    return clickControl(c, "btnCancel");
                replaceToolbarIcon(c, "Next page", replaceWith);
                QCOMPARE(table->item(next, 2)->toolTip(), QString("Icons/next.png"));
                clickControl(c, "btnOK");
            });
            const QModelIndex setting = outline->model()->indexForKey("toolbarIconsFile", FlashTemplateModel::ValueColumn);
            [&] { QCOMPARE(outline->openEditorForIndex(setting), !replaceWith.isEmpty()); }();
            return shown;
        };

        QVERIFY(startWithImportedPdf(app, driver, dir.filePath("Alder.pdf")));
        QCOMPARE(nextIcon(red), QByteArray());
        // The row shows the icons' file by its name, not the value kept for the program.
        const QString iconsValue = app.session()->document().flashTmpl()->propertyValue("toolbarIconsFile");
        QVERIFY2(iconsValue.startsWith("STYLE_EXTERN:"), qPrintable(iconsValue));
        FlashTemplateOutlineDelegate *settings = app.mainWindow()->designSettings();
        QCOMPARE(settings->itemDelegate()->shownText(settings->model()->indexForKey("toolbarIconsFile", FlashTemplateModel::ValueColumn)),
                 QFileInfo(iconsValue).fileName());
        driver.answerPanel({dir.filePath("Alder.qvprj")});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(app.closeBook());

        driver.answerModal([](WindowController *c) { qobject_cast<ImportPDFDialog *>(c)->importButton()->click(); });
        driver.answerModal([](WindowController *) {});
        QVERIFY(app.importPDF(dir.filePath("Birch.pdf")));
        QCOMPARE(nextIcon(blue), QByteArray()); // nothing of the first book
        driver.answerPanel({dir.filePath("Birch.qvprj")});
        QVERIFY(app.onSaveProjectAs());
        QVERIFY(app.closeBook());

        for (const auto &[book, picture] : {std::pair{QString("Alder"), red}, std::pair{QString("Birch"), blue}}) {
            QVERIFY(app.openProject(dir.filePath(book + ".qvprj")));
            QCOMPARE(nextIcon(QString()), readFile(picture));
            const QString out = dir.filePath("out/" + book);
            QVERIFY(publishWebFolder(app, driver, out, book, QString(), kLong));
            const QJsonObject config = bookConfigOf(out + "/files/config.js");
            QCOMPARE(readFile(out + "/" + config.value("toolbarIcons").toObject().value("next").toString()), readFile(picture));
        }
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(FurnishingsFlowTest)
#include "tst_furnishingsflow.moc"
