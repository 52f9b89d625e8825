#pragma once
// What the benchmark programs share: the application they run in, the generated test
// document, and the peak memory.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace BenchSupport {

// Runs the program without a display unless one is asked for.
inline void useOffscreenUnlessSet()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The PDF to measure: `given`, or the import benchmark's generated document of `pages`
// pages written to `file` (import_bench --make-pdf, run from the same folder); "" when
// it cannot be made.
inline QString benchPdf(const QString &given, const QString &file, const QString &pages)
{
    if (!given.isEmpty())
        return given;
    const QString maker = QCoreApplication::applicationDirPath() + QStringLiteral("/import_bench");
    return QProcess::execute(maker, {QStringLiteral("--make-pdf"), file, QStringLiteral("--pages"), pages}) == 0 ? file
                                                                                                             : QString();
}

// The largest memory this process has held (VmHWM), in KiB; -1 when unknown.
inline qint64 peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace BenchSupport
