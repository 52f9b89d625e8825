#pragma once
// The design settings of a template as an item model, for the settings outline: one
// row per category or setting, nested as in the template; column 0 the caption,
// column 1 the value. Values are edited in place through setData(); each accepted
// change posts FlashTmplProValueChangedNotification with the model as object.
//
// The model follows the template: changed values update their rows, and loading a
// new description resets the model.

#include <QAbstractItemModel>
#include <QPointer>

class FlashTemplate;
class FlashTemplateProperty;

class FlashTemplateModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Column { CaptionColumn = 0, ValueColumn = 1, ColumnCount = 2 };
    enum Role {
        KeyRole = Qt::UserRole + 1, // the setting's key
        KindRole,                   // FlashTemplateProperty::Kind as int
        KindNameRole,               // "text", "color", ...
        ValueSourceRole,            // editor of the setting ("color", "flashMenu", ...)
        OptionsRole,                // QStringList of a choice
        DefaultValueRole,
    };

    explicit FlashTemplateModel(FlashTemplate *flashTemplate, QObject *parent = nullptr);

    FlashTemplate *flashTemplate() const { return m_template; }
    FlashTemplateProperty *propertyForIndex(const QModelIndex &index) const;
    QModelIndex indexForKey(const QString &key, int column = CaptionColumn) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    FlashTemplateProperty *nodeFor(const QModelIndex &parent) const;
    void onValueChanged(const QString &key);

    QPointer<FlashTemplate> m_template;
};
