#include "TestFiles.h"
#include "TestSupport.h"
#include "publishing/AppIconCopy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestFiles;

class AppIconCopyTest : public QObject
{
    Q_OBJECT
private slots:
    void copiesTheChosenIconReplacingAnOlderCopy()
    {
        QTemporaryDir dir;
        const QString store = dir.filePath("extra");
        writeFile(dir.filePath("pick/book.icns"), "new icon");
        writeFile(store + "/book.icns", "old icon");

        QCOMPARE(AppIconCopy::keepCopy(dir.filePath("pick/book.icns"), store), store + "/book.icns");
        QCOMPARE(readFile(store + "/book.icns"), QByteArray("new icon"));
        QCOMPARE(QDir(store).entryList(QDir::Files | QDir::Hidden), QStringList{"book.icns"});
    }

    void theChosenFileIsNeverRemovedWhenItIsTheCopyItself()
    {
        QTemporaryDir dir;
        const QString store = dir.filePath("extra");
        writeFile(store + "/book.icns", "the only icon");
        QVERIFY(QFile::link(store, dir.filePath("alias")));
        for (const QString &spelling : {store + "//book.icns", store + "/../extra/./book.icns", dir.filePath("alias/book.icns")}) {
            QCOMPARE(AppIconCopy::keepCopy(spelling, store), store + "/book.icns");
            QCOMPARE(readFile(store + "/book.icns"), QByteArray("the only icon"));
        }
    }

    void missingOrUncopyableIconsLeaveEverythingAsItWas()
    {
        QTemporaryDir dir;
        const QString store = dir.filePath("extra");
        writeFile(store + "/book.icns", "old icon");
        QCOMPARE(AppIconCopy::keepCopy(dir.filePath("gone.icns"), store), dir.filePath("gone.icns"));
        QCOMPARE(AppIconCopy::keepCopy(store, store), store); // a folder is no icon

        // The copy cannot take the old copy's place (a folder of that name is there):
        // no path is answered (the chosen file may be a temporary one), the reason is,
        // and nothing is left behind.
        writeFile(dir.filePath("pick/book.icns"), "new icon");
        writeFile(dir.filePath("store2/book.icns/keep.txt"), "keep");
        QString error;
        QCOMPARE(AppIconCopy::keepCopy(dir.filePath("pick/book.icns"), dir.filePath("store2"), &error), QString());
        QVERIFY(error.contains("book.icns"));
        QCOMPARE(readFile(dir.filePath("store2/book.icns/keep.txt")), QByteArray("keep"));
        QCOMPARE(QDir(dir.filePath("store2")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"book.icns"});
    }
};

QV_TEST(AppIconCopyTest)
#include "tst_appiconcopy.moc"
