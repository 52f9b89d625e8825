#pragma once
// The single argument string the helper programs are started with:
//   key=value|key=value|...
// Items keep their order. Inside keys and values "|" is written ":7C:" and "=" is
// written ":3D:", so any text (paths, titles, script) survives the round trip.

#include <QList>
#include <QPair>
#include <QString>

class AuxArgumentString
{
public:
    using Item = QPair<QString, QString>;

    AuxArgumentString() = default;
    AuxArgumentString(std::initializer_list<Item> items);

    // Reads a string made by toString(). Empty items are skipped; an item without
    // "=" is a key with an empty value; a value is everything after the first "=".
    static AuxArgumentString parse(const QString &text);

    // Appends an item, keeping any earlier item with the same key.
    void append(const QString &key, const QString &value);
    // Replaces the value of the first item with that key, or appends a new item.
    void set(const QString &key, const QString &value);

    bool contains(const QString &key) const;
    // The value of the first item with that key.
    QString value(const QString &key, const QString &defaultValue = QString()) const;
    const QList<Item> &items() const { return m_items; }

    QString toString() const;

    static QString escape(const QString &text);
    static QString unescape(const QString &text);

private:
    QList<Item> m_items;
};
