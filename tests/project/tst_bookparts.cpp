#include "ProjectFixtures.h"
#include "TestFiles.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "foundation/AppLog.h"
#include "foundation/AppUtility.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/PluginBundle.h"
#include "output/narration/GenerateAssistant.h"
#include "output/security/BookSecurity.h"
#include "project/BookDocument.h"
#include "project/BookProject.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

using namespace ProjectFixtures;
using namespace TestFiles;

// The parts of a book (tabs, protection, narration, scene, downloads, cover) saved in a
// project, reopened, carried to a new place, and read back from hostile projects.
class BookPartsProjectTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_project;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A project file of the picture book with its Parts element replaced.
    QString projectWithParts(const QString &name, const QString &partsXml)
    {
        QString xml = readText(m_project);
        const int start = xml.indexOf("<Parts>");
        const int end = xml.indexOf("</Parts>");
        xml = start >= 0 ? xml.left(start) + partsXml + xml.mid(end + 8)
                         : xml.replace("</BookProject>", partsXml + "</BookProject>");
        QDir().mkpath(path(name));
        AppUtility::copyFromPath(m_project + ".data", path(name + "/Book.qvprj.data"), true);
        writeFile(path(name + "/Book.qvprj"), xml.toUtf8());
        return path(name + "/Book.qvprj");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        auto book = importedBook(writePictures(path("pictures"), 3));
        QVERIFY(book);
        QDir().mkpath(path("base"));
        m_project = path("base/Book.qvprj");
        QVERIFY(BookProject::saveAs(*book, m_project).ok());
    }

    void everyPartComesBackAndMovesWithTheProject()
    {
        auto book = BookProject::open(m_project);
        QVERIFY(book);
        BookParts &parts = book->parts();

        BookMarkTabs &tabs = *parts.bookmarkTabs();
        tabs.setTopOrSide("Side");
        tabs.setAlpha(0.5);
        tabs.TabItems() << BookMarkTabItem::tabItemWithCaption("Intro ]]> end", QColor(0xE5, 0x39, 0x35), 2);

        parts.security()->setSecurityType(BookSecurity::SinglePassword);
        parts.security()->setPassword("open sesame");

        QVERIFY(writeFile(path("narration/spread0.mp3"), "ID3 sound"));
        QVERIFY(writeFile(path("narration/spread0.lrc"), "Hello"));
        auto assistant = std::make_shared<GenerateAssistant>();
        assistant->setWorkFolder(path("narration"));
        assistant->setTotalPage(3);
        assistant->fitResourceListToPages();
        assistant->resourceList()[0].setType(AssistantResourceItem::ImportedMp3);
        assistant->resourceList()[0].setImportmp3File(path("narration/spread0.mp3"));
        assistant->resourceList()[0].setLrcFile(path("narration/spread0.lrc"));
        parts.setAssistant(assistant);

        QVERIFY(writeFile(path("scene/Meta.xml"), "<Scenes/>"));
        QDir().mkpath(path("scene/Resources"));
        QDir().mkpath(path("cover"));
        QVERIFY(TestPictures::writePicture(path("scene/Resources/tree.png"), QSize(4, 4), Qt::green));
        BookScene scene;
        scene.name = "Garden";
        scene.folder = path("scene");
        scene.xmlFilePath = path("scene/Meta.xml");
        scene.background = {{"Resources/tree.png", "Top Left"}};
        parts.setScene(scene);

        QVERIFY(TestPictures::writePicture(path("cover/cover.jpg"), QSize(8, 8), Qt::red));
        parts.setCoverFile(path("cover/cover.jpg"));
        parts.setCoverPages(QList<int>{3});

        // A bundle of the program's, edited: the project keeps its settings.
        const PluginBundle glow = PluginBundle::bundleNamed("Glow");
        QVERIFY(glow.saveSettings(PluginBundleSettings{12, 8, 4, 60, 75, 1}));
        parts.setPluginBundleName("Glow");

        QDir().mkpath(path("saved"));
        QVERIFY(BookProject::saveAs(*book, path("saved/Book.qvprj")).ok());
        const QString data = path("saved/Book.qvprj.data");
        // The project keeps the password: only its owner may read it.
        QCOMPARE(modeOf(path("saved/Book.qvprj")) & 0077, 0u);

        auto reopened = BookProject::open(path("saved/Book.qvprj"));
        QVERIFY(reopened);
        const BookParts &back = reopened->parts();
        QCOMPARE(*back.bookmarkTabs(), tabs);
        QCOMPARE(back.security()->securityType(), int(BookSecurity::SinglePassword));
        QCOMPARE(back.security()->password(), QString("open sesame"));
        QVERIFY(back.assistant());
        const AssistantResourceItem spread = back.assistant()->resourceList().at(0);
        QCOMPARE(readFile(spread.soundFile()), QByteArray("ID3 sound"));
        QVERIFY(spread.soundFile().startsWith(data + "/"));
        QCOMPARE(back.scene().name, QString("Garden"));
        QCOMPARE(back.scene().background, scene.background);
        QVERIFY(back.scene().folder.startsWith(data + "/"));
        QVERIFY(QFileInfo(back.scene().folder + "/Resources/tree.png").isFile());
        QCOMPARE(TestPictures::pictureSize(back.coverFile()), QSize(8, 8));
        QVERIFY(back.coverFile().startsWith(data + "/"));
        QCOMPARE(back.coverPages(), std::optional<QList<int>>(QList<int>{3}));
        QCOMPARE(back.pluginBundleName(), QString("Glow"));
        // A project that does not say which pages its cover shows (an older one): any.
        QDir().mkpath(path("older"));
        QVERIFY(BookProject::saveAs(*reopened, path("older/Book.qvprj")).ok());
        const QString older = readText(path("older/Book.qvprj"));
        QVERIFY(older.contains(" pages=\"3\""));
        QVERIFY(writeFile(path("older/Book.qvprj"), QString(older).remove(" pages=\"3\"").toUtf8()));
        auto olderBook = BookProject::open(path("older/Book.qvprj"));
        QVERIFY(olderBook && !olderBook->parts().coverFile().isEmpty());
        QCOMPARE(olderBook->parts().coverPages(), std::nullopt);

        // Opened where the bundle was never edited, the project gives it its settings
        // and its movie again.
        removeTree(glow.saveFolder());
        QVERIFY(BookProject::open(path("saved/Book.qvprj")));
        QCOMPARE(PluginBundleSettings::readFile(glow.saveFolder() + "/settings.dat"), PluginBundleSettings({12, 8, 4, 60, 75, 1}));
        QVERIFY(QFileInfo(glow.saveFolder() + "/Glow1.swf").isFile());

        // Saved again elsewhere, the parts name the new place; the first stays whole.
        QDir().mkpath(path("moved"));
        QVERIFY(BookProject::saveAs(*reopened, path("moved/Book.qvprj")).ok());
        QVERIFY(reopened->parts().assistant()->resourceList().at(0).soundFile().startsWith(path("moved/")));
        QVERIFY(reopened->parts().scene().xmlFilePath.startsWith(path("moved/")));
        QVERIFY(reopened->parts().coverFile().startsWith(path("moved/")));
        QCOMPARE(readFile(reopened->parts().assistant()->resourceList().at(0).soundFile()), QByteArray("ID3 sound"));
        QVERIFY(QFileInfo(spread.soundFile()).isFile());
    }

    void hostilePartsNameNoFileOutsideTheProject()
    {
        QVERIFY(writeFile(path("secret/key.mp3"), "PRIVATE"));
        const QString parts = QString(
            "<Parts>"
            "<Part name=\"Assistant\" folder=\"parts/Assistant\"><Assistant>"
            "<Resource type=\"1\" importmp3File=\"%1\" lrcFile=\"../../../secret/key.mp3\"/></Assistant></Part>"
            "<Part name=\"Scene\" folder=\"pages\"><Scene name=\"x\" xml=\"../../secret/key.mp3\"/></Part>"
            "<Part name=\"Cover\" folder=\"pages\"><Cover file=\"../../secret/key.mp3\"/></Part>"
            "<Part name=\"PlugIn\"><PlugIn name=\"Clock\"><Swf>files/plugin/Clock1.swf</Swf></PlugIn></Part>"
            "</Parts>").arg(path("secret/key.mp3"));
        QDir().mkpath(path("hostile/Book.qvprj.data/parts/Assistant"));
        const QString file = projectWithParts("hostile", parts);
        ProjectResult result;
        auto book = BookProject::open(file, &result);
        QVERIFY2(book, qPrintable(result.message));
        if (const auto assistant = book->parts().assistant())
            for (const AssistantResourceItem &item : assistant->resourceList())
                QVERIFY(!item.soundFile().contains("secret") && !item.lrcFile().contains("secret"));
        QVERIFY(book->parts().scene().isNone());
        QVERIFY(book->parts().coverFile().isEmpty());

        // What the program could not take is kept and written back as it was.
        QVERIFY(BookProject::save(*book).ok());
        const QString saved = readText(file);
        QVERIFY(saved.contains("<PlugIn name=\"Clock\">"));
        QVERIFY(saved.contains("xml=\"../../secret/key.mp3\""));

        // A scene of the project's own keeps only the layers inside its folder.
        QDir().mkpath(path("leaving/Book.qvprj.data/parts/Scene/Resources"));
        QVERIFY(writeFile(path("leaving/Book.qvprj.data/parts/Scene/Meta.xml"), "<Scene/>"));
        const QString leaving = projectWithParts("leaving", QString(
            "<Parts><Part name=\"Scene\" folder=\"parts/Scene\"><Scene name=\"Garden\" xml=\"Meta.xml\">"
            "<Layer place=\"background\" file=\"Resources/tree.png\" position=\"Top Left\"/>"
            "<Layer place=\"background\" file=\"../../../secret/key.mp3\" position=\"Top Left\"/>"
            "<Layer place=\"foreground\" file=\"Resources/../../../../secret/key.mp3\" position=\"Center\"/>"
            "<Layer place=\"foreground\" file=\"%1\" position=\"Center\"/>"
            "</Scene></Part></Parts>").arg(path("secret/key.mp3")));
        book = BookProject::open(leaving, &result);
        QVERIFY2(book, qPrintable(result.message));
        QCOMPARE(book->parts().scene().name, QString("Garden"));
        QCOMPARE(book->parts().scene().background, (QList<BookScene::Layer>{{"Resources/tree.png", "Top Left"}}));
        QVERIFY(book->parts().scene().foreground.isEmpty());
    }

    void usersWhosePasswordsAreUnknownStayUnknown()
    {
        // Users read from a published book (passwords unknown), opened by one of them.
        BookSecurity earlier;
        earlier.setUsersList({{{"user", "ann"}, {"password", "first"}}, {{"user", "bo"}, {"password", "second"}}});
        QVERIFY(earlier.exportUsersListToFile(path("users.txt")));
        auto book = BookProject::open(m_project);
        QVERIFY(book && book->parts().security()->importUsersListByFile(path("users.txt")));
        QVERIFY(book->parts().security()->validateUser("ann", "first"));
        QVERIFY(BookProject::saveAs(*book, path("unknown.qvprj")).ok());
        auto reopened = BookProject::open(path("unknown.qvprj"));
        QVERIFY(reopened);
        BookSecurity back = *reopened->parts().security();
        QCOMPARE(back.usersList().size(), 2);
        for (const QVariantMap &user : back.usersList())
            QCOMPARE(user.value("password").toString(), BookSecurity::unknownPassword());
        // A user with an empty password never gets a code.
        back.usersList() << QVariantMap{{"user", "open"}, {"password", ""}, {"encode", "600000.x.y"}};
        back.refreshUsersList();
        QVERIFY(!back.usersListFileData().contains("open"));
        // Nor does a project naming one (or a name the users file cannot hold) publish it.
        const QString user = "<dict><key>user</key><string>%1</string><key>password</key><string>%2</string></dict>";
        auto hostile = BookProject::open(projectWithParts(
            "emptypassword", "<Parts><Part name=\"Security\"><Security><plist version=\"1.0\"><dict><key>usersList</key><array>"
                                 + user.arg("open", "") + user.arg("tab\tname", "p") + user.arg("cy", "third")
                                 + "</array></dict></plist></Security></Part></Parts>"));
        QVERIFY(hostile);
        QCOMPARE(hostile->parts().security()->usersList(), (QList<QVariantMap>{{{"user", "cy"}, {"password", "third"}}}));
    }

    void linksThatLeadOutOfTheProjectAreNotFollowed()
    {
        // A project whose scene folder, theme folder and narration sound lead to the
        // user's own files through links, and a sound that is another name of one (a
        // hard link, as a tar archive unpacked in a home folder makes).
        QVERIFY(writeFile(path("private/id_rsa"), "PRIVATE KEY"));
        QVERIFY(writeFile(path("private/Meta.xml"), "<Meta/>"));
        const QString data = path("linked/Book.qvprj.data");
        QDir().mkpath(data + "/parts/Assistant");
        QVERIFY(QFile::link(path("private/id_rsa"), data + "/parts/Assistant/key.mp3"));
        QCOMPARE(::link(QFile::encodeName(path("private/id_rsa")).constData(),
                        QFile::encodeName(data + "/parts/Assistant/hard.mp3").constData()), 0);
        QVERIFY(QFile::link(path("private"), data + "/parts/Scene"));
        QVERIFY(QFile::link(path("private"), data + "/theme"));
        const QString file = projectWithParts(
            "linked", "<Parts><Part name=\"Scene\" folder=\"parts/Scene\"><Scene name=\"x\" xml=\"Meta.xml\"/></Part>"
                      "<Part name=\"Assistant\" folder=\"parts/Assistant\"><Assistant totalPage=\"3\">"
                      "<Resource type=\"1\" importmp3File=\"key.mp3\"/><Resource type=\"1\" importmp3File=\"hard.mp3\"/>"
                      "</Assistant></Part></Parts>");
        QVERIFY(writeFile(file, readText(file).replace("<Template kind=\"desktop\"", "<Template kind=\"desktop\" resources=\"theme\"").toUtf8()));
        ProjectResult result;
        auto book = BookProject::open(file, &result);
        QVERIFY2(book, qPrintable(result.message));
        QVERIFY(book->parts().scene().isNone());
        QVERIFY(book->flashTmpl()->externResourcePath().isEmpty());
        QVERIFY(book->parts().assistant()->resourceList().value(0).importmp3File().isEmpty());
        QVERIFY(book->parts().assistant()->resourceList().value(1).importmp3File().isEmpty());
        QVERIFY2(result.warnings.join(' ').contains("parts/Scene") && result.warnings.join(' ').contains("theme"),
                 qPrintable(result.warnings.join(' ')));
        QVERIFY(readText(AppLog::shared().logFilePath()).contains("key.mp3"));
        QVERIFY(readText(AppLog::shared().logFilePath()).contains("hard.mp3\" has more than one name"));

        // A data folder that leads to a folder above the project is refused.
        QDir().mkpath(path("above/project"));
        QVERIFY(QFile::copy(m_project, path("above/project/Book.qvprj")));
        QVERIFY(QFile::link(path("above"), path("above/project/Book.qvprj.data")));
        QVERIFY(!BookProject::open(path("above/project/Book.qvprj"), &result));
        QVERIFY2(result.message.contains("link"), qPrintable(result.message));
    }
};

QV_TEST(BookPartsProjectTest)
#include "tst_bookparts.moc"
