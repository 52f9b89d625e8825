// Book protection and narration: the steps that work on the complete book folder
// after every other file is written (protection) or beside the pages (narration).

#include "output/FlashBookOutput.h"

#include "foundation/AppStrings.h"
#include "output/OutputFiles.h"

void FlashBookOutput::protectStagedBook(const QString &folder)
{
    Q_UNUSED(folder);
    if (!m_security)
        return;
    // A book that was asked to be protected is never published unprotected.
    OutputFiles::fail(loadAppString(QStringLiteral("BookOutput-Book protection is not available yet."),
                                    QStringLiteral("Book protection is not available yet.")));
}

void FlashBookOutput::writeNarration(const QString &folder)
{
    Q_UNUSED(folder);
    // The narration writer copies each spread's sound and the play options of
    // m_assistant into the book; until it exists books carry no narration.
}
