#include "publishing/PasswordGeneratorSettings.h"

#include "foundation/AppLog.h"
#include "foundation/AppUtility.h"
#include "foundation/PropertyList.h"

#include <QFileInfo>

namespace {

const QString kType = QStringLiteral("type");
const QString kLength = QStringLiteral("length");
const QString kExcludeSymbols = QStringLiteral("excludeSymbols");

// A whole number stored in the file, or nothing.
std::optional<qint64> wholeNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return value.toLongLong();
    default:
        return std::nullopt;
    }
}

} // namespace

QString PasswordGeneratorSettings::securityDialogFile()
{
    return AppUtility::userAppExtraDataPath() + QStringLiteral("/sp.pgSettings");
}

QString PasswordGeneratorSettings::usersListFile()
{
    return AppUtility::userAppExtraDataPath() + QStringLiteral("/.pgSettings");
}

std::unique_ptr<PasswordGenerator> PasswordGeneratorSettings::load(const QString &path)
{
    auto generator = std::make_unique<PasswordGenerator>();
    generator->setType(kDefaultType);
    generator->setLength(kDefaultLength);
    generator->setDisableChars(QString());
    if (!QFileInfo::exists(path)) {
        save(*generator, path);
        return generator;
    }
    QString error;
    const std::optional<QVariant> value = PropertyList::readFile(path, &error);
    if (!value || value->typeId() != QMetaType::QVariantMap) {
        AppLog::shared().error(QStringLiteral("cannot read the password settings %1: %2").arg(path, error));
        return generator;
    }
    const QVariantMap settings = value->toMap();
    if (const auto type = wholeNumber(settings.value(kType)); type && *type >= 1 && *type <= 15)
        generator->setType(quint64(*type));
    if (const auto length = wholeNumber(settings.value(kLength)); length && *length >= 1)
        generator->setLength(quint64(std::min<qint64>(*length, PasswordGenerator::kMaximumLength)));
    if (settings.value(kExcludeSymbols).typeId() == QMetaType::QString)
        generator->setDisableChars(settings.value(kExcludeSymbols).toString());
    return generator;
}

bool PasswordGeneratorSettings::save(const PasswordGenerator &generator, const QString &path)
{
    const QVariantMap settings{{kType, int(generator.type())},
                               {kLength, int(generator.length())},
                               {kExcludeSymbols, generator.disableChars()}};
    QString error;
    if (!PropertyList::writeFile(path, settings, &error)) {
        AppLog::shared().error(QStringLiteral("cannot save the password settings %1: %2").arg(path, error));
        return false;
    }
    return true;
}
