#include "publishing/UsersListModel.h"

#include "foundation/AppStrings.h"
#include "foundation/ListRows.h"
#include "output/security/BookSecurity.h"
#include "publishing/PasswordGenerator.h"

#include <QSet>
#include <algorithm>

namespace {

const QString kUser = QStringLiteral("user");
const QString kPassword = QStringLiteral("password");
const QString kEncode = QStringLiteral("encode");
const QString kPageKey = QStringLiteral("pageKey");

} // namespace

UsersListModel::UsersListModel(BookSecurity *security, QObject *parent)
    : RowListModel(usersListDataType(), parent), m_security(security)
{
}

QString UsersListModel::usersListDataType()
{
    return QStringLiteral("application/x-quorvel-users-list-rows");
}

QList<QVariantMap> &UsersListModel::users() const
{
    return m_security->usersList();
}

int UsersListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_security ? 0 : int(users().size());
}

int UsersListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant UsersListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const QVariantMap &entry = users().at(index.row());
    if (index.column() == UserColumn)
        return entry.value(kUser).toString();
    const QString password = entry.value(kPassword).toString();
    if (password == BookSecurity::unknownPassword())
        return role == Qt::DisplayRole ? QStringLiteral("***") : QString();
    return password;
}

QVariant UsersListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == UserColumn ? loadAppString(QStringLiteral("UsersListS-User"), QStringLiteral("User"))
                                 : loadAppString(QStringLiteral("UsersListS-Password"), QStringLiteral("Password"));
}

Qt::ItemFlags UsersListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return dragFlags(index);
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
}

bool UsersListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount())
        return false;
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString())
        return true;
    QVariantMap &entry = users()[index.row()];
    if (index.column() == UserColumn) {
        const QString name = text.trimmed();
        if (name == entry.value(kUser).toString())
            return true;
        if (const QString problem = BookSecurity::userNameProblem(name, users(), index.row()); !problem.isEmpty()) {
            emit editRefused(loadAppString(QStringLiteral("UsersListS-Invalid user name!"), QStringLiteral("Invalid user name!")),
                             problem);
            return false;
        }
        entry.insert(kUser, name);
    } else {
        if (const QString problem = BookSecurity::passwordProblem(text); !problem.isEmpty()) {
            emit editRefused(loadAppString(QStringLiteral("UsersListS-Invalid password!"), QStringLiteral("Invalid password!")),
                             problem);
            return false;
        }
        entry.insert(kPassword, text);
    }
    // The user's code is made again when the list is exported or the book is published.
    emit dataChanged(index, index);
    return true;
}

QString UsersListModel::generateUser() const
{
    for (int n = 0;; ++n) {
        const QString name = QStringLiteral("user%1").arg(n);
        if (!isUserExisted(name))
            return name;
    }
}

bool UsersListModel::isUserExisted(const QString &name) const
{
    return std::any_of(users().cbegin(), users().cend(),
                       [&name](const QVariantMap &entry) { return entry.value(kUser).toString() == name; });
}

int UsersListModel::addUser(PasswordGenerator &generator)
{
    generator.startGenerate();
    const QString password = generator.result();
    if (!BookSecurity::passwordProblem(password).isEmpty())
        return -1;
    const QString name = generateUser();
    const int row = rowCount();
    beginInsertRows({}, row, row);
    users().append({{kUser, name},
                    {kPassword, password},
                    {kEncode, BookSecurity::encodeByUser(name, password, m_security->rc4String())}});
    endInsertRows();
    return row;
}

void UsersListModel::removeUserRows(const QList<int> &rows)
{
    if (ListRows::clean(rows, rowCount()).isEmpty())
        return;
    beginResetModel();
    ListRows::remove(users(), rows);
    endResetModel();
}

void UsersListModel::replaceUsers(const QList<QVariantMap> &entries)
{
    beginResetModel();
    users() = entries;
    endResetModel();
}

QList<int> UsersListModel::moveUp(const QList<int> &rows)
{
    return moveInList(users(), [&](QList<QVariantMap> &list) { return ListRows::moveUp(list, rows); });
}

QList<int> UsersListModel::moveDown(const QList<int> &rows)
{
    return moveInList(users(), [&](QList<QVariantMap> &list) { return ListRows::moveDown(list, rows); });
}

QList<int> UsersListModel::moveRowsTo(const QList<int> &rows, int row)
{
    return moveInList(users(), [&](QList<QVariantMap> &list) { return ListRows::moveTo(list, rows, row); });
}
