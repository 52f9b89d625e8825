#include "pages/PagePictureWriter.h"

#include "foundation/AppStrings.h"
#include "pages/AreaScaler.h"
#include "pages/JpegEncoder.h"

#include <memory>

using namespace PageImaging;

namespace {

// The pictures of one book page, made from the source picture's rows as they are
// fed: the large picture is encoded as the rows come; the normal and phone pictures
// are reduced as they come and encoded at the end, the thumbnail from the normal one.
class PartPictures
{
public:
    PartPictures(const QImage &page, const PagePictureWriter::Part &part, const QSize &normalBox)
        : m_page(page), m_rect(partRect(page.size(), part.part)), m_paths(part.paths), m_largeExists(part.largeExists)
    {
        const QSize size = m_rect.size();
        m_normalSize = pageBoxSize(size, normalBox);
        m_phoneSize = pageBoxSize(size, kPhonePageBox);
        m_wantNormal = !m_paths.normal.isEmpty() || !m_paths.thumb.isEmpty(); // the thumbnail is made from it
        m_wantPhone = !m_paths.phone.isEmpty();
        if (m_largeExists && m_paths.large.isEmpty())
            m_largeExists = false;
    }

    // Sets up the encoder and reductions, taking over what memory fits.
    void start(QByteArray largeMemory, std::shared_ptr<JpegScanCoder> largeCoder, QImage normalMemory,
               QImage phoneMemory)
    {
        const QSize size = m_rect.size();
        // The large picture is encoded when it is written, or when a picture of its
        // size has no large file to be.
        if (!m_largeExists
            && (!m_paths.large.isEmpty() || (!m_paths.normal.isEmpty() && m_normalSize == size)
                || (m_wantPhone && m_phoneSize == size)))
            m_large = std::make_unique<JpegEncoder>(size, kLargeJpeg, std::move(largeMemory), std::move(largeCoder));
        if (m_wantNormal && m_normalSize != size)
            m_normal = std::make_unique<AreaScaler>(size, m_normalSize, std::move(normalMemory));
        if (m_wantPhone && m_phoneSize != size && !(m_normal && m_phoneSize == m_normalSize))
            m_phone = std::make_unique<AreaScaler>(size, m_phoneSize, std::move(phoneMemory));
    }

    void addRows(int y, int count)
    {
        const uchar *first = m_page.constScanLine(y) + qsizetype(m_rect.x()) * 3;
        const qsizetype stride = m_page.bytesPerLine();
        if (m_large)
            m_large->addRows(first, stride, count);
        if (m_normal)
            m_normal->addRows(first, stride, count);
        if (m_phone)
            m_phone->addRows(first, stride, count);
    }

    // Writes the pictures; `paths` becomes the files that hold them.
    PageResult finish(QByteArray normalJpegMemory, std::shared_ptr<JpegScanCoder> normalCoder, PagePicturePaths *paths)
    {
        if (m_large) {
            m_largeJpeg = m_large->finish();
            m_largeCoder = m_large->takeScanCoder();
        }
        PageResult r;
        if (!m_paths.large.isEmpty() && !m_largeExists && !(r = writeFile(m_paths.large, m_largeJpeg)).ok())
            return r;

        // A picture of the part's own size is the large picture: its file when there
        // is one, else its bytes.
        QImage normal;
        QByteArray normalJpeg;
        if (m_normal) {
            normal = m_normal->result();
        } else {
            normal = QImage(m_page.constScanLine(0) + qsizetype(m_rect.x()) * 3, m_rect.width(), m_rect.height(),
                            m_page.bytesPerLine(), QImage::Format_RGB888);
            normalJpeg = m_largeJpeg;
            if (!m_paths.normal.isEmpty() && !m_paths.large.isEmpty())
                m_paths.normal = m_paths.large;
        }
        const bool phoneIsNormal = !m_phone && m_phoneSize == m_normalSize;
        const bool normalIsFile = !m_normal && !m_paths.normal.isEmpty() && m_paths.normal == m_paths.large;
        if (m_normal && (!m_paths.normal.isEmpty() || (m_wantPhone && phoneIsNormal))) {
            JpegEncoder encoder(normal.size(), kNormalJpeg, std::move(normalJpegMemory), std::move(normalCoder));
            encoder.addRows(normal.constBits(), normal.bytesPerLine(), normal.height());
            normalJpeg = m_normalJpeg = encoder.finish();
            m_normalCoder = encoder.takeScanCoder();
        }
        if (!m_paths.normal.isEmpty() && !normalIsFile && !(r = writeFile(m_paths.normal, normalJpeg)).ok())
            return r;
        if (!m_paths.thumb.isEmpty()) {
            // The normal picture is smaller than the large one and already smoothed:
            // reducing it is cheaper and looks the same at thumbnail size.
            const QSize size = thumbSize(normal.size());
            const QImage thumb = size == normal.size() ? normal : AreaScaler::scaled(normal, size);
            if (!(r = writeFile(m_paths.thumb, JpegEncoder::encode(thumb, kThumbJpeg))).ok())
                return r;
        }
        if (m_wantPhone) {
            // The same picture as the normal or the large one is that picture's file
            // (or, when that is not written, its bytes).
            const bool phoneIsLarge = !m_phone && m_phoneSize == m_rect.size();
            const QString same = phoneIsNormal && !m_paths.normal.isEmpty() ? m_paths.normal
                               : phoneIsLarge                               ? m_paths.large
                                                                            : QString();
            if (!same.isEmpty()) {
                m_paths.phone = same;
            } else {
                const QByteArray phone = m_phone ? JpegEncoder::encode(m_phone->result(), kPhoneJpeg)
                                       : phoneIsLarge ? m_largeJpeg
                                                      : normalJpeg;
                if (!(r = writeFile(m_paths.phone, phone)).ok())
                    return r;
            }
        }
        *paths = m_paths;
        return PageResult::success();
    }

    // The memory worth keeping for the next page; call after finish().
    QByteArray takeLargeMemory() { return std::move(m_largeJpeg); }
    QByteArray takeNormalJpegMemory() { return std::move(m_normalJpeg); }
    std::shared_ptr<JpegScanCoder> takeLargeCoder() { return std::move(m_largeCoder); }
    std::shared_ptr<JpegScanCoder> takeNormalCoder() { return std::move(m_normalCoder); }
    QImage takeNormalMemory() { return m_normal ? m_normal->takeResult() : QImage(); }
    QImage takePhoneMemory() { return m_phone ? m_phone->takeResult() : QImage(); }

private:
    const QImage &m_page;
    QRect m_rect;
    PagePicturePaths m_paths;
    bool m_largeExists = false;
    QSize m_normalSize, m_phoneSize;
    bool m_wantNormal = false, m_wantPhone = false;
    std::unique_ptr<JpegEncoder> m_large;
    std::unique_ptr<AreaScaler> m_normal, m_phone;
    QByteArray m_largeJpeg, m_normalJpeg;
    std::shared_ptr<JpegScanCoder> m_largeCoder, m_normalCoder;
};

} // namespace

PagePictureWriter::PagePictureWriter(const QSize &normalBox) : m_normalBox(normalBox) {}

PageResult PagePictureWriter::write(const QImage &image, QList<Part> &parts)
{
    const QImage page = opaque(image);
    if (page.isNull())
        return PageResult::failure(PageError::DamagedFile,
                                   loadAppString(QStringLiteral("PageImport-A page could not be read."),
                                                 QStringLiteral("A page could not be read.")));
    if (m_memory.size() < size_t(parts.size()))
        m_memory.resize(size_t(parts.size()));

    std::vector<std::unique_ptr<PartPictures>> pictures;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        Memory &memory = m_memory[size_t(i)];
        pictures.push_back(std::make_unique<PartPictures>(page, parts.at(i), m_normalBox));
        pictures.back()->start(std::move(memory.large), std::move(memory.largeCoder), std::move(memory.normal),
                               std::move(memory.phone));
    }
    // Bands of two JPEG block rows: small enough to stay in the cache while every
    // part's encoder and reductions read them.
    constexpr int kBand = 32;
    for (int y = 0; y < page.height(); y += kBand) {
        const int count = std::min(kBand, page.height() - y);
        for (const auto &p : pictures)
            p->addRows(y, count);
    }
    PageResult result;
    for (size_t i = 0; i < pictures.size(); ++i) {
        Memory &memory = m_memory[i];
        if (result.ok())
            result = pictures[i]->finish(std::move(memory.normalJpeg), std::move(memory.normalCoder),
                                         &parts[qsizetype(i)].paths);
        memory.large = pictures[i]->takeLargeMemory();
        memory.normalJpeg = pictures[i]->takeNormalJpegMemory();
        memory.largeCoder = pictures[i]->takeLargeCoder();
        memory.normalCoder = pictures[i]->takeNormalCoder();
        memory.normal = pictures[i]->takeNormalMemory();
        memory.phone = pictures[i]->takePhoneMemory();
    }
    return result;
}
