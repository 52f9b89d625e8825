#pragma once
// The common run of the output kinds that wrap the web book into one package (the
// desktop application and the Windows executable): the web book is written into the
// stage, the subclass makes its package from it in the stage's book folder, and that
// package, or a ZIP archive holding it, is moved into the output folder at the end.
// A failed or cancelled run leaves the output folder as it was.

#include "output/web/FlashBookOutput.h"

class PackagedBookOutput : public FlashBookOutput
{
public:
    using FlashBookOutput::FlashBookOutput;

    // Writes <folder>/<name>.<packageSuffix()>, replacing an older entry of that name.
    void convertBook() final;
    // Writes <folder>/<name>.zip holding the package.
    void zipOutput() final;

    virtual QString packageSuffix() const = 0;

protected:
    // Makes the package <stage.bookFolder()>/<packageName> from the web book in webFolder
    // (main page "<name>.html"); throws WorkerException when it cannot.
    virtual void writePackage(const QString &webFolder, const QString &packageTarget) = 0;

private:
    QString packageName() const { return toName() + QLatin1Char('.') + packageSuffix(); }
    void makePackage(const OutputStage &stage);
};
