#pragma once
// The one store of user settings every part of the program shares
// (organisation "Zendarrow", application "Quorvel"). Open it through here rather
// than constructing QSettings with other names, so preferences, application
// settings and the language choice all land in the same place.
//
// QSettings objects on the same store share one cache inside the process, so a
// short-lived object per use (and per thread) is cheap and always current.

#include <QSettings>
#include <QVariant>
#include <memory>

class SettingsStore
{
public:
    static std::unique_ptr<QSettings> open();

    static QVariant value(const QString &key, const QVariant &defaultValue = QVariant());
    static void setValue(const QString &key, const QVariant &value);
    static void remove(const QString &key);
    // Writes pending changes to disk now.
    static void sync();
};
