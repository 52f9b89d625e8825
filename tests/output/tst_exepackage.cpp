#include "TestFiles.h"
#include "TestSupport.h"
#include "PackageChecks.h"
#include "PackageTestData.h"
#include "output/packages/ExeBookPayload.h"
#include "output/packages/ExeIconResources.h"
#include "output/packages/IcoFile.h"
#include "output/packages/PackageTemplates.h"
#include "output/packages/WinExePackager.h"
#include "output/packages/WinIcon.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace PackageTestData;
using namespace TestFiles;
using namespace PackageChecks;

namespace {

QByteArray stubBytes()
{
    return readFile(PackageTemplates::winExeStubPath());
}

} // namespace

class WinExePackageTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        if (!QFile::exists(PackageTemplates::winExeStubPath()))
            QSKIP("the Windows launcher was not built (no MinGW-w64 cross compiler)");
    }

    void stubIconsAreListedAsFiles()
    {
        QTemporaryDir dir;
        WinIcon icons;
        icons.setIconFolder(dir.path());
        QVERIFY(icons.loadExeFile(PackageTemplates::winExeStubPath()));
        QVERIFY2(icons.parseExeIcon(), qPrintable(icons.errorString()));
        // Each icon is a file of its own holding that one picture.
        QList<int> widths;
        for (const QVariant &v : icons.exeIconsInfo()) {
            const QList<QImage> pictures = IcoFile::decodeImages(readFile(v.toMap().value(QStringLiteral("fileName")).toString()));
            QCOMPARE(pictures.size(), 1);
            widths << pictures.first().width();
        }
        std::sort(widths.begin(), widths.end());
        QCOMPARE(widths, (QList<int>{16, 32, 48, 256}));

        QVERIFY(!icons.loadExeFile(dir.filePath(QStringLiteral("missing.exe"))));
        QVERIFY(!icons.parseExeIcon());
    }

    void packageCarriesTheBookAndTheNewIcon()
    {
        QTemporaryDir dir;
        const QMap<QString, QByteArray> book = makeBook(dir.filePath(QStringLiteral("book")));
        const QString icon = savePicture(dir.filePath(QStringLiteral("icon.png")), picture(300, 300, Qt::red));
        const QString exe = dir.filePath(QStringLiteral("out/Demo.exe"));
        QDir().mkpath(dir.filePath(QStringLiteral("out")));

        WinExePackager packager;
        packager.setAppTitle(QStringLiteral("Demo \"Book\""));
        packager.setAppWindowSize(QStringLiteral("CUSTOM:800,600"));
        packager.setAppIconFile(icon);
        qint64 lastDone = 0, lastTotal = 0;
        packager.setProgressHandler([&](qint64 done, qint64 total) {
            QVERIFY(done >= lastDone);
            lastDone = done;
            lastTotal = total;
        });
        QVERIFY2(packager.writePackage(dir.filePath(QStringLiteral("book")), QStringLiteral("Demo.html"), exe),
                 qPrintable(packager.errorString()));
        QVERIFY(!packager.isFileInfoError());
        QVERIFY(lastDone > 0 && lastDone == lastTotal);
        QVERIFY(QFileInfo(exe).permissions() & QFileDevice::ExeOwner);
        packager.setProgressHandler({});

        // Still a well-formed program with the same layout as the stub, icons replaced.
        const QByteArray bytes = readFile(exe);
        ExeIconResources stub, written;
        QVERIFY(stub.read(stubBytes()));
        QVERIFY(written.read(bytes));
        QCOMPARE(written.imageEnd(), stub.imageEnd());
        QCOMPARE(bytes.left(0x200), stubBytes().left(0x200)); // headers untouched
        const QMap<int, QImage> icons = iconsOf(bytes);
        QCOMPARE(icons.keys(), (QList<int>{16, 32, 48, 256}));
        for (auto it = icons.constBegin(); it != icons.constEnd(); ++it) {
            QCOMPARE(it.value().size(), QSize(it.key(), it.key()));
            QCOMPARE(it.value().pixel(it.key() - 1, it.key() - 1), QColor(Qt::red).rgb());
            QCOMPARE(qAlpha(it.value().pixel(0, 0)), 0);
        }
        QVERIFY(iconsOf(stubBytes()).value(256) != icons.value(256));

        const auto contents = ExeBookPayload::read(exe);
        QVERIFY(contents);
        QCOMPARE(contents->dataStart, stub.imageEnd());
        QCOMPARE(contents->info.title, QStringLiteral("Demo \"Book\""));
        QCOMPARE(contents->info.windowSize, QStringLiteral("CUSTOM:800,600"));
        QCOMPARE(contents->info.mainPage, QStringLiteral("Demo.html"));
        QCOMPARE(contents->entries.size(), book.size());
        QCOMPARE(contents->entries.first().name, QStringLiteral("Demo.html"));
        for (const auto &entry : contents->entries) {
            const auto data = ExeBookPayload::readEntry(exe, *contents, entry);
            QVERIFY(data);
            QCOMPARE(*data, book.value(entry.name));
        }

        // An .ico and an .icns chosen as icon work as well; the stub's own icon is kept
        // when none is chosen.
        const QString ico = dir.filePath(QStringLiteral("icon.ico"));
        writeFile(ico, IcoFile::encodeImages({picture(32, 32, Qt::green), picture(256, 256, Qt::blue)}));
        packager.setAppIconFile(ico);
        QVERIFY(packager.writePackage(dir.filePath(QStringLiteral("book")), QStringLiteral("Demo.html"), exe));
        QCOMPARE(iconsOf(readFile(exe)).value(32).pixel(31, 31), QColor(Qt::green).rgb());
        QCOMPARE(iconsOf(readFile(exe)).value(48).pixel(47, 47), QColor(Qt::blue).rgb());
        packager.setAppIconFile(QString());
        QVERIFY(packager.writePackage(dir.filePath(QStringLiteral("book")), QStringLiteral("Demo.html"), exe));
        QCOMPARE(iconsOf(readFile(exe)), iconsOf(stubBytes()));
    }

    void namesWindowsCannotHoldAreLeftOutAndReported()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("book"));
        makeBook(folder);
        writeFile(folder + QStringLiteral("/files/Pages/1.JPG"), "clash"); // same as files/pages/1.jpg on Windows
        writeFile(folder + QStringLiteral("/files/con.txt"), "device");
        writeFile(folder + QStringLiteral("/files/a:b.txt"), "colon");
        writeFile(folder + QStringLiteral("/files/trailing."), "dot");
        writeFile(folder + QStringLiteral("/files/") + QString(230, QLatin1Char('x')), "long");
        writeFile(folder + QStringLiteral("/files/Bücher/ß.txt"), "fine"); // non-ASCII is fine

        WinExePackager packager;
        const QString exe = dir.filePath(QStringLiteral("Demo.exe"));
        QVERIFY(packager.writePackage(folder, QStringLiteral("Demo.html"), exe));
        QVERIFY(packager.isFileInfoError());
        QCOMPARE(packager.skippedFiles().size(), 5);
        QVERIFY(packager.skippedFiles().contains(QStringLiteral("files/con.txt")));
        const auto contents = ExeBookPayload::read(exe);
        QVERIFY(contents);
        QStringList names;
        for (const auto &e : contents->entries)
            names << e.name;
        QVERIFY(names.contains(QStringLiteral("files/Bücher/ß.txt")));
        QVERIFY(names.contains(QStringLiteral("mobile/index.html")));
        QCOMPARE(names.size(), 6);

        QVERIFY(ExeBookPayload::isWindowsName(QStringLiteral("files/com10.txt")));
        QVERIFY(!ExeBookPayload::isWindowsName(QStringLiteral("LPT3.html")));
        QVERIFY(!ExeBookPayload::isWindowsName(QStringLiteral("../up.html")));
        QVERIFY(!ExeBookPayload::isWindowsName(QStringLiteral("a//b")));
        QVERIFY(!ExeBookPayload::isWindowsName(QStringLiteral("tab\there")));
    }

    void failedOrStoppedRunsLeaveTheOldFile()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("book"));
        makeBook(folder);
        const QString exe = dir.filePath(QStringLiteral("Demo.exe"));
        writeFile(exe, "previous");

        WinExePackager packager;
        packager.setAppIconFile(dir.filePath(QStringLiteral("gone.ico")));
        QVERIFY(!packager.writePackage(folder, QStringLiteral("Demo.html"), exe));
        QVERIFY(!packager.errorString().isEmpty());
        QCOMPARE(readFile(exe), QByteArray("previous"));

        packager.setAppIconFile(QString());
        QVERIFY(!packager.writePackage(folder, QStringLiteral("Missing.html"), exe));
        QCOMPARE(readFile(exe), QByteArray("previous"));

        std::atomic_bool stop{false};
        packager.setStopFlag(&stop);
        packager.setProgressHandler([&](qint64, qint64) { stop = true; });
        QVERIFY(!packager.writePackage(folder, QStringLiteral("Demo.html"), exe));
        QCOMPARE(readFile(exe), QByteArray("previous"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Demo.exe")});

        packager.setStubFile(dir.filePath(QStringLiteral("book/files/book.js"))); // not a program
        packager.setStopFlag(nullptr);
        QVERIFY(!packager.writePackage(folder, QStringLiteral("Demo.html"), exe));
        QCOMPARE(readFile(exe), QByteArray("previous"));
    }

    void damagedProgramsAndPayloadsAreRefusedCleanly()
    {
        const QByteArray stub = stubBytes();
        ExeIconResources resources;
        for (qsizetype length : {0, 2, 64, 0x80, 0x180, 0x400}) {
            QVERIFY(!resources.read(stub.left(length)));
            QVERIFY(!resources.errorString().isEmpty());
        }

        // A resource directory whose entry points back at itself.
        PeFile pe;
        QVERIFY(pe.parse(stub));
        const auto icons = pe.resourcesOfType(PeFile::kIconType);
        QVERIFY(!icons.isEmpty());
        qint64 resourceRoot = -1;
        for (const auto &s : pe.sections())
            if (s.name == ".rsrc")
                resourceRoot = s.rawOffset;
        QVERIFY(resourceRoot > 0);
        QByteArray loop = stub;
        qToLittleEndian<quint32>(0x80000000u, loop.data() + resourceRoot + 16 + 4);
        QVERIFY(!pe.parse(loop));

        // A damaged index or damaged book data is noticed.
        QTemporaryDir dir;
        makeBook(dir.filePath(QStringLiteral("book")));
        const QString exe = dir.filePath(QStringLiteral("Demo.exe"));
        WinExePackager packager;
        QVERIFY(packager.writePackage(dir.filePath(QStringLiteral("book")), QStringLiteral("Demo.html"), exe));
        const auto contents = ExeBookPayload::read(exe);
        QVERIFY(contents);
        QByteArray bytes = readFile(exe);
        bytes[contents->dataStart + contents->entries.first().offset] ^= 1;
        writeFile(exe, bytes);
        QVERIFY(!ExeBookPayload::readEntry(exe, *contents, contents->entries.first()));
        bytes[bytes.size() - ExeBookPayload::kFooterSize - 5] ^= 1;
        writeFile(exe, bytes);
        QVERIFY(!ExeBookPayload::read(exe));
        writeFile(exe, bytes.left(bytes.size() - 1));
        QVERIFY(!ExeBookPayload::read(exe));
    }
};

QV_TEST(WinExePackageTest)
#include "tst_exepackage.moc"
