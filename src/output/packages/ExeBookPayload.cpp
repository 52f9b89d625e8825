#include "output/packages/ExeBookPayload.h"

#include "foundation/Crypto.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>
#include <zlib.h>

namespace {

const QByteArray kFooterMagic("QVBOOKX1");
const QByteArray kIndexMagic("QVIX");
constexpr quint32 kVersion = 1;
constexpr qint64 kChunk = 1 << 20;
constexpr qint64 kMaxIndexSize = 64 * 1024 * 1024;

template <typename T>
void put(QByteArray &out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

void putText(QByteArray &out, const QString &text)
{
    const QByteArray utf8 = text.toUtf8().left(0xFFFF);
    put<quint16>(out, quint16(utf8.size()));
    out.append(utf8);
}

quint32 crcOf(quint32 crc, const QByteArray &bytes)
{
    return quint32(crc32(crc, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
}

// Reads the index fields one after the other, refusing to step past the end.
class IndexReader
{
public:
    explicit IndexReader(const QByteArray &data) : m_data(data) {}

    template <typename T>
    bool get(T &value)
    {
        if (m_pos + qsizetype(sizeof(T)) > m_data.size())
            return false;
        value = qFromLittleEndian<T>(m_data.constData() + m_pos);
        m_pos += sizeof(T);
        return true;
    }

    bool text(QString &value)
    {
        quint16 length = 0;
        if (!get(length) || m_pos + length > m_data.size())
            return false;
        value = QString::fromUtf8(m_data.constData() + m_pos, length);
        m_pos += length;
        return true;
    }

    bool atEnd() const { return m_pos == m_data.size(); }

private:
    const QByteArray &m_data;
    qsizetype m_pos = 4; // after the magic
};

bool isDeviceName(const QString &part)
{
    const QString stem = part.section(QLatin1Char('.'), 0, 0).toUpper();
    static const QSet<QString> fixed{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                     QStringLiteral("NUL"), QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    if (fixed.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))) &&
           stem.at(3) >= QLatin1Char('1') && stem.at(3) <= QLatin1Char('9');
}

QString bookIdFor(const ExeBookPayload::Info &info, const QList<ExeBookPayload::Entry> &entries)
{
    QByteArray digestInput;
    putText(digestInput, info.title);
    putText(digestInput, info.windowSize);
    putText(digestInput, info.mainPage);
    for (const auto &e : entries) {
        putText(digestInput, e.name);
        put<quint64>(digestInput, quint64(e.size));
        put<quint32>(digestInput, e.crc);
    }
    QString readable;
    for (const QChar c : info.title) {
        if (readable.size() >= 32)
            break;
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('_'))
            readable.append(c);
        else if (!readable.isEmpty() && !readable.endsWith(QLatin1Char('_')))
            readable.append(QLatin1Char('_'));
    }
    while (readable.endsWith(QLatin1Char('_')))
        readable.chop(1);
    if (readable.isEmpty())
        readable = QStringLiteral("Book");
    return readable + QLatin1Char('-') + QString::fromLatin1(Crypto::sha256(digestInput).left(8).toHex());
}

} // namespace

bool ExeBookPayload::isWindowsName(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxNameLength)
        return false;
    for (const QString &part : name.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part.size() > 255 || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
        if (part.endsWith(QLatin1Char('.')) || part.endsWith(QLatin1Char(' ')))
            return false;
        for (const QChar c : part)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("<>:\"\\|?*").contains(c))
                return false;
        if (isDeviceName(part))
            return false;
    }
    return true;
}

bool ExeBookPayload::addFile(const QString &name, const QString &path)
{
    if (!isWindowsName(name))
        return false;
    // Windows folds case: "Page.jpg" and "page.jpg" would land on one file, and a file
    // "a" cannot sit beside a folder "A".
    const QString folded = name.toCaseFolded();
    QStringList folders;
    for (qsizetype slash = folded.indexOf(QLatin1Char('/')); slash >= 0;
         slash = folded.indexOf(QLatin1Char('/'), slash + 1))
        folders << folded.left(slash);
    for (const QString &known : std::as_const(m_foldedNames)) {
        if (known == folded || known.startsWith(folded + QLatin1Char('/')) || folders.contains(known))
            return false;
    }
    m_foldedNames << folded;
    m_files.append({name, path});
    return true;
}

bool ExeBookPayload::write(QIODevice &out, qint64 payloadStart, Info info, const std::atomic_bool *stop,
                           const std::function<void(qint64, qint64)> &progress)
{
    const auto fail = [this](const QString &message) {
        m_error = message;
        return false;
    };
    qint64 total = 0;
    for (const Source &s : std::as_const(m_files))
        total += QFileInfo(s.path).size();

    QList<Entry> entries;
    qint64 written = 0;
    for (const Source &s : std::as_const(m_files)) {
        QFile file(s.path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1").arg(s.path));
        Entry entry;
        entry.name = s.name;
        entry.offset = written;
        quint32 crc = quint32(crc32(0, nullptr, 0));
        while (true) {
            if (stop && stop->load())
                return fail(QStringLiteral("stopped"));
            const QByteArray chunk = file.read(kChunk);
            if (chunk.isEmpty())
                break;
            if (out.write(chunk) != chunk.size())
                return fail(QStringLiteral("cannot write the program: %1").arg(out.errorString()));
            crc = crcOf(crc, chunk);
            entry.size += chunk.size();
            written += chunk.size();
            if (progress)
                progress(written, qMax(total, written));
        }
        if (file.error() != QFileDevice::NoError)
            return fail(QStringLiteral("cannot read %1").arg(s.path));
        entry.crc = crc;
        entries << entry;
    }

    if (info.bookId.isEmpty())
        info.bookId = bookIdFor(info, entries);
    QByteArray index = kIndexMagic;
    put<quint32>(index, kVersion);
    put<quint32>(index, quint32(entries.size()));
    putText(index, info.title);
    putText(index, info.windowSize);
    putText(index, info.mainPage);
    putText(index, info.bookId);
    for (const Entry &e : std::as_const(entries)) {
        putText(index, e.name);
        put<quint64>(index, quint64(e.offset));
        put<quint64>(index, quint64(e.size));
        put<quint32>(index, e.crc);
    }
    QByteArray footer = kFooterMagic;
    put<quint64>(footer, quint64(payloadStart));
    put<quint64>(footer, quint64(payloadStart + written));
    put<quint32>(footer, quint32(index.size()));
    put<quint32>(footer, crcOf(quint32(crc32(0, nullptr, 0)), index));
    if (out.write(index) != index.size() || out.write(footer) != footer.size())
        return fail(QStringLiteral("cannot write the program: %1").arg(out.errorString()));
    return true;
}

std::optional<ExeBookPayload::Contents> ExeBookPayload::read(const QString &exePath, QString *error)
{
    const auto fail = [&](const QString &message) -> std::optional<Contents> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    QFile file(exePath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(exePath));
    const qint64 size = file.size();
    if (size < kFooterSize || !file.seek(size - kFooterSize))
        return fail(QStringLiteral("no book in %1").arg(exePath));
    const QByteArray footer = file.read(kFooterSize);
    if (footer.size() != kFooterSize || !footer.startsWith(kFooterMagic))
        return fail(QStringLiteral("no book in %1").arg(exePath));
    const qint64 dataStart = qint64(qFromLittleEndian<quint64>(footer.constData() + 8));
    const qint64 indexAt = qint64(qFromLittleEndian<quint64>(footer.constData() + 16));
    const quint32 indexSize = qFromLittleEndian<quint32>(footer.constData() + 24);
    const quint32 indexCrc = qFromLittleEndian<quint32>(footer.constData() + 28);
    if (dataStart < 0 || indexAt < dataStart || indexAt > size || indexSize > kMaxIndexSize ||
        indexAt + qint64(indexSize) + kFooterSize != size)
        return fail(QStringLiteral("the book index of %1 is damaged").arg(exePath));
    if (!file.seek(indexAt))
        return fail(QStringLiteral("cannot read %1").arg(exePath));
    const QByteArray index = file.read(indexSize);
    if (index.size() != qsizetype(indexSize) || !index.startsWith(kIndexMagic) ||
        crcOf(quint32(crc32(0, nullptr, 0)), index) != indexCrc)
        return fail(QStringLiteral("the book index of %1 is damaged").arg(exePath));

    Contents contents;
    contents.dataStart = dataStart;
    IndexReader reader(index);
    quint32 version = 0, count = 0;
    if (!reader.get(version) || version != kVersion || !reader.get(count) || !reader.text(contents.info.title) ||
        !reader.text(contents.info.windowSize) || !reader.text(contents.info.mainPage) ||
        !reader.text(contents.info.bookId))
        return fail(QStringLiteral("the book index of %1 is damaged").arg(exePath));
    const qint64 dataSize = indexAt - dataStart;
    for (quint32 i = 0; i < count; ++i) {
        Entry e;
        quint64 offset = 0, length = 0;
        if (!reader.text(e.name) || !reader.get(offset) || !reader.get(length) || !reader.get(e.crc))
            return fail(QStringLiteral("the book index of %1 is damaged").arg(exePath));
        if (offset > quint64(dataSize) || length > quint64(dataSize) - offset || !isWindowsName(e.name))
            return fail(QStringLiteral("the book index of %1 is damaged").arg(exePath));
        e.offset = qint64(offset);
        e.size = qint64(length);
        contents.entries << e;
    }
    if (!reader.atEnd())
        return fail(QStringLiteral("the book index of %1 is damaged").arg(exePath));
    return contents;
}

std::optional<QByteArray> ExeBookPayload::readEntry(const QString &exePath, const Contents &contents,
                                                    const Entry &entry)
{
    QFile file(exePath);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(contents.dataStart + entry.offset))
        return std::nullopt;
    const QByteArray bytes = file.read(entry.size);
    if (bytes.size() != entry.size || crcOf(quint32(crc32(0, nullptr, 0)), bytes) != entry.crc)
        return std::nullopt;
    return bytes;
}
