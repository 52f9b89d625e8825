#include "platform/ui/ListSelectCell.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPushButton>
#include <QToolButton>

namespace {
// Shows a push button's frame while the mouse is inside it.
class HoverFrame : public QObject
{
public:
    explicit HoverFrame(QPushButton *button) : QObject(button), m_button(button)
    {
        setObjectName(QStringLiteral("qv_listCellHover"));
        button->setFlat(!button->underMouse());
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_button) {
            if (event->type() == QEvent::Enter)
                m_button->setFlat(false);
            else if (event->type() == QEvent::Leave || event->type() == QEvent::Hide)
                m_button->setFlat(true);
        }
        return false;
    }

private:
    QPushButton *m_button;
};

void makeListStyle(QAbstractButton *button)
{
    if (auto *tool = qobject_cast<QToolButton *>(button)) {
        tool->setAutoRaise(true);
    } else if (auto *push = qobject_cast<QPushButton *>(button)) {
        if (!push->findChild<QObject *>(QStringLiteral("qv_listCellHover"), Qt::FindDirectChildrenOnly))
            new HoverFrame(push);
    }
}
} // namespace

void ListSelectCell::imageCell(QAbstractButton *button, const QIcon &icon)
{
    if (!button)
        return;
    const QKeySequence shortcut = button->shortcut();
    button->setText(QString());
    button->setIcon(icon);
    if (auto *tool = qobject_cast<QToolButton *>(button))
        tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setShortcut(shortcut);
    makeListStyle(button);
}

void ListSelectCell::textCell(QAbstractButton *button, const QString &title)
{
    if (!button)
        return;
    const QKeySequence shortcut = button->shortcut();
    button->setIcon(QIcon());
    button->setText(title);
    if (auto *tool = qobject_cast<QToolButton *>(button))
        tool->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setShortcut(shortcut);
    makeListStyle(button);
}
