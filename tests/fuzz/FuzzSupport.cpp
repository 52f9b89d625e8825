#include "FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace FuzzSupport {

namespace {

QTemporaryDir *scratchDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/qv-fuzz-XXXXXX"));
    return &dir;
}

} // namespace

void init()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    static int argc = 1;
    static char name[] = "quorvel-fuzz";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Quorvel"));
    scratchDir();
}

QString scratch()
{
    return scratchDir()->path();
}

QString writeScratchFile(const QString &name, const QByteArray &data)
{
    const QString path = scratch() + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(data);
    return path;
}

QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

void requireSame(bool same, const char *what)
{
    if (same)
        return;
    std::fprintf(stderr, "round trip: %s read back differently from what was written\n", what);
    std::abort();
}

} // namespace FuzzSupport
