#pragma once
// Property-list files (libplist) as QVariant values.
//
//   dict    <-> QVariantMap (QVariantHash is written too)
//   array   <-> QVariantList (QStringList is written too)
//   string  <-> QString
//   integer <-> int when it fits, else qlonglong (every integer type is written)
//   real    <-> double (float is written too)
//   true/false <-> bool
//   data    <-> QByteArray
//   date    <-> QDateTime (UTC; whole seconds, a binary list's fraction dropped; 1933 to 2069)
//
// Reading takes the XML and the binary form, after PropertyListShape has checked the
// list's size, nesting and value count (lists come from other people's files);
// writing gives the XML form. Numbers are read and written in the C locale whatever
// the user's locale is.

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <optional>

class PropertyList
{
public:
    static std::optional<QVariant> fromData(const QByteArray &data, QString *error = nullptr);
    static std::optional<QVariant> readFile(const QString &path, QString *error = nullptr);

    // nullopt when value holds something a property list cannot (a null value, an
    // unsigned number above 2^63-1, an unknown type) or text its XML form cannot carry
    // (a control character other than tab, line feed and carriage return, U+FFFE,
    // U+FFFF, half a surrogate pair), which no reader would take back; error names it.
    static std::optional<QByteArray> toXml(const QVariant &value, QString *error = nullptr);
    // Writes the XML form atomically: a failed write leaves an older file untouched.
    static bool writeFile(const QString &path, const QVariant &value, QString *error = nullptr);
};
