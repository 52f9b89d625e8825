#pragma once
// The items of a picture grid (the pickers of backgrounds, scenes, plug-in bundles,
// preloaders and narration characters): a title, a picture file and a tool tip each.
//
// Thumbnails are made off the main thread the first time a view asks for one, and
// kept in a cache shared by every grid (keyed by path, modification time and size),
// so reopening a picker shows its pictures at once. Until a thumbnail is ready the
// grid gets a blank picture of the thumbnail size; a picture that cannot be read stays
// blank. Results of loads started before setItems() are dropped.

#include <QAbstractListModel>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QVariant>

class QThreadPool;

struct PictureGridItem
{
    QString title;
    QString imagePath;
    QString toolTip;
    QVariant userData; // whatever the owner needs to find its own record again
};

class PictureGridModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Roles { ImagePathRole = Qt::UserRole + 1, UserDataRole };

    explicit PictureGridModel(QObject *parent = nullptr);
    ~PictureGridModel() override;

    void setItems(const QList<PictureGridItem> &items);
    const QList<PictureGridItem> &items() const { return m_items; }
    PictureGridItem item(int row) const { return m_items.value(row); }

    void setItemTitle(int row, const QString &title);
    void setItemToolTip(int row, const QString &toolTip);

    QSize thumbnailSize() const { return m_thumbnailSize; }
    void setThumbnailSize(const QSize &size);

    // The thumbnail of a row when it is ready (a null image otherwise); starts loading it.
    QImage thumbnail(int row) const;
    bool isThumbnailReady(int row) const;

    // Makes a thumbnail of at most size from a picture file (any thread).
    static QImage makeThumbnail(const QString &path, const QSize &size);
    static void clearThumbnailCache();

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

signals:
    void thumbnailReady(int row);

private:
    enum class Load { None, Pending, Done, Failed };
    struct Entry
    {
        Load state = Load::None;
        QImage image;
    };

    void requestThumbnail(int row) const;
    void deliver(quint64 generation, int row, const QString &key, const QImage &image);
    QString cacheKey(const QString &path) const;
    QImage placeholder() const;

    QList<PictureGridItem> m_items;
    mutable QList<Entry> m_entries;
    QSize m_thumbnailSize{128, 128};
    quint64 m_generation = 0;
    mutable QImage m_placeholder;
    QThreadPool *m_pool;
};
