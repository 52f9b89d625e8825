#pragma once
// Finds and loads window descriptions ("Name.ui" files made with Qt Designer) from
// the resource folder at run time.
//
// Two lookups exist. The localized one looks in "<language>.lproj/" of the current
// UI language, then in "en.lproj/", then in the resource folder itself; the plain one
// looks in the resource folder, then in "en.lproj/".
//
// Window descriptions may use the platform's own widget classes by name (RoundView,
// FMButton, DragFileImport, PictureGridView, ...); other subsystems add theirs with
// registerWidgetClass().

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class QvWindow;

class WindowLoader
{
public:
    enum class Lookup {
        Localized, // <lang>.lproj, en.lproj, resources
        ByName,    // resources, en.lproj
    };

    // The folders searched for a description, in order.
    static QStringList searchFolders(Lookup lookup);

    // The path of "name.ui" (".ui" may be given or not); empty when there is none.
    static QString findDescription(const QString &name, Lookup lookup);

    // Loads a description into a new top-level window. A description whose top
    // level is not a dialog is placed inside one. Null with a message on failure.
    static QvWindow *load(const QString &path, QString *errorMessage);

    using Factory = std::function<QWidget *(QWidget *parent)>;
    // Lets window descriptions create widgets of className (the newest registration wins).
    static void registerWidgetClass(const QString &className, Factory factory);
    static bool isRegisteredWidgetClass(const QString &className);
};
