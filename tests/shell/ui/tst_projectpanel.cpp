#include "TestSupport.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/UiTestDriver.h"
#include "project/RecentProjectItem.h"
#include "shell/ui/ProjectPanel.h"

#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

class ProjectPanelTest : public QObject
{
    Q_OBJECT

    static int runWith(ProjectPanel &panel, std::function<void(ProjectPanel &)> act)
    {
        UiTestDriver driver;
        driver.answerModal([&](WindowController *) { act(panel); });
        return panel.runModal();
    }

private slots:
    void everyChoiceEndsThePanel()
    {
        for (ProjectPanel::Choice choice : {ProjectPanel::NewFromPDF, ProjectPanel::NewFromPictures, ProjectPanel::OpenProject,
                                            ProjectPanel::OpenDemo}) {
            ProjectPanel panel;
            QCOMPARE(runWith(panel, [&](ProjectPanel &p) { p.button(choice)->click(); }), int(choice));
        }
        ProjectPanel closed; // closing it quits
        QCOMPARE(runWith(closed, [](ProjectPanel &p) { p.performClose(); }), int(ProjectPanel::Quit));
    }

    void recentProjectsAreOffered()
    {
        QTemporaryDir dir;
        for (const QString &name : {QStringLiteral("Old"), QStringLiteral("New")}) {
            const QString file = dir.path() + "/" + name + ".qvprj";
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(RecentProjectItem(name, file).saveToFile());
        }
        ProjectPanel panel;
        const int code = runWith(panel, [&](ProjectPanel &p) {
            QCOMPARE(p.recentList()->count(), 2);
            QCOMPARE(p.recentList()->item(0)->text(), QStringLiteral("New"));
            QVERIFY(!p.button(ProjectPanel::OpenRecent)->isEnabled()); // nothing chosen yet
            p.recentList()->setCurrentRow(1);
            QVERIFY(p.button(ProjectPanel::OpenRecent)->isEnabled());
            p.button(ProjectPanel::OpenRecent)->click();
        });
        QCOMPARE(code, int(ProjectPanel::OpenRecent));
        QCOMPARE(panel.recentProjectPath(), dir.path() + "/Old.qvprj");

        // A book published from it is a row of its own, below the projects, chosen as a
        // published book.
        const QString exe = dir.path() + "/New.exe";
        QFile f(exe);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(RecentProjectItem("New", exe, 3).saveToFile());
        ProjectPanel again;
        runWith(again, [&](ProjectPanel &p) {
            QCOMPARE(p.recentList()->count(), 3);
            QCOMPARE(p.recentList()->item(0)->text(), QStringLiteral("New"));
            QVERIFY(p.recentList()->item(2)->text() != p.recentList()->item(0)->text());
            p.chooseRecent(2);
        });
        QCOMPARE(again.recentItem().path(), exe);
        QVERIFY(again.recentItem().isPublishedBook());
    }

    void droppedFilesAreTheChoice()
    {
        QTemporaryDir dir;
        const QString pdf = dir.path() + "/Book.pdf", text = dir.path() + "/notes.txt";
        for (const QString &file : {pdf, text}) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        ProjectPanel panel;
        const int code = runWith(panel, [&](ProjectPanel &p) {
            QMimeData unsupported;
            unsupported.setUrls({QUrl::fromLocalFile(text)});
            QVERIFY(!p.dropTarget()->performDrop(&unsupported));
            QVERIFY(p.isRunningModal()); // still asking
            QMimeData files;
            files.setUrls({QUrl::fromLocalFile(text), QUrl::fromLocalFile(pdf)});
            QVERIFY(p.dropTarget()->performDrop(&files));
        });
        QCOMPARE(code, int(ProjectPanel::DroppedFiles));
        QCOMPARE(panel.droppedFiles(), QStringList{pdf});
    }
};

QV_TEST(ProjectPanelTest)
#include "tst_projectpanel.moc"
