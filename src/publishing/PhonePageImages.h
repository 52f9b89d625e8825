#pragma once
// The page pictures of a book's phone version while the user reviews them: the page
// source files, the page pictures made from them (what the caller gets back), a
// thumbnail of each, and the size a page picture should have.
//
// Thumbnails go into a temporary folder of the object's own, deleted with it, and are
// named by row ("1.png" for the first row), so pages whose pictures share a file name
// keep their own thumbnails. Page pictures made by a resize or a replacement go into
// temporary folders that outlast the object, so the caller can use the paths.
//
// Every change of a page picture is all or nothing: a picture that cannot be read or
// written leaves the row's path and thumbnail as they were.

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class PhonePageImages
{
public:
    static constexpr int kThumbnailSide = 90;
    // Longest side of a replacement picture: a very narrow or very tall picture is
    // scaled to the page width or height, which could otherwise ask for gigapixels.
    static constexpr int kMaxReplacementSide = 16384;
    static constexpr double kDefaultPageWidth = 1080;
    static constexpr double kDefaultPageHeight = 1440;

    PhonePageImages();
    ~PhonePageImages();
    PhonePageImages(const PhonePageImages &) = delete;
    PhonePageImages &operator=(const PhonePageImages &) = delete;

    // Holds the thumbnails; empty when no temporary folder could be made.
    QString workspace() const { return m_workspace; }

    // The page source files (SWF movies, PDF pages or pictures), in page order.
    void setSWFs(const QStringList &paths) { m_swfs = paths; }
    QStringList swfs() const { return m_swfs; }

    // The page pictures, in page order; makes every thumbnail.
    void setImages(const QStringList &paths);
    QStringList images() const { return m_images; }
    QStringList icons() const { return m_icons; }
    int count() const { return int(m_icons.size()); }

    // Target size of a page picture. Values below 1 (or not numbers) are ignored.
    double pageWidth() const { return m_pageWidth; }
    double pageHeight() const { return m_pageHeight; }
    bool setPageWidth(double width);
    bool setPageHeight(double height);
    // The size cut to whole pixels.
    QSize pageSize() const { return QSize(int(m_pageWidth), int(m_pageHeight)); }

    // How a page picture is made again: from its source by the snapshot helper (PDF
    // pages, SWF movies), by resizing the picture (picture pages), or not at all (the
    // row is out of range, or the picture is its own source).
    enum class Retry { None, Snapshot, Resize };
    Retry retryKind(int row) const;

    // The size of the row's picture when a resize would change it; an invalid size
    // when the picture cannot be read or already has the page size.
    QSize sizeToResize(int row) const;
    // Scales the row's picture to exactly the page size into a new temporary folder,
    // keeping its file name and writing the format the name's extension says.
    bool resizeToPageSize(int row);

    // The size a replacement picture of pictureSize is scaled to: the page height
    // for a wide picture, the page width for a tall one, proportions kept; no side
    // above kMaxReplacementSide. Invalid for an empty picture.
    QSize replacementSize(const QSize &pictureSize) const;
    // Puts a scaled copy of file in place of the row's picture, named by the current
    // time with the extension of the picture it replaces. False, with nothing
    // changed, when file cannot be read or the copy cannot be written.
    bool replaceImage(int row, const QString &file);

    // Makes the row's thumbnail again from its picture (after a new snapshot).
    bool updateThumbnail(int row);
    // The thumbnail of a picture of pictureSize: 90 on its longer side.
    static QSize thumbnailSize(const QSize &pictureSize);
    // The picture shown for a page picture that is missing or unreadable.
    static QImage placeholderImage();

private:
    bool validRow(int row) const { return row >= 0 && row < m_images.size(); }
    QString thumbnailPath(int row) const;
    bool writeThumbnail(int row, const QImage &picture);

    QString m_workspace;
    QStringList m_swfs;
    QStringList m_images;
    QStringList m_icons;
    double m_pageWidth = kDefaultPageWidth;
    double m_pageHeight = kDefaultPageHeight;
};
