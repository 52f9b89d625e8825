#pragma once
// Undo and redo of a template's design settings, kept as snapshots of all values.
//
// The stack follows FlashTmplProValueChangedNotification: after each posted change it
// takes a snapshot of its template and, when the values differ from the last recorded
// state, makes it a new undo step. Recording is idempotent, so every stack may watch
// every change: a stack whose template did not change records nothing, and the owner
// may also call recordChange() for a change it made itself.
//
// Rapid changes of one setting (the posted "key") within the merge interval become a
// single step, so a slider drag or a colour chooser's live updates undo at once.
// Undo and redo put the values back and post the change notification with the stack
// as object, so the preview is rebuilt.
//
// Changes made without a notification (settings loaded from a project) join the next
// recorded step; call clear() after replacing the settings wholesale. Loading another
// description into the template clears the history by itself.

#include "templates/FlashTemplate.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>

class TemplateUndoStack : public QObject
{
    Q_OBJECT
public:
    // A stack for tmpl that records the template's current values as its first state.
    explicit TemplateUndoStack(FlashTemplate *tmpl, QObject *parent = nullptr);
    ~TemplateUndoStack() override;

    // The one stack of a template, shared by the settings outline and the template's
    // owner; made on first use and destroyed with the template.
    static TemplateUndoStack *forTemplate(FlashTemplate *tmpl);

    FlashTemplate *flashTemplate() const { return m_template; }

    bool canUndo() const { return m_index > 0; }
    bool canRedo() const { return m_index < m_states.size() - 1; }
    int undoCount() const { return m_index; }
    int redoCount() const { return int(m_states.size()) - 1 - m_index; }

    // Most undo steps kept (at least 1); older steps are forgotten. 100 by default.
    int undoLimit() const { return m_limit; }
    void setUndoLimit(int limit);
    // Changes of one key closer together than this merge into one step. 1000 ms by default.
    int mergeInterval() const { return m_mergeInterval; }
    void setMergeInterval(int milliseconds) { m_mergeInterval = milliseconds; }

    // Records the template's current values as a step when they differ from the last
    // recorded state. key names the changed setting (empty: unknown or several).
    // Returns true when a step was added or merged.
    bool recordChange(const QString &key = {});

    // The next change starts a step of its own, even for the same key.
    void endMerge() { m_mergeKey.clear(); }

    // Forgets every step; the current values become the first state.
    void clear();

public slots:
    void undo();
    void redo();

signals:
    void canUndoChanged(bool canUndo);
    void canRedoChanged(bool canRedo);
    void indexChanged(); // after every record, undo, redo or clear

private:
    void moveTo(int index);
    void announce(bool couldUndo, bool couldRedo);
    void onTreeChanged();

    QPointer<FlashTemplate> m_template;
    QList<FlashTemplateSnapshot> m_states; // m_states[m_index] is the current state
    int m_index = 0;
    int m_limit = 100;
    int m_mergeInterval = 1000;
    QString m_mergeKey; // key of the top step while it may still absorb changes
    QElapsedTimer m_sinceLastRecord;
};
