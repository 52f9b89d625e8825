#include "foundation/InputLimits.h"

#include "foundation/AppStrings.h"

#include <QString>

namespace InputLimits {

QString nestedTooDeep(int levels)
{
    return loadAppString(QStringLiteral("InputLimits-nested deeper than %1 levels"),
                         QStringLiteral("nested deeper than %1 levels"))
        .arg(levels);
}

QString tooLarge(qint64 bytes)
{
    return loadAppString(QStringLiteral("InputLimits-larger than %1 MB"), QStringLiteral("larger than %1 MB"))
        .arg(bytes >> 20);
}

} // namespace InputLimits
