#include "publishing/MobileSettingsFile.h"

#include "batch/ConvertParament.h"

#include "foundation/AppUtility.h"
#include "foundation/ZipExtractor.h"
#include "templates/FlashTemplate.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>

namespace MobileSettingsFile {

std::shared_ptr<FlashTemplate> newMobileTemplate()
{
    auto tmpl = std::make_shared<FlashTemplate>();
    if (!tmpl->loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultMobileTemplateName())))
        return nullptr;
    tmpl->setIsMobileTemplate(true);
    tmpl->setTmplName(FlashTemplate::defaultMobileTemplateName());
    return tmpl;
}

void keepTemplate(const FlashTemplate *tmpl, ConvertParament &record)
{
    record.setStrMobileTemplateSettings(tmpl ? tmpl->settingsText() : QString());
    record.setStrMobileResourcePath(tmpl ? tmpl->externResourcePath() : QString());
}

std::shared_ptr<FlashTemplate> templateOfRecord(const ConvertParament &record)
{
    if (record.strMobileTemplateSettings().isEmpty())
        return nullptr;
    std::shared_ptr<FlashTemplate> tmpl = newMobileTemplate();
    if (!tmpl)
        return nullptr;
    tmpl->setExternResourcePath(record.strMobileResourcePath());
    tmpl->loadSettingsFromText(record.strMobileTemplateSettings());
    return tmpl;
}

namespace {

bool failWith(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// The package's settings text with its own resources read from the package folder;
// a text that is not UTF-8 is left as it is.
void pointResourcesAtPackage(const QString &settingsFile)
{
    QFile file(settingsFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(file.readAll());
    if (utf8.hasError())
        return;
    file.close();
    text.replace(QLatin1String("STYLE_RESOURCE:"), QLatin1String("STYLE_EXTERN:"));
    QSaveFile out(settingsFile);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(text.toUtf8());
        out.commit();
    }
}

} // namespace

bool loadIntoTemplate(const QString &path, std::shared_ptr<FlashTemplate> &tmpl, QString *error)
{
    if (!QFileInfo(path).isFile())
        return failWith(error, QStringLiteral("the file does not exist"));
    if (!tmpl)
        tmpl = newMobileTemplate();
    if (!tmpl)
        return failWith(error, QStringLiteral("the phone template cannot be read"));
    if (QFileInfo(path).suffix() == QLatin1String("txt")) {
        if (!tmpl->loadSettingsFromFile(path))
            return failWith(error, QStringLiteral("the file cannot be read"));
        return true;
    }

    const QString folder = createUniqueTempFolder();
    ZipExtractor extractor;
    if (folder.isEmpty() || !extractor.extractFile(path, folder))
        return failWith(error, extractor.errorString());
    // Every file by its name; of two with one name the later one counts.
    QHash<QString, QString> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files.insert(QFileInfo(file).fileName(), file);
    }
    const QString settings = files.value(QStringLiteral("tmplSetting.txt"));
    if (settings.isEmpty())
        return true;
    pointResourcesAtPackage(settings);
    tmpl->setExternResourcePath(QFileInfo(settings).absolutePath());
    tmpl->loadSettingsFromFile(settings);
    return true;
}

} // namespace MobileSettingsFile
