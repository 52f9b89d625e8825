#include "publishing/PublishProgress.h"

#include "foundation/AppStrings.h"
#include "output/ConvertBookInfo.h"

#include <QtGlobal>

namespace PublishProgress {

std::optional<int> barValue(int maximum, qint64 index, qint64 count)
{
    if (count <= 0)
        return std::nullopt;
    return int(double(maximum) * double(qBound<qint64>(0, index, count)) / double(count));
}

std::optional<QString> label(int type, bool compressToZip)
{
    if (type >= 0 && type < ConvertStep::Complete)
        return convertBookInfoText(type);
    if (type == ConvertStep::Complete && compressToZip)
        return loadAppString(QStringLiteral("OutputWindowD-Compressing the book..."),
                             QStringLiteral("Compressing the book..."));
    return std::nullopt;
}

} // namespace PublishProgress
