#include "TestFiles.h"
#include "TestSupport.h"
#include "PackageTestData.h"
#include "output/packages/ExeBookPayload.h"
#include "output/packages/PackageTemplates.h"
#include "output/packages/WinExePackager.h"

#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace PackageTestData;
using namespace TestFiles;

namespace {

// Stands in for the browser: records its command line and ends.
const char *kFakeBrowser = R"(#include <windows.h>
int WINAPI wWinMain(HINSTANCE a, HINSTANCE b, PWSTR c, int d)
{
    HANDLE h = CreateFileW(L"C:\\browser-args.tmp", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    const wchar_t *line = GetCommandLineW();
    DWORD n;
    WriteFile(h, line, lstrlenW(line) * 2, &n, NULL);
    CloseHandle(h);
    MoveFileW(L"C:\\browser-args.tmp", L"C:\\browser-args.txt");
    return 0;
}
)";

QString findWine()
{
    for (const QString &name : {QStringLiteral("wine64"), QStringLiteral("wine")}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return QFileInfo::exists(QStringLiteral("/usr/lib/wine/wine64")) ? QStringLiteral("/usr/lib/wine/wine64")
                                                                     : QString();
}

} // namespace

// Runs a written executable book under Wine, when Wine and MinGW-w64 are installed.
class WinExeUnderWineTest : public QObject
{
    Q_OBJECT

    QString m_wine;
    QTemporaryDir m_dir;
    QProcessEnvironment m_env;

    bool runWine(const QStringList &args, int timeoutMs = 120000)
    {
        QProcess wine;
        wine.setProcessEnvironment(m_env);
        wine.setProcessChannelMode(QProcess::MergedChannels);
        wine.start(m_wine, args);
        if (!wine.waitForFinished(timeoutMs)) {
            wine.kill();
            wine.waitForFinished();
            return false;
        }
        return wine.exitStatus() == QProcess::NormalExit && wine.exitCode() == 0;
    }

private slots:
    void initTestCase()
    {
        m_wine = findWine();
        const QString gcc = QStandardPaths::findExecutable(QStringLiteral("x86_64-w64-mingw32-gcc"));
        if (m_wine.isEmpty() || gcc.isEmpty() || !QFile::exists(PackageTemplates::winExeStubPath()))
            QSKIP("Wine, MinGW-w64 or the Windows launcher is missing");

        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("WINEPREFIX"), m_dir.filePath(QStringLiteral("prefix")));
        m_env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
        m_env.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml=d"));
        QVERIFY2(runWine({QStringLiteral("wineboot"), QStringLiteral("-i")}), "wineboot failed");

        const QString source = m_dir.filePath(QStringLiteral("browser.c"));
        writeFile(source, kFakeBrowser);
        const QString browser = m_dir.filePath(QStringLiteral("prefix/drive_c/fake/msedge.exe"));
        QDir().mkpath(QFileInfo(browser).path());
        QCOMPARE(QProcess::execute(gcc, {QStringLiteral("-municode"), QStringLiteral("-mwindows"), source,
                                         QStringLiteral("-o"), browser}),
                 0);
        QVERIFY(runWine({QStringLiteral("reg"), QStringLiteral("add"),
                         QStringLiteral("HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\msedge.exe"),
                         QStringLiteral("/ve"), QStringLiteral("/d"), QStringLiteral("C:\\fake\\msedge.exe"),
                         QStringLiteral("/f")}));
    }

    void cleanupTestCase()
    {
        if (!m_wine.isEmpty() && m_env.contains(QStringLiteral("WINEPREFIX"))) {
            QProcess server;
            server.setProcessEnvironment(m_env);
            server.start(QFileInfo(m_wine).dir().filePath(QStringLiteral("wineserver")), {QStringLiteral("-k")});
            server.waitForFinished();
        }
    }

    void bookUnpacksAndOpensInABrowserWindow()
    {
        const QString folder = m_dir.filePath(QStringLiteral("book"));
        const QMap<QString, QByteArray> book = makeBook(folder);
        const QString exe = m_dir.filePath(QStringLiteral("prefix/drive_c/Demo Book.exe"));
        WinExePackager packager;
        packager.setAppTitle(QStringLiteral("Wine Demo"));
        packager.setAppWindowSize(QStringLiteral("CUSTOM:800,600"));
        QVERIFY(packager.writePackage(folder, QStringLiteral("Demo.html"), exe));
        const QString id = ExeBookPayload::read(exe)->info.bookId;

        const QString args = m_dir.filePath(QStringLiteral("prefix/drive_c/browser-args.txt"));
        for (int run = 0; run < 2; ++run) { // the second start finds the book unpacked
            QFile::remove(args);
            QVERIFY(runWine({QStringLiteral("C:\\Demo Book.exe")}));
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(args), 30000);
            const QString line = QString::fromUtf16(reinterpret_cast<const char16_t *>(readFile(args).constData()),
                                                    readFile(args).size() / 2);
            QVERIFY2(line.contains(QStringLiteral("/Quorvel/Books/%1/Demo.html\"").arg(id)), qPrintable(line));
            QVERIFY(line.contains(QStringLiteral("--app=\"file:///C:/users/")));
            QVERIFY(line.contains(QStringLiteral("--window-size=800,600")));
            QVERIFY(line.contains(QStringLiteral("--user-data-dir=")));
        }

        QString unpacked;
        QDirIterator users(m_dir.filePath(QStringLiteral("prefix/drive_c/users")), QDir::Dirs | QDir::NoDotAndDotDot);
        while (users.hasNext()) {
            const QString candidate = users.next() + QStringLiteral("/AppData/Local/Quorvel/Books/") + id;
            if (QFileInfo(candidate).isDir())
                unpacked = candidate;
        }
        QVERIFY(!unpacked.isEmpty());
        for (auto it = book.constBegin(); it != book.constEnd(); ++it)
            QCOMPARE(readFile(QDir(unpacked).filePath(it.key())), it.value());
    }
};

QV_TEST(WinExeUnderWineTest)
#include "tst_exewine.moc"
