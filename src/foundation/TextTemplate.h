#pragma once
// Fills the markers of a text template: every "{{key}}" whose key was given a value
// is replaced by that value; markers without a value stay as they are. Values are
// put in as they are and never searched for markers themselves.

#include <QHash>
#include <QString>

class TextTemplate
{
public:
    explicit TextTemplate(const QString &templateText);

    void setItem(const QString &key, const QString &value);
    QString parse() const;

private:
    QString m_text;
    QHash<QString, QString> m_items;
};
