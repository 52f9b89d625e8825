#pragma once
// The version and module-id views of the three web content systems (WordPress has
// neither, only its help link), filled from the plug-in settings: the part the publish
// dialog and the plug-in package dialog show alike. One view is shown at a time.

#include "output/OutputKind.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QUrl>

class PluginSettings;
class PPDetailView;
class QComboBox;
class QGroupBox;
class QLineEdit;

class PluginDetailViews
{
public:
    // Makes the three views in box, named "WordPressDetailView", "JoomlaDetailView" and
    // "DrupalDetailView", with the versions and ids of settings.
    void setup(QGroupBox *box, const PluginSettings &settings);

    // The view of a web content system kind; null for other kinds or before setup().
    PPDetailView *view(OutputKind kind) const;
    QList<PPDetailView *> views() const;
    // Shows the view of kind (none for other kinds) and names the system in box.
    void show(OutputKind kind, QGroupBox *box) const;

    // The texts handed to the output engine and kept in the settings; before setup()
    // the settings' own.
    QString joomlaVersion(const PluginSettings &settings) const;
    QString joomlaID(const PluginSettings &settings) const;
    QString drupalVersion(const PluginSettings &settings) const;
    QString drupalID(const PluginSettings &settings) const;
    // The size fields of a dialog, with their units.
    struct SizeFields
    {
        QLineEdit *width = nullptr;
        QLineEdit *height = nullptr;
        QComboBox *unitW = nullptr;
        QComboBox *unitH = nullptr;
    };
    // The form into settings: name, size and units, and the views' versions and ids.
    void storeInto(PluginSettings &settings, const QString &name, const SizeFields &size) const;
    // Shows unit in box, adding it to the box's items when it has none of that text.
    static void showUnit(QComboBox *box, const QString &unit);

    // Before a package of kind with module id is written to target: when another package
    // in that folder installs under the same name, asks whether to go on (a site keeps
    // one of the two). True to go on.
    static bool confirmInstallName(const QString &target, OutputKind kind, const QString &id);

    // The page that explains how a published book goes into system.
    static QUrl helpPageFor(const QString &system);

private:
    QPointer<PPDetailView> m_wordPress;
    QPointer<PPDetailView> m_joomla;
    QPointer<PPDetailView> m_drupal;
};
