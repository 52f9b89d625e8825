#pragma once
// The design-settings outline of the main window: the bound template's settings as a
// tree, values edited in place (see TemplateSettingItemDelegate), a button in the
// rows of settings that have an editor (run through TemplateEditorRegistry::shared()),
// and undo and redo of setting changes.
//
// The main window binds the outline to the desktop, the mobile or the bookcase
// template as the display mode changes. Each template keeps its own undo history
// (TemplateUndoStack::forTemplate), so switching back and forth loses nothing. The
// undo and redo actions follow the bound template's history; they carry Ctrl+Z and
// Ctrl+Shift+Z within the outline, and the main window may put them into its menu.

#include <QPointer>
#include <QWidget>

class FlashTemplate;
class FlashTemplateModel;
class QAction;
class QTreeView;
class TemplateSettingItemDelegate;
class TemplateUndoStack;

class FlashTemplateOutlineDelegate : public QWidget
{
    Q_OBJECT
public:
    explicit FlashTemplateOutlineDelegate(QWidget *parent = nullptr);
    ~FlashTemplateOutlineDelegate() override;

    // Shows the settings of tmpl; null shows nothing. Open cell editors are committed first.
    void setFlashTemplate(FlashTemplate *tmpl);
    FlashTemplate *flashTemplate() const;
    FlashTemplateModel *model() const;
    TemplateUndoStack *undoStack() const; // of the bound template

    QTreeView *outlineView() const { return m_view; }
    TemplateSettingItemDelegate *itemDelegate() const { return m_itemDelegate; }

    QAction *undoAction() const { return m_undoAction; }
    QAction *redoAction() const { return m_redoAction; }

    // The workspace folder of the toolbar icon window, read by the "icons_form" editor
    // (its opener gets this outline as parent): the open book's own, set by the shell.
    QString changeIconWorkspace() const { return m_changeIconWorkspace; }
    void setChangeIconWorkspace(const QString &folder) { m_changeIconWorkspace = folder; }

public slots:
    void undo();
    void redo();
    // Runs the editor of the setting at index (either column). True when the settings changed.
    bool openEditorForIndex(const QModelIndex &index);

private:
    void bind(FlashTemplate *tmpl);
    void finishEditing();
    void updateActions();

    QTreeView *m_view = nullptr;
    TemplateSettingItemDelegate *m_itemDelegate = nullptr;
    QPointer<FlashTemplate> m_template;
    QPointer<FlashTemplateModel> m_model;
    QPointer<TemplateUndoStack> m_undoStack;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    QString m_changeIconWorkspace;
};
