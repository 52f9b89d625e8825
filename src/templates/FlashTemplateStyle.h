#pragma once
// A style (theme) of a template: a named set of setting values applied over the
// template's defaults.

#include <QList>
#include <QPair>
#include <QString>

class FlashTemplateStyle
{
public:
    FlashTemplateStyle() = default;
    FlashTemplateStyle(const QString &name, const QString &caption) : m_name(name), m_caption(caption) {}

    QString name() const { return m_name; }
    QString caption() const { return m_caption.isEmpty() ? m_name : m_caption; }

    // Key and value pairs in the order the template lists them.
    QList<QPair<QString, QString>> values() const { return m_values; }
    void addValue(const QString &key, const QString &value) { m_values.append({key, value}); }

private:
    QString m_name;
    QString m_caption;
    QList<QPair<QString, QString>> m_values;
};
