#include "output/packages/PackagedBookOutput.h"

#include "output/ConvertBookInfo.h"
#include "output/web/OutputStage.h"

void PackagedBookOutput::makePackage(const OutputStage &stage)
{
    // The web book goes beside the stage's book folder, which receives only the package.
    const QString web = stage.path() + QStringLiteral("/web");
    writeStagedBook(stage, web);
    post(ConvertStep::Complete, 0, 100);
    writePackage(web, stage.bookFolder() + QLatin1Char('/') + packageName());
    checkStop();
}

void PackagedBookOutput::convertBook()
{
    setMainFilePath(QString());
    OutputStage stage(saveToFolder());
    makePackage(stage);
    stage.commit({packageName()});
    setMainFilePath(stage.outputFolder() + QLatin1Char('/') + packageName());
    post(ConvertStep::Complete, 100, 100);
}

void PackagedBookOutput::zipOutput()
{
    setMainFilePath(QString());
    OutputStage stage(saveToFolder());
    makePackage(stage);
    setBookEntries({packageName()});
    const QString archive = packedBook(stage);
    checkStop();
    const QString name = toName() + QStringLiteral(".zip");
    stage.commitFile(archive, name);
    setMainFilePath(stage.outputFolder() + QLatin1Char('/') + name);
    post(ConvertStep::Complete, 100, 100);
}
