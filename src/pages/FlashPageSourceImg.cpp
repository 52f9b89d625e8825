#include "pages/FlashPageSourceImg.h"

#include "foundation/AppStrings.h"
#include "pages/PageImaging.h"

#include <QDomElement>
#include <QFileInfo>
#include <QImageReader>
#include <QXmlStreamWriter>
#include <cmath>

namespace {

class PictureReader : public PageReader
{
public:
    PictureReader(QStringList files, int dpi) : m_files(std::move(files)), m_dpi(dpi) {}

    QImage readPage(int sourcePage, PageResult *result) override
    {
        const QString file = m_files.value(sourcePage);
        QImageReader reader(file);
        reader.setAutoTransform(true);
        // Very large pictures are scaled while decoding (cheap for JPEG) rather
        // than decoded whole and scaled afterwards. The box is square, so the
        // orientation applied after decoding does not matter.
        const int longSide = int(std::lround(PageImaging::kPictureLongSideInches * m_dpi));
        const QSize size = reader.size();
        if (size.isValid() && std::max(size.width(), size.height()) > longSide)
            reader.setScaledSize(size.scaled(QSize(longSide, longSide), Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        const QImage image = PageImaging::opaque(reader.read());
        if (image.isNull() && result)
            *result = PageResult::failure(PageError::UnreadablePicture,
                                          PageMessages::unreadablePicture(file, reader.errorString()));
        return image;
    }

private:
    QStringList m_files;
    int m_dpi;
};

} // namespace

PageResult FlashPageSourceImg::pageUnits(QList<PageUnit> *units) const
{
    if (units)
        units->clear();
    if (m_imageFiles.isEmpty())
        return PageResult::failure(PageError::NoPages,
                                   loadAppString(QStringLiteral("PageImport-No pictures were chosen."),
                                                 QStringLiteral("No pictures were chosen.")));
    QList<PageUnit> plan;
    for (int i = 0; i < m_imageFiles.size(); ++i) {
        const QString &file = m_imageFiles.at(i);
        if (!QFileInfo(file).isFile())
            return PageResult::failure(PageError::UnreadablePicture, PageMessages::fileNotFound(file));
        QImageReader reader(file);
        if (!reader.canRead())
            return PageResult::failure(PageError::UnreadablePicture,
                                       PageMessages::unreadablePicture(file, reader.errorString()));
        PageUnit unit;
        unit.sourcePage = i;
        unit.firstBookPage = i + 1;
        plan << unit;
    }
    if (units)
        *units = plan;
    return PageResult::success();
}

std::unique_ptr<PageReader> FlashPageSourceImg::createReader(PageResult *result) const
{
    if (result)
        *result = PageResult::success();
    return std::make_unique<PictureReader>(m_imageFiles, pageDPI());
}

void FlashPageSourceImg::writeSourceXml(QXmlStreamWriter &w) const
{
    w.writeStartElement(QStringLiteral("Source"));
    for (const QString &file : m_imageFiles) {
        w.writeStartElement(QStringLiteral("Picture"));
        w.writeAttribute(QStringLiteral("file"), storedPath(file));
        w.writeEndElement();
    }
    w.writeEndElement();
}

void FlashPageSourceImg::readSourceXml(const QDomElement &source, const QString &workspace)
{
    m_imageFiles.clear();
    for (QDomElement e = source.firstChildElement(QStringLiteral("Picture")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("Picture")))
        m_imageFiles << resolvedPath(e.attribute(QStringLiteral("file")), workspace);
}
