#include "foundation/PropertyListShape.h"

#include "foundation/InputLimits.h"

#include <QList>
#include <QXmlStreamReader>

namespace PropertyListShape {

namespace {

bool refuse(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// The binary form ("bplist00"): objects, an offset table, and a trailer of 32 bytes
// naming the sizes of offsets and references, the object count, the top object and
// where the table starts. Every number is big-endian.
class BinaryShape
{
public:
    explicit BinaryShape(const QByteArray &data) : m_data(data) {}

    bool check(QString *error)
    {
        const qint64 size = m_data.size();
        if (size < 8 + 32)
            return refuse(error, QStringLiteral("the list is cut short"));
        const qint64 trailer = size - 32;
        m_offsetSize = byteAt(trailer + 6);
        m_refSize = byteAt(trailer + 7);
        const quint64 count = number(trailer + 8, 8);
        const quint64 top = number(trailer + 16, 8);
        m_tableStart = qint64(qMin<quint64>(number(trailer + 24, 8), quint64(trailer)));
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 || count == 0 || top >= count)
            return refuse(error, QStringLiteral("the list's table is damaged"));
        if (count > quint64(InputLimits::kMaxPropertyListObjects))
            return refuse(error, QStringLiteral("the list holds more than %1 values").arg(InputLimits::kMaxPropertyListObjects));
        if (m_tableStart < 8 || quint64(trailer - m_tableStart) / quint64(m_offsetSize) < count)
            return refuse(error, QStringLiteral("the list's table is damaged"));
        m_count = qint64(count);
        return walk(qint64(top), error);
    }

private:
    struct Object
    {
        int type = 0;           // the high half of the marker byte
        qint64 payload = 0;     // bytes of text or data it carries
        QList<qint64> children; // the objects its references name
    };
    enum State : quint8 { Unseen, Open, Done };
    struct Frame
    {
        qint64 index;
        Object object;
        qsizetype next = 0; // the child to visit next
        qint64 values = 1, bytes = 0;
        int depth = 1;
    };

    int byteAt(qint64 at) const { return quint8(m_data.at(at)); }

    quint64 number(qint64 at, int width) const
    {
        quint64 value = 0;
        for (int i = 0; i < width; ++i)
            value = (value << 8) | quint64(byteAt(at + i));
        return value;
    }

    // Whether the text of length bytes from at holds a zero character of width bytes.
    bool holdsZero(qint64 at, qint64 length, int width) const
    {
        for (qint64 i = 0; i + width <= length; i += width) {
            bool zero = true;
            for (int b = 0; b < width; ++b)
                zero = zero && byteAt(at + i + b) == 0;
            if (zero)
                return true;
        }
        return false;
    }

    // Whether width bytes from at lie among the objects (before the offset table).
    bool fits(qint64 at, qint64 width) const { return at >= 8 && width >= 0 && at <= m_tableStart && width <= m_tableStart - at; }

    // Reads the object at index: its type, payload size and references.
    bool read(qint64 index, Object *object, QString *error) const
    {
        const qint64 at = qint64(number(m_tableStart + index * m_offsetSize, m_offsetSize));
        if (!fits(at, 1))
            return refuse(error, QStringLiteral("the list's table is damaged"));
        const int marker = byteAt(at);
        object->type = marker >> 4;
        qint64 length = marker & 0x0f;
        qint64 pos = at + 1;
        const bool counted = object->type == 0x4 || object->type == 0x5 || object->type == 0x6
            || object->type == 0xa || object->type == 0xc || object->type == 0xd;
        if (counted && length == 0x0f) {
            // The length follows as an integer object of 1, 2, 4 or 8 bytes.
            if (!fits(pos, 1) || (byteAt(pos) >> 4) != 0x1 || (byteAt(pos) & 0x0f) > 3)
                return refuse(error, QStringLiteral("a length in the list is damaged"));
            const int width = 1 << (byteAt(pos) & 0x0f);
            if (!fits(pos + 1, width))
                return refuse(error, QStringLiteral("a length in the list is damaged"));
            const quint64 value = number(pos + 1, width);
            if (value > quint64(m_tableStart))
                return refuse(error, QStringLiteral("a length in the list is damaged"));
            length = qint64(value);
            pos += 1 + width;
        }
        switch (object->type) {
        case 0x0: // null, booleans, fill
            return true;
        case 0x1: // integer
        case 0x2: // real
            return fits(pos, qint64(1) << qMin<qint64>(length, 4)) || refuse(error, QStringLiteral("the list is cut short"));
        case 0x3: // date
            return fits(pos, 8) || refuse(error, QStringLiteral("the list is cut short"));
        case 0x8: // uid
            return fits(pos, length + 1) || refuse(error, QStringLiteral("the list is cut short"));
        case 0x4: // data
        case 0x5: // ASCII text
        case 0x6: { // UTF-16 text
            object->payload = object->type == 0x6 ? length * 2 : length;
            if (!fits(pos, object->payload))
                return refuse(error, QStringLiteral("the list is cut short"));
            // libplist stops the program (an assertion) on text holding a zero.
            if (object->type != 0x4 && holdsZero(pos, object->payload, object->type == 0x6 ? 2 : 1))
                return refuse(error, QStringLiteral("a text in the list holds a zero character"));
            return true;
        }
        case 0xa: // array
        case 0xc: // set
        case 0xd: { // dictionary: the keys' references, then the values'
            const qint64 refs = object->type == 0xd ? length * 2 : length;
            if (!fits(pos, refs * m_refSize))
                return refuse(error, QStringLiteral("the list is cut short"));
            object->children.reserve(refs);
            for (qint64 i = 0; i < refs; ++i) {
                const quint64 ref = number(pos + i * m_refSize, m_refSize);
                if (ref >= quint64(m_count))
                    return refuse(error, QStringLiteral("a reference in the list is damaged"));
                object->children.append(qint64(ref));
            }
            return true;
        }
        default:
            return refuse(error, QStringLiteral("the list holds an unknown kind of value"));
        }
    }

    // Depth first with a stack of our own; what an object stands for (values, bytes,
    // depth below it) is worked out once and reused for every other reference to it.
    bool walk(qint64 top, QString *error)
    {
        QList<State> state(m_count, Unseen);
        QList<qint64> values(m_count, 0), bytes(m_count, 0);
        QList<int> depth(m_count, 0);
        QList<Frame> stack;
        // Containers nest kMaxNesting deep at most: with the value inside the deepest,
        // one level more.
        constexpr int kMaxLevels = InputLimits::kMaxNesting + 1;
        const auto open = [&](qint64 index) {
            if (stack.size() >= kMaxLevels)
                return refuse(error, QStringLiteral("the list is %1").arg(InputLimits::nestedTooDeep()));
            Frame frame{index, {}};
            if (!read(index, &frame.object, error))
                return false;
            frame.bytes = frame.object.payload;
            state[index] = Open;
            stack.append(std::move(frame));
            return true;
        };
        // Adds what a child stands for to the frame at level (from 1) of the stack.
        const auto add = [&](Frame &frame, qint64 childValues, qint64 childBytes, int childDepth, qsizetype level) {
            frame.values += childValues;
            frame.bytes += childBytes;
            frame.depth = qMax(frame.depth, childDepth + 1);
            if (level + childDepth > kMaxLevels)
                return refuse(error, QStringLiteral("the list is %1").arg(InputLimits::nestedTooDeep()));
            if (frame.values > InputLimits::kMaxPropertyListObjects)
                return refuse(error, QStringLiteral("the list stands for more than %1 values")
                                         .arg(InputLimits::kMaxPropertyListObjects));
            if (frame.bytes > kMaxExpandedBytes)
                return refuse(error, QStringLiteral("the list stands for %1").arg(InputLimits::tooLarge(kMaxExpandedBytes)));
            return true;
        };
        if (!open(top))
            return false;
        if (stack.last().bytes > kMaxExpandedBytes)
            return refuse(error, QStringLiteral("the list stands for %1").arg(InputLimits::tooLarge(kMaxExpandedBytes)));
        while (!stack.isEmpty()) {
            Frame &frame = stack.last();
            if (frame.next < frame.object.children.size()) {
                const qint64 child = frame.object.children.at(frame.next++);
                if (state[child] == Open)
                    return refuse(error, QStringLiteral("the list refers to itself"));
                if (state[child] == Unseen) {
                    if (!open(child))
                        return false;
                } else if (!add(frame, values[child], bytes[child], depth[child], stack.size())) {
                    return false;
                }
                continue;
            }
            const Frame done = stack.takeLast();
            state[done.index] = Done;
            values[done.index] = done.values;
            bytes[done.index] = done.bytes;
            depth[done.index] = done.depth;
            if (!stack.isEmpty() && !add(stack.last(), done.values, done.bytes, done.depth, stack.size()))
                return false;
        }
        return true;
    }

    const QByteArray &m_data;
    int m_offsetSize = 0;
    int m_refSize = 0;
    qint64 m_count = 0;
    qint64 m_tableStart = 0;
};

bool checkXml(const QByteArray &data, QString *error)
{
    // libplist reads the bytes as they are (it would stop the program on a text that
    // holds a zero); no XML may hold a zero byte anyway.
    if (data.contains('\0'))
        return refuse(error, QStringLiteral("a text in the list holds a zero character"));
    QXmlStreamReader reader(data);
    int depth = 0;
    qint64 elements = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EntityReference)
            return refuse(error, QStringLiteral("the list uses entities of its own"));
        if (token == QXmlStreamReader::StartElement) {
            // The <plist> element around the values, the containers, the value in the deepest.
            if (++depth > InputLimits::kMaxNesting + 2)
                return refuse(error, QStringLiteral("the list is %1").arg(InputLimits::nestedTooDeep()));
            if (++elements > InputLimits::kMaxPropertyListObjects * 2) // a key and a value per entry
                return refuse(error, QStringLiteral("the list holds more than %1 values").arg(InputLimits::kMaxPropertyListObjects));
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    if (reader.hasError())
        return refuse(error, QStringLiteral("the list is no well-formed XML: %1 (line %2)")
                                 .arg(reader.errorString())
                                 .arg(reader.lineNumber()));
    return true;
}

} // namespace

bool check(const QByteArray &data, QString *error)
{
    if (data.size() > InputLimits::kMaxPropertyListBytes)
        return refuse(error, QStringLiteral("the list is %1").arg(InputLimits::tooLarge(InputLimits::kMaxPropertyListBytes)));
    if (data.startsWith("bplist"))
        return BinaryShape(data).check(error);
    return checkXml(data, error);
}

} // namespace PropertyListShape
