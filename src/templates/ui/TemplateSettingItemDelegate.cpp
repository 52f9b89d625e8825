#include "templates/ui/TemplateSettingItemDelegate.h"

#include "foundation/AppStrings.h"
#include "platform/ui/LogAlert.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/FlashTemplateProperty.h"
#include "templates/ui/TemplateEditorRegistry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QToolTip>

#include <limits>

using Kind = FlashTemplateProperty::Kind;

namespace {

// Digits after the decimal point of a number value ("0.25" has 2).
int decimalsOf(const QString &number)
{
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    if (point < 0)
        return 0;
    int digits = 0;
    for (qsizetype i = point + 1; i < number.size() && number.at(i).isDigit(); ++i)
        ++digits;
    return digits;
}

bool isMultiLine(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

TemplateSettingItemDelegate::TemplateSettingItemDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

FlashTemplateProperty *TemplateSettingItemDelegate::propertyFor(const QModelIndex &index)
{
    const auto *model = qobject_cast<const FlashTemplateModel *>(index.model());
    return model ? model->propertyForIndex(index) : nullptr;
}

QString TemplateSettingItemDelegate::buttonSource(const QModelIndex &index)
{
    if (index.column() != FlashTemplateModel::ValueColumn)
        return {};
    const FlashTemplateProperty *property = propertyFor(index);
    if (!property || property->isCategory())
        return {};
    return TemplateEditorRegistry::editorSourceFor(*property);
}

bool TemplateSettingItemDelegate::isButtonEnabled(const QModelIndex &index) const
{
    const QString source = buttonSource(index);
    return !source.isEmpty() && m_registry && m_registry->hasEditor(source);
}

QRect TemplateSettingItemDelegate::buttonRect(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (buttonSource(index).isEmpty())
        return {};
    // Square, a little wider for a colour swatch.
    const FlashTemplateProperty *property = propertyFor(index);
    const bool swatch = property && property->kind() == Kind::Color;
    const int width = std::max(option.rect.height(), 18) * (swatch ? 3 : 2) / 2;
    return QRect(option.rect.right() - width + 1, option.rect.top(), width, option.rect.height()).adjusted(1, 1, -1, -1);
}

QStyleOptionViewItem TemplateSettingItemDelegate::contentOption(const QStyleOptionViewItem &option,
                                                                const QModelIndex &index) const
{
    QStyleOptionViewItem content = option;
    const QRect button = buttonRect(option, index);
    if (!button.isNull())
        content.rect.setRight(button.left() - 2);
    return content;
}

QList<QWidget *> TemplateSettingItemDelegate::openEditors() const
{
    QList<QWidget *> editors;
    for (const QPointer<QWidget> &editor : std::as_const(m_openEditors)) {
        if (editor)
            editors << editor.data();
    }
    return editors;
}

void TemplateSettingItemDelegate::trackEditor(QWidget *editor) const
{
    m_openEditors.removeIf([](const QPointer<QWidget> &e) { return e.isNull(); });
    m_openEditors.append(editor);
}

QWidget *TemplateSettingItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                                   const QModelIndex &index) const
{
    const FlashTemplateProperty *property = propertyFor(index);
    if (!property || property->isCategory() || index.column() != FlashTemplateModel::ValueColumn)
        return nullptr;

    QWidget *editor = nullptr;
    switch (property->kind()) {
    case Kind::Text:
        if (isMultiLine(property->value())) {
            auto *box = new QPlainTextEdit(parent);
            box->setTabChangesFocus(true);
            editor = box;
        } else {
            editor = new QLineEdit(parent);
        }
        break;
    case Kind::File:
        editor = new QLineEdit(parent);
        break;
    case Kind::Color: {
        auto *line = new QLineEdit(parent);
        line->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("(0[xX]|#)?[0-9A-Fa-f]{6}")), line));
        editor = line;
        break;
    }
    case Kind::Number: {
        auto *spin = new QDoubleSpinBox(parent);
        spin->setLocale(QLocale::c()); // values are stored in C notation
        spin->setDecimals(std::clamp(std::max(decimalsOf(property->defaultValue()), decimalsOf(property->value())), 0, 6));
        const double unbounded = std::numeric_limits<int>::max();
        spin->setRange(property->minimum().value_or(-unbounded), property->maximum().value_or(unbounded));
        spin->setFrame(false);
        editor = spin;
        break;
    }
    case Kind::Choice: {
        auto *combo = new QComboBox(parent);
        combo->addItems(property->options());
        // A choice is made with one pick: take it at once.
        connect(combo, &QComboBox::activated, this, [this, combo] {
            emit const_cast<TemplateSettingItemDelegate *>(this)->commitData(combo);
            emit const_cast<TemplateSettingItemDelegate *>(this)->closeEditor(combo);
        });
        editor = combo;
        break;
    }
    case Kind::Boolean: // toggled in place through its check box
    case Kind::Button:  // changed only by its editor
    case Kind::Category:
        return nullptr;
    }
    trackEditor(editor);
    return editor;
}

void TemplateSettingItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString value = index.data(Qt::EditRole).toString();
    if (auto *spin = qobject_cast<QDoubleSpinBox *>(editor)) {
        spin->setValue(QLocale::c().toDouble(value.trimmed()));
    } else if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        combo->setCurrentIndex(std::max(0, combo->findText(value, Qt::MatchFixedString)));
    } else if (auto *box = qobject_cast<QPlainTextEdit *>(editor)) {
        box->setPlainText(value);
    } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->setText(value);
    }
}

void TemplateSettingItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                               const QModelIndex &index) const
{
    QString value;
    if (auto *spin = qobject_cast<QDoubleSpinBox *>(editor))
        value = QString::number(spin->value(), 'g', 15);
    else if (auto *combo = qobject_cast<QComboBox *>(editor))
        value = combo->currentText();
    else if (auto *box = qobject_cast<QPlainTextEdit *>(editor))
        value = box->toPlainText();
    else if (auto *line = qobject_cast<QLineEdit *>(editor))
        value = line->text();
    else
        return;
    // A value the book could not use is refused with its reason, after the editor
    // has gone (the commit may come from a focus change).
    if (m_registry) {
        if (const auto refusal = m_registry->checkTypedValue(index, value)) {
            QMetaObject::invokeMethod(
                const_cast<TemplateSettingItemDelegate *>(this),
                [refusal = *refusal] { LogAlert::alertMessage(refusal.message, refusal.text, refusal.details); },
                Qt::QueuedConnection);
            return;
        }
    }
    model->setData(index, value, Qt::EditRole);
}

void TemplateSettingItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                                       const QModelIndex &index) const
{
    QRect rect = contentOption(option, index).rect;
    if (qobject_cast<QPlainTextEdit *>(editor)) {
        // A multi-line value gets room for several lines, over the rows below.
        rect.setHeight(std::max(rect.height(), editor->fontMetrics().lineSpacing() * 6 + 8));
        if (const QWidget *area = editor->parentWidget(); area && rect.bottom() > area->height())
            rect.moveBottom(std::max(area->height(), option.rect.bottom()));
    }
    editor->setGeometry(rect);
}

QString TemplateSettingItemDelegate::shownText(const QModelIndex &index) const
{
    QStyleOptionViewItem option;
    initStyleOption(&option, index);
    return option.text;
}

void TemplateSettingItemDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const FlashTemplateProperty *property = propertyFor(index);
    if (!property)
        return;
    if (property->isCategory() && index.column() == FlashTemplateModel::CaptionColumn) {
        option->font.setBold(true);
    } else if (index.column() == FlashTemplateModel::ValueColumn) {
        if (property->kind() == Kind::Boolean)
            option->text.clear(); // the check box says it
        else if (m_registry && !isMultiLine(property->value()))
            option->text = m_registry->displayText(index);
        if (property->kind() == Kind::Color) {
            // The row button shows the colour.
            option->features &= ~QStyleOptionViewItem::HasDecoration;
            option->icon = QIcon();
        }
    }
}

QSize TemplateSettingItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // Rows tall enough for the editors and a clickable row button.
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), option.fontMetrics.height() + 10));
    return size;
}

QString TemplateSettingItemDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    const QString text = value.toString();
    if (!isMultiLine(text))
        return QStyledItemDelegate::displayText(value, locale);
    return text.section(QRegularExpression(QStringLiteral("[\r\n]")), 0, 0) + QStringLiteral(" …");
}

void TemplateSettingItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    const QRect button = buttonRect(option, index);
    if (button.isNull()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The cell's background spans the button too; the content keeps clear of it.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    background.features &= ~(QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration
                             | QStyleOptionViewItem::HasCheckIndicator);
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);
    QStyledItemDelegate::paint(painter, contentOption(option, index), index);
    paintButton(painter, option, index);
}

void TemplateSettingItemDelegate::paintButton(QPainter *painter, const QStyleOptionViewItem &option,
                                              const QModelIndex &index) const
{
    const QRect rect = buttonRect(option, index);
    const bool enabled = isButtonEnabled(index);
    QStyleOptionToolButton button;
    button.rect = rect;
    button.palette = option.palette;
    button.fontMetrics = option.fontMetrics;
    button.state = QStyle::State_Raised | QStyle::State_AutoRaise;
    if (enabled)
        button.state |= QStyle::State_Enabled;
    else
        button.palette.setCurrentColorGroup(QPalette::Disabled);
    if (enabled && m_pressedButton == index)
        button.state |= QStyle::State_Sunken;
    button.subControls = QStyle::SC_ToolButton;
    button.toolButtonStyle = Qt::ToolButtonTextOnly;
    const bool swatch = propertyFor(index) && propertyFor(index)->kind() == Kind::Color;
    if (!swatch)
        button.text = QStringLiteral("…");
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    style->drawComplexControl(QStyle::CC_ToolButton, &button, painter, option.widget);

    if (swatch) {
        const QColor color = TemplateEditorRun::colorFromValue(index.data(Qt::EditRole).toString());
        const QRect well = rect.adjusted(3, 3, -3, -3);
        painter->save();
        painter->fillRect(well, color.isValid() ? color : QColor(Qt::transparent));
        painter->setPen(option.palette.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        painter->drawRect(well.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}

bool TemplateSettingItemDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                              const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const QRect button = buttonRect(option, index);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (button.contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
            m_pressedButton = index;
            return true; // neither selects nor starts typing
        }
        m_pressedButton = QPersistentModelIndex();
        break;
    case QEvent::MouseButtonRelease:
        if (m_pressedButton.isValid()) {
            const bool click = m_pressedButton == index
                               && button.contains(static_cast<QMouseEvent *>(event)->position().toPoint());
            m_pressedButton = QPersistentModelIndex();
            if (click && isButtonEnabled(index))
                emit editorButtonClicked(index);
            return true;
        }
        break;
    default:
        break;
    }
    return QStyledItemDelegate::editorEvent(event, model, contentOption(option, index), index);
}

bool TemplateSettingItemDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                            const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() == QEvent::ToolTip && buttonRect(option, index).contains(event->pos())) {
        const QString tip = isButtonEnabled(index)
            ? loadAppString(QStringLiteral("FlashTmplOutlineD-Edit this setting"), QStringLiteral("Edit this setting"))
            : loadAppString(QStringLiteral("FlashTmplOutlineD-The editor of this setting is not available"),
                            QStringLiteral("The editor of this setting is not available"));
        QToolTip::showText(event->globalPos(), tip, view);
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}
