#include "publishing/AdvancedSettingValues.h"

#include "batch/ConvertParament.h"
#include "output/OutputKind.h"
#include "output/packages/AppBookDefaults.h"
#include "project/AppSettings.h"

#include <QFileInfo>
#include <QStringList>
#include <limits>

namespace {

constexpr int kApplication = OutputKind::Application;
constexpr int kExecutable = OutputKind::Executable;

// The integer at the start of text, as a C program reads it: leading blanks, a sign,
// then digits up to the first other character; 0 when there are none. Saturates at
// the limits of int instead of overflowing.
int leadingInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = qMin(limit, value * 10 + (c.unicode() - '0'));
    }
    if (negative)
        return int(-value);
    return int(qMin<qint64>(value, std::numeric_limits<int>::max()));
}

QString orFallback(const QString &value, const QString &fallback)
{
    return value.isEmpty() ? fallback : value;
}

} // namespace

WindowSizeChoice WindowSizeChoice::fromString(const QString &value)
{
    WindowSizeChoice choice;
    const QStringList parts = value.split(QLatin1Char(':'));
    if (parts.first() == QLatin1String("FULLSCREEN")) {
        choice.tag = FullScreen;
    } else if (parts.first() == QLatin1String("CUSTOM")) {
        choice.tag = Custom;
        const QStringList numbers = parts.size() == 2 ? parts.at(1).split(QLatin1Char(',')) : QStringList();
        if (numbers.size() == 2) {
            choice.hasSize = true;
            choice.width = leadingInteger(numbers.at(0));
            choice.height = leadingInteger(numbers.at(1));
        }
    }
    return choice;
}

QString WindowSizeChoice::valueFor(int tag, const QSize &size)
{
    switch (tag) {
    case FullScreen:
        return QStringLiteral("FULLSCREEN");
    case Custom:
        return QStringLiteral("CUSTOM:%1,%2").arg(size.width()).arg(size.height());
    default:
        return QStringLiteral("MAX");
    }
}

bool AdvancedSettingValues::showsApplicationPane(int outputType)
{
    return outputType == kApplication || outputType == kExecutable;
}

QString AdvancedSettingValues::usableIconFile(const QString &path, int outputType)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile())
        return QString();
    if (outputType == kApplication && file.suffix().compare(QLatin1String("icns"), Qt::CaseInsensitive) != 0)
        return QString();
    return path;
}

AdvancedSettingValues AdvancedSettingValues::fromAppSettings(AppSettings &settings, int outputType)
{
    if (settings.lastOutputAddScript().isEmpty())
        settings.setLastOutputAddScript(AppSettings::defaultAddScript());
    AdvancedSettingValues v;
    v.title = settings.lastOutputFileTitle();
    v.keywords = settings.lastOutputKeyWords();
    v.description = settings.lastOutputDescription();
    v.script = settings.lastOutputAddScript();
    v.appVersion = orFallback(settings.appVersion(), AppBookDefaults::version);
    v.appIdentifier = orFallback(settings.appIdentifier(), defaultIdentifierName);
    v.hideOnClose = settings.iAppWindowHide() == 2;
    v.windowSize = outputType == kExecutable ? settings.strExeSize() : settings.strWindowSize();
    v.iconFile = usableIconFile(outputType == kExecutable ? settings.strIcoFile() : settings.appIconFile(), outputType);
    return v;
}

AdvancedSettingValues AdvancedSettingValues::fromRecord(const ConvertParament &record, int outputType,
                                                        const QString &iconFile)
{
    AdvancedSettingValues v;
    v.title = orFallback(record.strTitle(), QStringLiteral("Demo"));
    v.keywords = record.strKeywords();
    v.description = record.strDecription();
    v.script = orFallback(record.strScripts(), AppSettings::defaultAddScript());
    v.appVersion = orFallback(record.strAppVersion(), AppBookDefaults::version);
    v.appIdentifier = orFallback(record.strAppIdentifier(), defaultIdentifierName);
    v.hideOnClose = record.iAppWindowHide() == 2;
    v.windowSize = outputType == kExecutable ? record.strExeSize() : record.strWindowSize();
    const QString recordIcon = outputType == kExecutable ? record.strExeIconFile() : record.strAppIconFile();
    v.iconFile = usableIconFile(iconFile.isEmpty() ? recordIcon : iconFile, outputType);
    return v;
}

void AdvancedSettingValues::writeToAppSettings(AppSettings &settings, int outputType) const
{
    settings.setLastOutputFileTitle(title);
    if (!showsApplicationPane(outputType)) {
        settings.setLastOutputKeyWords(keywords);
        settings.setLastOutputDescription(description);
        settings.setLastOutputAddScript(script);
    } else if (outputType == kApplication) {
        settings.setAppVersion(appVersion);
        settings.setAppIdentifier(appIdentifier);
        settings.setStrWindowSize(windowSize);
        settings.setAppIconFile(iconFile);
        settings.setIAppWindowHide(hideOnClose ? 2 : 1);
    } else {
        settings.setStrExeSize(windowSize);
        settings.setStrIcoFile(iconFile);
    }
}

void AdvancedSettingValues::writeToRecord(ConvertParament &record, int outputType) const
{
    record.setStrTitle(title);
    if (!showsApplicationPane(outputType)) {
        record.setStrKeywords(keywords);
        record.setStrDecription(description);
        record.setStrScripts(script);
    } else if (outputType == kApplication) {
        record.setStrAppVersion(appVersion);
        record.setStrAppIdentifier(appIdentifier);
        record.setStrWindowSize(windowSize);
        record.setStrAppIconFile(iconFile);
        record.setIAppWindowHide(hideOnClose ? 2 : 1);
    } else {
        record.setStrExeSize(windowSize);
        record.setStrExeIconFile(iconFile);
    }
}

namespace AdvancedSettingRules {

QString checkInputNumber(const QString &text)
{
    const int n = leadingInteger(text);
    // The magnitude of the smallest int does not fit an int: it becomes the largest.
    const int magnitude = n == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : (n < 0 ? -n : n);
    return QString::number(magnitude);
}

bool fitsScreen(const QSize &size, const QSize &screen)
{
    return size.width() >= kMinimumWindowSide && size.height() >= kMinimumWindowSide
           && size.width() <= screen.width() && size.height() <= screen.height();
}

QString largestIconFile(const QVariantList &icons)
{
    QString best;
    qint64 bestSize = -1;
    for (const QVariant &entry : icons) {
        const QVariantMap icon = entry.toMap();
        const qint64 size = icon.value(QStringLiteral("fileSize")).toLongLong();
        if (size > bestSize) {
            bestSize = size;
            best = icon.value(QStringLiteral("fileName")).toString();
        }
    }
    return best;
}

} // namespace AdvancedSettingRules
