#include "batch/ImportParament.h"

#include <QFileInfo>

namespace {
const QString kSourceFiles = QStringLiteral("sourceFiles");
const QString kPassword = QStringLiteral("password");
const QString kPageRange = QStringLiteral("pageRange");
const QString kQualityLevel = QStringLiteral("qualityLevel");
const QString kWidePageMode = QStringLiteral("widePageMode");
} // namespace

bool ImportParament::isPDFImport() const
{
    return sourceFiles.size() == 1
        && QFileInfo(sourceFiles.first()).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

QVariantMap ImportParament::toDictionary() const
{
    return {
        {kSourceFiles, sourceFiles},
        {kPassword, strPassword},
        {kPageRange, strPageRange},
        {kQualityLevel, iQualityLevel},
        {kWidePageMode, iWidePageMode},
    };
}

ImportParament ImportParament::fromDictionary(const QVariantMap &dictionary)
{
    ImportParament p;
    if (dictionary.value(kSourceFiles).canConvert<QStringList>())
        p.sourceFiles = dictionary.value(kSourceFiles).toStringList();
    if (dictionary.contains(kPassword))
        p.strPassword = dictionary.value(kPassword).toString();
    const QString range = dictionary.value(kPageRange).toString().trimmed();
    if (!range.isEmpty())
        p.strPageRange = range;
    bool ok = false;
    const int level = dictionary.value(kQualityLevel).toInt(&ok);
    if (ok && level >= 0 && level <= 2)
        p.iQualityLevel = level;
    const int mode = dictionary.value(kWidePageMode).toInt(&ok);
    if (ok && mode >= 0 && mode <= 2)
        p.iWidePageMode = mode;
    return p;
}
