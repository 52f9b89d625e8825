#include "publishing/ui/NamedImage.h"

#include "foundation/AppResources.h"

#include <QApplication>
#include <QFileInfo>

namespace NamedImage {

QIcon icon(const QString &name, QStyle::StandardPixmap fallback)
{
    const QString path = AppResources::resourcePath(QStringLiteral("images/%1.png").arg(name));
    if (QFileInfo(path).isFile()) {
        QIcon stored(path);
        if (!stored.isNull())
            return stored;
    }
    return QApplication::style()->standardIcon(fallback);
}

} // namespace NamedImage
