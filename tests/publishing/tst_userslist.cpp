#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/PropertyList.h"
#include "output/security/AccessCode.h"
#include "output/security/BookSecurity.h"
#include "platform/RowDragMime.h"
#include "publishing/PasswordGenerator.h"
#include "publishing/UserListPackage.h"
#include "publishing/UsersListModel.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace TestFiles;

namespace {

QVariantMap user(const QString &name, const QString &password)
{
    return {{"user", name}, {"password", password}};
}

QStringList names(const BookSecurity &security)
{
    QStringList out;
    for (const QVariantMap &entry : security.usersList())
        out << entry.value("user").toString();
    return out;
}

} // namespace

class UsersListTest : public QObject
{
    Q_OBJECT
private slots:
    void newUsersGetTheFirstFreeNameAndAPassword()
    {
        BookSecurity security;
        security.setUsersList({user("user0", "a"), user("user2", "b")});
        UsersListModel model(&security);
        QCOMPARE(model.generateUser(), QStringLiteral("user1"));
        PasswordGenerator generator;
        generator.setLength(12);
        QCOMPARE(model.addUser(generator), 2);
        QCOMPARE(names(security), (QStringList{"user0", "user2", "user1"}));
        const QVariantMap added = security.usersList().last();
        QCOMPARE(added.value("password").toString().size(), 12);
        // Its code opens the book's key.
        BookSecurity reader;
        reader.setUsersList({{{"user", "user1"}, {"password", "\t"}, {"encode", added.value("encode")}}});
        QVERIFY(reader.validateUser("user1", added.value("password").toString()));
        QCOMPARE(reader.rc4String(), security.rc4String());

        // A generator that can make no password adds nobody.
        generator.setType(PasswordGenerator::Symbols);
        generator.setDisableChars(PasswordGenerator::symbols());
        QCOMPARE(model.addUser(generator), -1);
        QCOMPARE(model.rowCount(), 3);
    }

    void editsThatWouldBreakTheUsersFileAreRefused()
    {
        BookSecurity security;
        security.setUsersList({user("ann", "one"), user("Bo Li", "two"), {{"user", "kim"}, {"password", "\t"}}});
        UsersListModel model(&security);
        const auto name = [&](int row) { return model.index(row, UsersListModel::UserColumn); };
        const auto password = [&](int row) { return model.index(row, UsersListModel::PasswordColumn); };

        QSignalSpy refused(&model, &UsersListModel::editRefused);
        for (const QString &bad : {QString(), QStringLiteral("   "), QStringLiteral("Bo Li"), QStringLiteral("a\nb"),
                                   QStringLiteral("a\rb"), QStringLiteral("a\tb"), QStringLiteral("Bo\u2028Li"),
                                   QStringLiteral("\u202Enna"), QStringLiteral("an\u200Bn"), QStringLiteral("\uFEFFann")})
            QVERIFY2(!model.setData(name(0), bad), qPrintable(bad));
        // Characters that turn or hide text would let one name pass for another.
        QCOMPARE(refused.last().at(1).toString(), QStringLiteral("A user name cannot hold invisible formatting characters."));
        QVERIFY(!model.setData(password(0), QString()));
        QCOMPARE(security.usersList().first(), user("ann", "one"));
        // The same name in another Unicode form is the same user.
        security.usersList()[1]["user"] = QStringLiteral("Zo\u00EB");
        QVERIFY(!model.setData(name(0), QStringLiteral("Zoe\u0308")));

        QVERIFY(model.setData(name(0), QStringLiteral("  Ann Lee ")));
        QVERIFY(model.setData(password(0), QStringLiteral("new one")));
        QCOMPARE(security.usersList().first().value("user").toString(), QStringLiteral("Ann Lee"));
        QCOMPARE(security.usersList().first().value("password").toString(), QStringLiteral("new one"));

        // An unknown password shows as stars and is kept when nothing new is typed.
        QCOMPARE(model.data(password(2)).toString(), QStringLiteral("***"));
        QVERIFY(model.setData(password(2), model.data(password(2), Qt::EditRole)));
        QCOMPARE(security.usersList().at(2).value("password").toString(), QStringLiteral("\t"));
    }

    void rowsMoveAsOneBlock()
    {
        BookSecurity security;
        for (const char *n : {"a", "b", "c", "d", "e"})
            security.usersList() << user(n, "p");
        UsersListModel model(&security);

        QCOMPARE(model.moveUp({3, 1}), (QList<int>{0, 1}));
        QCOMPARE(names(security), (QStringList{"b", "d", "a", "c", "e"}));
        QVERIFY(model.moveUp({0}).isEmpty());
        // The entry after the last selected one is the last: the block goes to the end.
        QCOMPARE(model.moveDown({1, 3}), (QList<int>{3, 4}));
        QCOMPARE(names(security), (QStringList{"b", "a", "e", "d", "c"}));
        QVERIFY(model.moveDown({4}).isEmpty());

        // Dragged rows land before the row they are dropped on, or at the end below it.
        std::unique_ptr<QMimeData> drag(model.mimeData({model.index(0, 0), model.index(0, 1), model.index(2, 0)}));
        model.dropMimeData(drag.get(), Qt::MoveAction, 4, 0, {});
        QCOMPARE(names(security), (QStringList{"a", "d", "b", "e", "c"}));
        QCOMPARE(model.moveRowsTo({2}, -1), (QList<int>{4}));
        QCOMPARE(names(security), (QStringList{"a", "d", "e", "c", "b"}));
        QCOMPARE(model.moveRowsTo({4}, 1), (QList<int>{1}));
        QCOMPARE(names(security), (QStringList{"a", "b", "d", "e", "c"}));
        // Another list's rows, and rows of this list's type no drag of it began with, are
        // not taken.
        std::unique_ptr<QMimeData> other(RowDragMime::mimeData("application/x-other", {0}));
        std::unique_ptr<QMimeData> forged(RowDragMime::mimeData(UsersListModel::usersListDataType(), {0}));
        for (QMimeData *data : {other.get(), forged.get()})
            model.dropMimeData(data, Qt::MoveAction, 3, 0, {});
        QCOMPARE(names(security), (QStringList{"a", "b", "d", "e", "c"}));

        model.removeUserRows({4, 0, 0, 9});
        QCOMPARE(names(security), (QStringList{"b", "d", "e"}));
    }

    void exportedPackageHoldsTheListForBooksAndForTheEditor()
    {
        QTemporaryDir dir;
        BookSecurity security;
        security.setUsersList({user("ann", "first one"), user("Bo Li", "second")});
        const QString path = dir.filePath("users_list.zip");
        QString error;
        QVERIFY2(UserListPackage::exportPackage(security, path, &error), qPrintable(error));
        QCOMPARE(modeOf(path) & 0777, 0600u);

        const QString out = dir.filePath("out");
        QVERIFY(AppUtility::unzipArchive(path, out));
        QCOMPARE(folderListing(out), (QStringList{"UserList.scfm", "readme.txt", "users.txt"}));
        const QString readme = readText(out + "/readme.txt");
        QVERIFY(readme.contains("plain text"));
        QVERIFY(readme.endsWith("ann = first one\nBo Li = second\n"));

        // users.txt lets each user open a book made with the key of the list.
        BookSecurity reader;
        QVERIFY(reader.importUsersListByFile(out + "/users.txt"));
        QVERIFY(reader.validateUser("Bo Li", "second"));
        QCOMPARE(reader.rc4String(), security.rc4String());
        QVERIFY(!reader.validateUser("ann", "second"));

        // UserList.scfm gives the list back, and holds no password in the clear.
        const QByteArray sealed = readFile(out + "/UserList.scfm");
        QVERIFY(!sealed.contains("first one") && !sealed.contains("ann"));
        const auto list = UserListPackage::readUserListFile(out + "/UserList.scfm");
        QVERIFY(list);
        QCOMPARE(list->size(), 2);
        QCOMPARE(list->at(1).value("user").toString(), QStringLiteral("Bo Li"));
        QCOMPARE(list->at(1).value("password").toString(), QStringLiteral("second"));
        QCOMPARE(list->at(1).value("encode"), security.usersList().at(1).value("encode"));

        // An empty list: a package without users.txt.
        BookSecurity empty;
        QVERIFY(UserListPackage::exportPackage(empty, dir.filePath("empty.zip")));
        QVERIFY(AppUtility::unzipArchive(dir.filePath("empty.zip"), dir.filePath("empty")));
        QCOMPARE(folderListing(dir.filePath("empty")), (QStringList{"UserList.scfm", "readme.txt"}));
    }

    void failedExportSaysSoAndLeavesWhatWasThere()
    {
        QTemporaryDir dir;
        BookSecurity security;
        security.setUsersList({user("ann", "one")});
        // Something already stands at the path: it is no package written now.
        const QString folder = dir.filePath("users_list.zip");
        QVERIFY(QDir().mkpath(folder + "/inside"));
        QString error;
        QVERIFY(!UserListPackage::exportPackage(security, folder, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(folder + "/inside").isDir());
        QCOMPARE(folderListing(dir.path()), (QStringList{"users_list.zip", "users_list.zip/inside"}));
    }

    void importedListsAreTrustedInNothing()
    {
        // Only dictionaries with a usable user and a password (an unknown one with the
        // user's code), only the known keys, as text; an earlier book's key that no
        // known user's code opens is not kept.
        const QString code = BookSecurity::encodeByUser("Bo Li", "two", BookSecurity().rc4String());
        const QVariantList hostile{
            QVariantMap{{"user", "ann"}, {"password", "one"}, {"encode", "x.y.z"}, {"admin", true}},
            QVariantMap{{"user", "ann"}, {"password", "again"}},
            QVariantMap{{"user", "bad\nname"}, {"password", "p"}},
            QVariantMap{{"user", "tab\tname"}, {"password", "p"}},
            QVariantMap{{"user", " lead"}, {"password", "p"}},
            QVariantMap{{"user", "line\u2028sep"}, {"password", "p"}},
            QVariantMap{{"user", "\u202Eevil"}, {"password", "p"}},
            QVariantMap{{"user", "zero\u200Bwidth"}, {"password", "p"}},
            QVariantMap{{"user", QString(200000, 'x')}, {"password", "p"}},
            QVariantMap{{"user", 7}, {"password", "p"}},
            QVariantMap{{"user", "nopass"}, {"password", ""}},
            QVariantMap{{"user", "nocode"}, {"password", "\t"}},
            QVariantMap{{"password", "nobody"}},
            QVariantMap{{"user", "kim"}, {"password", QVariantList{"p"}}},
            QStringLiteral("text"),
            QVariantMap{{"user", "Bo Li"}, {"password", "\t"}, {"encode", code}, {"pageKey", QString(64, 'a')}},
        };
        const auto list = UserListPackage::unsealUserList(UserListPackage::sealListData(*PropertyList::toXml(hostile)));
        QVERIFY(list);
        QCOMPARE(*list, (QList<QVariantMap>{{{"user", "ann"}, {"password", "one"}, {"encode", "x.y.z"}},
                                            {{"user", "Bo Li"}, {"password", "\t"}, {"encode", code}}}));

        // Files with nothing usable, altered, too deep or too large are refused.
        QString error;
        const QByteArray good = UserListPackage::sealUserList({user("ann", "one")});
        QByteArray altered = good;
        altered[altered.size() / 2] = char(altered[altered.size() / 2] ^ 1);
        const QByteArray deep = "<plist><array>" + QByteArray(100000, 'x').replace('x', "<array>") + "</array></plist>";
        const QByteArray huge = "<plist><array><dict><key>user</key><string>"
            + QByteArray(UserListPackage::kMaximumListSize, 'a') + "</string></dict></array></plist>";
        for (const QByteArray &bad : {QByteArray(), QByteArray("PK\x03\x04 not ours"), altered,
                                      UserListPackage::sealListData(*PropertyList::toXml(QVariantList{})),
                                      UserListPackage::sealListData(*PropertyList::toXml(QVariantMap{{"user", "x"}})),
                                      UserListPackage::sealListData(deep), UserListPackage::sealListData(huge)}) {
            error.clear();
            QVERIFY(!UserListPackage::unsealUserList(bad, &error));
            QVERIFY(!error.isEmpty());
        }
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("big.scfm"), good + QByteArray(UserListPackage::kMaximumFileSize, 0)));
        QVERIFY(!UserListPackage::readUserListFile(dir.filePath("big.scfm")));

        // A book's users.txt: only names the users file can hold, once each.
        QByteArray users;
        // A name starting with U+FEFF (which the file's first line would lose as a
        // byte-order mark) is refused too.
        for (const QString &name : QStringList{"ann", "\uFEFFann", "tab\tname", " lead", "line\u2028sep", QString(200000, 'x'),
                                               "ann", "Bo\u202ELi", "Bo Li"})
            users += name.toUtf8() + " " + code.toUtf8() + "\r\n";
        QVERIFY(writeFile(dir.filePath("users.txt"), users));
        BookSecurity book;
        QVERIFY(book.importUsersListByFile(dir.filePath("users.txt")));
        QCOMPARE(names(book), (QStringList{"ann", "Bo Li"}));
    }

    void aListCannotChooseTheBooksKey()
    {
        // A list whose known user's code opens a key of the list author's choosing, and a
        // user "of an earlier book" said to need it: the key is not taken, whether the
        // list comes as "UserList.scfm" or in a project; that user gets no access code.
        const QString chosen = BookSecurity().rc4String();
        const QVariantMap known{{"user", "ann"}, {"password", "one"}, {"encode", BookSecurity::encodeByUser("ann", "one", chosen)}};
        const QVariantMap unknown{
            {"user", "bo"}, {"password", "\t"}, {"encode", BookSecurity::encodeByUser("bo", "two", chosen)}, {"pageKey", chosen}};
        const auto scfm = UserListPackage::unsealUserList(UserListPackage::sealUserList({known, unknown}));
        QVERIFY(scfm);
        BookSecurity project;
        project.readDictionary({{"usersList", QVariantList{known, unknown}}});
        for (BookSecurity security : {BookSecurity(), project}) {
            if (security.usersList().isEmpty())
                security.setUsersList(*scfm);
            QCOMPARE(names(security), (QStringList{"ann", "bo"}));
            QCOMPARE(security.earlierBookKey(), QString());
            security.refreshUsersList();
            QVERIFY(security.rc4String() != chosen);
            QCOMPARE(security.usersWithoutAccess(), QStringList{"bo"});
            QCOMPARE(security.accessList().size(), 1);
            QCOMPARE(QString::fromUtf8(security.usersListFileData()).section(' ', 0, 0), QString("ann"));
            const auto opened = AccessCode::parse(security.accessList().first().code)->open("ann", "one");
            QCOMPARE(opened, std::optional<QByteArray>(QByteArray::fromHex(security.rc4String().toLatin1())));
        }
    }

    void anEarlierBooksKeyStaysWhileItsUsersNeedIt()
    {
        // The users of a published book read back from its users.txt (passwords
        // unknown), with a user of another book and a user added since.
        QTemporaryDir dir;
        BookSecurity earlier;
        earlier.usersList() << user("bo", "two") << user("cy", "three");
        QVERIFY(earlier.exportUsersListToFile(dir.filePath("users.txt")));
        const QString earlierKey = earlier.rc4String();
        BookSecurity other;
        other.usersList() << user("dee", "four");
        QVERIFY(other.exportUsersListToFile(dir.filePath("other.txt")));
        BookSecurity security;
        QVERIFY(security.importUsersListByFile(dir.filePath("users.txt")));
        security.usersList() << other.usersList().first() << user("ann", "one");
        security.usersList()[2]["password"] = "\t";
        QCOMPARE(security.usersWithoutAccess(), (QStringList{"bo", "cy", "dee"}));

        // A password of that book's users brings its key back for the users of that
        // publish (the same book salt), not for the user of the other book.
        QVERIFY(!security.validateUser("bo", ""));
        QVERIFY(security.validateUser("bo", "two"));
        QCOMPARE(security.earlierBookKey(), earlierKey);
        QCOMPARE(security.earlierKeyUsers(), (QStringList{"bo", "cy"}));
        QCOMPARE(security.usersWithoutAccess(), QStringList{"dee"});
        security.generateRc4String();
        security.refreshUsersList();
        QCOMPARE(security.rc4String(), earlierKey);
        QCOMPARE(QString::fromUtf8(security.usersListFileData()).count("\r\n"), 3);
        const auto annCode = [&security] { return *AccessCode::parse(security.usersList().last().value("encode").toString()); };
        QCOMPARE(annCode().open("ann", "one"), std::optional<QByteArray>(QByteArray::fromHex(earlierKey.toLatin1())));

        // Once the last of them is gone, the book gets a key of its own again.
        UsersListModel model(&security);
        model.removeUserRows({0, 1});
        QCOMPARE(security.earlierBookKey(), QString());
        security.refreshUsersList();
        QVERIFY(security.rc4String() != earlierKey);
        QCOMPARE(annCode().open("ann", "one"), std::optional<QByteArray>(QByteArray::fromHex(security.rc4String().toLatin1())));
        QVERIFY(!model.accessNote().isEmpty());
        QVERIFY(model.accessNote().contains("\u201Cdee\u201D have no access"));
    }

    void codesThatLetAnyoneInAreRefusedWhereverListsAreRead()
    {
        // A user whose password is unknown comes only with a code that holds a key, asks
        // for no more password stretching than books have, and no empty password opens.
        const QString key = BookSecurity().rc4String();
        const QByteArray salt(AccessCode::kSaltLength, 's');
        const auto code = [&](const QString &name, const QString &password, const QString &contentKey, int rounds) {
            return AccessCode::make(name, password, QByteArray::fromHex(contentKey.toLatin1()), salt, rounds)->toString();
        };
        const QVariantList list{
            QVariantMap{{"user", "open"}, {"password", "\t"}, {"encode", code("open", "", key, AccessCode::kDefaultIterations)}},
            QVariantMap{{"user", "keyless"}, {"password", "\t"}, {"encode", code("keyless", "p", QString(), AccessCode::kDefaultIterations)}},
            QVariantMap{{"user", "slow"}, {"password", "\t"}, {"encode", code("slow", "p", key, AccessCode::kDefaultIterations + 1)}},
            QVariantMap{{"user", "fine"}, {"password", "\t"}, {"encode", code("fine", "p", key, AccessCode::kDefaultIterations)}}};
        QStringList refused;
        QCOMPARE(names([&] { BookSecurity s; s.setUsersList(BookSecurity::validEntries(list, &refused)); return s; }()),
                 QStringList{"fine"});
        QCOMPARE(refused, (QStringList{"\"open\": the user's code opens the book without a password",
                                       "\"keyless\": the user's code holds no content key",
                                       "\"slow\": the user's code asks for more password stretching than books have"}));
        // The same in a book's users.txt.
        QTemporaryDir dir;
        QByteArray lines;
        for (const QVariant &entry : list)
            lines += entry.toMap().value("user").toString().toUtf8() + ' ' + entry.toMap().value("encode").toString().toUtf8() + "\r\n";
        QVERIFY(writeFile(dir.filePath("users.txt"), lines));
        BookSecurity book;
        QVERIFY(book.importUsersListByFile(dir.filePath("users.txt")));
        QCOMPARE(names(book), QStringList{"fine"});
    }
};

QV_TEST(UsersListTest)
#include "tst_userslist.moc"
