#pragma once
// The UI text lookup, loadAppString(key, English text). While the language tables are
// not part of the build, the English text is shown as it stands.

#if __has_include("foundation/AppStrings.h")
#include "foundation/AppStrings.h"
#else
#include <QString>
inline QString loadAppString(const QString &key, const QString &defaultText = QString())
{
    return defaultText.isNull() ? key : defaultText;
}
#endif
