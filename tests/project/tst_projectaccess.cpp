#include "TestFiles.h"
#include "TestSupport.h"
#include "output/security/BookSecurity.h"
#include "project/ProjectAccess.h"

#include <QTemporaryDir>
#include <QtTest>

class ProjectAccessTest : public QObject
{
    Q_OBJECT
private slots:
    void onePasswordOpensAProtectedProject()
    {
        BookSecurity security;
        security.setPassword("kept from before"); // no protection chosen: nothing to ask
        QCOMPARE(ProjectAccess::questionFor(security), ProjectAccess::Question::None);
        security.setSecurityType(BookSecurity::SinglePassword);
        QCOMPARE(ProjectAccess::questionFor(security), ProjectAccess::Question::Password);
        QVERIFY(ProjectAccess::grants(security, "anyone", "kept from before"));
        QVERIFY(!ProjectAccess::grants(security, "", "Kept from before"));
        QVERIFY(!ProjectAccess::grants(security, "", ""));
        security.setPassword("");
        QCOMPARE(ProjectAccess::questionFor(security), ProjectAccess::Question::None);
    }

    void anyUserOfTheListOpensIt()
    {
        QTemporaryDir dir;
        // A list read from a published book: those passwords are known only to their users.
        BookSecurity book;
        book.setUsersList({{{"user", "kim"}, {"password", "from the book"}}});
        QVERIFY(book.exportUsersListToFile(dir.filePath("users.txt")));

        BookSecurity security;
        security.setSecurityType(BookSecurity::UserList);
        QCOMPARE(ProjectAccess::questionFor(security), ProjectAccess::Question::None); // nobody to ask for
        QVERIFY(security.importUsersListByFile(dir.filePath("users.txt")));
        security.usersList() << QVariantMap{{"user", "ann"}, {"password", "first one"}};
        QCOMPARE(ProjectAccess::questionFor(security), ProjectAccess::Question::UserAndPassword);

        QVERIFY(ProjectAccess::grants(security, "ann", "first one"));
        QVERIFY(!ProjectAccess::grants(security, "ann", "from the book"));
        QVERIFY(!ProjectAccess::grants(security, "nobody", "first one"));
        QVERIFY(!ProjectAccess::grants(security, "kim", "\t"));
        QVERIFY(!ProjectAccess::grants(security, "kim", "wrong"));
        QVERIFY(ProjectAccess::grants(security, "kim", "from the book"));
        // The answer brought the book's key back for the next publish.
        QCOMPARE(security.rc4String(), book.rc4String());
    }
};

QV_TEST(ProjectAccessTest)
#include "tst_projectaccess.moc"
