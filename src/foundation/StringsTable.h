#pragma once
// A UI language table: the "key" = "value"; strings file format.
//
//   /* comment */  // comment
//   "QuorvelAppD-open project" = "open project";
//
// Keys and values are double-quoted with C-style escapes (\" \\ \n \r \t \0 \uXXXX
// \UXXXX); a key made only of letters, digits and "_.-$" may go unquoted. Files are
// UTF-8 (a byte-order mark is allowed) or UTF-16 with a byte-order mark.
// When a key appears twice the later entry wins.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

class StringsTable
{
public:
    StringsTable() = default;

    // Parses the text; malformed entries are skipped and described in errors
    // ("line N: ..."), the rest of the table is still read.
    static StringsTable parse(const QByteArray &data, QStringList *errors = nullptr);
    // Reads a file; a missing or unreadable file gives an empty table (ok = false).
    static StringsTable fromFile(const QString &path, bool *ok = nullptr, QStringList *errors = nullptr);

    bool contains(const QString &key) const { return m_entries.contains(key); }
    // The value, or a null string when the key is missing.
    QString value(const QString &key) const { return m_entries.value(key); }
    void insert(const QString &key, const QString &value) { m_entries.insert(key, value); }
    void remove(const QString &key) { m_entries.remove(key); }
    QStringList keys() const { return m_entries.keys(); }
    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const QMap<QString, QString> &entries() const { return m_entries; }

    // UTF-8 text, keys in sorted order, one entry a line, after the optional comment.
    QByteArray serialize(const QString &headerComment = QString()) const;
    // Writes serialize() to the file atomically.
    bool writeToFile(const QString &path, const QString &headerComment = QString(),
                     QString *error = nullptr) const;

    // text as a double-quoted literal of this format.
    static QString quoted(const QString &text);

private:
    QMap<QString, QString> m_entries;
};
