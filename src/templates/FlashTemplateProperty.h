#pragma once
// One node of a template's settings tree: a category, or a typed setting with its
// default and current value. Settings may have child settings (options that belong
// to them, such as the share links under the share button).
//
// Values are text in the template's own notation: booleans "Yes"/"No", colours
// "0xRRGGBB", numbers in C notation, choices one of the listed options.

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class FlashTemplateProperty
{
public:
    enum class Kind { Category, Text, Number, Boolean, Color, Choice, File, Button };

    FlashTemplateProperty(Kind kind, const QString &key, const QString &caption);
    ~FlashTemplateProperty();
    FlashTemplateProperty(const FlashTemplateProperty &) = delete;
    FlashTemplateProperty &operator=(const FlashTemplateProperty &) = delete;

    // "category", "text", "number", "boolean", "color", "choice", "file", "button".
    static std::optional<Kind> kindFromName(const QString &name);
    static QString kindName(Kind kind);

    Kind kind() const { return m_kind; }
    bool isCategory() const { return m_kind == Kind::Category; }
    QString key() const { return m_key; }
    QString caption() const { return m_caption; }

    // What edits this setting beyond typing: "color", "icons_form", "setsocialsharelinks",
    // "flashMenu", "preloader", "downloadConfig", "security", "addIcons"; empty for none.
    QString valueSource() const { return m_valueSource; }
    void setValueSource(const QString &source) { m_valueSource = source; }

    QStringList options() const { return m_options; } // the choices of a choice setting
    void setOptions(const QStringList &options) { m_options = options; }

    std::optional<double> minimum() const { return m_minimum; } // bounds of a number setting
    std::optional<double> maximum() const { return m_maximum; }
    void setRange(std::optional<double> minimum, std::optional<double> maximum);

    QString defaultValue() const { return m_defaultValue; }
    void setDefaultValue(const QString &value) { m_defaultValue = value; }
    QString value() const { return m_value; }
    void setValue(const QString &value) { m_value = value; }

    // The value in this setting's notation, or nothing when text is no valid value of
    // it: booleans accept yes/no/true/false/1/0, colours "0xRRGGBB", "#RRGGBB" or
    // "RRGGBB", choices any letter case of an option, numbers within the bounds.
    std::optional<QString> acceptedValue(const QString &text) const;

    FlashTemplateProperty *parent() const { return m_parent; }
    int childCount() const { return int(m_children.size()); }
    FlashTemplateProperty *child(int row) const;
    int row() const; // position among the parent's children; 0 for the root
    void appendChild(std::unique_ptr<FlashTemplateProperty> child);

private:
    Kind m_kind;
    QString m_key;
    QString m_caption;
    QString m_valueSource;
    QStringList m_options;
    std::optional<double> m_minimum;
    std::optional<double> m_maximum;
    QString m_defaultValue;
    QString m_value;
    FlashTemplateProperty *m_parent = nullptr;
    std::vector<std::unique_ptr<FlashTemplateProperty>> m_children;
};
