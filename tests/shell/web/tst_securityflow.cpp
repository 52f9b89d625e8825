#include "MainWindowSteps.h"
#include "PdfFixtures.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "output/security/BookSecurity.h"
#include "platform/ui/UiTestDriver.h"
#include "project/BookDocument.h"
#include "publishing/ui/BookSecurityDelegate.h"
#include "publishing/ui/UsersListSecurity.h"
#include "shell/BookSession.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/QuorvelAppDelegate.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/ui/FlashTemplateOutlineDelegate.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 120000;
const QString kPassword = QStringLiteral("Sesame 7 öffne");
const QStringList kUserPasswords{QStringLiteral("first secret"), QStringLiteral("Zweites Geheimnis")};

// Runs the editor of the design setting "securitySetting" from the main window's outline.
void openSecurityEditor(QuorvelAppDelegate &app)
{
    FlashTemplateOutlineDelegate *outline = app.mainWindow()->designSettings();
    outline->openEditorForIndex(outline->model()->indexForKey("securitySetting", FlashTemplateModel::ValueColumn));
}

// Types a password into the protected preview's dialog and opens it.
void answerInPreview(PreviewPane *pane, const QString &password)
{
    evaluate(pane, QStringLiteral("document.querySelector('.qv-secure-password').value = %1;"
                                  " document.querySelector('.qv-secure-open').click(); true")
                       .arg(QString::fromUtf8(QJsonDocument(QJsonArray{password}).toJson(QJsonDocument::Compact)).mid(1).chopped(1)));
}

bool previewShowsPage(PreviewPane *pane)
{
    return evaluate(pane, QStringLiteral("!!document.querySelector('.qv-page img[src^=\"blob:\"]')")).toBool();
}

bool previewAsks(PreviewPane *pane)
{
    return evaluate(pane, QStringLiteral("!!document.querySelector('.qv-secure-dialog')")).toBool();
}

// Sets the single password in the security dialog.
void protectWithPassword(QuorvelAppDelegate &app, UiTestDriver &driver, const QString &password)
{
    driver.answerModal([password](WindowController *c) {
        clickControl(c, "cellSinglePassword");
        control<QLineEdit>(c, "txtSinglePassword")->setText(password);
        clickControl(c, "btnOK");
    });
    openSecurityEditor(app);
}

} // namespace

// A book protected from the main window: one password set in the security dialog, a
// book published with it; then a users list made in the user list editor, the project
// saved and reopened (it asks for a user's password), and a second book published.
// QUORVEL_BOOK_OUT names the folder that gets "Guarded/" and "Listed/" (the browser test
// reads them); a temporary one otherwise.
class SecurityFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void protectedFromTheWindowSavedReopenedAndPublished()
    {
        QTemporaryDir dir;
        const QString given = qEnvironmentVariable("QUORVEL_BOOK_OUT");
        const QString out = given.isEmpty() ? dir.filePath("published") : given;
        const QString pdf = dir.filePath("Ledger.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 4));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        FlashTemplate *tmpl = app.session()->document().flashTmpl();

        // One password.
        driver.answerModal([](WindowController *c) {
            clickControl(c, "cellSinglePassword");
            control<QLineEdit>(c, "txtSinglePassword")->setText(kPassword);
            clickControl(c, "btnOK");
        });
        openSecurityEditor(app);
        QCOMPARE(tmpl->propertyValue("securitySetting"), QStringLiteral("Single Password"));
        QCOMPARE(app.session()->document().parts().security()->password(), kPassword);
        QVERIFY(app.session()->isModified());
        QVERIFY(publishWebFolder(app, driver, out + "/Guarded", "book", QString(), kLong));
        QVERIFY(!QFileInfo::exists(out + "/Guarded/files/page/1.jpg"));

        // A users list of two, their passwords typed into the editor's table.
        driver.answerModal([&driver](WindowController *c) {
            clickControl(c, "cellUserList");
            driver.answerModal([](WindowController *e) {
                clickControl(e, "btnAdd");
                clickControl(e, "btnAdd");
                auto *table = control<QTableView>(e, "tableView");
                for (int row = 0; row < 2; ++row)
                    table->model()->setData(table->model()->index(row, 1), kUserPasswords[row]);
                e->close();
            });
            clickControl(c, "btnEditUserInfo");
            QTRY_VERIFY(qobject_cast<BookSecurityDelegate *>(c)->usersListEditor()
                        && !qobject_cast<BookSecurityDelegate *>(c)->usersListEditor()->isRunningModal());
            clickControl(c, "btnOK");
        });
        openSecurityEditor(app);
        QCOMPARE(tmpl->propertyValue("securitySetting"),
                 QStringLiteral("<SecurityInfo><Security type=\"users\"/></SecurityInfo>"));

        const QString project = dir.filePath("Ledger.qvprj");
        driver.answerPanel({project});
        QVERIFY(app.onSaveProjectAs());
        QCOMPARE(modeOf(project) & 0077, 0u); // it holds the passwords
        QVERIFY(app.closeBook());

        // Reopening asks: Cancel stops it without a word, a wrong answer is refused.
        const qsizetype alertsBefore = driver.alerts().size();
        driver.answerModal([](WindowController *c) { clickControl(c, "_btnCancel"); });
        QVERIFY(!app.openProject(project));
        QCOMPARE(driver.alerts().size(), alertsBefore);
        driver.answerModal([](WindowController *c) {
            control<QLineEdit>(c, "_txtPassword")->setText(kUserPasswords[0]);
            control<QComboBox>(c, "_comBox")->setCurrentText("user1");
            clickControl(c, "_btnOK");
        });
        driver.answerAlert("OK");
        QVERIFY(!app.openProject(project));
        QCOMPARE(driver.alerts().size(), alertsBefore + 1);
        QVERIFY(!app.hasBook());
        driver.answerModal([](WindowController *c) {
            QCOMPARE(control<QComboBox>(c, "_comBox")->count(), 2);
            control<QComboBox>(c, "_comBox")->setCurrentIndex(1);
            control<QLineEdit>(c, "_txtPassword")->setText(kUserPasswords[1]);
            clickControl(c, "_btnOK");
        });
        QVERIFY(app.openProject(project));
        QVERIFY(publishWebFolder(app, driver, out + "/Listed", "book", QString(), kLong));
        QVERIFY(!QFileInfo::exists(out + "/Listed/files/page/1.jpg"));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

// The author gives the protected preview its password once: every later load of the
// preview (after each design change) opens with it, until the password changes.
class ProtectedPreviewTest : public QObject
{
    Q_OBJECT
private slots:
    void previewAsksOncePerPassword()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("Ledger.pdf");
        QVERIFY(PdfFixtures::writeNumberedPdf(pdf, 4));
        UiTestDriver driver;
        QuorvelAppDelegate app;
        QVERIFY(startWithImportedPdf(app, driver, pdf));
        PreviewPane *pane = app.mainWindow()->previewPane();
        protectWithPassword(app, driver, kPassword);
        QVERIFY(QTest::qWaitFor([&] { return pane->webView() && previewAsks(pane); }, kLong));
        QVERIFY(!previewShowsPage(pane));
        answerInPreview(pane, kPassword);
        QVERIFY(QTest::qWaitFor([&] { return previewShowsPage(pane); }, kLong));

        // A design change: the new preview opens without asking.
        QSignalSpy shown(&app, &QuorvelAppDelegate::previewShown);
        FlashTemplateModel *model = app.mainWindow()->designSettings()->model();
        QVERIFY(model->setData(model->indexForKey("backgroundColor", FlashTemplateModel::ValueColumn), "0x336699"));
        QVERIFY(shown.wait(kLong));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return evaluate(pane, "window.bookConfig ? bookConfig.backgroundColor : ''").toString().toUpper() == "#336699"
                       && previewShowsPage(pane);
            },
            kLong));
        QVERIFY(!previewAsks(pane));

        // Another password: the kept one opens nothing, so the preview asks again.
        protectWithPassword(app, driver, "another one");
        QVERIFY(QTest::qWaitFor([&] { return previewAsks(pane); }, kLong));
        QVERIFY(!previewShowsPage(pane));
        QTRY_VERIFY(!pane->hasAnswer());
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(SecurityFlowTest)
QV_TEST(ProtectedPreviewTest)
#include "tst_securityflow.moc"
