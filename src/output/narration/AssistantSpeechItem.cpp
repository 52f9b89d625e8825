#include "output/narration/AssistantSpeechItem.h"

#include "foundation/AppLog.h"
#include "foundation/AppUtility.h"
#include "foundation/PropertyList.h"

#include <QFileInfo>

QString AssistantSpeechItem::settingFile()
{
    return AppUtility::userAppExtraDataPath() + QStringLiteral("/.AssistantSpeechOptions.plist");
}

void AssistantSpeechItem::loadSettings()
{
    const QString path = settingFile();
    if (!QFileInfo::exists(path)) {
        saveSettings();
        return;
    }
    QString error;
    const auto value = PropertyList::readFile(path, &error);
    if (!value || value->typeId() != QMetaType::QVariantMap) {
        AppLog::shared().error(QStringLiteral("cannot read the narration options %1: %2").arg(path, error));
        return;
    }
    readDictionary(value->toMap());
}

bool AssistantSpeechItem::saveSettings() const
{
    QString error;
    if (!PropertyList::writeFile(settingFile(), toDictionary(), &error)) {
        AppLog::shared().error(QStringLiteral("cannot save the narration options: %1").arg(error));
        return false;
    }
    return true;
}

QVariantMap AssistantSpeechItem::toDictionary() const
{
    return {{QStringLiteral("mode"), m_playMode},
            {QStringLiteral("delay"), m_pauseWhenFinished},
            {QStringLiteral("mute"), m_pauseWhenEmpty}};
}

void AssistantSpeechItem::readDictionary(const QVariantMap &d)
{
    auto take = [&d](const char *key, int &field) {
        const QVariant v = d.value(QLatin1String(key));
        if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double)
            field = v.toInt();
    };
    take("mode", m_playMode);
    take("delay", m_pauseWhenFinished);
    take("mute", m_pauseWhenEmpty);
}
