#include "TestSupport.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace TestSupport {

namespace {
QMap<QString, Factory> &registry()
{
    static QMap<QString, Factory> tests;
    return tests;
}

std::unique_ptr<QTemporaryDir> &homeDir()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

bool registerTest(const char *name, Factory factory)
{
    registry().insert(QString::fromLatin1(name), std::move(factory));
    return true;
}

void isolateUserFolders()
{
    auto &dir = homeDir();
    dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quorvel-test-XXXXXX"));
    const QString home = dir->path();
    const auto set = [&](const char *var, const QString &sub) {
        const QString path = sub.isEmpty() ? home : home + QLatin1Char('/') + sub;
        QDir().mkpath(path);
        qputenv(var, QFile::encodeName(path));
    };
    set("HOME", {});
    set("XDG_DATA_HOME", QStringLiteral(".local/share"));
    set("XDG_CONFIG_HOME", QStringLiteral(".config"));
    set("XDG_CACHE_HOME", QStringLiteral(".cache"));
    set("XDG_RUNTIME_DIR", QStringLiteral("runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    set("TMPDIR", QStringLiteral("tmp"));
    // No session bus either: with none named, the accessibility bridge of the xcb
    // platform would have one started for the display, which can hang a test at start-up.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    set("XDG_DOCUMENTS_DIR", QStringLiteral("Documents"));
}

QString isolatedHome()
{
    return homeDir() ? homeDir()->path() : QString();
}

QString sourceDataPath(const QString &relative)
{
    const QString base = QStringLiteral(QUORVEL_SOURCE_DIR "/tests/data");
    return relative.isEmpty() ? base : base + QLatin1Char('/') + relative;
}

int runTests(int argc, char **argv)
{
    QStringList selected;
    QList<char *> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (registry().contains(arg))
            selected << arg;
        else
            rest << argv[i];
    }
    if (selected.isEmpty())
        selected = registry().keys();
    int failures = 0;
    for (const QString &name : selected) {
        std::unique_ptr<QObject> test(registry().value(name)());
        failures += QTest::qExec(test.get(), int(rest.size()), rest.data());
    }
    return failures == 0 ? 0 : 1;
}

} // namespace TestSupport
