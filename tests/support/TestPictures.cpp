#include "TestPictures.h"

#include "pages/FlashPageSource.h"

#include <QImage>
#include <QImageReader>
#include <QtTest>

namespace TestPictures {

bool writePicture(const QString &path, const QSize &size, const QColor &color, std::source_location caller)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const bool saved = image.save(path);
    if (!saved)
        QTest::qFail(qPrintable(QStringLiteral("cannot save the picture %1").arg(path)), caller.file_name(),
                     int(caller.line()));
    return saved;
}

QSize pictureSize(const QString &path)
{
    return QImageReader(path).size();
}

QByteArray pictureFormat(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.format();
}

QStringList missingPagePictures(const FlashPageSource &source)
{
    QStringList missing;
    for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds) {
        const QList<FlashPagePtr> &list = source.pageList(kind);
        for (int i = 0; i < source.pageCount(); ++i) {
            const QString path = list.value(i) ? list.value(i)->pageFilePath() : QString();
            if (!pictureSize(path).isValid())
                missing << QStringLiteral("%1 %2: %3").arg(FlashPageSource::folderName(kind)).arg(i + 1).arg(path);
        }
    }
    return missing;
}

} // namespace TestPictures

namespace {

// Bits of an SWF record, most significant first.
class SwfBits
{
public:
    void put(quint32 value, int n)
    {
        for (int i = n - 1; i >= 0; --i) {
            m_acc = quint8((m_acc << 1) | ((value >> i) & 1));
            if (++m_count == 8) {
                m_bytes.append(char(m_acc));
                m_acc = 0;
                m_count = 0;
            }
        }
    }
    void putSigned(qint32 value, int n) { put(quint32(value) & ((1u << n) - 1), n); }
    QByteArray align()
    {
        if (m_count)
            put(0, 8 - m_count);
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint8 m_acc = 0;
    int m_count = 0;
};

int signedBits(std::initializer_list<qint32> values)
{
    int n = 2;
    for (const qint32 v : values) {
        int need = 1;
        for (quint32 a = quint32(qAbs(v)); a; a >>= 1)
            ++need;
        n = qMax(n, need);
    }
    return n;
}

void putRect(SwfBits &bits, qint32 w, qint32 h)
{
    const int n = signedBits({w, h});
    bits.put(quint32(n), 5);
    for (const qint32 v : {0, w, 0, h})
        bits.putSigned(v, n);
}

QByteArray swfTag(int code, const QByteArray &body)
{
    QByteArray tag;
    const quint16 head = quint16(code << 6 | qMin<int>(int(body.size()), 63));
    tag.append(char(head & 0xFF)).append(char(head >> 8));
    if (body.size() >= 63)
        for (int i = 0; i < 4; ++i)
            tag.append(char((body.size() >> (8 * i)) & 0xFF));
    return tag + body;
}

} // namespace

QByteArray TestPictures::rectangleSwf(const QColor &color, int width, int height)
{
    const qint32 w = width * 20, h = height * 20; // twips
    SwfBits header;
    putRect(header, w, h);
    SwfBits bounds;
    putRect(bounds, w, h);
    SwfBits records;
    records.put(1, 4); // fill index bits
    records.put(0, 4); // line index bits
    records.put(0b000101, 6); // style change: fill style 1, move to
    records.put(2, 5);
    records.putSigned(0, 2);
    records.putSigned(0, 2);
    records.put(1, 1);
    const qint32 edges[4][2] = {{w, 0}, {0, h}, {-w, 0}, {0, -h}};
    for (const auto &e : edges) {
        const int n = signedBits({e[0], e[1]});
        records.put(1, 1); // edge
        records.put(1, 1); // straight
        records.put(quint32(n - 2), 4);
        records.put(1, 1); // general line
        records.putSigned(e[0], n);
        records.putSigned(e[1], n);
    }
    records.put(0, 6); // end of shape
    QByteArray shape("\x01\x00", 2);
    shape += bounds.align();
    shape += QByteArray("\x01\x00", 2); // one solid fill style
    shape.append(char(color.red())).append(char(color.green())).append(char(color.blue()));
    shape.append(char(0)); // no line styles
    shape += records.align();
    QByteArray body = header.align();
    body += QByteArray("\x00\x18\x01\x00", 4); // 24 frames a second, one frame
    body += swfTag(2, shape);
    body += swfTag(26, QByteArray("\x02\x01\x00\x01\x00", 5)); // place shape 1 at depth 1
    body += swfTag(1, {}) + swfTag(0, {});
    const quint32 length = quint32(8 + body.size());
    QByteArray swf("FWS\x0a", 4);
    for (int i = 0; i < 4; ++i)
        swf.append(char((length >> (8 * i)) & 0xFF));
    return swf + body;
}
