#include "templates/ui/FlashTemplateOutlineDelegate.h"

#include "foundation/AppStrings.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/TemplateUndoStack.h"
#include "templates/ui/TemplateEditorRegistry.h"
#include "templates/ui/TemplateSettingItemDelegate.h"

#include <QAction>
#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

FlashTemplateOutlineDelegate::FlashTemplateOutlineDelegate(QWidget *parent) : QWidget(parent)
{
    m_view = new QTreeView(this);
    m_view->setObjectName(QStringLiteral("designSettingsOutline"));
    m_view->setAlternatingRowColors(true);
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                            | QAbstractItemView::EditKeyPressed);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->header()->setStretchLastSection(true);
    m_view->header()->setDefaultSectionSize(180);

    m_itemDelegate = new TemplateSettingItemDelegate(this);
    m_itemDelegate->setEditorRegistry(&TemplateEditorRegistry::shared());
    m_view->setItemDelegate(m_itemDelegate);
    connect(m_itemDelegate, &TemplateSettingItemDelegate::editorButtonClicked, this,
            &FlashTemplateOutlineDelegate::openEditorForIndex);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    m_undoAction = new QAction(loadAppString(QStringLiteral("FlashTmplOutlineD-Undo"), QStringLiteral("Undo")), this);
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_undoAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(m_undoAction, &QAction::triggered, this, &FlashTemplateOutlineDelegate::undo);
    m_redoAction = new QAction(loadAppString(QStringLiteral("FlashTmplOutlineD-Redo"), QStringLiteral("Redo")), this);
    m_redoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    m_redoAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(m_redoAction, &QAction::triggered, this, &FlashTemplateOutlineDelegate::redo);
    addAction(m_undoAction);
    addAction(m_redoAction);
    updateActions();
}

FlashTemplateOutlineDelegate::~FlashTemplateOutlineDelegate()
{
    // The view must let go of the model before either is destroyed.
    m_view->setModel(nullptr);
}

FlashTemplate *FlashTemplateOutlineDelegate::flashTemplate() const
{
    return m_template;
}

FlashTemplateModel *FlashTemplateOutlineDelegate::model() const
{
    return m_model;
}

TemplateUndoStack *FlashTemplateOutlineDelegate::undoStack() const
{
    return m_undoStack;
}

void FlashTemplateOutlineDelegate::setFlashTemplate(FlashTemplate *tmpl)
{
    if (tmpl != m_template)
        bind(tmpl);
}

void FlashTemplateOutlineDelegate::bind(FlashTemplate *tmpl)
{
    finishEditing();
    if (m_template)
        disconnect(m_template, nullptr, this, nullptr);
    if (m_undoStack)
        disconnect(m_undoStack, nullptr, this, nullptr);

    FlashTemplateModel *oldModel = m_model;
    m_template = tmpl;
    m_model = tmpl ? new FlashTemplateModel(tmpl, this) : nullptr;
    m_undoStack = TemplateUndoStack::forTemplate(tmpl);
    m_view->setModel(m_model);
    delete oldModel;

    if (m_model) {
        connect(m_model, &QAbstractItemModel::modelReset, m_view, &QTreeView::expandAll);
        m_view->expandAll();
        m_view->resizeColumnToContents(FlashTemplateModel::CaptionColumn);
    }
    if (tmpl) {
        // The owner may close a template while it is shown.
        connect(tmpl, &QObject::destroyed, this, [this] { bind(nullptr); });
    }
    if (m_undoStack) {
        connect(m_undoStack, &TemplateUndoStack::canUndoChanged, this, &FlashTemplateOutlineDelegate::updateActions);
        connect(m_undoStack, &TemplateUndoStack::canRedoChanged, this, &FlashTemplateOutlineDelegate::updateActions);
    }
    updateActions();
}

void FlashTemplateOutlineDelegate::finishEditing()
{
    // An open cell editor holds a change not yet made; make it, so it is neither lost
    // nor written over a value that undo has just put back.
    for (QWidget *editor : m_itemDelegate->openEditors()) {
        emit m_itemDelegate->commitData(editor);
        emit m_itemDelegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void FlashTemplateOutlineDelegate::undo()
{
    finishEditing();
    if (m_undoStack)
        m_undoStack->undo();
}

void FlashTemplateOutlineDelegate::redo()
{
    finishEditing();
    if (m_undoStack)
        m_undoStack->redo();
}

bool FlashTemplateOutlineDelegate::openEditorForIndex(const QModelIndex &index)
{
    if (!m_model || index.model() != m_model)
        return false;
    finishEditing();
    return TemplateEditorRegistry::shared().runEditor(index.siblingAtColumn(FlashTemplateModel::ValueColumn), this);
}

void FlashTemplateOutlineDelegate::updateActions()
{
    m_undoAction->setEnabled(m_undoStack && m_undoStack->canUndo());
    m_redoAction->setEnabled(m_undoStack && m_undoStack->canRedo());
}
