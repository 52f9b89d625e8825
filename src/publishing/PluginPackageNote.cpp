#include "publishing/PluginPackageNote.h"

#include "foundation/AppStrings.h"
#include "foundation/ZipExtractor.h"

#include <QFileInfo>
#include <QLocale>

namespace PluginPackageNote {

namespace {

// The folder a Joomla module is unpacked into is named like its manifest.
QString joomlaModuleName(const QString &packagePath)
{
    for (const QString &entry : ZipExtractor::entryNames(packagePath))
        if (!entry.contains(QLatin1Char('/')) && entry.startsWith(QLatin1String("mod_")) && entry.endsWith(QLatin1String(".xml")))
            return entry.chopped(4);
    return {};
}

QString unpackAdvice(const QString &packagePath, OutputKind kind)
{
    switch (kind.code()) {
    case OutputKind::WordPress:
        return loadAppString(QStringLiteral("OutputReport-Unpack it into the site's plug-in folder "
                                            "(wp-content/plugins) instead and activate it under Plugins."),
                             QStringLiteral("Unpack it into the site's plug-in folder (wp-content/plugins) instead and "
                                            "activate it under Plugins."));
    case OutputKind::Joomla: {
        const QString module = joomlaModuleName(packagePath);
        return loadAppString(QStringLiteral("OutputReport-Unpack it into a new folder \"modules/%1\" of the site instead "
                                            "and install it with Extensions > Discover."),
                             QStringLiteral("Unpack it into a new folder \"modules/%1\" of the site instead and install "
                                            "it with Extensions > Discover."))
            .arg(module.isEmpty() ? QFileInfo(packagePath).completeBaseName() : module);
    }
    default:
        return loadAppString(QStringLiteral("OutputReport-Unpack it into the site's module folder (sites/all/modules) "
                                            "instead and enable it under Modules."),
                             QStringLiteral("Unpack it into the site's module folder (sites/all/modules) instead and "
                                            "enable it under Modules."));
    }
}

} // namespace

QString text(const QString &packagePath, OutputKind kind)
{
    const QFileInfo info(packagePath);
    if (kind.writer() != OutputKind::Writer::PluginPackage || !info.isFile())
        return {};
    const QString size = QLocale().formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
    const QString note = loadAppString(QStringLiteral("OutputReport-The package is %1."), QStringLiteral("The package is %1."))
                             .arg(size);
    if (info.size() <= kUploadLimit)
        return note;
    return note + QLatin1Char(' ')
         + loadAppString(QStringLiteral("OutputReport-Many sites refuse uploads larger than 2 MB (PHP's default "
                                        "upload_max_filesize)."),
                         QStringLiteral("Many sites refuse uploads larger than 2 MB (PHP's default upload_max_filesize)."))
         + QLatin1Char(' ') + unpackAdvice(packagePath, kind);
}

} // namespace PluginPackageNote
