#include "publishing/PublishOutputKinds.h"

namespace PublishOutputKinds {

const QList<int> &iOutputTypeList()
{
    static const QList<int> kinds{0, 1, 3, 6, 7, 8};
    return kinds;
}

bool isOffered(int kind)
{
    return iOutputTypeList().contains(kind);
}

int clampStoredKind(int kind)
{
    if (kind < 0)
        return 0;
    if (kind >= 9)
        return 8;
    return kind;
}

int clampLoadType(int loadType)
{
    if (loadType < 0)
        return 0;
    if (loadType >= 4)
        return 3;
    return loadType;
}

QString extensionLabel(int kind)
{
    switch (kind) {
    case 0:
        return QStringLiteral(".html");
    case 1:
        return QStringLiteral(".app");
    case 3:
        return QStringLiteral(".exe");
    default:
        return QStringLiteral(".zip");
    }
}

QString extensionLabel(int kind, bool compressToZip)
{
    return compressToZip ? QStringLiteral(".zip") : extensionLabel(kind);
}

bool usesPluginOptions(int kind)
{
    return kind >= 4;
}

BasicHtml basicHtmlRule(int kind)
{
    if (kind == 1 || kind == 3)
        return BasicHtml::Disabled;
    if (kind == 5)
        return BasicHtml::DisabledAndOff;
    return BasicHtml::Enabled;
}

QString contentSystemName(int kind)
{
    switch (kind) {
    case 6:
        return QStringLiteral("WordPress");
    case 7:
        return QStringLiteral("Joomla");
    case 8:
        return QStringLiteral("Drupal");
    default:
        return {};
    }
}

} // namespace PublishOutputKinds
