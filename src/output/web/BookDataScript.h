#pragma once
// The book's data scripts: "var name = <JSON>;" followed by anything else the file
// holds (for example the bookmark tabs line after the configuration), read and written
// back with the JSON value changed and the rest kept as it was.

#include <QJsonValue>
#include <QString>
#include <optional>

class BookDataScript
{
public:
    // Reads the script at path; nullopt when the file cannot be read or does not
    // begin with "var <name> =" followed by a JSON object or array.
    static std::optional<BookDataScript> read(const QString &path, const QString &name, QString *error = nullptr);
    // The same from text.
    static std::optional<BookDataScript> parse(const QString &text, const QString &name);

    QJsonValue value() const { return m_value; }
    void setValue(const QJsonValue &value) { m_value = value; }

    QString toText() const;
    // Writes toText() as UTF-8, atomically.
    bool write(const QString &path, QString *error = nullptr) const;

    // "var name = <compact JSON>;\n"
    static QString statement(const QString &name, const QJsonValue &value);

private:
    QString m_name;
    QJsonValue m_value;
    QString m_rest; // everything after the JSON value, starting with its ";"
};
