#pragma once
// The editors of design settings, by value source. A setting whose value source names
// an editor ("color", "icons_form", "preloader", "downloadConfig", "setsocialsharelinks",
// "flashMenu", "security", "addIcons") gets a button in the settings outline that runs
// the editor registered for that source. Each editor registers an opener once, at
// start-up; the opener runs its dialog application-modal and returns the setting's new
// value, or nothing to leave it as it is.
//
// runEditor() does what every run shares: it hands the opener the current value, puts
// the result into the setting through the outline's model (which posts the change
// notification), and when the value stays the same but the run changed the template's
// settings anyway, still posts the change notification so the preview is rebuilt and
// the change can be undone.

#include <QHash>
#include <QModelIndex>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class FlashTemplate;
class FlashTemplateProperty;
class QDialog;
class QWidget;

struct TemplateEditorRequest
{
    QString valueSource;
    QString key;   // the setting being edited
    QString value; // its current value
    FlashTemplate *flashTemplate = nullptr;
    QWidget *parent = nullptr; // the settings outline (FlashTemplateOutlineDelegate) or another window
};

class TemplateEditorRegistry
{
public:
    using Opener = std::function<std::optional<QString>(const TemplateEditorRequest &request)>;

    // The registry the settings outline uses. It starts with a colour chooser for
    // "color" and a file chooser for "file" (file settings that name no other editor).
    // Whatever the editor, a file its answer names by plain path (a file setting, a
    // share button's logo, the extra icons' list and its pictures) is copied into the
    // template's extern resource folder and the setting names the copy, so the project
    // carries it and never names a file outside itself.
    static TemplateEditorRegistry &shared();

    TemplateEditorRegistry() = default;

    // Replaces any opener registered for the source before.
    void registerEditor(const QString &valueSource, Opener opener);
    void unregisterEditor(const QString &valueSource);
    bool hasEditor(const QString &valueSource) const;
    Opener opener(const QString &valueSource) const;

    // Gives a template without an extern resource folder one, for the files the user
    // chooses for its settings (the shell makes it beside the open book's other
    // unsaved files); false when it cannot. Without a maker such a choice fails.
    using FolderMaker = std::function<bool(FlashTemplate &tmpl)>;
    void setResourceFolderMaker(FolderMaker maker) { m_folderMaker = std::move(maker); }
    const FolderMaker &resourceFolderMaker() const { return m_folderMaker; }

    // The source whose editor serves a setting: its value source; else "color" for a
    // colour setting, "file" for a file setting, empty for others.
    static QString editorSourceFor(const FlashTemplateProperty &property);

    // Runs the editor of the setting at index (an index of a FlashTemplateModel).
    // True when the template's settings changed.
    bool runEditor(const QModelIndex &index, QWidget *parent) const;

    // Checks of values typed by hand into a setting whose editor reads them through a
    // model: a value the book could not use is refused with the reason (an alert's
    // message and text), rather than stored and ignored when the book is written.
    struct Refusal
    {
        QString message;
        QString text;
        QString details;
    };
    using ValueCheck = std::function<std::optional<Refusal>(const TemplateEditorRequest &typed)>;
    void registerValueCheck(const QString &valueSource, ValueCheck check);
    // Why the value typed into the setting at index is refused; nothing when it may be
    // stored (or the setting has no check).
    std::optional<Refusal> checkTypedValue(const QModelIndex &index, const QString &value) const;

    // What the outline's row of a setting shows in place of its value, for values
    // that are for the program rather than for people (the book's protection, a file
    // kept in the template's folder, the downloads that are a part of the book).
    using DisplayText = std::function<QString(const TemplateEditorRequest &setting)>;
    void registerDisplayText(const QString &valueSource, DisplayText text);
    // The text the row of the setting at index shows: the registered one, else a file
    // value's file name, else the value itself.
    QString displayText(const QModelIndex &index) const;

private:
    QHash<QString, Opener> m_openers;
    QHash<QString, DisplayText> m_displayTexts;
    FolderMaker m_folderMaker;
    QHash<QString, ValueCheck> m_valueChecks;
};

// Helpers for the editors' openers.
namespace TemplateEditorRun {

// Runs dialog application-modal and returns its result (1 after OK).
int runApplicationModal(QDialog *dialog);

// Where a window of size goes beside the mouse pointer: 10 pixels right of it,
// vertically centred on it, but kept inside the available screen area with at least
// 80 pixels free below it.
QPoint positionBesideCursor(const QPoint &cursor, const QSize &size, const QRect &available);

// Moves window beside the mouse pointer on its screen.
void placeBesideCursor(QWidget *window);

// The colour of a "0xRRGGBB" value (invalid when it is none).
QColor colorFromValue(const QString &value);

} // namespace TemplateEditorRun
