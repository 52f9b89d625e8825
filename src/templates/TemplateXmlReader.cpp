#include "templates/TemplateXmlReader.h"

#include "foundation/InputLimits.h"
#include "foundation/XmlUtility.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

namespace {

using Kind = FlashTemplateProperty::Kind;

// Keys appear as "key=value" in settings texts and as names in viewer scripts.
bool isValidKey(const QString &key)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.-]*$"));
    return pattern.match(key).hasMatch();
}

QString where(const QDomElement &element)
{
    return QStringLiteral("line %1").arg(element.lineNumber());
}

std::optional<double> numberAttribute(const QDomElement &element, const QString &name, bool *ok)
{
    if (!element.hasAttribute(name))
        return std::nullopt;
    bool parsed = false;
    const double value = QLocale::c().toDouble(element.attribute(name).trimmed(), &parsed);
    if (!parsed)
        *ok = false;
    return value;
}

// A value given either as attribute (short values) or as a child element (long or
// multi-line values, which attributes would flatten).
QString valueOf(const QDomElement &element, const QString &name, bool *present)
{
    const QDomElement child = element.firstChildElement(name);
    if (!child.isNull()) {
        *present = true;
        return child.text();
    }
    *present = element.hasAttribute(name);
    return element.attribute(name);
}

class Parser
{
public:
    explicit Parser(QString *error) : m_error(error) {}

    // Reads the categories and settings inside parentElement into parent; atTop is
    // true for the children of <template>, where only categories may stand.
    bool readNodes(const QDomElement &parentElement, FlashTemplateProperty *parent, bool atTop)
    {
        for (QDomElement e = parentElement.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            const QString tag = e.tagName();
            if (tag == QLatin1String("category")) {
                if (!parent->isCategory())
                    return fail(QStringLiteral("a category cannot stand inside a setting (%1)").arg(where(e)));
                auto category = makeNode(e, Kind::Category);
                if (!category || !readNodes(e, category.get(), false))
                    return false;
                parent->appendChild(std::move(category));
            } else if (tag == QLatin1String("property")) {
                if (atTop)
                    return fail(QStringLiteral("settings belong in a category (%1)").arg(where(e)));
                auto property = readProperty(e);
                if (!property || !readNodes(e, property.get(), false))
                    return false;
                parent->appendChild(std::move(property));
            }
        }
        return true;
    }

    const QHash<QString, FlashTemplateProperty *> &index() const { return m_index; }

    bool fail(const QString &message)
    {
        *m_error = message;
        return false;
    }

private:
    std::unique_ptr<FlashTemplateProperty> makeNode(const QDomElement &e, Kind kind)
    {
        const QString key = e.attribute(QStringLiteral("key"));
        if (!isValidKey(key)) {
            fail(QStringLiteral("missing or invalid key \"%1\" (%2)").arg(key, where(e)));
            return nullptr;
        }
        if (m_index.contains(key)) {
            fail(QStringLiteral("the key \"%1\" is used twice (%2)").arg(key, where(e)));
            return nullptr;
        }
        const QString caption = e.attribute(QStringLiteral("caption"), key);
        auto node = std::make_unique<FlashTemplateProperty>(kind, key, caption);
        m_index.insert(key, node.get());
        return node;
    }

    std::unique_ptr<FlashTemplateProperty> readProperty(const QDomElement &e)
    {
        const QString kindText = e.attribute(QStringLiteral("kind"), QStringLiteral("text"));
        const auto kind = FlashTemplateProperty::kindFromName(kindText);
        if (!kind || *kind == Kind::Category) {
            fail(QStringLiteral("unknown kind \"%1\" (%2)").arg(kindText, where(e)));
            return nullptr;
        }
        auto property = makeNode(e, *kind);
        if (!property)
            return nullptr;
        property->setValueSource(e.attribute(QStringLiteral("source")));

        QStringList options;
        for (QDomElement o = e.firstChildElement(QStringLiteral("option")); !o.isNull();
             o = o.nextSiblingElement(QStringLiteral("option")))
            options << o.text();
        if (*kind == Kind::Choice && options.isEmpty()) {
            fail(QStringLiteral("the choice \"%1\" has no options (%2)").arg(property->key(), where(e)));
            return nullptr;
        }
        property->setOptions(options);

        bool rangeOk = true;
        const auto minimum = numberAttribute(e, QStringLiteral("min"), &rangeOk);
        const auto maximum = numberAttribute(e, QStringLiteral("max"), &rangeOk);
        if (!rangeOk) {
            fail(QStringLiteral("the bounds of \"%1\" are no numbers (%2)").arg(property->key(), where(e)));
            return nullptr;
        }
        property->setRange(minimum, maximum);

        bool present = false;
        const QString text = valueOf(e, QStringLiteral("default"), &present);
        QString defaultValue;
        if (present || *kind == Kind::Boolean || *kind == Kind::Color || *kind == Kind::Number ||
            *kind == Kind::Choice) {
            // Typed settings need a valid default; a missing one is an error, not "".
            const auto accepted = property->acceptedValue(text);
            if (!accepted) {
                fail(QStringLiteral("the default \"%1\" of \"%2\" is no valid %3 (%4)")
                         .arg(text, property->key(), kindText, where(e)));
                return nullptr;
            }
            defaultValue = *accepted;
        }
        property->setDefaultValue(defaultValue);
        property->setValue(defaultValue);
        return property;
    }

    QString *m_error;
    QHash<QString, FlashTemplateProperty *> m_index;
};

} // namespace

bool TemplateXmlReader::fail(const QString &message)
{
    m_error = message;
    return false;
}

std::unique_ptr<TemplateDescription> TemplateXmlReader::readFile(const QString &path)
{
    QString error;
    const std::optional<QByteArray> data = InputLimits::readFile(path, InputLimits::kMaxXmlBytes, &error);
    if (!data) {
        fail(QStringLiteral("Cannot read the template file %1: %2").arg(path, error));
        return nullptr;
    }
    return readData(*data, path);
}

std::unique_ptr<TemplateDescription> TemplateXmlReader::readData(const QByteArray &data, const QString &fileName)
{
    m_error.clear();
    const auto failed = [&](const QString &message) -> std::unique_ptr<TemplateDescription> {
        fail(QStringLiteral("The template file %1 is damaged: %2").arg(QFileInfo(fileName).fileName(), message));
        return nullptr;
    };

    QDomDocument document;
    XmlParseError parseError;
    if (!parseXmlDocument(document, data, &parseError))
        return failed(parseError.text());

    const QDomElement rootElement = document.documentElement();
    if (rootElement.tagName() != QLatin1String("template"))
        return failed(QStringLiteral("its root element is <%1>, not <template>").arg(rootElement.tagName()));

    auto description = std::make_unique<TemplateDescription>();
    description->name = rootElement.attribute(QStringLiteral("name"));
    if (description->name.isEmpty())
        description->name = QFileInfo(QFileInfo(fileName).absolutePath()).fileName();
    description->caption = rootElement.attribute(QStringLiteral("caption"), description->name);
    description->isMobile = rootElement.attribute(QStringLiteral("platform")) == QLatin1String("mobile");
    description->root = std::make_unique<FlashTemplateProperty>(FlashTemplateProperty::Kind::Category,
                                                                QString(), description->caption);

    QString error;
    Parser parser(&error);
    if (!parser.readNodes(rootElement, description->root.get(), true))
        return failed(error);

    QSet<QString> styleNames;
    for (QDomElement s = rootElement.firstChildElement(QStringLiteral("style")); !s.isNull();
         s = s.nextSiblingElement(QStringLiteral("style"))) {
        const QString name = s.attribute(QStringLiteral("name"));
        if (name.isEmpty() || styleNames.contains(name))
            return failed(QStringLiteral("a style has no name or a name used before (%1)").arg(where(s)));
        styleNames.insert(name);
        FlashTemplateStyle style(name, s.attribute(QStringLiteral("caption")));
        for (QDomElement v = s.firstChildElement(QStringLiteral("set")); !v.isNull();
             v = v.nextSiblingElement(QStringLiteral("set"))) {
            const QString key = v.attribute(QStringLiteral("key"));
            FlashTemplateProperty *property = parser.index().value(key);
            if (!property || property->isCategory())
                return failed(QStringLiteral("the style \"%1\" sets the unknown setting \"%2\" (%3)")
                                  .arg(name, key, where(v)));
            const QString text = v.hasAttribute(QStringLiteral("value")) ? v.attribute(QStringLiteral("value")) : v.text();
            const auto accepted = property->acceptedValue(text);
            if (!accepted)
                return failed(QStringLiteral("the style \"%1\" gives \"%2\" the invalid value \"%3\" (%4)")
                                  .arg(name, key, text, where(v)));
            style.addValue(key, *accepted);
        }
        description->styles.append(style);
    }

    description->analyticsScript = rootElement.firstChildElement(QStringLiteral("analyticsScript")).text();
    return description;
}
