#pragma once
// The share links editor's table: one row per button of the collection, in the
// columns "caption" (its title), "url" (its link text; both edited in place), "logo"
// (its picture) and "status" (the check mark: the book has the button). Rows are
// reordered by dragging and deleted by dragging them out of the window (RowListModel).
//
// A logo is shown from the button's own picture (a template file value, resolved by
// the resolver the editor sets), else the program's logo for its link's site.

#include "furnishings/ShareLinksItem.h"
#include "platform/RowListModel.h"

#include <QHash>
#include <QImage>
#include <functional>

inline const QString ShareLinksDataType = QStringLiteral("application/x-quorvel-share-links");

class ShareLinksModel : public RowListModel
{
    Q_OBJECT
public:
    enum Column { CaptionColumn = 0, UrlColumn = 1, LogoColumn = 2, StatusColumn = 3, ColumnCount = 4 };
    using Resolver = std::function<QString(const QString &value)>;

    explicit ShareLinksModel(QObject *parent = nullptr);

    void setLogoResolver(Resolver resolver) { m_resolver = std::move(resolver); }
    // The picture file a button shows, or "" for none.
    QString logoFileFor(const ShareLinksItem &item) const;

    const QList<ShareLinksItem> &iconsList() const { return m_items; }
    void setIconsList(const QList<ShareLinksItem> &items);
    // The button at row, if row is one.
    const ShareLinksItem *itemAt(int row) const;
    // Appends a button; answers its row.
    int append(const ShareLinksItem &item);
    void setTitle(int row, const QString &title);
    void setLinks(int row, const QString &links);
    void setLogo(int row, const QString &logo);
    void removeRows(const QList<int> &rows);
    // Swaps the button at row with its neighbour; answers its new row (row when it
    // cannot move).
    int moveUp(int row);
    int moveDown(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

protected:
    QList<int> moveRowsTo(const QList<int> &rows, int row) override;

private:
    void rowChanged(int row);
    QImage logoImage(const QString &file) const;

    QList<ShareLinksItem> m_items;
    Resolver m_resolver;
    mutable QHash<QString, QImage> m_logos; // shown pictures by file
};
