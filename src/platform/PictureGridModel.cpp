#include "platform/PictureGridModel.h"

#include <QCache>
#include <QDateTime>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QImageReader>
#include <QThreadPool>
#include <QtConcurrent>

namespace {
// Only touched on the main thread; workers hand their images back through watchers.
QCache<QString, QImage> &thumbnailCache()
{
    static QCache<QString, QImage> cache(64 * 1024 * 1024); // cost in bytes
    return cache;
}
} // namespace

PictureGridModel::PictureGridModel(QObject *parent)
    : QAbstractListModel(parent), m_pool(new QThreadPool(this))
{
    m_pool->setMaxThreadCount(std::max(1, std::min(4, QThread::idealThreadCount())));
}

PictureGridModel::~PictureGridModel()
{
    // Pending loads finish on their own; their watchers die with this model.
    m_pool->clear();
}

void PictureGridModel::setItems(const QList<PictureGridItem> &items)
{
    beginResetModel();
    ++m_generation;
    m_items = items;
    m_entries = QList<Entry>(items.size());
    endResetModel();
}

void PictureGridModel::setItemTitle(int row, const QString &title)
{
    if (row < 0 || row >= m_items.size())
        return;
    m_items[row].title = title;
    emit dataChanged(index(row), index(row), {Qt::DisplayRole});
}

void PictureGridModel::setItemToolTip(int row, const QString &toolTip)
{
    if (row < 0 || row >= m_items.size())
        return;
    m_items[row].toolTip = toolTip;
    emit dataChanged(index(row), index(row), {Qt::ToolTipRole});
}

void PictureGridModel::setThumbnailSize(const QSize &size)
{
    if (size == m_thumbnailSize || size.isEmpty())
        return;
    beginResetModel();
    ++m_generation;
    m_thumbnailSize = size;
    m_placeholder = QImage();
    m_entries = QList<Entry>(m_items.size());
    endResetModel();
}

QImage PictureGridModel::thumbnail(int row) const
{
    if (row < 0 || row >= m_items.size())
        return {};
    requestThumbnail(row);
    return m_entries[row].state == Load::Done ? m_entries[row].image : QImage();
}

bool PictureGridModel::isThumbnailReady(int row) const
{
    return row >= 0 && row < m_entries.size() && m_entries[row].state == Load::Done;
}

QImage PictureGridModel::makeThumbnail(const QString &path, const QSize &size)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    // Scaling a picture of colour indexes (a palette) keeps the indexes but not the
    // palette: such a picture is read whole and scaled in full colour.
    const QImage::Format stored = reader.imageFormat();
    const bool palette = stored == QImage::Format_Mono || stored == QImage::Format_MonoLSB || stored == QImage::Format_Indexed8;
    if (!palette && full.isValid() && (full.width() > size.width() || full.height() > size.height()))
        reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.colorCount() > 0)
        image = image.convertToFormat(QImage::Format_ARGB32);
    if (image.width() > size.width() || image.height() > size.height())
        image = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

void PictureGridModel::clearThumbnailCache()
{
    thumbnailCache().clear();
}

QString PictureGridModel::cacheKey(const QString &path) const
{
    const QFileInfo info(path);
    return QStringLiteral("%1|%2|%3|%4x%5")
        .arg(info.absoluteFilePath())
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(info.size())
        .arg(m_thumbnailSize.width())
        .arg(m_thumbnailSize.height());
}

void PictureGridModel::requestThumbnail(int row) const
{
    Entry &entry = m_entries[row];
    if (entry.state != Load::None)
        return;
    const QString path = m_items[row].imagePath;
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        entry.state = Load::Failed;
        return;
    }
    const QString key = cacheKey(path);
    if (const QImage *cached = thumbnailCache().object(key)) {
        entry.state = Load::Done;
        entry.image = *cached;
        return;
    }
    entry.state = Load::Pending;
    auto *self = const_cast<PictureGridModel *>(this);
    auto *watcher = new QFutureWatcher<QImage>(self);
    const quint64 generation = m_generation;
    connect(watcher, &QFutureWatcher<QImage>::finished, self, [self, watcher, generation, row, key] {
        const QImage image = watcher->future().resultCount() ? watcher->result() : QImage();
        watcher->deleteLater();
        self->deliver(generation, row, key, image);
    });
    const QSize size = m_thumbnailSize;
    watcher->setFuture(QtConcurrent::run(m_pool, [path, size] { return makeThumbnail(path, size); }));
}

void PictureGridModel::deliver(quint64 generation, int row, const QString &key, const QImage &image)
{
    if (generation != m_generation || row < 0 || row >= m_entries.size())
        return; // the items changed while the picture was loading
    Entry &entry = m_entries[row];
    if (image.isNull()) {
        entry.state = Load::Failed;
        return;
    }
    entry.state = Load::Done;
    entry.image = image;
    thumbnailCache().insert(key, new QImage(image), int(std::min<qsizetype>(image.sizeInBytes(), INT_MAX)));
    emit dataChanged(index(row), index(row), {Qt::DecorationRole});
    emit thumbnailReady(row);
}

QImage PictureGridModel::placeholder() const
{
    if (m_placeholder.isNull()) {
        m_placeholder = QImage(m_thumbnailSize, QImage::Format_ARGB32_Premultiplied);
        m_placeholder.fill(Qt::transparent);
    }
    return m_placeholder;
}

int PictureGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant PictureGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    const PictureGridItem &item = m_items[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return item.title;
    case Qt::ToolTipRole:
        return item.toolTip.isEmpty() ? QVariant() : QVariant(item.toolTip);
    case Qt::DecorationRole: {
        const QImage image = thumbnail(index.row());
        return image.isNull() ? placeholder() : image;
    }
    case ImagePathRole:
        return item.imagePath;
    case UserDataRole:
        return item.userData;
    default:
        return {};
    }
}
