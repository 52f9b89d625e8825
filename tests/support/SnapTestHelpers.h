#pragma once
// Pieces shared by the snapshot tests: a stand-in for the snapshot helper written
// where the real one is installed, and limits that last as long as a test.

#include "foundation/AppUtility.h"
#include "publishing/SWFSnapDelegate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace SnapTest {

// Puts a shell script where the helper is looked for. The script gets the helper's
// single argument as $1; OUT holds the "o=" path (unescaped for plain paths).
inline bool installFakeHelper(const QString &body)
{
    const QString exe = SWFSnapDelegate::ZuziDORExePath();
    makeTreeWritable(SWFSnapDelegate::installFolder());
    QDir().mkpath(QFileInfo(exe).absolutePath());
    QFile::remove(exe);
    QFile file(exe);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray script = "#!/bin/sh\nOUT=$(printf '%s' \"$1\" | sed 's/.*|o=\\([^|]*\\)|.*/\\1/')\n" +
                              body.toUtf8() + "\n";
    file.write(script);
    file.close();
    return changeFilePermistion(exe, 0755);
}

// Restores the default limits when the test ends.
class ScopedLimits
{
public:
    explicit ScopedLimits(const SWFSnapDelegate::Limits &limits) : m_old(SWFSnapDelegate::limits())
    {
        SWFSnapDelegate::setLimits(limits);
    }
    ~ScopedLimits() { SWFSnapDelegate::setLimits(m_old); }

private:
    SWFSnapDelegate::Limits m_old;
};

} // namespace SnapTest
