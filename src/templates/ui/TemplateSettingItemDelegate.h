#pragma once
// The cells of the settings outline. Values are edited in place by the setting's
// kind: text in a line edit (a multi-line text in a text box), a number in a spin box
// within the setting's bounds, a colour as "0xRRGGBB", a choice in a combo box, a file
// as its path; booleans are check boxes toggled in place.
//
// A setting with an editor (see TemplateEditorRegistry::editorSourceFor: every colour
// and file setting has one) gets a small button at the right of the value cell: a colour swatch for
// colours, "…" otherwise. Clicking it emits editorButtonClicked(); the button is
// disabled, with a tool tip saying why, when no editor is registered for the source.

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class FlashTemplateProperty;
class TemplateEditorRegistry;

class TemplateSettingItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TemplateSettingItemDelegate(QObject *parent = nullptr);

    void setEditorRegistry(const TemplateEditorRegistry *registry) { m_registry = registry; }
    const TemplateEditorRegistry *editorRegistry() const { return m_registry; }

    // The registry source the row button of index runs; empty when the row has no button.
    static QString buttonSource(const QModelIndex &index);
    // Where the row button of a value cell lies; empty when the row has none.
    QRect buttonRect(const QStyleOptionViewItem &option, const QModelIndex &index) const;
    bool isButtonEnabled(const QModelIndex &index) const;

    // The text the cell of index shows.
    QString shownText(const QModelIndex &index) const;

    // The editors now open (at most one in practice).
    QList<QWidget *> openEditors() const;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QString displayText(const QVariant &value, const QLocale &locale) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

signals:
    void editorButtonClicked(const QModelIndex &index);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    static FlashTemplateProperty *propertyFor(const QModelIndex &index);
    // The option with the row button's room taken off the cell.
    QStyleOptionViewItem contentOption(const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void paintButton(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void trackEditor(QWidget *editor) const;

    const TemplateEditorRegistry *m_registry = nullptr;
    mutable QList<QPointer<QWidget>> m_openEditors;
    QPersistentModelIndex m_pressedButton;
};
