#include "output/FlashBookOutputExe.h"

#include "foundation/AppStrings.h"
#include "output/ConvertBookInfo.h"
#include "output/OutputFiles.h"
#include "output/OutputStage.h"
#include "output/WinExePackager.h"

void FlashBookOutputExe::convertBook()
{
    setMainFilePath(QString());
    m_skipped.clear();
    OutputStage stage(saveToFolder());
    const QString web = stage.path() + QStringLiteral("/web");
    writeStagedBook(stage, web);

    const QString exeName = toName() + QLatin1Char('.') + packageSuffix();
    const QString staged = stage.path() + QLatin1Char('/') + exeName;
    post(ConvertStep::Complete, 0, 100);
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
    const bool written = packager.writePackage(web, toName() + QStringLiteral(".html"), staged);
    checkStop();
    if (!written)
        OutputFiles::fail(loadAppString(QStringLiteral("BookOutput-The Windows program cannot be made: %1"),
                                        QStringLiteral("The Windows program cannot be made: %1"))
                              .arg(packager.errorString()));
    stage.commitFile(staged, exeName);
    m_skipped = packager.skippedFiles();
    setMainFilePath(stage.outputFolder() + QLatin1Char('/') + exeName);
}
