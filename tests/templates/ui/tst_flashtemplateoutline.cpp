#include "TestSupport.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/UiTestDriver.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/WindowController.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/TemplateNotifications.h"
#include "templates/TemplateUndoStack.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"
#include "templates/ui/TemplateEditorRegistry.h"
#include "templates/ui/TemplateSettingItemDelegate.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

namespace {

// Every change notification posted while it lives.
struct ChangeLog
{
    QObject observer;
    QList<Notification> seen;
    ChangeLog()
    {
        NotificationCenter::defaultCenter()->addObserver(&observer, FlashTmplProValueChangedNotification, nullptr,
                                                         [this](const Notification &n) { seen << n; });
    }
};

// Registers an opener for the test and puts back what was there before.
struct ScopedOpener
{
    QString source;
    TemplateEditorRegistry::Opener previous;
    ScopedOpener(const QString &source, TemplateEditorRegistry::Opener opener)
        : source(source), previous(TemplateEditorRegistry::shared().opener(source))
    {
        TemplateEditorRegistry::shared().registerEditor(source, std::move(opener));
    }
    ~ScopedOpener()
    {
        TemplateEditorRegistry::shared().unregisterEditor(source);
        if (previous)
            TemplateEditorRegistry::shared().registerEditor(source, previous);
    }
};

// An outline on screen bound to the bundled desktop template.
struct Fixture
{
    FlashTemplate tmpl;
    FlashTemplateOutlineDelegate outline;
    Fixture()
    {
        tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora"));
        outline.setFlashTemplate(&tmpl);
        outline.resize(500, 700);
        outline.show();
    }
    QTreeView *view() { return outline.outlineView(); }
    QModelIndex valueIndex(const QString &key)
    {
        const QModelIndex index = outline.model()->indexForKey(key, FlashTemplateModel::ValueColumn);
        view()->scrollTo(index);
        return index;
    }
    template<typename Editor>
    Editor *openEditor(const QString &key)
    {
        const QModelIndex index = valueIndex(key);
        view()->setCurrentIndex(index);
        view()->edit(index);
        return qobject_cast<Editor *>(view()->indexWidget(index));
    }
    // Return in a cell editor commits and closes it (queued by the view).
    void pressReturn(QWidget *editor)
    {
        QPointer<QWidget> open = editor;
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!open);
    }
    void clickRowButton(const QString &key)
    {
        const QModelIndex index = valueIndex(key);
        QStyleOptionViewItem option;
        option.rect = view()->visualRect(index);
        const QRect button = outline.itemDelegate()->buttonRect(option, index);
        QVERIFY(!button.isNull());
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, button.center());
    }
};

} // namespace

class FlashTemplateOutlineTest : public QObject
{
    Q_OBJECT
private slots:
    void eachKindIsEditedInPlace()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.outline));

        auto *text = f.openEditor<QLineEdit>("analyticsID");
        QVERIFY(text);
        text->setText("G-12345");
        f.pressReturn(text);
        QCOMPARE(f.tmpl.propertyValue("analyticsID"), QStringLiteral("G-12345"));

        auto *number = f.openEditor<QDoubleSpinBox>("flipDuration");
        QVERIFY(number);
        number->setValue(99999); // held to the setting's bounds
        f.pressReturn(number);
        QCOMPARE(f.tmpl.propertyValue("flipDuration"), QStringLiteral("5000"));

        f.view()->setCurrentIndex(f.valueIndex("pageShadow"));
        QTest::keyClick(f.view(), Qt::Key_Space);
        QCOMPARE(f.tmpl.propertyValue("pageShadow"), QStringLiteral("No"));

        auto *color = f.openEditor<QLineEdit>("toolbarColor");
        QVERIFY(color);
        color->setText("#a0b1c2");
        f.pressReturn(color);
        QCOMPARE(f.tmpl.propertyValue("toolbarColor"), QStringLiteral("0xA0B1C2"));

        auto *choice = f.openEditor<QComboBox>("language");
        QVERIFY(choice);
        QCOMPARE(choice->currentText(), QStringLiteral("English"));
        QTest::keyClick(choice, Qt::Key_Down); // one pick commits and closes
        QCOMPARE(f.tmpl.propertyValue("language"), QStringLiteral("Deutsch"));
        QTRY_VERIFY(!f.view()->indexWidget(f.valueIndex("language")));

        auto *file = f.openEditor<QLineEdit>("backgroundImage");
        QVERIFY(file);
        file->setText("STYLE_RESOURCE:styles/linen.jpg");
        f.pressReturn(file);
        QCOMPARE(f.tmpl.propertyValue("backgroundImage"), QStringLiteral("STYLE_RESOURCE:styles/linen.jpg"));

        // A multi-line value keeps its line breaks through the editor.
        const QString links = f.tmpl.propertyValue("socialShareLinks");
        auto *box = f.openEditor<QPlainTextEdit>("socialShareLinks");
        QVERIFY(box);
        QCOMPARE(box->toPlainText(), links);
        box->appendPlainText("<!-- end -->");
        f.view()->setFocus(); // leaving the editor commits it
        QTRY_COMPARE(f.tmpl.propertyValue("socialShareLinks"), links + "\n<!-- end -->");
    }

    void rowButtonsRunTheRegisteredEditor()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.outline));
        QList<TemplateEditorRequest> requests;
        std::optional<QString> answer;
        ScopedOpener links("setsocialsharelinks", [&](const TemplateEditorRequest &request) {
            requests << request;
            return answer;
        });

        const QString before = f.tmpl.propertyValue("socialShareLinks");
        answer = QStringLiteral("<shareLinks/>");
        f.clickRowButton("socialShareLinks");
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().value, before);
        QCOMPARE(f.tmpl.propertyValue("socialShareLinks"), QStringLiteral("<shareLinks/>"));

        answer = std::nullopt; // cancelled
        f.clickRowButton("socialShareLinks");
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests.last().value, QStringLiteral("<shareLinks/>"));
        QCOMPARE(f.tmpl.propertyValue("socialShareLinks"), QStringLiteral("<shareLinks/>"));

        // Colours go through the "color" editor; its answer must be a valid colour.
        QString colorAnswer = "0x123456";
        ScopedOpener color("color", [&](const TemplateEditorRequest &request) {
            requests << request;
            return std::optional<QString>(colorAnswer);
        });
        f.clickRowButton("iconColor");
        QCOMPARE(requests.last().value, QStringLiteral("0xFFFFFF"));
        QCOMPARE(f.tmpl.propertyValue("iconColor"), QStringLiteral("0x123456"));
        colorAnswer = "no colour";
        f.clickRowButton("iconColor");
        QCOMPARE(f.tmpl.propertyValue("iconColor"), QStringLiteral("0x123456"));

        // The program's own colour chooser: a typed value, chosen; then cancelled.
        TemplateEditorRegistry::shared().registerEditor("color", color.previous);
        {
            UiTestDriver driver;
            driver.answerModal([](WindowController *c) {
                QTest::keyClicks(c->window()->findChild<QLineEdit *>("txtValue"), "a0b1c2");
                QTest::keyClick(c->window()->findChild<QLineEdit *>("txtValue"), Qt::Key_Return);
            });
            driver.answerModal([](WindowController *c) { c->window()->findChild<QPushButton *>("btnCancel")->click(); });
            f.clickRowButton("iconColor");
            QCOMPARE(f.tmpl.propertyValue("iconColor"), QStringLiteral("0xA0B1C2"));
            f.clickRowButton("iconColor");
            QCOMPARE(f.tmpl.propertyValue("iconColor"), QStringLiteral("0xA0B1C2"));
        }

        // A source with no editor: a disabled button that does nothing.
        TemplateEditorRegistry::shared().unregisterEditor("flashMenu");
        QVERIFY(!f.outline.itemDelegate()->isButtonEnabled(f.valueIndex("flashMenu")));
        QVERIFY(f.outline.itemDelegate()->isButtonEnabled(f.valueIndex("socialShareLinks")));
        f.clickRowButton("flashMenu");
        QCOMPARE(requests.size(), 4);
        QVERIFY(f.outline.itemDelegate()->buttonRect(QStyleOptionViewItem(), f.valueIndex("pageWidth")).isNull());
    }

    // A file chosen for a setting is copied into the template's own folder, and the
    // setting names the copy: the project carries it, and never names a file elsewhere.
    void chosenFilesAreCopiedIntoTheTemplatesFolder()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.outline));
        QTemporaryDir dir;
        const QString picture = dir.filePath("my photo.png");
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(picture));
        const QString folder = dir.filePath("book-files");
        TemplateEditorRegistry::shared().setResourceFolderMaker([&](FlashTemplate &tmpl) {
            tmpl.setExternResourcePath(folder);
            return QDir().mkpath(folder);
        });
        const auto forget = qScopeGuard([] { TemplateEditorRegistry::shared().setResourceFolderMaker({}); });

        UiTestDriver driver;
        for (int i = 0; i < 2; ++i) {
            driver.answerPanel({picture});
            f.clickRowButton("backgroundImage");
        }
        QCOMPARE(f.tmpl.propertyValue("backgroundImage"), QStringLiteral("STYLE_EXTERN:files/my photo-2.png"));
        QCOMPARE(f.tmpl.resolveResourcePath("STYLE_EXTERN:files/my photo.png"), folder + "/files/my photo.png");
        QCOMPARE(QImage(f.tmpl.propertyFilePath("backgroundImage")).pixelColor(0, 0), QColor(Qt::red));
        // The same for a file another editor's answer names: a share button's logo.
        ScopedOpener links("setsocialsharelinks", [&](const TemplateEditorRequest &) {
            return std::optional<QString>("<shareLinks><shareLink title=\"Mail\" link=\"mailto:\" logo=\"" + picture
                                          + "\"/></shareLinks>");
        });
        f.clickRowButton("socialShareLinks");
        QVERIFY(f.tmpl.propertyValue("socialShareLinks").contains("logo=\"STYLE_EXTERN:files/my photo-3.png\""));

        // Without a folder to copy into, the choice changes nothing and says why.
        TemplateEditorRegistry::shared().setResourceFolderMaker({});
        f.tmpl.setExternResourcePath(QString());
        driver.answerPanel({picture});
        driver.answerAlert("OK");
        f.clickRowButton("backgroundImage");
        QCOMPARE(f.tmpl.propertyValue("backgroundImage"), QStringLiteral("STYLE_EXTERN:files/my photo-2.png"));
        QCOMPARE(driver.alerts().size(), 1);
    }

    void editorRunsThatChangeTheBookAnotherWayAreStillAnnounced()
    {
        Fixture f;
        ChangeLog log;
        // Like the security dialog: it changes other settings, and its own value stays.
        ScopedOpener security("security", [&](const TemplateEditorRequest &request) {
            request.flashTemplate->setPropertyValue("hardCover", "Yes");
            return std::optional<QString>(request.value);
        });
        QVERIFY(f.outline.openEditorForIndex(f.valueIndex("securitySetting")));
        QCOMPARE(f.tmpl.propertyValue("securitySetting"), QStringLiteral("No Security")); // no blank added
        QCOMPARE(log.seen.size(), 1);
        QCOMPARE(log.seen.first().userInfo.value("key").toString(), QStringLiteral("securitySetting"));
        QVERIFY(f.outline.undoStack()->canUndo());

        // A run during which the template was replaced: its answer belongs to nothing.
        ScopedOpener preloader("preloader", [&](const TemplateEditorRequest &) {
            f.tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora"));
            return std::optional<QString>("spinner");
        });
        QVERIFY(!f.outline.openEditorForIndex(f.valueIndex("tmplPreloader")));
        QCOMPARE(f.tmpl.propertyValue("tmplPreloader"), QString());
    }

    void undoAndRedoFollowTheBoundTemplate()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.outline));
        FlashTemplate mobile;
        QVERIFY(mobile.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Metro")));
        TemplateUndoStack::forTemplate(&f.tmpl)->setMergeInterval(0);
        QAction *undo = f.outline.undoAction();
        QAction *redo = f.outline.redoAction();
        QVERIFY(!undo->isEnabled());

        auto *width = f.openEditor<QDoubleSpinBox>("pageWidth");
        width->setValue(2000);
        f.pressReturn(width);
        QVERIFY(undo->isEnabled());

        // An editor still open is committed before undo, so undo takes back that edit.
        width = f.openEditor<QDoubleSpinBox>("pageWidth");
        width->setValue(3000);
        undo->trigger();
        QCOMPARE(f.tmpl.propertyValue("pageWidth"), QStringLiteral("2000"));
        QVERIFY(redo->isEnabled());
        redo->trigger();
        QCOMPARE(f.tmpl.propertyValue("pageWidth"), QStringLiteral("3000"));

        // The mobile template has a history of its own; coming back finds the desktop one.
        f.outline.setFlashTemplate(&mobile);
        QVERIFY(!undo->isEnabled());
        auto *color = f.openEditor<QLineEdit>("backgroundColor");
        color->setText("0x333333");
        f.pressReturn(color);
        QCOMPARE(mobile.propertyValue("backgroundColor"), QStringLiteral("0x333333"));
        QVERIFY(undo->isEnabled());
        f.outline.setFlashTemplate(&f.tmpl);
        undo->trigger();
        undo->trigger();
        QCOMPARE(f.tmpl.propertyValue("pageWidth"), QStringLiteral("1080"));
        QCOMPARE(mobile.propertyValue("backgroundColor"), QStringLiteral("0x333333"));
        f.outline.setFlashTemplate(&mobile);
        undo->trigger();
        QCOMPARE(mobile.propertyValue("backgroundColor"), QStringLiteral("0x1E1E1E"));

        // The keys reach the actions from inside the outline.
        f.outline.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.outline));
        f.view()->setFocus();
        QTest::keyClick(f.view(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(mobile.propertyValue("backgroundColor"), QStringLiteral("0x333333"));
        QTest::keyClick(f.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(mobile.propertyValue("backgroundColor"), QStringLiteral("0x1E1E1E"));
    }

    void closingTheBoundTemplateEmptiesTheOutline()
    {
        FlashTemplateOutlineDelegate outline;
        auto *tmpl = new FlashTemplate;
        QVERIFY(tmpl->loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Aurora")));
        outline.setFlashTemplate(tmpl);
        outline.show();
        QVERIFY(outline.model()->rowCount() > 0);
        delete tmpl;
        QVERIFY(!outline.flashTemplate());
        QVERIFY(!outline.model());
        QVERIFY(!outline.undoAction()->isEnabled());
        outline.undo(); // nothing bound: nothing happens
    }
};

QV_TEST(FlashTemplateOutlineTest)
#include "tst_flashtemplateoutline.moc"
