#include "publishing/BookCoverSettings.h"

#include "foundation/AppUtility.h"
#include "foundation/PropertyList.h"

#include <QFileInfo>
#include <QVariantMap>

namespace {
const QString kInput = QStringLiteral("input");
const QString kOutput = QStringLiteral("output");
const QString kConfig = QStringLiteral("config");
const QString kMode = QStringLiteral("mode");
const QString kIndex = QStringLiteral("index");
} // namespace

QString BookCoverSettings::dataFolder()
{
    return AppUtility::userAppResourcePath(QStringLiteral("BookCoverData"));
}

QString BookCoverSettings::templatesFolder()
{
    return AppUtility::userAppResourcePath(QStringLiteral("BookCoverData/Templates"));
}

QString BookCoverSettings::settingFile()
{
    return dataFolder() + QStringLiteral("/.settings");
}

QString BookCoverSettings::defaultOutputFile()
{
    return dataFolder() + QStringLiteral("/output.png");
}

QString BookCoverSettings::defaultConfigFile()
{
    return dataFolder() + QStringLiteral("/config.plist");
}

qint64 BookCoverSettings::boundedMode(qint64 mode)
{
    return mode >= CoverOnly && mode <= InsertPage ? mode : CoverOnly;
}

qint64 BookCoverSettings::boundedIndex(qint64 mode, qint64 index, qint64 pageCount)
{
    const qint64 last = boundedMode(mode) == InsertPage ? pageCount : pageCount - 1;
    return std::max<qint64>(0, std::min(index, last));
}

qint64 BookCoverSettings::indexForPageNumber(qint64 mode, qint64 pageNumber, qint64 pageCount)
{
    return boundedIndex(mode, pageNumber - 1, pageCount);
}

BookCoverSettings BookCoverSettings::load(const QString &path)
{
    BookCoverSettings settings;
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() > (1 << 20))
        return settings;
    const std::optional<QVariant> value = PropertyList::readFile(path);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return settings;
    const QVariantMap map = value->toMap();
    const auto path_ = [&](const QString &key) {
        const QVariant v = map.value(key);
        return v.typeId() == QMetaType::QString ? v.toString() : QString();
    };
    settings.inputFile = path_(kInput);
    settings.outputFile = path_(kOutput);
    settings.configFile = path_(kConfig);
    settings.outputMode = boundedMode(map.value(kMode).toLongLong());
    settings.outputIndex = std::max<qint64>(0, map.value(kIndex).toLongLong());
    return settings;
}

bool BookCoverSettings::save(const QString &path) const
{
    QVariantMap map{{kMode, boundedMode(outputMode)}, {kIndex, std::max<qint64>(0, outputIndex)}};
    if (!inputFile.isEmpty())
        map.insert(kInput, inputFile);
    if (!outputFile.isEmpty())
        map.insert(kOutput, outputFile);
    if (!configFile.isEmpty())
        map.insert(kConfig, configFile);
    return PropertyList::writeFile(path, map);
}
