#include "publishing/BookCoverProgram.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/AuxArgumentString.h"
#include "foundation/HelperInstall.h"

#include <QFileInfo>
#include <QMutex>

namespace {
// The dialog installs on the main thread, a test may install too: one at a time.
QMutex g_installMutex;
} // namespace

QString BookCoverProgram::saveAppPath()
{
    return AppUtility::userAppFolderForSubFolder(QStringLiteral("/Zendarrow/%1/BookCover").arg(AppUtility::appFolderName()));
}

QString BookCoverProgram::appPath()
{
    return saveAppPath() + QStringLiteral("/BookCoverMaker.app");
}

QString BookCoverProgram::getBookCoverExePath()
{
    return appPath() + QStringLiteral("/Contents/MacOS/BookCoverMaker");
}

bool BookCoverProgram::installBookCoverExe()
{
    return installBookCoverExeFromPackage(AppResources::resourcePath(QStringLiteral("BookCoverMaker")));
}

bool BookCoverProgram::installBookCoverExeFromPackage(const QString &packagePath)
{
    QMutexLocker lock(&g_installMutex);
    const HelperInstall::Result result =
        HelperInstall::install(packagePath, saveAppPath(), packageVersion(), getBookCoverExePath());
    return result != HelperInstall::Result::NoPackage && result != HelperInstall::Result::Failed;
}

QString BookCoverProgram::argumentString(const QString &inputFile, const QString &outputFile,
                                         const QString &configFile, bool forceSave, bool isEditMode)
{
    // Only the paths are escaped; the flags are plain digits.
    QStringList items;
    if (!inputFile.isEmpty() && QFileInfo::exists(inputFile))
        items << QStringLiteral("i=") + AuxArgumentString::escape(inputFile);
    items << QStringLiteral("c=") + AuxArgumentString::escape(configFile)
          << QStringLiteral("o=") + AuxArgumentString::escape(outputFile)
          << QStringLiteral("f=%1").arg(forceSave ? 1 : 0);
    if (isEditMode)
        items << QStringLiteral("e=1");
    return items.join(QLatin1Char('|'));
}

QStringList BookCoverProgram::arguments(const QString &inputFile, const QString &outputFile,
                                        const QString &configFile, bool forceSave, bool isEditMode)
{
    const QString code = defaultLanguageCode();
    return {argumentString(inputFile, outputFile, configFile, forceSave, isEditMode),
            QStringLiteral("-AppleLanguages"),
            QStringLiteral("(%1)").arg(code.isEmpty() ? QStringLiteral("en") : code)};
}
