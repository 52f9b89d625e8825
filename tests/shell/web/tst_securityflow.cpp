#include "EditorSteps.h"
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
#include "templates/ui/TemplateSettingItemDelegate.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

using namespace TestFiles;

namespace {

constexpr int kLong = 120000;
const QString kPassword = QStringLiteral("Sesame 7 öffne");
const QStringList kUserPasswords{QStringLiteral("first secret"), QStringLiteral("Zweites Geheimnis")};

} // namespace

// A book protected from the main window: one password set in the security dialog, which
// the preview asks for once (not again after a design change), a book published with
// it; then a users list made in the user list editor, the project saved and reopened
// (it asks for a user's password), and a second book published; then its users read
// back from that book, and a third one published after a save and reopen.
// QUORVEL_BOOK_OUT names the folder that gets "Guarded/", "Listed/" and "Reissued/" (the
// browser test reads them); a temporary one otherwise.
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
        protectWithPassword(app, driver, kPassword);
        QCOMPARE(tmpl->propertyValue("securitySetting"), QStringLiteral("Single Password"));
        const auto shownSecurity = [&app] {
            FlashTemplateOutlineDelegate *outline = app.mainWindow()->designSettings();
            return outline->itemDelegate()->shownText(outline->model()->indexForKey("securitySetting", FlashTemplateModel::ValueColumn));
        };
        QCOMPARE(shownSecurity(), QStringLiteral("Single Password"));
        QCOMPARE(app.session()->document().parts().security()->password(), kPassword);
        QVERIFY(app.session()->isModified());
        PreviewPane *pane = app.mainWindow()->previewPane();
        QVERIFY(QTest::qWaitFor([&] { return pane->webView() && previewAsks(pane); }, kLong));
        QVERIFY(!previewShowsPage(pane));
        evaluate(pane, QString("document.querySelector('.qv-secure-password').value = '%1';"
                               " document.querySelector('.qv-secure-open').click()").arg(kPassword));
        QVERIFY(QTest::qWaitFor([&] { return previewShowsPage(pane); }, kLong));
        FlashTemplateModel *model = app.mainWindow()->designSettings()->model();
        QVERIFY(model->setData(model->indexForKey("backgroundColor", FlashTemplateModel::ValueColumn), "0x336699"));
        QVERIFY(QTest::qWaitFor([&] { return evaluate(pane, "window.bookConfig && bookConfig.backgroundColor").toString() == "#336699" && previewShowsPage(pane); }, kLong));
        QVERIFY(!previewAsks(pane));
        QVERIFY(publishWebFolder(app, driver, out + "/Guarded", "book", QString(), kLong));
        QVERIFY(!QFileInfo::exists(out + "/Guarded/files/page/1.jpg"));

        // A users list of two, their passwords typed into the editor's table.
        QVERIFY(editSetting(app, driver, "securitySetting",
                            [&driver](WindowController *c) { protectWithUsers(c, driver, kUserPasswords); }));
        QCOMPARE(tmpl->propertyValue("securitySetting"),
                 QStringLiteral("<SecurityInfo><Security type=\"users\"/></SecurityInfo>"));
        QCOMPARE(shownSecurity(), QStringLiteral("User List")); // a name, not the stored value
        // The kept password opens nothing now: the preview asks again.
        QVERIFY(QTest::qWaitFor([&] { return previewAsks(pane) && !pane->hasAnswer(); }, kLong));

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
        // The answer that opened the project opens its preview: it is not asked twice.
        pane = app.mainWindow()->previewPane();
        QVERIFY(QTest::qWaitFor([&] { return pane->webView() && previewShowsPage(pane); }, kLong));
        QVERIFY(!previewAsks(pane));
        QVERIFY(publishWebFolder(app, driver, out + "/Listed", "book", QString(), kLong));
        QVERIFY(!QFileInfo::exists(out + "/Listed/files/page/1.jpg"));

        // The users read back from that book's users.txt (their passwords unknown), the
        // book opened by one of them, saved and reopened by the other: the users keep
        // their passwords, and nobody gets in without one (secured_book.test.mjs).
        BookSecurity &security = *app.session()->document().parts().security();
        QVERIFY(security.importUsersListByFile(out + "/Listed/files/extfiles/users.txt"));
        QVERIFY(security.validateUser("user0", kUserPasswords[0]));
        QVERIFY(app.onSaveProject());
        QVERIFY(app.closeBook());
        driver.answerModal([](WindowController *c) {
            control<QComboBox>(c, "_comBox")->setCurrentText("user1");
            control<QLineEdit>(c, "_txtPassword")->setText(kUserPasswords[1]);
            clickControl(c, "_btnOK");
        });
        QVERIFY(app.openProject(project));
        for (const QVariantMap &user : app.session()->document().parts().security()->usersList())
            QCOMPARE(user.value("password").toString(), BookSecurity::unknownPassword());
        QVERIFY(publishWebFolder(app, driver, out + "/Reissued", "book", QString(), kLong));
        QVERIFY(driver.failures().isEmpty());
        app.applicationWillTerminate();
    }
};

QV_TEST(SecurityFlowTest)
#include "tst_securityflow.moc"
