#include "output/packages/FlashBookOutputApp.h"

#include "foundation/AppStrings.h"
#include "output/ConvertBookInfo.h"
#include "output/packages/MacAppPackager.h"
#include "output/web/OutputFiles.h"

void FlashBookOutputApp::writePackage(const QString &webFolder, const QString &packageTarget)
{
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
    const bool written = packager.writePackage(webFolder, toName() + QStringLiteral(".html"), packageTarget);
    checkStop();
    if (!written)
        OutputFiles::fail(loadAppString(QStringLiteral("BookOutput-The application cannot be made: %1"),
                                        QStringLiteral("The application cannot be made: %1"))
                              .arg(packager.errorString()));
}
