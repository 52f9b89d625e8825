#include "TestFiles.h"
#include "TestSupport.h"
#include "platform/NotificationCenter.h"
#include "templates/FlashTemplate.h"
#include "templates/TemplateEditorResult.h"
#include "templates/TemplateNotifications.h"
#include "templates/TemplateUndoStack.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Changes a setting the way an editor does: set the value, then post the change.
void edit(FlashTemplate &tmpl, const QString &key, const QString &value, const QObject *editor = nullptr)
{
    QVERIFY(tmpl.setPropertyValue(key, value));
    NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification, editor,
                                                          {{QStringLiteral("key"), key}});
}

bool loadBundled(FlashTemplate &tmpl, const QString &name)
{
    return tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(name));
}

} // namespace

class TemplateUndoStackTest : public QObject
{
    Q_OBJECT
private slots:
    void undoAndRedoPutValuesBackAndAnnounceThem()
    {
        FlashTemplate tmpl;
        QVERIFY(loadBundled(tmpl, "Aurora"));
        TemplateUndoStack stack(&tmpl);
        stack.setMergeInterval(0);
        QObject observer;
        QList<Notification> seen;
        NotificationCenter::defaultCenter()->addObserver(&observer, FlashTmplProValueChangedNotification, &stack,
                                                         [&](const Notification &n) { seen << n; });

        QVERIFY(!stack.canUndo());
        edit(tmpl, "pageWidth", "800");
        QVERIFY(tmpl.applyStyle("Night"));
        NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification);

        stack.undo(); // the style: every value it set, and its name
        QCOMPARE(tmpl.currentStyleName(), QString());
        QCOMPARE(tmpl.propertyValue("backgroundColor"), QStringLiteral("0x2E3B4E"));
        QCOMPARE(tmpl.propertyValue("pageWidth"), QStringLiteral("800"));
        QCOMPARE(seen.size(), 1);
        QVERIFY(!seen.last().userInfo.contains("key")); // several settings changed

        stack.undo();
        QCOMPARE(tmpl.propertyValue("pageWidth"), QStringLiteral("1080"));
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen.last().userInfo.value("key").toString(), QStringLiteral("pageWidth"));
        QVERIFY(!stack.canUndo());
        stack.undo(); // nothing left: no change, no notification
        QCOMPARE(seen.size(), 2);

        stack.redo();
        stack.redo();
        QCOMPARE(tmpl.currentStyleName(), QStringLiteral("Night"));
        QCOMPARE(tmpl.propertyValue("pageWidth"), QStringLiteral("1080")); // the style reset it
        QVERIFY(!stack.canRedo());

        // A new change after undo ends the redo history.
        stack.undo();
        edit(tmpl, "hardCover", "Yes");
        QVERIFY(!stack.canRedo());
        stack.undo();
        QCOMPARE(tmpl.propertyValue("hardCover"), QStringLiteral("No"));
        QCOMPARE(tmpl.currentStyleName(), QString());
    }

    void rapidEditsOfOneSettingAreOneStep()
    {
        FlashTemplate tmpl;
        QVERIFY(loadBundled(tmpl, "Aurora"));
        TemplateUndoStack stack(&tmpl);
        stack.setMergeInterval(60000);

        for (const char *width : {"101", "110", "208", "1100"})
            edit(tmpl, "pageWidth", width);
        edit(tmpl, "pageHeight", "900"); // another setting: a step of its own
        edit(tmpl, "pageHeight", "950");
        stack.endMerge();
        edit(tmpl, "pageHeight", "960");

        stack.undo();
        stack.undo();
        QCOMPARE(tmpl.propertyValue("pageHeight"), QStringLiteral("1440"));
        QCOMPARE(tmpl.propertyValue("pageWidth"), QStringLiteral("1100"));
        stack.undo();
        QCOMPARE(tmpl.propertyValue("pageWidth"), QStringLiteral("1080"));

        // Merged edits that come back to where they began leave no step.
        stack.clear();
        edit(tmpl, "hardCover", "Yes");
        edit(tmpl, "hardCover", "No");
        QVERIFY(!stack.canUndo());
    }

    void theLimitForgetsTheOldestSteps()
    {
        FlashTemplate tmpl;
        QVERIFY(loadBundled(tmpl, "Aurora"));
        TemplateUndoStack stack(&tmpl);
        stack.setMergeInterval(0);
        stack.setUndoLimit(3);
        for (int width = 201; width <= 205; ++width)
            edit(tmpl, "pageWidth", QString::number(width));
        while (stack.canUndo())
            stack.undo();
        QCOMPARE(tmpl.propertyValue("pageWidth"), QStringLiteral("202"));
    }

    void stacksOnlyRecordTheirOwnTemplate()
    {
        FlashTemplate desktop, mobile;
        QVERIFY(loadBundled(desktop, "Aurora"));
        QVERIFY(loadBundled(mobile, "Metro"));
        TemplateUndoStack *desktopStack = TemplateUndoStack::forTemplate(&desktop);
        TemplateUndoStack *mobileStack = TemplateUndoStack::forTemplate(&mobile);

        edit(desktop, "backgroundColor", "0x000000");
        edit(mobile, "pageWidth", "500");
        QCOMPARE(desktopStack->undoCount(), 1);
        QCOMPARE(mobileStack->undoCount(), 1);
        desktopStack->undo(); // its notification must not make the other stack record anything
        QCOMPARE(mobileStack->undoCount(), 1);
        QCOMPARE(mobileStack->redoCount(), 0);

        // Another description in the template: the old steps no longer apply.
        QVERIFY(desktop.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile("Metro")));
        QVERIFY(!desktopStack->canUndo());
        QVERIFY(!desktopStack->canRedo());
    }

    void changesNeverPostedAreNotLostByUndo()
    {
        FlashTemplate tmpl;
        QVERIFY(loadBundled(tmpl, "Aurora"));
        TemplateUndoStack stack(&tmpl);
        stack.setMergeInterval(0);
        edit(tmpl, "pageWidth", "900");
        QVERIFY(tmpl.setPropertyValue("pageHeight", "700")); // nobody posted this one

        stack.undo(); // takes back the unposted change first
        QCOMPARE(tmpl.propertyValue("pageHeight"), QStringLiteral("1440"));
        QCOMPARE(tmpl.propertyValue("pageWidth"), QStringLiteral("900"));
        stack.redo();
        QCOMPARE(tmpl.propertyValue("pageHeight"), QStringLiteral("700"));

        // clear() makes the current values the starting point (after loading a project).
        QVERIFY(tmpl.setPropertyValue("pageHeight", "650"));
        stack.clear();
        QVERIFY(!stack.canUndo());
        edit(tmpl, "pageWidth", "950");
        stack.undo();
        QCOMPARE(tmpl.propertyValue("pageHeight"), QStringLiteral("650"));
        QCOMPARE(tmpl.propertyValue("pageWidth"), QStringLiteral("900"));
    }

    // An icon list editor's answer names its file; one that is not a file clears the setting.
    void editorRunsGiveTheSettingItsNewValue()
    {
        QTemporaryDir dir;
        const QString list = dir.filePath("icons.txt");
        QVERIFY(TestFiles::writeFile(list));
        QCOMPARE(TemplateEditorResult::listFileFromRun(1, list), std::optional<QString>(list));
        QCOMPARE(TemplateEditorResult::listFileFromRun(1, dir.filePath("missing.txt")), std::optional<QString>(QString()));
        QCOMPARE(TemplateEditorResult::listFileFromRun(1, dir.path()), std::optional<QString>(QString())); // a folder
        QCOMPARE(TemplateEditorResult::listFileFromRun(0, list), std::nullopt);
    }
};

QV_TEST(TemplateUndoStackTest)
#include "tst_templateundostack.moc"
