#include "templates/TemplateEditorResult.h"

#include <QFileInfo>

namespace TemplateEditorResult {

std::optional<QString> fromRun(int closeCode, const QString &editorValue)
{
    if (closeCode != 1)
        return std::nullopt;
    return editorValue;
}

std::optional<QString> listFileFromRun(int closeCode, const QString &listFile)
{
    if (closeCode != 1)
        return std::nullopt;
    return !listFile.isEmpty() && QFileInfo(listFile).isFile() ? listFile : QString();
}

} // namespace TemplateEditorResult
