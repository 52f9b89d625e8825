#include "SwfMovie.h"

#include <QPolygonF>
#include <QtMath>
#include <algorithm>
#include <initializer_list>

namespace {

constexpr int kTwips = 20; // twips a pixel

// Bits of an SWF record, most significant first.
class Bits
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
    void putSigned(qint32 value, int n) { put(quint32(value) & (n >= 32 ? 0xFFFFFFFFu : ((1u << n) - 1)), n); }
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

// Bits a signed field needs to hold every value.
int signedBits(std::initializer_list<qint32> values)
{
    int n = 2;
    for (const qint32 v : values) {
        int need = 1;
        for (quint32 a = quint32(v < 0 ? -qint64(v) : v); a; a >>= 1)
            ++need;
        n = std::max(n, need);
    }
    return n;
}

void putRect(Bits &bits, qint32 xMin, qint32 xMax, qint32 yMin, qint32 yMax)
{
    const int n = signedBits({xMin, xMax, yMin, yMax});
    bits.put(quint32(n), 5);
    for (const qint32 v : {xMin, xMax, yMin, yMax})
        bits.putSigned(v, n);
}

QByteArray tag(int code, const QByteArray &body)
{
    QByteArray out;
    const bool isLong = body.size() >= 63;
    const quint16 head = quint16(code << 6 | (isLong ? 63 : int(body.size())));
    out.append(char(head & 0xFF)).append(char(head >> 8));
    if (isLong)
        for (int i = 0; i < 4; ++i)
            out.append(char((body.size() >> (8 * i)) & 0xFF));
    return out + body;
}

void appendU16(QByteArray &bytes, int value)
{
    bytes.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
}

qint32 fixed16(qreal value)
{
    return qint32(qRound(value * 65536.0));
}

void putMatrix(Bits &bits, const QTransform &t)
{
    const bool scaled = !qFuzzyCompare(t.m11(), 1.0) || !qFuzzyCompare(t.m22(), 1.0);
    bits.put(scaled ? 1 : 0, 1);
    if (scaled) {
        const qint32 sx = fixed16(t.m11()), sy = fixed16(t.m22());
        const int n = signedBits({sx, sy});
        bits.put(quint32(n), 5);
        bits.putSigned(sx, n);
        bits.putSigned(sy, n);
    }
    const bool rotated = !qFuzzyIsNull(t.m12()) || !qFuzzyIsNull(t.m21());
    bits.put(rotated ? 1 : 0, 1);
    if (rotated) {
        const qint32 r0 = fixed16(t.m12()), r1 = fixed16(t.m21());
        const int n = signedBits({r0, r1});
        bits.put(quint32(n), 5);
        bits.putSigned(r0, n);
        bits.putSigned(r1, n);
    }
    const qint32 tx = qRound(t.dx() * kTwips), ty = qRound(t.dy() * kTwips);
    const int n = (tx == 0 && ty == 0) ? 0 : signedBits({tx, ty});
    bits.put(quint32(n), 5);
    if (n) {
        bits.putSigned(tx, n);
        bits.putSigned(ty, n);
    }
}

// A polygon in twips, closed, turning clockwise on screen (y down), so that the fill
// on the right of its edges is its inside.
QList<QPoint> clockwiseTwips(const QPolygonF &polygon)
{
    QList<QPoint> points;
    for (const QPointF &p : polygon) {
        const QPoint q(qRound(p.x() * kTwips), qRound(p.y() * kTwips));
        if (points.isEmpty() || points.last() != q)
            points << q;
    }
    if (points.size() > 1 && points.first() == points.last())
        points.removeLast();
    qint64 area = 0;
    for (int i = 0; i < points.size(); ++i) {
        const QPoint &a = points.at(i), &b = points.at((i + 1) % points.size());
        area += qint64(a.x()) * b.y() - qint64(b.x()) * a.y();
    }
    if (area < 0)
        std::reverse(points.begin(), points.end());
    return points;
}

} // namespace

SwfMovie::SwfMovie(const QSize &stage, int frameRate) : m_stage(stage), m_frameRate(std::clamp(frameRate, 1, 120)) {}

int SwfMovie::defineShape(const QPainterPath &path, const QColor &color)
{
    const int id = m_nextId++;
    const QRectF box = path.boundingRect();
    Bits bounds;
    putRect(bounds, qFloor(box.left() * kTwips), qCeil(box.right() * kTwips), qFloor(box.top() * kTwips),
            qCeil(box.bottom() * kTwips));

    Bits records;
    records.put(1, 4); // fill index bits
    records.put(0, 4); // line index bits
    for (const QPolygonF &polygon : path.toSubpathPolygons()) {
        const QList<QPoint> points = clockwiseTwips(polygon);
        if (points.size() < 3)
            continue;
        // Style change: move to the first point, fill style 1 on the right.
        records.put(0, 1);
        records.put(0b00101, 5);
        const QPoint start = points.first();
        const int n = signedBits({start.x(), start.y()});
        records.put(quint32(n), 5);
        records.putSigned(start.x(), n);
        records.putSigned(start.y(), n);
        records.put(1, 1);
        for (int i = 0; i < points.size(); ++i) {
            const QPoint d = points.at((i + 1) % points.size()) - points.at(i);
            const int bits = signedBits({d.x(), d.y()});
            records.put(1, 1); // edge
            records.put(1, 1); // straight
            records.put(quint32(bits - 2), 4);
            if (d.x() != 0 && d.y() != 0) {
                records.put(1, 1); // general line
                records.putSigned(d.x(), bits);
                records.putSigned(d.y(), bits);
            } else {
                records.put(0, 1);
                records.put(d.x() == 0 ? 1 : 0, 1); // vertical or horizontal
                records.putSigned(d.x() == 0 ? d.y() : d.x(), bits);
            }
        }
    }
    records.put(0, 6); // end of shape

    QByteArray body;
    appendU16(body, id);
    body += bounds.align();
    body.append(char(1)).append(char(0x00)); // one solid fill style
    body.append(char(color.red())).append(char(color.green())).append(char(color.blue())).append(char(color.alpha()));
    body.append(char(0)); // no line styles
    body += records.align();
    m_tags += tag(32, body); // DefineShape3: colours with alpha
    return id;
}

void SwfMovie::place(int character, int depth, const QTransform &transform, qreal opacity)
{
    const bool moving = m_placed.contains(depth);
    const bool faded = opacity < 1.0;
    QByteArray body;
    body.append(char(0x04 | (moving ? 0x01 : 0x02) | (faded ? 0x08 : 0x00)));
    appendU16(body, depth);
    if (!moving)
        appendU16(body, character);
    Bits bits;
    putMatrix(bits, transform);
    body += bits.align();
    if (faded) {
        Bits cx;
        cx.put(0, 1); // no add terms
        cx.put(1, 1); // multiply terms
        cx.put(10, 4);
        for (const int v : {256, 256, 256, int(qRound(std::clamp(opacity, 0.0, 1.0) * 256))})
            cx.putSigned(v, 10);
        body += cx.align();
    }
    m_tags += tag(26, body); // PlaceObject2
    if (!moving)
        m_placed << depth;
}

void SwfMovie::remove(int depth)
{
    if (!m_placed.removeOne(depth))
        return;
    QByteArray body;
    appendU16(body, depth);
    m_tags += tag(28, body); // RemoveObject2
}

void SwfMovie::showFrame()
{
    m_tags += tag(1, {});
    ++m_frames;
}

QByteArray SwfMovie::toBytes() const
{
    Bits header;
    putRect(header, 0, m_stage.width() * kTwips, 0, m_stage.height() * kTwips);
    QByteArray body = header.align();
    body.append(char(0)).append(char(m_frameRate)); // frame rate, 8.8
    appendU16(body, std::max(1, m_frames));
    body += m_tags;
    if (m_frames == 0)
        body += tag(1, {});
    body += tag(0, {});
    const quint32 length = quint32(8 + body.size());
    QByteArray swf("FWS\x0a", 4);
    for (int i = 0; i < 4; ++i)
        swf.append(char((length >> (8 * i)) & 0xFF));
    return swf + body;
}
