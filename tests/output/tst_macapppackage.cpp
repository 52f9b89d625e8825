#include "TestFiles.h"
#include "TestSupport.h"
#include "PackageChecks.h"
#include "PackageTestData.h"
#include "output/packages/MacAppPackager.h"
#include "output/packages/PackageTemplates.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace PackageTestData;
using namespace TestFiles;
using namespace PackageChecks;

class MacAppPackageTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_book;

    // Runs the bundle's launcher with a stand-in "open" that records its arguments.
    QStringList runLauncher(const QString &app, const QString &home)
    {
        const QString bin = m_dir.filePath(QStringLiteral("bin"));
        const QString record = m_dir.filePath(QStringLiteral("open-args"));
        writeFile(bin + QStringLiteral("/open"),
                  QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1'\n")
                      .arg(record)
                      .toUtf8());
        QFile::setPermissions(bin + QStringLiteral("/open"), QFile::permissions(bin + QStringLiteral("/open")) |
                                                                 QFileDevice::ExeOwner);
        QFile::remove(record);
        const QString exe = infoOf(app).value(QStringLiteral("CFBundleExecutable")).toString();
        QProcess launcher;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), bin + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
        env.insert(QStringLiteral("HOME"), home);
        launcher.setProcessEnvironment(env);
        launcher.start(app + QStringLiteral("/Contents/MacOS/") + exe, {});
        if (!launcher.waitForFinished(10000) || launcher.exitCode() != 0)
            return {QStringLiteral("launcher failed: ") + QString::fromUtf8(launcher.readAllStandardError())};
        return QString::fromUtf8(readFile(record)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        m_book = m_dir.filePath(QStringLiteral("book"));
        makeBook(m_book);
        QVERIFY2(QFileInfo(PackageTemplates::macAppTemplatePath() + QStringLiteral("/Contents/Info.plist")).isFile(),
                 "the application template was not installed from the resources");
    }

    void bundleHoldsBookIconAndSettings()
    {
        const QString app = m_dir.filePath(QStringLiteral("out/Demo.app"));
        MacAppPackager packager;
        packager.setAppTitle(QStringLiteral("My \"Demo\" <Book>"));
        packager.setAppVersion(QStringLiteral("2.1 beta"));
        packager.setAppIdentifier(QStringLiteral("com.example.my book!"));
        packager.setAppWindowSize(QStringLiteral("CUSTOM:800,600"));
        packager.setWindowHideMode(QStringLiteral("YES"));
        QVERIFY2(packager.writePackage(m_book, QStringLiteral("Demo.html"), app), qPrintable(packager.errorString()));

        const QVariantMap info = infoOf(app);
        QCOMPARE(info.value(QStringLiteral("CFBundleName")).toString(), QStringLiteral("My \"Demo\" <Book>"));
        QCOMPARE(info.value(QStringLiteral("CFBundleDisplayName")).toString(), QStringLiteral("My \"Demo\" <Book>"));
        QCOMPARE(info.value(QStringLiteral("CFBundleShortVersionString")).toString(), QStringLiteral("2.1"));
        QCOMPARE(info.value(QStringLiteral("CFBundleVersion")).toString(), QStringLiteral("2.1"));
        QCOMPARE(info.value(QStringLiteral("CFBundleIdentifier")).toString(), QStringLiteral("com.example.my-book"));
        QCOMPARE(info.value(QStringLiteral("CFBundleExecutable")).toString(), QStringLiteral("My Demo Book"));
        const QFileInfo launcher(app + QStringLiteral("/Contents/MacOS/My Demo Book"));
        QVERIFY(launcher.permissions() & QFileDevice::ExeOther);

        QCOMPARE(readFile(app + QStringLiteral("/Contents/Resources/book/files/pages/2.jpg")),
                 readFile(m_book + QStringLiteral("/files/pages/2.jpg")));
        QCOMPARE(iconWidths(app + QStringLiteral("/Contents/Resources/flipbookicons.icns")),
                 (QList<int>{16, 32, 128, 256, 512, 1024}));

        const QMap<QString, QString> conf = confOf(app);
        QCOMPARE(conf.value(QStringLiteral("page")), QStringLiteral("book/Demo.html"));
        QCOMPARE(conf.value(QStringLiteral("window")), QStringLiteral("CUSTOM:800,600"));
        QCOMPARE(conf.value(QStringLiteral("hideOnClose")), QStringLiteral("YES"));
        QVERIFY(QDir(m_dir.filePath(QStringLiteral("out"))).entryList(QDir::AllEntries | QDir::Hidden |
                                                                      QDir::NoDotAndDotDot) ==
                QStringList{QStringLiteral("Demo.app")});
    }

    void chosenIconsBecomeTheBundleIcon()
    {
        const QString app = m_dir.filePath(QStringLiteral("icons/Demo.app"));
        MacAppPackager packager;
        const QString png = savePicture(m_dir.filePath(QStringLiteral("icon.png")), picture(300, 200, Qt::red));
        packager.setAppIconFile(png);
        QVERIFY(packager.writePackage(m_book, QStringLiteral("Demo.html"), app));
        const QString icon = app + QStringLiteral("/Contents/Resources/flipbookicons.icns");
        QCOMPARE(iconWidths(icon), (QList<int>{16, 32, 128, 256, 512, 1024}));
        QCOMPARE(IcnsFile::largestImage(*IcnsFile::readFile(icon)).pixel(1000, 1000), QColor(Qt::red).rgb());

        // An .icns is taken byte for byte, and replaces the bundle written before.
        const QString icns = m_dir.filePath(QStringLiteral("own.icns"));
        writeFile(icns, *IcnsFile::encode({{128, picture(128, 128, Qt::green)}}));
        packager.setAppIconFile(icns);
        QVERIFY(packager.writePackage(m_book, QStringLiteral("Demo.html"), app));
        QCOMPARE(readFile(icon), readFile(icns));

        // A failing run leaves that bundle as it was and no stage folder behind.
        writeFile(m_dir.filePath(QStringLiteral("bad.icns")), "icns\0\0\0\x10garbage!");
        packager.setAppIconFile(m_dir.filePath(QStringLiteral("bad.icns")));
        QVERIFY(!packager.writePackage(m_book, QStringLiteral("Demo.html"), app));
        QCOMPARE(readFile(icon), readFile(icns));
        packager.setAppIconFile(QString());
        std::atomic_bool stop{false};
        packager.setStopFlag(&stop);
        packager.setProgressHandler([&](int, int) { stop = true; });
        QVERIFY(!packager.writePackage(m_book, QStringLiteral("Demo.html"), app));
        QCOMPARE(readFile(icon), readFile(icns));
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("icons"))).entryList(QDir::AllEntries | QDir::Hidden |
                                                                        QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Demo.app")});
        QVERIFY(!packager.writePackage(m_book, QStringLiteral("../Demo.html"), app));
    }

    void launcherOpensThePageTheWayTheBundleSays()
    {
        const QString app = m_dir.filePath(QStringLiteral("My Books #1/Demo.app"));
        MacAppPackager packager;
        packager.setAppTitle(QStringLiteral("Demo"));
        packager.setAppIdentifier(QStringLiteral("com.example.demo"));
        packager.setAppWindowSize(QStringLiteral("CUSTOM:800,600"));
        QVERIFY(packager.writePackage(m_book, QStringLiteral("Demo.html"), app));
        const QString page = app + QStringLiteral("/Contents/Resources/book/Demo.html");
        const QString home = m_dir.filePath(QStringLiteral("home"));
        QDir().mkpath(home);

        // No browser with application windows: the default browser opens the page.
        QCOMPARE(runLauncher(app, home), QStringList{page});

        // With one, an application window of the recorded size, with a profile of its own.
        const QString chrome = home + QStringLiteral("/Applications/Google Chrome.app");
        writeFile(chrome + QStringLiteral("/Contents/MacOS/Google Chrome"), "#!/bin/sh\n");
        QFile::setPermissions(chrome + QStringLiteral("/Contents/MacOS/Google Chrome"),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QString url = QStringLiteral("file://") + page;
        url.replace(QLatin1Char(' '), QLatin1String("%20")).replace(QLatin1Char('#'), QLatin1String("%23"));
        const QStringList expected{QStringLiteral("-n"), QStringLiteral("-a"), chrome, QStringLiteral("--args"),
                                   QStringLiteral("--user-data-dir=%1/Library/Application Support/Quorvel/Books/com.example.demo").arg(home),
                                   QStringLiteral("--no-first-run"), QStringLiteral("--no-default-browser-check"),
                                   QStringLiteral("--window-size=800,600"), QStringLiteral("--app=") + url};
        QCOMPARE(runLauncher(app, home), expected);

        packager.setAppWindowSize(QStringLiteral("MAX"));
        QVERIFY(packager.writePackage(m_book, QStringLiteral("Demo.html"), app));
        QVERIFY(runLauncher(app, home).contains(QStringLiteral("--start-maximized")));

        // A hand-edited settings file with a bad size still opens the book.
        writeFile(app + QStringLiteral("/Contents/Resources/book.conf"),
                  "page=book/Demo.html\nwindow=CUSTOM:800;rm -rf x\nbookId=../x\n");
        const QStringList args = runLauncher(app, home);
        QVERIFY(args.contains(QStringLiteral("--start-maximized")));
        QVERIFY(args.contains(QStringLiteral("--user-data-dir=%1/Library/Application Support/Quorvel/Books/book").arg(home)));
    }

    void namesFromUserTextAreMadeSafe()
    {
        QVERIFY(!MacAppPackager::bundleIdentifier(QStringLiteral("  ")).isEmpty());
        QCOMPARE(MacAppPackager::bundleIdentifier(QStringLiteral(".com..ex ample.")), QStringLiteral("com.ex-ample"));
        QCOMPARE(MacAppPackager::bundleVersion(QStringLiteral("3.4.5.6")), QStringLiteral("3.4.5"));
        QCOMPARE(MacAppPackager::executableName(QStringLiteral("../../evil\n")), QStringLiteral("evil"));
        QCOMPARE(MacAppPackager::executableName(QStringLiteral("日本")), QStringLiteral("book"));

        // A title with a line break cannot add a line to the launcher settings.
        const QString app = m_dir.filePath(QStringLiteral("names/Demo.app"));
        MacAppPackager packager;
        packager.setAppTitle(QStringLiteral("Line\npage=/etc/passwd"));
        QVERIFY(packager.writePackage(m_book, QStringLiteral("Demo.html"), app));
        QCOMPARE(confOf(app).value(QStringLiteral("page")), QStringLiteral("book/Demo.html"));
        QCOMPARE(confOf(app).value(QStringLiteral("title")), QStringLiteral("Line page=/etc/passwd"));
    }
};

QV_TEST(MacAppPackageTest)
#include "tst_macapppackage.moc"
