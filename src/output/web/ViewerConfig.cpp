#include "output/web/ViewerConfig.h"

#include "foundation/ColorText.h"
#include "foundation/NumberText.h"
#include "furnishings/FlashMenuItem.h"
#include "furnishings/PageCaptionUtility.h"
#include "furnishings/ShareLinksItem.h"
#include "output/web/BookResources.h"
#include "furnishings/FlashTemlPreloaderItem.h"
#include "furnishings/ToolbarIconSet.h"
#include "templates/FlashTemplate.h"

#include <QHash>
#include <QDir>
#include <QImageReader>
#include <QJsonDocument>
#include <QSize>
#include <cmath>

namespace {

enum class Kind { Boolean, Color, Number, Text, Picture };

struct PlainSetting
{
    const char *key;
    Kind kind;
};

// The settings handed to the viewer under their own key.
constexpr PlainSetting kPlainSettings[] = {
    {"pageWidth", Kind::Number},
    {"pageHeight", Kind::Number},
    {"backgroundColor", Kind::Color},
    {"backgroundImage", Kind::Picture},
    {"toolbarColor", Kind::Color},
    {"iconColor", Kind::Color},
    {"flipDuration", Kind::Number},
    {"hardCover", Kind::Boolean},
    {"pageShadow", Kind::Boolean},
    {"rightToLeft", Kind::Boolean},
    {"flipStyle", Kind::Text},
    {"doublePageSlide", Kind::Boolean},
    {"showThumbnailButton", Kind::Boolean},
    {"showOutlineButton", Kind::Boolean},
    {"showSearchButton", Kind::Boolean},
    {"showZoomButton", Kind::Boolean},
    {"showShareButton", Kind::Boolean},
    {"showDownloadButton", Kind::Boolean},
    {"showFullscreenButton", Kind::Boolean},
    {"showPageNumber", Kind::Boolean},
    {"language", Kind::Text},
    {"analyticsID", Kind::Text},
};

// "0xRRGGBB" (or "#RRGGBB", "RRGGBB") as "#RRGGBB"; "" for anything else.
QString cssColor(const QString &value)
{
    const auto digits = hexRGBDigits(value);
    return digits ? QLatin1Char('#') + *digits : QString();
}

} // namespace

QSize ViewerConfig::commonPictureSize(const QStringList &pictureFiles)
{
    QHash<quint64, int> counts;
    QSize common;
    int best = 0;
    for (const QString &file : pictureFiles) {
        const QSize size = QImageReader(file).size();
        if (size.isEmpty())
            continue;
        const int n = ++counts[(quint64(size.width()) << 32) | quint64(size.height())];
        if (n > best) {
            best = n;
            common = size;
        }
    }
    return common;
}

bool ViewerConfig::fitPageSizeToPictures(QJsonObject &config, const FlashTemplate &tmpl, const QSize &common)
{
    for (const char *key : {"pageWidth", "pageHeight"}) {
        const FlashTemplateProperty *setting = tmpl.propertyForKey(QString::fromLatin1(key));
        if (setting && setting->value() != setting->defaultValue())
            return false;
    }
    if (common.isEmpty())
        return false;
    const double width = config.value(QStringLiteral("pageWidth")).toDouble(1080);
    config.insert(QStringLiteral("pageWidth"), width);
    config.insert(QStringLiteral("pageHeight"), std::round(width * common.height() / common.width()));
    return true;
}

ViewerConfig::ViewerConfig(const FlashTemplate &tmpl, BookResources &resources, const QString &prefix,
                           const QString &workFolder)
    : m_tmpl(tmpl), m_resources(resources), m_prefix(prefix), m_workFolder(workFolder)
{
}

QString ViewerConfig::picture(const QString &file, const QString &sub, const QString &base)
{
    const QString path = m_resources.addPicture(file, sub, base);
    return path.isEmpty() ? QString() : m_prefix + path;
}

void ViewerConfig::addPlainSettings(QJsonObject &config)
{
    for (const PlainSetting &setting : kPlainSettings) {
        const QString key = QString::fromLatin1(setting.key);
        if (!m_tmpl.hasProperty(key))
            continue;
        const QString value = m_tmpl.propertyValue(key);
        switch (setting.kind) {
        case Kind::Boolean:
            config.insert(key, NumberText::boolValue(value));
            break;
        case Kind::Color:
            if (const QString color = cssColor(value); !color.isEmpty())
                config.insert(key, color);
            break;
        case Kind::Number:
            config.insert(key, NumberText::doubleValue(value));
            break;
        case Kind::Text:
            config.insert(key, value);
            break;
        case Kind::Picture:
            config.insert(key, picture(m_tmpl.resolveResourcePath(value), QStringLiteral("background"), key));
            break;
        }
    }
}

QJsonArray ViewerConfig::shareButtons()
{
    QJsonArray buttons;
    const QList<ShareLinksItem> links = ShareLinksItem::parseByXmlString(m_tmpl.propertyValue(QStringLiteral("socialShareLinks")));
    for (int i = 0; i < links.size(); ++i) {
        const ShareLinksItem &link = links.at(i);
        const QString base = QStringLiteral("share%1").arg(i + 1);
        QString logo = picture(m_tmpl.resolveResourcePath(link.logo()), QStringLiteral("shares"), base);
        if (logo.isEmpty()) // the program's logo for the link's site
            logo = picture(ShareLinksItem::iconFileForURL(link.links()), QStringLiteral("shares"), base);
        buttons.append(QJsonObject{{QStringLiteral("title"), link.title()},
                                   {QStringLiteral("link"), link.links()},
                                   {QStringLiteral("logo"), logo}});
    }
    return buttons;
}

QJsonArray ViewerConfig::extraIcons()
{
    QJsonArray icons;
    m_icons.clear();
    const QString file = m_tmpl.resolveResourcePath(m_tmpl.propertyValue(QStringLiteral("otherIconsConfig")));
    if (file.isEmpty())
        return icons;
    const auto list = OtherIconItem::iconListFromFile(file);
    if (!list)
        return icons;
    for (int i = 0; i < list->size(); ++i) {
        OtherIconItem icon = list->at(i);
        // The list names its pictures by path: they pass the template's checks like its own values.
        icon.setFile(picture(m_tmpl.resolveResourcePath(icon.file()), QStringLiteral("icons"),
                             QStringLiteral("icon%1").arg(i + 1)));
        m_icons << icon;
        icons.append(QJsonObject{{QStringLiteral("caption"), icon.caption()},
                                 {QStringLiteral("icon"), icon.file()},
                                 {QStringLiteral("type"), icon.type()},
                                 {QStringLiteral("content"), icon.content()},
                                 {QStringLiteral("target"), icon.target()}});
    }
    return icons;
}

QJsonArray ViewerConfig::menuItems() const
{
    QJsonArray items;
    for (const FlashMenuItem &item : FlashMenuItem::parseByXmlString(m_tmpl.propertyValue(QStringLiteral("flashMenu")))) {
        items.append(QJsonObject{{QStringLiteral("caption"), item.caption()},
                                 {QStringLiteral("type"), flashMenuTypeName(int(item.type()))},
                                 {QStringLiteral("value"), FlashMenuItem::typeHasContent(item.type()) ? item.content() : QString()}});
    }
    return items;
}

QJsonObject ViewerConfig::toolbarIcons()
{
    QJsonObject icons;
    const QString archive = m_tmpl.resolveResourcePath(m_tmpl.propertyValue(QStringLiteral("toolbarIconsFile")));
    if (!archive.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive) || m_workFolder.isEmpty())
        return icons; // a replacement SWF cannot be shown: the viewer keeps its icons
    // Each build unpacks into a folder of its own (the phone and desktop books share the
    // work folder).
    int n = 1;
    QString folder;
    do {
        folder = m_workFolder + QStringLiteral("/toolbarIcons-%1").arg(n++);
    } while (QFileInfo::exists(folder));
    QHash<QString, QString> pictures;
    if (!ToolbarIconSet::picturesInArchive(archive, folder, ToolbarIconSet::iconKeys(), &pictures))
        return icons;
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it) {
        const QString path = picture(it.value(), QStringLiteral("toolbar"), it.key());
        if (!path.isEmpty())
            icons.insert(it.key(), path);
    }
    return icons;
}

namespace {

// Books from this many pages on have their page records written as patterns.
constexpr int kPatternPages = 32;
const char *const kPatternFields[] = {"normal", "large", "thumb"};

// value with the page number n in its file name replaced by "*" ("files/page/7.jpg" of
// page 7: "files/page/*.jpg"); "" when its name is not the number.
QString patternOf(const QString &value, int n)
{
    const QString name = QLatin1Char('/') + QString::number(n) + QLatin1Char('.');
    const qsizetype at = value.lastIndexOf(name);
    if (at < 0 || value.indexOf(QLatin1Char('/'), at + 1) >= 0)
        return {};
    return value.left(at + 1) + QLatin1Char('*') + value.mid(at + name.size() - 1);
}

// The page records of a large book, compact: for each of normal, large and thumb the
// pattern most records follow, and the records that differ from the patterns whole.
QJsonValue compactRecords(const QJsonArray &records)
{
    if (records.size() < kPatternPages)
        return records;
    QJsonObject compact{{QStringLiteral("count"), int(records.size())}};
    QHash<QString, QString> patterns;
    for (const char *f : kPatternFields) {
        const QString field = QString::fromLatin1(f);
        QHash<QString, int> counts;
        for (int i = 0; i < records.size(); ++i)
            if (const QString p = patternOf(records.at(i).toObject().value(field).toString(), i + 1); !p.isEmpty())
                ++counts[p];
        QString best;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (best.isEmpty() || it.value() > counts.value(best))
                best = it.key();
        if (!best.isEmpty() && counts.value(best) * 2 >= records.size()) {
            patterns.insert(field, best);
            compact.insert(field, best);
        }
    }
    QJsonObject except;
    for (int i = 0; i < records.size(); ++i) {
        const QJsonObject record = records.at(i).toObject();
        bool regular = record.size() == patterns.size();
        for (auto it = patterns.cbegin(); regular && it != patterns.cend(); ++it)
            regular = record.value(it.key()).toString() == QString(it.value()).replace(QLatin1Char('*'), QString::number(i + 1));
        if (!regular)
            except.insert(QString::number(i + 1), record);
    }
    compact.insert(QStringLiteral("except"), except);
    return compact;
}

} // namespace

QJsonArray ViewerConfig::pageRecords(const QJsonValue &pages)
{
    if (!pages.isObject())
        return pages.toArray();
    const QJsonObject compact = pages.toObject();
    const QJsonObject except = compact.value(QStringLiteral("except")).toObject();
    const int count = std::clamp(compact.value(QStringLiteral("count")).toInt(), 0, 1000000);
    QJsonArray records;
    for (int n = 1; n <= count; ++n) {
        const QString key = QString::number(n);
        if (except.contains(key)) {
            records.append(except.value(key));
            continue;
        }
        QJsonObject record;
        for (const char *f : kPatternFields)
            if (const QString p = compact.value(QLatin1String(f)).toString(); !p.isEmpty())
                record.insert(QLatin1String(f), QString(p).replace(QLatin1Char('*'), key));
        records.append(record);
    }
    return records;
}

QJsonValue ViewerConfig::pageRecordsValue(const QList<ViewerPage> &pages)
{
    QJsonArray records;
    for (const ViewerPage &page : pages) {
        QJsonObject record{{QStringLiteral("normal"), page.normal}};
        if (!page.large.isEmpty())
            record.insert(QStringLiteral("large"), page.large);
        if (!page.thumb.isEmpty())
            record.insert(QStringLiteral("thumb"), page.thumb);
        if (!page.small.isEmpty())
            record.insert(QStringLiteral("small"), page.small);
        if (!page.swf.isEmpty())
            record.insert(QStringLiteral("swf"), page.swf);
        records.append(record);
    }
    return compactRecords(records);
}

QJsonObject ViewerConfig::build(const QString &title, const QList<ViewerPage> &pages, const QJsonValue &records)
{
    QJsonObject config;
    config.insert(QStringLiteral("title"), title);
    config.insert(QStringLiteral("pages"), records.isUndefined() ? pageRecordsValue(pages) : records);
    addPlainSettings(config);

    if (m_tmpl.hasProperty(QStringLiteral("pageCaption"))) {
        const QStringList captions = PageCaptionUtility::captionsForPages(
            m_tmpl.propertyValue(QStringLiteral("pageCaption")), int(pages.size()));
        if (!captions.isEmpty())
            config.insert(QStringLiteral("captions"), QJsonArray::fromStringList(captions));
    }
    if (m_tmpl.hasProperty(QStringLiteral("socialShareLinks")))
        config.insert(QStringLiteral("shareButtons"), shareButtons());
    if (m_tmpl.hasProperty(QStringLiteral("flashMenu")))
        config.insert(QStringLiteral("menuItems"), menuItems());
    if (m_tmpl.hasProperty(QStringLiteral("otherIconsConfig")))
        config.insert(QStringLiteral("extraIcons"), extraIcons());
    if (m_tmpl.hasProperty(QStringLiteral("toolbarIconsFile")))
        config.insert(QStringLiteral("toolbarIcons"), toolbarIcons());
    if (m_tmpl.hasProperty(QStringLiteral("tmplPreloader"))) {
        const QString name = m_tmpl.propertyValue(QStringLiteral("tmplPreloader"));
        const QList<FlashTemlPreloaderItem> installed = FlashTemlPreloaderItem::installedPreloaders();
        const int index = name.isEmpty() ? -1 : FlashTemlPreloaderItem::indexOfPreloader(name, installed);
        const QString file = index < 0 ? QString() : installed.at(index).prlShot();
        config.insert(QStringLiteral("preloaderImage"), picture(file, QStringLiteral("preloader"), QStringLiteral("preloader")));
    }
    return config;
}

QString ViewerConfig::script(const QJsonObject &config, const QString &tabsScript)
{
    QString text = QStringLiteral("var bookConfig = ")
                   + QString::fromUtf8(QJsonDocument(config).toJson(QJsonDocument::Compact)) + QStringLiteral(";\n");
    if (!tabsScript.isEmpty())
        text += tabsScript + QLatin1Char('\n');
    return text;
}
