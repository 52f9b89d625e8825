#include "output/narration/AssistantItem.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"

#include <QDir>
#include <QFileInfo>

QString AssistantItem::applicationFolder()
{
    return AppResources::resourcePath(QStringLiteral("assistants"));
}

QString AssistantItem::userFolder()
{
    return AppUtility::userAppResourcePath(QStringLiteral("Assistants"));
}

AssistantItem AssistantItem::defaultSetting()
{
    AssistantItem none;
    none.bgName = loadAppString("AssistantSettingV-none", "none");
    none.shotFilePath = applicationFolder() + QStringLiteral("/none.png");
    return none;
}

QList<AssistantItem> AssistantItem::collectAssistantList(const QString &extraFolder)
{
    QList<AssistantItem> list{defaultSetting()};
    QStringList folders{applicationFolder(), userFolder()};
    if (!extraFolder.isEmpty())
        folders << extraFolder;
    for (const QString &folder : folders) {
        const QFileInfoList files =
            QDir(folder).entryInfoList({QStringLiteral("*.png"), QStringLiteral("*.PNG")}, QDir::Files, QDir::Name);
        for (const QFileInfo &file : files) {
            if (folder == applicationFolder() && file.fileName() == QLatin1String("none.png"))
                continue;
            AssistantItem item;
            item.bgName = file.completeBaseName();
            item.bgPath = file.absoluteFilePath();
            item.shotFilePath = item.bgPath;
            list << item;
        }
    }
    return list;
}

int AssistantItem::indexOfCharacter(const QList<AssistantItem> &list, const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty())
        return 0;
    for (int i = 1; i < list.size(); ++i)
        if (QFileInfo(list.at(i).bgPath).fileName() == name)
            return i;
    return 0;
}
