#include "foundation/AppResources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace AppResources {

QString resourcePath()
{
    const QByteArray env = qgetenv("QUORVEL_RESOURCES");
    if (!env.isEmpty())
        return QDir::cleanPath(QFile::decodeName(env));
    if (QCoreApplication::instance()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        for (const QString &candidate : {exeDir + QStringLiteral("/../resources"),
                                         exeDir + QStringLiteral("/../share/quorvel/resources")}) {
            if (QFileInfo(candidate).isDir())
                return QDir::cleanPath(candidate);
        }
    }
    return QStringLiteral(QUORVEL_BUILD_RESOURCES);
}

QString resourcePath(const QString &relative)
{
    return resourcePath() + QLatin1Char('/') + relative;
}

QString helperProgramPath()
{
    const QByteArray env = qgetenv("QUORVEL_BIN");
    if (!env.isEmpty())
        return QFile::decodeName(env);
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QStringLiteral(QUORVEL_BUILD_BIN);
}

} // namespace AppResources
