#include "TestFiles.h"
#include "TestSupport.h"
#include "WindowControls.h"
#include "foundation/AppUtility.h"
#include "output/security/AccessCode.h"
#include "output/security/BookSecurity.h"
#include "platform/ui/DragDeleteDetectView.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/UiTestDriver.h"
#include "publishing/PasswordGenerator.h"
#include "publishing/PasswordGeneratorSettings.h"
#include "publishing/UsersListModel.h"
#include "publishing/ui/BookSecurityDelegate.h"
#include "publishing/ui/PGSettings.h"
#include "publishing/ui/UsersListSecurity.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

namespace {

template <class T = QWidget>
T *control(WindowController &controller, const char *name)
{
    return control<T>(&controller, name);
}

void click(WindowController &controller, const char *name)
{
    clickControl(&controller, name);
}

// Types text into a cell of the editor's table, as a person does: open the cell's
// editor, replace its text, press Return.
void typeIntoCell(UsersListSecurity &editor, int row, int column, const QString &text)
{
    auto *table = control<QTableView>(editor, "tableView");
    const QModelIndex index = table->model()->index(row, column);
    table->setCurrentIndex(index);
    table->edit(index);
    auto *field = qobject_cast<QLineEdit *>(table->indexWidget(index));
    QVERIFY(field);
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    QCoreApplication::processEvents();
}

QStringList names(const BookSecurity &security)
{
    QStringList out;
    for (const QVariantMap &entry : security.usersList())
        out << entry.value("user").toString();
    return out;
}


} // namespace

class BookSecurityWindowsTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QFile::remove(PasswordGeneratorSettings::securityDialogFile());
        QFile::remove(PasswordGeneratorSettings::usersListFile());
        QFile::remove(BookSecurity::settingsFilePath());
    }

    void generatorSheetTakesOnlyASoundAnswer()
    {
        UiTestDriver driver;
        PasswordGenerator generator;
        generator.setType(PasswordGenerator::UpperCase | PasswordGenerator::Digits);
        generator.setLength(10);
        PGSettings sheet;
        sheet.setPasswordGenerator(&generator);
        sheet.showWindow();
        auto *length = control<QLineEdit>(sheet, "txtLength");
        auto *exclude = control<QLineEdit>(sheet, "txtExcludeSymbols");
        // Only symbols can be left out; a length of no value empties the field.
        QTest::keyClicks(exclude, "a!b#c");
        QCOMPARE(exclude->text(), QStringLiteral("!#"));
        length->clear();
        QTest::keyClicks(length, "0");
        QCOMPARE(length->text(), QString());

        // No length: refused. A short one: asked about, OK goes back to the sheet.
        length->clear();
        driver.answerAlert("OK");
        click(sheet, "btnOK");
        QTest::keyClicks(length, "7");
        driver.answerAlert("OK");
        click(sheet, "btnOK");
        QVERIFY(sheet.isWindowVisible());
        QCOMPARE(generator.length(), quint64(10));

        // No class at all: refused unless the classes may be chosen at random.
        for (const char *box : {"btnBigLettes", "btnNumbers"})
            control<QCheckBox>(sheet, box)->setChecked(false);
        driver.answerAlert("Cancel"); // keep the short length
        driver.answerAlert("Cancel"); // do not choose the classes
        click(sheet, "btnOK");
        QVERIFY(sheet.isWindowVisible());
        driver.answerAlert("Cancel");
        driver.answerAlert("OK");
        click(sheet, "btnOK");
        QVERIFY(!sheet.isWindowVisible());
        QCOMPARE(sheet.closeMode(), 1);
        QCOMPARE(generator.length(), quint64(7));
        QVERIFY(generator.type() >= 1 && generator.type() <= 15);
        QCOMPARE(generator.disableChars(), QStringLiteral("!#"));
        QVERIFY(driver.failures().isEmpty());
    }

    void securityDialogEnablesWhatTheKindNeedsAndChecksOK()
    {
        UiTestDriver driver;
        BookSecurity security;
        BookSecurityDelegate dialog;
        dialog.setBookSecurity(&security);
        dialog.showWindow();
        click(dialog, "cellUserList");
        click(dialog, "cellExceptFrontPages");
        auto *front = control<QLineEdit>(dialog, "txtExdudeFrontPages");
        QTest::keyClicks(front, "x");
        QCOMPARE(front->text(), QStringLiteral("0"));
        front->clear();
        QTest::keyClicks(front, "2");

        // One password, none given: refused, nothing written.
        click(dialog, "cellSinglePassword");
        driver.answerAlert("OK");
        click(dialog, "btnOK");
        QVERIFY(dialog.isWindowVisible());
        QCOMPARE(security.securityType(), 0);

        // A generated one (the generator's first settings: ten characters) is taken.
        click(dialog, "btnRefreshSP");
        const QString password = control<QLineEdit>(dialog, "txtSinglePassword")->text();
        QCOMPARE(password.size(), 10);
        click(dialog, "btnOK");
        QCOMPARE(dialog.closeMode(), 1);
        QCOMPARE(security.securityType(), 1);
        QCOMPARE(security.password(), password);
        QCOMPARE(security.pageProtectType(), 1);
        QCOMPARE(security.exceptPages(), QStringLiteral("2"));
        QCOMPARE(security.protectedPages(4), (QList<int>{3, 4}));
        QVERIFY(QFileInfo::exists(PasswordGeneratorSettings::securityDialogFile()));

        QVERIFY(QFileInfo::exists(BookSecurity::settingsFilePath())); // OK keeps it as the default too
        QVERIFY(driver.failures().isEmpty());
    }

    void aUsersListWithoutUsersIsNeverKept()
    {
        UiTestDriver driver;
        BookSecurity security;
        security.setSecurityType(BookSecurity::UserList);
        BookSecurityDelegate dialog;
        dialog.setBookSecurity(&security);
        dialog.showWindow();
        driver.answerAlert("OK");
        click(dialog, "btnOK");
        QVERIFY(dialog.isWindowVisible());

        // The editor gets a user and loses it again.
        driver.answerModal([&driver](WindowController *c) {
            auto &editor = *qobject_cast<UsersListSecurity *>(c);
            click(editor, "btnAdd");
            editor.selectRows({0});
            driver.answerAlert("OK");
            click(editor, "btnRemove");
            editor.close();
        });
        click(dialog, "btnEditUserInfo");
        QTRY_COMPARE(driver.modalRuns().size(), 1);
        QTRY_VERIFY(dialog.usersListEditor() && !dialog.usersListEditor()->isRunningModal());
        QCOMPARE(security.securityType(), 0);
        QVERIFY(control<QAbstractButton>(dialog, "cellNoSecurity")->isChecked());
        click(dialog, "btnCancel");
        QCOMPARE(security.securityType(), 0);
        QVERIFY(driver.failures().isEmpty());
    }

    void usersAreAddedEditedExportedAndImportedBack()
    {
        QTemporaryDir dir;
        UiTestDriver driver;
        BookSecurity security;
        UsersListSecurity editor;
        editor.setBookSecurity(&security);
        editor.showWindow();

        // Longer passwords from the generator's sheet.
        click(editor, "btnPGSeting");
        PGSettings *sheet = editor.pgSettingsSheet();
        QVERIFY(sheet && sheet->isWindowVisible());
        control<QLineEdit>(*sheet, "txtLength")->setText("16");
        click(*sheet, "btnOK");
        for (int i = 0; i < 3; ++i)
            click(editor, "btnAdd");
        QCOMPARE(names(security), (QStringList{"user0", "user1", "user2"}));
        QCOMPARE(security.usersList().at(2).value("password").toString().size(), 16);

        typeIntoCell(editor, 1, 0, "Bo Li");
        typeIntoCell(editor, 1, 1, "second secret");
        driver.answerAlert("OK");
        typeIntoCell(editor, 2, 0, "Bo Li"); // a name taken: refused and said why
        QTRY_COMPARE(driver.alerts().size(), 1);
        QCOMPARE(names(security), (QStringList{"user0", "Bo Li", "user2"}));
        QCOMPARE(security.usersList().at(1).value("password").toString(), QStringLiteral("second secret"));

        editor.selectRows({2});
        click(editor, "btnMoveUp");
        QCOMPARE(names(security), (QStringList{"user0", "user2", "Bo Li"}));
        QCOMPARE(editor.selectedRows(), QList<int>{1});
        driver.answerAlert("Cancel");
        click(editor, "btnRemove");
        QCOMPARE(security.usersList().size(), 3);

        // Export: the package holds the list.
        const QString package = dir.filePath("users_list.zip");
        driver.answerPanel({package});
        driver.answerAlert("Cancel"); // not shown in its folder
        click(editor, "btnExport");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(package), 60000);
        QTRY_COMPARE(driver.alerts().size(), 3);
        QVERIFY(AppUtility::unzipArchive(package, dir.filePath("unpacked")));
        QVERIFY(readText(dir.filePath("unpacked/readme.txt")).contains("Bo Li = second secret\n"));

        // A row dragged out of the window goes.
        auto *table = control<QTableView>(editor, "tableView");
        std::unique_ptr<QMimeData> rows(table->model()->mimeData({table->model()->index(0, 0)}));
        const QPoint outside = table->mapToGlobal(QPoint(table->width() / 2, table->height() + 80));
        QVERIFY(DragDeleteDetectView::detectViewOfWindow(editor.window())->dragFinished(table, *rows, outside, false));
        QCOMPARE(names(security), (QStringList{"user2", "Bo Li"}));
        editor.close();
        QCOMPARE(editor.closeMode(), 1);

        // The export's list dropped on another book's editor replaces that list.
        BookSecurity other;
        other.setUsersList({{{"user", "someone"}, {"password", "else"}}});
        UsersListSecurity second;
        second.setBookSecurity(&other);
        second.showWindow();
        QVERIFY(writeFile(dir.filePath("broken.scfm"), "not a list"));
        driver.answerAlert("OK");
        std::unique_ptr<QMimeData> broken(filesMime({dir.filePath("broken.scfm")}));
        QVERIFY(second.dragFileImport()->performDrop(broken.get()));
        QTRY_COMPARE(driver.alerts().size(), 4);
        QCOMPARE(names(other), QStringList{"someone"});
        std::unique_ptr<QMimeData> drop(filesMime({dir.filePath("unpacked/UserList.scfm")}));
        QVERIFY(second.dragFileImport()->performDrop(drop.get()));
        QTRY_COMPARE(names(other), (QStringList{"user0", "user2", "Bo Li"}));
        QCOMPARE(other.usersList().at(2).value("password").toString(), QStringLiteral("second secret"));
        QVERIFY(driver.failures().isEmpty());
    }

    void theEditorSaysWhoKeepsAccessThroughAnEarlierBooksKey()
    {
        // Users read from a book (their passwords unknown): two of one publish, whose
        // key came back with the password of one of them, and one of another book.
        UiTestDriver driver;
        const QString key = BookSecurity().rc4String();
        const auto earlier = [&key](const QString &name, const QString &password, char salt) {
            const auto code = AccessCode::make(name, password, QByteArray::fromHex(key.toLatin1()),
                                               QByteArray(AccessCode::kSaltLength, salt));
            return QVariantMap{{"user", name}, {"password", "\t"}, {"encode", code->toString()}};
        };
        BookSecurity security;
        security.setUsersList({{{"user", "ann"}, {"password", "p"}}, earlier("bo", "two", 'b'), earlier("cy", "three", 'b'),
                               earlier("dee", "four", 'd')});
        QVERIFY(security.validateUser("bo", "two"));
        UsersListSecurity editor;
        editor.setBookSecurity(&security);
        editor.showWindow();
        auto *note = control<QLabel>(editor, "lblEarlierKey");
        QVERIFY(note->isVisible());
        QVERIFY2(note->text().startsWith("\u201Cbo\u201D, \u201Ccy\u201D keep access through the key of the earlier book"),
                 qPrintable(note->text()));
        QVERIFY(note->text().contains("\u201Cdee\u201D have no access"));
        auto *table = control<QTableView>(editor, "tableView");
        QVERIFY(table->model()->index(3, 1).data(Qt::ToolTipRole).toString().startsWith("No access"));
        QVERIFY(table->model()->index(1, 1).data(Qt::ToolTipRole).toString().startsWith("Keeps access"));

        // Once that book's users are gone, so is its key; then the last user without access.
        editor.selectRows({1, 2});
        driver.answerAlert("OK");
        click(editor, "btnRemove");
        QCOMPARE(security.earlierBookKey(), QString());
        QVERIFY(note->isVisible());
        QVERIFY(!note->text().contains("keep access"));
        editor.selectRows({1});
        driver.answerAlert("OK");
        click(editor, "btnRemove");
        QVERIFY(!note->isVisible());
    }
};

QV_TEST(BookSecurityWindowsTest)
#include "tst_booksecuritywindows.moc"
