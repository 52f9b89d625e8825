#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/ZipWriter.h"
#include "furnishings/OtherIconItem.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "platform/ui/WindowController.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"
#include "templates/ui/TemplateEditorRegistry.h"
#include "templates/ui/TemplateSettingItemDelegate.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace TestFiles;

namespace {

struct Outline
{
    FlashTemplate tmpl;
    FlashTemplateOutlineDelegate outline;
    Outline()
    {
        tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora"));
        outline.setFlashTemplate(&tmpl);
        outline.resize(500, 700);
        outline.show();
    }
    QModelIndex valueIndex(const QString &key)
    {
        const QModelIndex index = outline.model()->indexForKey(key, FlashTemplateModel::ValueColumn);
        outline.outlineView()->scrollTo(index);
        return index;
    }
    // Types text into the setting's cell and commits it with Return.
    void typeValue(const QString &key, const QString &text)
    {
        const QModelIndex index = valueIndex(key);
        outline.outlineView()->setCurrentIndex(index);
        outline.outlineView()->edit(index);
        QPointer<QWidget> editor = outline.outlineView()->indexWidget(index);
        QVERIFY(editor);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setText(text);
        else
            qobject_cast<QPlainTextEdit *>(editor)->setPlainText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!editor);
    }
};

} // namespace

// The design settings that hold furnishings: their buttons open the furnishing
// editors, and values typed by hand either take effect or are refused with a message.
class FurnishingEditorsTest : public QObject
{
    Q_OBJECT
private slots:
    void typedValuesTheBookCannotUseAreRefused()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        Outline o;
        QVERIFY(QTest::qWaitForWindowExposed(&o.outline));
        QVERIFY(writeFile(dir.filePath("notes.txt"), "not a list"));
        QVERIFY(writeFile(dir.filePath("icons.zip"), "not an archive"));
        const struct
        {
            const char *key;
            QString refused;
        } cases[] = {{"pageCaption", "1:Cover;5-9:Page"},
                     {"flashMenu", "<menus><menu>"},
                     {"otherIconsConfig", dir.filePath("notes.txt")},
                     {"toolbarIconsFile", dir.filePath("icons.zip")},
                     {"toolbarIconsFile", dir.filePath("missing.zip")}};
        for (const auto &c : cases) {
            const QString before = o.tmpl.propertyValue(c.key);
            driver.answerAlert("OK");
            o.typeValue(c.key, c.refused);
            QTRY_COMPARE(driver.alerts().size(), int(&c - cases) + 1);
            QCOMPARE(o.tmpl.propertyValue(c.key), before);
        }
        QCOMPARE(driver.alerts().first().detailedText, QString("5-9:Page"));

        // Values the book can use are taken.
        o.typeValue("pageCaption", "1-4:{r+};5-9:{N+-4}");
        QCOMPARE(o.tmpl.propertyValue("pageCaption"), QString("1-4:{r+};5-9:{N+-4}"));
        OtherIconItem icon;
        icon.setContent("2");
        const QString list = OtherIconItem::saveIconList({icon}, QString());
        o.typeValue("otherIconsConfig", list);
        QCOMPARE(o.tmpl.propertyValue("otherIconsConfig"), list);
        QVERIFY(TestPictures::writePicture(dir.filePath("next.png"), QSize(8, 8), Qt::red));
        ZipWriter zip(dir.filePath("good.zip"));
        QVERIFY(zip.addFile("next.png", dir.filePath("next.png")) && zip.commit());
        o.typeValue("toolbarIconsFile", dir.filePath("good.zip"));
        QCOMPARE(o.tmpl.propertyValue("toolbarIconsFile"), dir.filePath("good.zip"));
        QCOMPARE(driver.alerts().size(), 5);
        QVERIFY(driver.failures().isEmpty());
    }

    void eachFurnishingSettingOpensItsEditor()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        Outline o;
        QVERIFY(QTest::qWaitForWindowExposed(&o.outline));
        o.outline.setChangeIconWorkspace(dir.filePath("ws"));
        o.tmpl.setExternResourcePath(dir.filePath("book"));
        const struct
        {
            const char *key;
            const char *window;
        } cases[] = {{"pageCaption", "PageNumberCaption"},
                     {"flashMenu", "FlashMenuDelegate"},
                     {"otherIconsConfig", "OtherIconsDelegate"},
                     {"toolbarIconsFile", "ChangeIconFileDelegate"}};
        for (const auto &c : cases) {
            QVERIFY(o.outline.itemDelegate()->isButtonEnabled(o.valueIndex(c.key)));
            driver.answerModal([](WindowController *w) { w->window()->findChild<QPushButton *>("btnOK")->click(); });
            o.outline.openEditorForIndex(o.valueIndex(c.key));
            QCOMPARE(driver.modalRuns().last(), QString(c.window));
        }
        // An empty icon list still gets a file of its own, carried in the book's folder;
        // no replaced toolbar icon gives no archive; the toolbar window worked in the
        // outline's workspace.
        QVERIFY(o.tmpl.propertyFilePath("otherIconsConfig").startsWith(dir.filePath("book") + "/"));
        QVERIFY(QFileInfo(o.tmpl.propertyFilePath("otherIconsConfig")).isFile());
        QCOMPARE(o.tmpl.propertyValue("toolbarIconsFile"), QString());
        QVERIFY(QFileInfo::exists(dir.filePath("ws/.cfg")));
        QVERIFY(driver.failures().isEmpty());
    }
};

QV_TEST(FurnishingEditorsTest)
#include "tst_furnishingeditors.moc"
