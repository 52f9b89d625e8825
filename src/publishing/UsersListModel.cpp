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

namespace {

// Names for a note: the first few, quoted, then how many more.
QString namesForNote(const QStringList &names)
{
    constexpr int kShown = 5;
    QStringList quoted;
    for (const QString &name : names.mid(0, kShown))
        quoted << QStringLiteral("\u201C%1\u201D").arg(name);
    QString text = quoted.join(QStringLiteral(", "));
    if (names.size() > kShown)
        text += loadAppString(QStringLiteral("UsersListS- and %1 more"), QStringLiteral(" and %1 more")).arg(names.size() - kShown);
    return text;
}

QString keptAccessText()
{
    return loadAppString(QStringLiteral("UsersListS-Keeps access through the key of the earlier book this user came from."),
                         QStringLiteral("Keeps access through the key of the earlier book this user came from."));
}

QString noAccessText()
{
    return loadAppString(QStringLiteral("UsersListS-No access: the password is unknown, and the key of the book this user came from is not known here."),
                         QStringLiteral("No access: the password is unknown, and the key of the book this user came from is not known here."));
}

} // namespace

QString UsersListModel::accessNote() const
{
    if (!m_security)
        return {};
    QStringList notes;
    if (const QStringList kept = m_security->earlierKeyUsers(); !kept.isEmpty())
        notes << loadAppString(QStringLiteral("UsersListS-%1 keep access through the key of the earlier book they came from, which this book keeps: whoever could read that book can read this one."),
                               QStringLiteral("%1 keep access through the key of the earlier book they came from, which this book keeps: whoever could read that book can read this one."))
                     .arg(namesForNote(kept));
    if (const QStringList without = m_security->usersWithoutAccess(); !without.isEmpty())
        notes << loadAppString(QStringLiteral("UsersListS-%1 have no access: their passwords are unknown, and the key of the book they came from comes back only with the password of one of its users, given when the project is opened."),
                               QStringLiteral("%1 have no access: their passwords are unknown, and the key of the book they came from comes back only with the password of one of its users, given when the project is opened."))
                     .arg(namesForNote(without));
    return notes.join(QLatin1Char('\n'));
}

QVariant UsersListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const QVariantMap &entry = users().at(index.row());
    if (role == Qt::ToolTipRole && index.column() == PasswordColumn
        && entry.value(kPassword).toString() == BookSecurity::unknownPassword())
        return m_security->earlierKeyUsers().contains(entry.value(kUser).toString()) ? keptAccessText() : noAccessText();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
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
