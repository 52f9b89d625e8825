#include "templates/FlashTemplateModel.h"

#include "foundation/AppStrings.h"
#include "platform/NotificationCenter.h"
#include "templates/FlashTemplate.h"
#include "templates/TemplateNotifications.h"

#include <QColor>

using Kind = FlashTemplateProperty::Kind;

FlashTemplateModel::FlashTemplateModel(FlashTemplate *flashTemplate, QObject *parent)
    : QAbstractItemModel(parent), m_template(flashTemplate)
{
    connect(flashTemplate, &FlashTemplate::settingsTreeAboutToChange, this, &FlashTemplateModel::beginResetModel);
    connect(flashTemplate, &FlashTemplate::settingsTreeChanged, this, &FlashTemplateModel::endResetModel);
    connect(flashTemplate, &FlashTemplate::propertyValueChanged, this, &FlashTemplateModel::onValueChanged);
}

FlashTemplateProperty *FlashTemplateModel::nodeFor(const QModelIndex &parent) const
{
    if (parent.isValid())
        return static_cast<FlashTemplateProperty *>(parent.internalPointer());
    return m_template ? m_template->rootProperty() : nullptr;
}

FlashTemplateProperty *FlashTemplateModel::propertyForIndex(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<FlashTemplateProperty *>(index.internalPointer()) : nullptr;
}

QModelIndex FlashTemplateModel::indexForKey(const QString &key, int column) const
{
    FlashTemplateProperty *property = m_template ? m_template->propertyForKey(key) : nullptr;
    return property ? createIndex(property->row(), column, property) : QModelIndex();
}

QModelIndex FlashTemplateModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column < 0 || column >= ColumnCount)
        return {};
    FlashTemplateProperty *node = nodeFor(parent);
    FlashTemplateProperty *child = node ? node->child(row) : nullptr;
    return child ? createIndex(row, column, child) : QModelIndex();
}

QModelIndex FlashTemplateModel::parent(const QModelIndex &child) const
{
    FlashTemplateProperty *property = propertyForIndex(child);
    FlashTemplateProperty *parent = property ? property->parent() : nullptr;
    if (!parent || !parent->parent())
        return {};
    return createIndex(parent->row(), CaptionColumn, parent);
}

int FlashTemplateModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    FlashTemplateProperty *node = nodeFor(parent);
    return node ? node->childCount() : 0;
}

int FlashTemplateModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant FlashTemplateModel::data(const QModelIndex &index, int role) const
{
    const FlashTemplateProperty *property = propertyForIndex(index);
    if (!property)
        return {};
    switch (role) {
    case KeyRole:
        return property->key();
    case KindRole:
        return int(property->kind());
    case KindNameRole:
        return FlashTemplateProperty::kindName(property->kind());
    case ValueSourceRole:
        return property->valueSource();
    case OptionsRole:
        return property->options();
    case DefaultValueRole:
        return property->defaultValue();
    case Qt::ToolTipRole:
        return property->caption();
    default:
        break;
    }
    if (index.column() == CaptionColumn)
        return role == Qt::DisplayRole ? QVariant(property->caption()) : QVariant();
    if (property->isCategory())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return property->value();
    case Qt::CheckStateRole:
        if (property->kind() == Kind::Boolean)
            return property->value() == QLatin1String("Yes") ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::DecorationRole:
        if (property->kind() == Kind::Color)
            return QColor(QStringLiteral("#") + property->value().mid(2));
        return {};
    default:
        return {};
    }
}

bool FlashTemplateModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    FlashTemplateProperty *property = propertyForIndex(index);
    if (!m_template || !property || property->isCategory() || index.column() != ValueColumn)
        return false;

    QString text;
    if (role == Qt::CheckStateRole && property->kind() == Kind::Boolean)
        text = value.toInt() == Qt::Checked ? QStringLiteral("Yes") : QStringLiteral("No");
    else if (role == Qt::EditRole && value.typeId() == QMetaType::QColor)
        text = QStringLiteral("0x") + value.value<QColor>().name().mid(1).toUpper();
    else if (role == Qt::EditRole)
        text = value.toString();
    else
        return false;

    const QString before = property->value();
    if (!m_template->setPropertyValue(property->key(), text))
        return false;
    if (property->value() != before)
        NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification, this,
                                                              {{QStringLiteral("key"), property->key()}});
    return true;
}

Qt::ItemFlags FlashTemplateModel::flags(const QModelIndex &index) const
{
    const FlashTemplateProperty *property = propertyForIndex(index);
    if (!property)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ValueColumn && !property->isCategory()) {
        flags |= Qt::ItemIsEditable;
        if (property->kind() == Kind::Boolean)
            flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QVariant FlashTemplateModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == CaptionColumn)
        return loadAppString(QStringLiteral("FlashTmplOutlineD-Setting"), QStringLiteral("Setting"));
    if (section == ValueColumn)
        return loadAppString(QStringLiteral("FlashTmplOutlineD-Value"), QStringLiteral("Value"));
    return {};
}

void FlashTemplateModel::onValueChanged(const QString &key)
{
    const QModelIndex caption = indexForKey(key, CaptionColumn);
    if (caption.isValid())
        emit dataChanged(caption, caption.siblingAtColumn(ValueColumn));
}
