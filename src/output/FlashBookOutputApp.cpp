#include "output/FlashBookOutputApp.h"

#include "foundation/AppStrings.h"
#include "output/ConvertBookInfo.h"
#include "output/MacAppPackager.h"
#include "output/OutputFiles.h"
#include "output/OutputStage.h"

void FlashBookOutputApp::convertBook()
{
    setMainFilePath(QString());
    OutputStage stage(saveToFolder());
    // The web book goes beside the stage's book folder, which receives only the bundle.
    const QString web = stage.path() + QStringLiteral("/web");
    writeStagedBook(stage, web);

    const QString bundleName = toName() + QLatin1Char('.') + packageSuffix();
    post(ConvertStep::Complete, 0, 100);
    MacAppPackager packager;
    packager.setAppTitle(m_title);
    packager.setAppVersion(m_version);
    packager.setAppIdentifier(m_identifier);
    packager.setAppWindowSize(m_windowSize);
    packager.setWindowHideMode(m_hideMode);
    packager.setAppIconFile(m_iconFile);
    packager.setTemplateFolder(m_templateFolder);
    packager.setMovesBook(true); // the staged web book is not needed afterwards
    packager.setStopFlag(stopFlag());
    packager.setProgressHandler([this](int done, int total) { post(ConvertStep::Complete, done, total); });
    const bool written =
        packager.writePackage(web, toName() + QStringLiteral(".html"), stage.bookFolder() + QLatin1Char('/') + bundleName);
    checkStop();
    if (!written)
        OutputFiles::fail(loadAppString(QStringLiteral("BookOutput-The application cannot be made: %1"),
                                        QStringLiteral("The application cannot be made: %1"))
                              .arg(packager.errorString()));
    stage.commit({bundleName});
    setMainFilePath(stage.outputFolder() + QLatin1Char('/') + bundleName);
}
