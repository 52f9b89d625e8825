#pragma once
// The users list of a protected book as a table: column 0 the user name, column 1 the
// password (shown as "***" when it is unknown, for users read from a published book).
// Every change goes straight into the BookSecurity given (its usersList), which must
// outlive the model.
//
// Names and passwords are checked wherever they come in (adding, editing, importing),
// by the rules of BookSecurity::userNameProblem and passwordProblem (the users file
// "users.txt" has one "name code" line per user). A refused edit changes nothing and
// is told through editRefused().
//
// Rows are reordered with the move commands and by dragging (RowListModel; the rows
// travel under the private type usersListDataType()). The password cell of a user
// whose password is unknown tells, as its tool tip, whether that user keeps access.

#include "platform/RowListModel.h"

#include <QList>
#include <QString>
#include <QVariantMap>

class BookSecurity;
class PasswordGenerator;

class UsersListModel : public RowListModel
{
    Q_OBJECT
public:
    enum Column { UserColumn = 0, PasswordColumn = 1 };

    explicit UsersListModel(BookSecurity *security, QObject *parent = nullptr);

    BookSecurity *bookSecurity() const { return m_security; }
    static QString usersListDataType();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Stores an edited name or password; refuses (false, editRefused()) what the rules
    // above forbid. Giving back the value shown for editing changes nothing.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // "user0", or the first "user<n>" (n from 0) that no user has.
    QString generateUser() const;
    bool isUserExisted(const QString &name) const;
    // Appends a user with a generated name and a password from generator; the row, or
    // -1 when the generator gave no password.
    int addUser(PasswordGenerator &generator);
    // Removes the rows (any order, repeats and rows outside the list ignored).
    void removeUserRows(const QList<int> &rows);
    // Replaces the whole list (an import); the entries must have passed
    // BookSecurity::validEntries().
    void replaceUsers(const QList<QVariantMap> &entries);

    // What the editor says of the users whose password is unknown (read from a
    // book): who keeps access through the key of the earlier book they came from, and
    // who has none; "" when every password is known.
    QString accessNote() const;

    // The moves; each returns the rows the moved entries now occupy (empty when nothing
    // moved). Up: the selected entries as one block in their order, starting one above
    // the first selected row. Down: the block starting just after the entry that
    // followed the last selected row. To a row: the block lands before the entry that
    // was at row (row outside the list: at the end).
    QList<int> moveUp(const QList<int> &rows);
    QList<int> moveDown(const QList<int> &rows);
    QList<int> moveRowsTo(const QList<int> &rows, int row) override;

signals:
    void editRefused(const QString &message, const QString &detail);

private:
    QList<QVariantMap> &users() const;

    BookSecurity *m_security;
};
