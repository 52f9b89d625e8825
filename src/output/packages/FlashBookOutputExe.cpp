#include "output/packages/FlashBookOutputExe.h"

#include "foundation/AppStrings.h"
#include "output/ConvertBookInfo.h"
#include "output/web/OutputFiles.h"
#include "output/packages/WinExePackager.h"

void FlashBookOutputExe::writePackage(const QString &webFolder, const QString &packageTarget)
{
    m_skipped.clear();
    WinExePackager packager;
    packager.setAppTitle(m_title);
    packager.setAppWindowSize(m_windowSize);
    packager.setAppIconFile(m_iconFile);
    if (!m_stubFile.isEmpty())
        packager.setStubFile(m_stubFile);
    packager.setStopFlag(stopFlag());
    packager.setProgressHandler([this](qint64 done, qint64 total) {
        post(ConvertStep::Complete, total > 0 ? int(done * 100 / total) : 100, 100);
    });
    const bool written = packager.writePackage(webFolder, toName() + QStringLiteral(".html"), packageTarget);
    checkStop();
    if (!written)
        OutputFiles::fail(loadAppString(QStringLiteral("BookOutput-The Windows program cannot be made: %1"),
                                        QStringLiteral("The Windows program cannot be made: %1"))
                              .arg(packager.errorString()));
    m_skipped = packager.skippedFiles();
}
