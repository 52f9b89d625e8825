#include "templates/TemplateUndoStack.h"

#include "platform/NotificationCenter.h"
#include "templates/TemplateNotifications.h"

namespace {

const QString SharedStackName = QStringLiteral("TemplateUndoStack.shared");

// The one key whose value differs between two states, or empty when none or several do.
QString singleChangedKey(const FlashTemplateSnapshot &a, const FlashTemplateSnapshot &b)
{
    QString changed;
    for (auto it = b.values.cbegin(); it != b.values.cend(); ++it) {
        if (a.values.value(it.key()) == it.value())
            continue;
        if (!changed.isEmpty())
            return {};
        changed = it.key();
    }
    return a.styleName == b.styleName ? changed : QString();
}

} // namespace

TemplateUndoStack::TemplateUndoStack(FlashTemplate *tmpl, QObject *parent)
    : QObject(parent), m_template(tmpl)
{
    m_states.append(tmpl ? tmpl->snapshot() : FlashTemplateSnapshot());
    if (!tmpl)
        return;
    connect(tmpl, &FlashTemplate::settingsTreeChanged, this, &TemplateUndoStack::onTreeChanged);
    NotificationCenter::defaultCenter()->addObserver(
        this, FlashTmplProValueChangedNotification, nullptr, [this](const Notification &notification) {
            if (notification.object != this)
                recordChange(notification.userInfo.value(QStringLiteral("key")).toString());
        });
}

TemplateUndoStack::~TemplateUndoStack()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

TemplateUndoStack *TemplateUndoStack::forTemplate(FlashTemplate *tmpl)
{
    if (!tmpl)
        return nullptr;
    auto *stack = tmpl->findChild<TemplateUndoStack *>(SharedStackName, Qt::FindDirectChildrenOnly);
    if (!stack) {
        stack = new TemplateUndoStack(tmpl, tmpl);
        stack->setObjectName(SharedStackName);
    }
    return stack;
}

void TemplateUndoStack::setUndoLimit(int limit)
{
    const bool couldUndo = canUndo(), couldRedo = canRedo();
    m_limit = std::max(1, limit);
    const int excess = int(m_states.size()) - 1 - m_limit;
    if (excess > 0) {
        // Forget the oldest states, but never the current one.
        const int drop = std::min(excess, m_index);
        m_states.remove(0, drop);
        m_index -= drop;
        while (m_states.size() - 1 > m_limit)
            m_states.removeLast();
    }
    announce(couldUndo, couldRedo);
}

bool TemplateUndoStack::recordChange(const QString &key)
{
    if (!m_template)
        return false;
    FlashTemplateSnapshot state = m_template->snapshot();
    if (state == m_states.at(m_index))
        return false;

    const bool couldUndo = canUndo(), couldRedo = canRedo();
    m_states.resize(m_index + 1); // a new change ends the redo history

    const bool merge = m_index > 0 && !key.isEmpty() && key == m_mergeKey
                       && m_sinceLastRecord.isValid() && m_sinceLastRecord.elapsed() < m_mergeInterval;
    if (merge) {
        m_states[m_index] = std::move(state);
        if (m_states.at(m_index) == m_states.at(m_index - 1)) {
            // The merged edits came back to where the step began: no step at all.
            m_states.removeLast();
            --m_index;
        }
    } else {
        m_states.append(std::move(state));
        ++m_index;
        if (m_states.size() - 1 > m_limit) {
            m_states.removeFirst();
            --m_index;
        }
    }
    m_mergeKey = key;
    m_sinceLastRecord.start();
    announce(couldUndo, couldRedo);
    return true;
}

void TemplateUndoStack::clear()
{
    const bool couldUndo = canUndo(), couldRedo = canRedo();
    m_states = {m_template ? m_template->snapshot() : FlashTemplateSnapshot()};
    m_index = 0;
    m_mergeKey.clear();
    announce(couldUndo, couldRedo);
}

void TemplateUndoStack::undo()
{
    // Changes that were never posted would be lost silently by the restore; keep
    // them as a step of their own first, so nothing goes without a way back.
    recordChange();
    if (canUndo())
        moveTo(m_index - 1);
}

void TemplateUndoStack::redo()
{
    recordChange();
    if (canRedo())
        moveTo(m_index + 1);
}

void TemplateUndoStack::moveTo(int index)
{
    if (!m_template)
        return;
    const bool couldUndo = canUndo(), couldRedo = canRedo();
    const FlashTemplateSnapshot &from = m_states.at(m_index);
    const FlashTemplateSnapshot &to = m_states.at(index);
    const QString key = singleChangedKey(from, to);
    m_index = index;
    m_mergeKey.clear();
    m_template->restoreSnapshot(to);
    announce(couldUndo, couldRedo);

    QVariantMap info;
    if (!key.isEmpty())
        info.insert(QStringLiteral("key"), key);
    NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification, this, info);
}

void TemplateUndoStack::announce(bool couldUndo, bool couldRedo)
{
    if (couldUndo != canUndo())
        emit canUndoChanged(canUndo());
    if (couldRedo != canRedo())
        emit canRedoChanged(canRedo());
    emit indexChanged();
}

void TemplateUndoStack::onTreeChanged()
{
    clear();
}
