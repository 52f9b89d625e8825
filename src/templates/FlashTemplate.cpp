#include "templates/FlashTemplate.h"

#include "foundation/AppResources.h"
#include "foundation/InputLimits.h"
#include "foundation/SafeFiles.h"
#include "templates/TemplateSettingsText.h"
#include "templates/TemplateXmlReader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString ResourcePrefix = QStringLiteral("STYLE_RESOURCE:");
const QString ExternPrefix = QStringLiteral("STYLE_EXTERN:");

void collectSettings(FlashTemplateProperty *node, QHash<QString, FlashTemplateProperty *> *index, QStringList *keys)
{
    for (int i = 0; i < node->childCount(); ++i) {
        FlashTemplateProperty *child = node->child(i);
        if (!child->isCategory()) {
            index->insert(child->key(), child);
            keys->append(child->key());
        }
        collectSettings(child, index, keys);
    }
}

// Whether path lies below folder by name and, when it exists, where its links lead.
bool liesBelow(const QString &path, const QString &folder)
{
    const QString base = QDir::cleanPath(QDir(folder).absolutePath());
    if (!QDir::cleanPath(QDir(path).absolutePath()).startsWith(base + QLatin1Char('/')))
        return false;
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    const QString real = info.canonicalFilePath();
    const QString realBase = QFileInfo(base).canonicalFilePath();
    return !real.isEmpty() && !realBase.isEmpty() && real.startsWith(realBase + QLatin1Char('/'));
}

// A path below folder, or empty when relative is absolute or climbs out of it.
QString pathInside(const QString &folder, const QString &relative)
{
    if (folder.isEmpty() || relative.isEmpty() || QDir::isAbsolutePath(relative))
        return {};
    const QString path = QDir::cleanPath(QDir(folder).absolutePath() + QLatin1Char('/') + relative);
    return liesBelow(path, folder) ? path : QString();
}

// Content of a script string literal (quoted with ' or ") that can also stand inside
// an HTML <script> element.
QString escapeForScriptString(const QString &text)
{
    QString out;
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\'': out += QLatin1String("\\'"); break;
        case '"': out += QLatin1String("\\\""); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '<': out += QLatin1String("\\x3C"); break;
        case '>': out += QLatin1String("\\x3E"); break;
        case '&': out += QLatin1String("\\x26"); break;
        case 0x2028: out += QLatin1String("\\u2028"); break;
        case 0x2029: out += QLatin1String("\\u2029"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

} // namespace

FlashTemplate::FlashTemplate(QObject *parent) : QObject(parent) {}

FlashTemplate::~FlashTemplate()
{
    // Views over the tree must let go of it before it is destroyed.
    emit settingsTreeAboutToChange();
    m_index.clear();
    m_keys.clear();
    m_root.reset();
    emit settingsTreeChanged();
}

QString FlashTemplate::defaultTemplateName()
{
    return QStringLiteral("Aurora");
}

QString FlashTemplate::defaultMobileTemplateName()
{
    return QStringLiteral("Metro");
}

QString FlashTemplate::bundledTemplateFile(const QString &name)
{
    return AppResources::resourcePath(QStringLiteral("templates/%1/template.xml").arg(name));
}

bool FlashTemplate::loadTemplateXmlFile(const QString &path)
{
    TemplateXmlReader reader;
    std::unique_ptr<TemplateDescription> description = reader.readFile(path);
    if (!description) {
        m_error = reader.errorString();
        return false;
    }

    emit settingsTreeAboutToChange();
    m_error.clear();
    m_templateFile = QFileInfo(path).absoluteFilePath();
    m_tmplName = description->name;
    m_tmplCaption = description->caption;
    m_isMobile = description->isMobile;
    m_root = std::move(description->root);
    m_styles = description->styles;
    m_analyticsScript = description->analyticsScript;
    m_styleName.clear();
    m_index.clear();
    m_keys.clear();
    collectSettings(m_root.get(), &m_index, &m_keys);
    emit settingsTreeChanged();
    return true;
}

bool FlashTemplate::isLoaded() const
{
    return m_root != nullptr;
}

QString FlashTemplate::templateFolder() const
{
    return m_templateFile.isEmpty() ? QString() : QFileInfo(m_templateFile).absolutePath();
}

QString FlashTemplate::propertyValue(const QString &key, const QString &defaultValue) const
{
    const FlashTemplateProperty *property = m_index.value(key);
    return property ? property->value() : defaultValue;
}

bool FlashTemplate::assignValue(FlashTemplateProperty *property, const QString &value)
{
    const auto accepted = property->acceptedValue(value);
    if (!accepted)
        return false;
    if (property->value() != *accepted) {
        property->setValue(*accepted);
        emit propertyValueChanged(property->key());
    }
    return true;
}

bool FlashTemplate::setPropertyValue(const QString &key, const QString &value)
{
    FlashTemplateProperty *property = m_index.value(key);
    return property && assignValue(property, value);
}

bool FlashTemplate::hasProperty(const QString &key) const
{
    return m_index.contains(key);
}

FlashTemplateProperty *FlashTemplate::propertyForKey(const QString &key) const
{
    return m_index.value(key);
}

QStringList FlashTemplate::propertyKeys() const
{
    return m_keys;
}

FlashTemplateProperty *FlashTemplate::rootProperty() const
{
    return m_root.get();
}

void FlashTemplate::resetToDefaults()
{
    m_styleName.clear();
    for (const QString &key : std::as_const(m_keys)) {
        FlashTemplateProperty *property = m_index.value(key);
        assignValue(property, property->defaultValue());
    }
}

QString FlashTemplate::resolveResourcePath(const QString &value) const
{
    if (value.startsWith(ResourcePrefix))
        return pathInside(templateFolder(), value.mid(ResourcePrefix.size()));
    if (value.startsWith(ExternPrefix)) {
        // The folder is the book's own: when it is a link, it leads elsewhere.
        if (QFileInfo(m_externResourcePath).isSymLink())
            return {};
        return pathInside(m_externResourcePath, value.mid(ExternPrefix.size()));
    }
    if (value.isEmpty() || m_plainPathFolders.isEmpty())
        return value;
    for (const QString &folder : m_plainPathFolders)
        if (!folder.isEmpty() && QDir::isAbsolutePath(value) && liesBelow(value, folder))
            return QDir::cleanPath(value);
    return {};
}

QString FlashTemplate::displayFileName(const QString &value)
{
    for (const QString &prefix : {ResourcePrefix, ExternPrefix}) {
        if (!value.startsWith(prefix))
            continue;
        const QString path = QDir::cleanPath(value.mid(prefix.size()));
        const QString name = QFileInfo(path).fileName();
        return name.isEmpty() || name == QLatin1String(".") ? value : name;
    }
    return value;
}

QStringList FlashTemplate::unresolvedFileSettings() const
{
    QStringList keys;
    for (const QString &key : m_keys) {
        const FlashTemplateProperty *property = m_index.value(key);
        if (property->kind() == FlashTemplateProperty::Kind::File && !property->value().isEmpty()
            && resolveResourcePath(property->value()).isEmpty())
            keys << key;
    }
    return keys;
}

QString FlashTemplate::adoptFile(const QString &file, QString *error) const
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return QString();
    };
    if (m_externResourcePath.isEmpty())
        return fail(QStringLiteral("the template has no folder for its files"));
    const QFileInfo source(file);
    if (!source.isFile())
        return fail(QStringLiteral("\"%1\" is not a file").arg(QDir::toNativeSeparators(file)));
    const QString folder = m_externResourcePath + QStringLiteral("/files");
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder \"%1\" cannot be made").arg(QDir::toNativeSeparators(folder)));
    const QString base = source.completeBaseName().isEmpty() ? QStringLiteral("file") : source.completeBaseName();
    const QString dot = source.suffix().isEmpty() ? QString() : QLatin1Char('.') + source.suffix();
    QString name = base + dot;
    for (int n = 2; QFileInfo::exists(folder + QLatin1Char('/') + name); ++n)
        name = QStringLiteral("%1-%2%3").arg(base).arg(n).arg(dot);
    QString why;
    if (!SafeFiles::copyFile(file, folder + QLatin1Char('/') + name, &why))
        return fail(why);
    return ExternPrefix + QStringLiteral("files/") + name;
}

QString FlashTemplate::propertyFilePath(const QString &key) const
{
    return resolveResourcePath(propertyValue(key));
}

QStringList FlashTemplate::styleNames() const
{
    QStringList names;
    for (const FlashTemplateStyle &style : m_styles)
        names << style.name();
    return names;
}

bool FlashTemplate::applyStyle(const QString &name)
{
    const auto it = std::find_if(m_styles.cbegin(), m_styles.cend(),
                                 [&](const FlashTemplateStyle &style) { return style.name() == name; });
    if (it == m_styles.cend())
        return false;
    resetToDefaults();
    for (const auto &[key, value] : it->values()) {
        if (FlashTemplateProperty *property = m_index.value(key))
            assignValue(property, value);
    }
    m_styleName = name;
    return true;
}

QString FlashTemplate::settingsText() const
{
    TemplateSettingsText::Entries entries;
    for (const QString &key : m_keys)
        entries.append({key, m_index.value(key)->value()});
    return TemplateSettingsText::write(entries);
}

int FlashTemplate::loadSettingsFromText(const QString &text)
{
    int applied = 0;
    for (const auto &[key, value] : TemplateSettingsText::parse(text)) {
        if (FlashTemplateProperty *property = m_index.value(key); property && assignValue(property, value))
            ++applied;
    }
    return applied;
}

bool FlashTemplate::loadSettingsFromFile(const QString &path)
{
    QString error;
    const std::optional<QByteArray> data = InputLimits::readFile(path, InputLimits::kMaxTextBytes, &error);
    if (!data) {
        m_error = QStringLiteral("Cannot read the settings file %1: %2").arg(path, error);
        return false;
    }
    loadSettingsFromText(TemplateSettingsText::decode(*data));
    return true;
}

bool FlashTemplate::saveSettingsToFile(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(settingsText().toUtf8()) < 0 || !file.commit()) {
        m_error = QStringLiteral("Cannot write the settings file %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QString FlashTemplate::settingsDigest() const
{
    return QString::fromLatin1(
        QCryptographicHash::hash(settingsText().toUtf8(), QCryptographicHash::Md5).toHex());
}

QString FlashTemplate::analyticsScriptText() const
{
    const QString id = propertyValue(QStringLiteral("analyticsID")).trimmed();
    if (id.isEmpty() || m_analyticsScript.trimmed().isEmpty())
        return {};
    QString script = m_analyticsScript;
    return script.replace(QStringLiteral("{analyticsID}"), escapeForScriptString(id));
}

FlashTemplateSnapshot FlashTemplate::snapshot() const
{
    FlashTemplateSnapshot snapshot;
    snapshot.styleName = m_styleName;
    for (const QString &key : m_keys)
        snapshot.values.insert(key, m_index.value(key)->value());
    return snapshot;
}

void FlashTemplate::restoreSnapshot(const FlashTemplateSnapshot &snapshot)
{
    for (auto it = snapshot.values.cbegin(); it != snapshot.values.cend(); ++it) {
        if (FlashTemplateProperty *property = m_index.value(it.key()))
            assignValue(property, it.value());
    }
    m_styleName = snapshot.styleName;
}
