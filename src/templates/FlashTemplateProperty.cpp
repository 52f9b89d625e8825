#include "templates/FlashTemplateProperty.h"

#include "foundation/ColorText.h"

#include <QLocale>

#include <array>
#include <cmath>
#include <utility>

namespace {

using Kind = FlashTemplateProperty::Kind;

constexpr std::array<std::pair<Kind, const char *>, 8> KindNames{{
    {Kind::Category, "category"},
    {Kind::Text, "text"},
    {Kind::Number, "number"},
    {Kind::Boolean, "boolean"},
    {Kind::Color, "color"},
    {Kind::Choice, "choice"},
    {Kind::File, "file"},
    {Kind::Button, "button"},
}};

std::optional<QString> acceptedBoolean(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("yes") || t == QLatin1String("true") || t == QLatin1String("1"))
        return QStringLiteral("Yes");
    if (t == QLatin1String("no") || t == QLatin1String("false") || t == QLatin1String("0"))
        return QStringLiteral("No");
    return std::nullopt;
}

std::optional<QString> acceptedColor(const QString &text)
{
    const auto digits = hexRGBDigits(text);
    if (!digits)
        return std::nullopt;
    return QStringLiteral("0x") + *digits;
}

// Numbers in C notation only: no group separators, whatever the user's locale.
const QLocale &numberLocale()
{
    static const QLocale locale = [] {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        return c;
    }();
    return locale;
}

} // namespace

FlashTemplateProperty::FlashTemplateProperty(Kind kind, const QString &key, const QString &caption)
    : m_kind(kind), m_key(key), m_caption(caption)
{
}

FlashTemplateProperty::~FlashTemplateProperty() = default;

std::optional<FlashTemplateProperty::Kind> FlashTemplateProperty::kindFromName(const QString &name)
{
    for (const auto &[kind, text] : KindNames) {
        if (name == QLatin1String(text))
            return kind;
    }
    return std::nullopt;
}

QString FlashTemplateProperty::kindName(Kind kind)
{
    for (const auto &[k, text] : KindNames) {
        if (k == kind)
            return QString::fromLatin1(text);
    }
    return {};
}

void FlashTemplateProperty::setRange(std::optional<double> minimum, std::optional<double> maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

std::optional<QString> FlashTemplateProperty::acceptedValue(const QString &text) const
{
    switch (m_kind) {
    case Kind::Category:
        return std::nullopt;
    case Kind::Boolean:
        return acceptedBoolean(text);
    case Kind::Color:
        return acceptedColor(text);
    case Kind::Choice:
        for (const QString &option : m_options) {
            if (option.compare(text.trimmed(), Qt::CaseInsensitive) == 0)
                return option;
        }
        return std::nullopt;
    case Kind::Number: {
        bool ok = false;
        const double number = numberLocale().toDouble(text.trimmed(), &ok);
        if (!ok || !std::isfinite(number))
            return std::nullopt;
        if ((m_minimum && number < *m_minimum) || (m_maximum && number > *m_maximum))
            return std::nullopt;
        return numberLocale().toString(number, 'g', 15);
    }
    case Kind::Text:
    case Kind::File:
    case Kind::Button:
        return text;
    }
    return std::nullopt;
}

FlashTemplateProperty *FlashTemplateProperty::child(int row) const
{
    if (row < 0 || row >= childCount())
        return nullptr;
    return m_children[size_t(row)].get();
}

int FlashTemplateProperty::row() const
{
    if (!m_parent)
        return 0;
    for (int i = 0; i < m_parent->childCount(); ++i) {
        if (m_parent->m_children[size_t(i)].get() == this)
            return i;
    }
    return 0;
}

void FlashTemplateProperty::appendChild(std::unique_ptr<FlashTemplateProperty> child)
{
    child->m_parent = this;
    m_children.push_back(std::move(child));
}
