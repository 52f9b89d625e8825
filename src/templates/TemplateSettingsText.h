#pragma once
// The settings text of a template ("tmplSetting.txt"): one "key=value" line per
// setting. Keys never hold "=", so a line splits at its first "="; in values a
// backslash is written "\\", a line feed "\n" and a carriage return "\r", so every
// value fits on one line and comes back exactly. Empty lines and lines starting with
// "#" are ignored. The file is UTF-8.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace TemplateSettingsText {

using Entries = QList<QPair<QString, QString>>;

QString escapeValue(const QString &value);
QString unescapeValue(const QString &text);

// The text of the entries, one line each, every line ending with "\n".
QString write(const Entries &entries);

// The entries of a text, in order. Lines without "=" or with an empty key are
// skipped and counted in *skipped.
Entries parse(const QString &text, int *skipped = nullptr);

// Text of a settings file's bytes: UTF-8 (a byte-order mark is dropped); bytes that
// are no valid UTF-8 are read as Latin-1, so an old file still loads.
QString decode(const QByteArray &data);

} // namespace TemplateSettingsText
