#include "TestFiles.h"
#include "TestSupport.h"
#include "foundation/AppUtility.h"
#include "foundation/SafeFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace TestFiles;

namespace {

const QByteArray kPrivate = "PRIVATE KEY";

// A second name for target at path (a hard link), as a tar archive unpacked in a
// home folder makes one.
bool hardLink(const QString &target, const QString &path)
{
    return ::link(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) == 0;
}

} // namespace

// The one way files a project or furnishing names are read: a link swapped in while
// copies run, a second name of a file from elsewhere, and the home folder a link may
// lead into.
class SafeFilesTest : public QObject
{
    Q_OBJECT
private slots:
    void aLinkSwappedInWhileCopiesRunIsNeverRead()
    {
        QTemporaryDir work;
        const QString from = work.filePath("project/sounds"), to = work.filePath("book");
        const QString secret = work.filePath("private/id_rsa");
        QVERIFY(writeFile(secret, kPrivate));
        QVERIFY(writeFile(from + "/1.mp3", "ID3 narration"));
        QVERIFY(QDir().mkpath(to));

        // While each copy runs, a second thread exchanges the sound's name with a link to
        // the private file in one step, a little later in every try, so that over the
        // tries the exchange falls at every moment of a copy: before its check, between
        // its check and its reading, after it. The sound is put back between tries.
        QVERIFY(QFile::link(secret, from + "/.link"));
        const QByteArray name = QFile::encodeName(from + "/1.mp3"), link = QFile::encodeName(from + "/.link");
        const auto exchange = [&] {
            return ::renameat2(AT_FDCWD, name.constData(), AT_FDCWD, link.constData(), RENAME_EXCHANGE) == 0;
        };
        QVERIFY(exchange() && exchange()); // the file system exchanges names
        constexpr int kTries = 2000;
        std::atomic_int begun = -1, exchanged = -1;
        std::thread swapper([&] {
            for (int done = -1; done + 1 < kTries;) {
                const int attempt = begun.load();
                if (attempt == done) {
                    std::this_thread::yield(); // the next copy has not begun
                    continue;
                }
                for (volatile int spin = 0; spin < attempt * 7919 % 40000; spin = spin + 1) {
                }
                exchange();
                exchanged = done = attempt;
            }
        });

        int copied = 0, refusedAsLink = 0, leaked = 0, tries = 0;
        bool restored = true;
        for (; tries < kTries && leaked == 0 && restored; ++tries) {
            const QString copy = QStringLiteral("%1/%2.mp3").arg(to).arg(tries % 8);
            QString error;
            begun = tries;
            if (tries % 16 == 15) { // a folder copy reads its files the same way
                AppUtility::copyFromPath(from, to + "/folder", false);
                leaked += readFile(to + "/folder/1.mp3").contains(kPrivate);
            } else if (SafeFiles::copyFile(from + "/1.mp3", copy, &error)) {
                ++copied;
                leaked += readFile(copy).contains(kPrivate);
            } else if (error.contains("link")) {
                ++refusedAsLink;
            }
            while (exchanged != tries)
                std::this_thread::yield();
            restored = exchange(); // the sound is back under its name
        }
        begun = kTries - 1;
        swapper.join();
        QVERIFY(restored);
        QCOMPARE(leaked, 0);
        // The swap really raced the copies: some met the link, some the sound.
        QVERIFY2(refusedAsLink > 0 && copied > 0,
                 qPrintable(QStringLiteral("%1 copied, %2 refused in %3 tries").arg(copied).arg(refusedAsLink).arg(tries)));
    }

    void aFileWithASecondNameIsLeftOutAndNamed()
    {
        QTemporaryDir work;
        const QString project = work.filePath("project"), secret = work.filePath("private/id_rsa");
        QVERIFY(writeFile(secret, kPrivate));
        QVERIFY(writeFile(project + "/parts/a.mp3", "ID3 a"));
        QVERIFY(hardLink(secret, project + "/parts/b.mp3"));

        // A single copy refuses it, says why and leaves the target as it was.
        QVERIFY(writeFile(work.filePath("book/b.mp3"), "old"));
        QString error;
        QVERIFY(!SafeFiles::copyFile(project + "/parts/b.mp3", work.filePath("book/b.mp3"), &error, project));
        QVERIFY2(error.contains("b.mp3") && error.contains("more than one name"), qPrintable(error));
        QCOMPARE(readFile(work.filePath("book/b.mp3")), QByteArray("old"));
        QCOMPARE(SafeFiles::fileProblem(project + "/parts/b.mp3", project), error);

        // A folder copy takes the rest and names what it left out.
        QStringList leftOut;
        QVERIFY(AppUtility::copyFromPath(project, work.filePath("copy"), true, QString(), &leftOut));
        QCOMPARE(folderListing(work.filePath("copy")), QStringList({"parts", "parts/a.mp3"}));
        QCOMPARE(leftOut.size(), 1);
        QVERIFY2(leftOut.first().contains("b.mp3") && leftOut.first().contains("more than one name"),
                 qPrintable(leftOut.first()));

        // The program's own files may have more names (installers and the live preview
        // link them): they are copied.
        const QByteArray resources = qgetenv("QUORVEL_RESOURCES");
        qputenv("QUORVEL_RESOURCES", work.filePath("resources").toUtf8());
        QVERIFY(writeFile(work.filePath("resources/ruffle/ruffle.js"), "player"));
        QVERIFY(hardLink(work.filePath("resources/ruffle/ruffle.js"), work.filePath("preview-ruffle.js")));
        const bool programFileCopied = SafeFiles::copyFile(work.filePath("resources/ruffle/ruffle.js"), work.filePath("book/ruffle.js"));
        const bool programFolderCopied = AppUtility::copyFromPath(work.filePath("resources/ruffle"), work.filePath("book/lib"), false);
        qputenv("QUORVEL_RESOURCES", resources);
        QVERIFY(programFileCopied && programFolderCopied);
        QCOMPARE(readFile(work.filePath("book/lib/ruffle.js")), QByteArray("player"));
    }

    void aLinkMayLeadOnlyWithinItsHome()
    {
        QTemporaryDir work;
        const QString home = work.filePath("home"), project = home + "/project";
        QVERIFY(writeFile(home + "/shared/b.mp3", "ID3 shared"));
        QVERIFY(writeFile(home + "/shared/scene/Meta.xml", "<Meta/>"));
        QVERIFY(writeFile(project + "/sounds/a.mp3", "ID3 a"));
        QVERIFY(QFile::link(home + "/shared/b.mp3", project + "/sounds/b.mp3"));
        QVERIFY(QFile::link(home + "/shared/scene", project + "/scene"));

        // A file link into a wider home is copied as its file; into a narrower one, or
        // the file's own folder by default, it is refused as leading out.
        QString error;
        QVERIFY2(SafeFiles::copyFile(project + "/sounds/b.mp3", work.filePath("out/wide.mp3"), &error, home), qPrintable(error));
        QCOMPARE(readFile(work.filePath("out/wide.mp3")), QByteArray("ID3 shared"));
        QVERIFY(!SafeFiles::copyFile(project + "/sounds/b.mp3", work.filePath("out/narrow.mp3"), &error, project));
        QVERIFY2(error.contains("leads out of") && error.contains(QDir::toNativeSeparators(project)), qPrintable(error));
        QVERIFY(!SafeFiles::copyFile(project + "/sounds/b.mp3", work.filePath("out/own.mp3"), &error));
        QCOMPARE(folderListing(work.filePath("out")), QStringList{"wide.mp3"});

        // A folder given to the folder copy is a link: copied only when its home holds
        // where it leads; otherwise nothing lands and the reason is named.
        QStringList leftOut;
        QVERIFY(!AppUtility::copyFromPath(project + "/scene", work.filePath("scene-own"), true, QString(), &leftOut));
        QVERIFY(!QFileInfo::exists(work.filePath("scene-own")));
        QCOMPARE(leftOut.size(), 1);
        QVERIFY2(leftOut.first().contains("scene") && leftOut.first().contains("through a link"), qPrintable(leftOut.first()));
        QVERIFY(!AppUtility::copyFromPath(project + "/scene", work.filePath("scene-narrow"), true, project));
        QVERIFY(!QFileInfo::exists(work.filePath("scene-narrow")));
        QVERIFY(AppUtility::copyFromPath(project + "/scene", work.filePath("scene-wide"), true, home));
        QCOMPARE(readFile(work.filePath("scene-wide/Meta.xml")), QByteArray("<Meta/>"));
    }
};

QV_TEST(SafeFilesTest)
#include "tst_safefiles.moc"
