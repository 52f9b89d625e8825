#include "foundation/PropertyList.h"

#include "foundation/InputLimits.h"
#include "foundation/PropertyListShape.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <cmath>
#include <cstring>
#include <limits>
#include <locale.h>
#include <memory>
#include <plist/plist.h>

namespace {

// Seconds between 1970-01-01 and 2001-01-01, the epoch of property-list dates.
constexpr qint64 kPlistEpochOffset = 978307200;

// libplist formats and parses reals with the C library, which follows the process
// locale; this switches the calling thread to the C locale for the duration.
class CLocaleScope
{
public:
    CLocaleScope()
    {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        m_previous = uselocale(c);
    }
    ~CLocaleScope() { uselocale(m_previous); }

private:
    locale_t m_previous;
};

struct PlistDeleter
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// The value of node; *zero is set when a text in it holds a zero character (libplist
// stops the program when such a text is read the usual way).
QVariant toVariant(plist_t node, bool *zero)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return bool(value);
    }
    case PLIST_UINT: {
        uint64_t raw = 0;
        plist_get_uint_val(node, &raw);
        const qint64 value = qint64(raw); // stored as a signed 64-bit integer
        if (value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max())
            return int(value);
        return value;
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char *text = plist_get_string_ptr(node, &length);
        if (text && std::memchr(text, 0, size_t(length))) {
            *zero = true;
            return {};
        }
        return QString::fromUtf8(text ? text : "", text ? qsizetype(length) : 0);
    }
    case PLIST_KEY: {
        char *text = nullptr;
        plist_get_key_val(node, &text);
        const QString result = QString::fromUtf8(text ? text : "");
        free(text);
        return result;
    }
    case PLIST_DATA: {
        char *bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        const QByteArray result(bytes, qsizetype(length));
        free(bytes);
        return result;
    }
    case PLIST_DATE: {
        // Whole seconds, as the XML form holds them: the fraction a binary list may
        // carry would not come back from a list written again.
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return QDateTime::fromSecsSinceEpoch(qint64(sec) + kPlistEpochOffset, Qt::UTC);
    }
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return qlonglong(value);
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t count = plist_array_get_size(node);
        list.reserve(count);
        for (uint32_t i = 0; i < count; ++i)
            list.append(toVariant(plist_array_get_item(node, i), zero));
        return list;
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        while (it) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            if (!key)
                break;
            map.insert(QString::fromUtf8(key), toVariant(value, zero));
            free(key);
        }
        free(it);
        return map;
    }
    default:
        return {};
    }
}

// The first character of text that XML 1.0 cannot carry, as "U+0001"; "" when there
// is none. libplist would write it as it stands, and no reader takes that back.
QString characterXmlCannotCarry(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (pair) {
            ++i;
            continue;
        }
        if ((c < 0x20 && c != 0x9 && c != 0xA && c != 0xD) || QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF)
            return QStringLiteral("U+") + QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    }
    return {};
}

plist_t fromVariant(const QVariant &value, QString *error, const QString &where)
{
    auto fail = [&](const QString &why) -> plist_t {
        if (error && error->isEmpty())
            *error = where.isEmpty() ? why : QStringLiteral("%1: %2").arg(where, why);
        return nullptr;
    };
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
    case QMetaType::Char:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar: {
        const qulonglong v = value.toULongLong();
        if (v > qulonglong(std::numeric_limits<qint64>::max()))
            return fail(QStringLiteral("the number %1 is too large").arg(v));
        return plist_new_uint(uint64_t(v));
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QString: {
        const QString text = value.toString();
        if (const QString character = characterXmlCannotCarry(text); !character.isEmpty())
            return fail(QStringLiteral("the text holds %1, which XML cannot carry").arg(character));
        return plist_new_string(text.toUtf8().constData());
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (!dt.isValid())
            return fail(QStringLiteral("invalid date"));
        const qint64 msecs = dt.toMSecsSinceEpoch() - kPlistEpochOffset * 1000;
        const qint64 sec = msecs >= 0 ? msecs / 1000 : -((-msecs + 999) / 1000);
        const qint64 usec = (msecs - sec * 1000) * 1000;
        if (sec < std::numeric_limits<int32_t>::min() || sec > std::numeric_limits<int32_t>::max())
            return fail(QStringLiteral("the date %1 is out of range").arg(dt.toString(Qt::ISODate)));
        return plist_new_date(int32_t(sec), int32_t(usec));
    }
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        plist_t array = plist_new_array();
        const QVariantList list = value.toList();
        for (qsizetype i = 0; i < list.size(); ++i) {
            plist_t item = fromVariant(list[i], error, QStringLiteral("%1[%2]").arg(where).arg(i));
            if (!item) {
                plist_free(array);
                return nullptr;
            }
            plist_array_append_item(array, item);
        }
        return array;
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.metaType().id() == QMetaType::QVariantMap
            ? value.toMap()
            : [&] {
                  QVariantMap m;
                  const QVariantHash h = value.toHash();
                  for (auto it = h.cbegin(); it != h.cend(); ++it)
                      m.insert(it.key(), it.value());
                  return m;
              }();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            const QString path = where.isEmpty() ? it.key() : where + QLatin1Char('.') + it.key();
            if (const QString character = characterXmlCannotCarry(it.key()); !character.isEmpty()) {
                plist_free(dict);
                return fail(QStringLiteral("the key holds %1, which XML cannot carry").arg(character));
            }
            plist_t item = fromVariant(it.value(), error, path);
            if (!item) {
                plist_free(dict);
                return nullptr;
            }
            plist_dict_set_item(dict, it.key().toUtf8().constData(), item);
        }
        return dict;
    }
    default:
        if (!value.isValid())
            return fail(QStringLiteral("no value"));
        return fail(QStringLiteral("a %1 cannot be stored").arg(QString::fromLatin1(value.typeName())));
    }
}

} // namespace

std::optional<QVariant> PropertyList::fromData(const QByteArray &data, QString *error)
{
    if (data.isEmpty()) {
        if (error)
            *error = QStringLiteral("not a property list");
        return std::nullopt;
    }
    if (!PropertyListShape::check(data, error))
        return std::nullopt;
    plist_t root = nullptr;
    {
        CLocaleScope cLocale;
        plist_from_memory(data.constData(), uint32_t(data.size()), &root);
    }
    if (!root) {
        if (error)
            *error = QStringLiteral("not a property list");
        return std::nullopt;
    }
    PlistPtr owner(root);
    bool zero = false;
    QVariant value = toVariant(root, &zero);
    if (zero) {
        if (error)
            *error = QStringLiteral("a text in the list holds a zero character");
        return std::nullopt;
    }
    return value;
}

std::optional<QVariant> PropertyList::readFile(const QString &path, QString *error)
{
    const std::optional<QByteArray> data = InputLimits::readFile(path, InputLimits::kMaxPropertyListBytes, error);
    return data ? fromData(*data, error) : std::nullopt;
}

std::optional<QByteArray> PropertyList::toXml(const QVariant &value, QString *error)
{
    if (error)
        error->clear();
    plist_t root = fromVariant(value, error, QString());
    if (!root)
        return std::nullopt;
    PlistPtr owner(root);
    char *xml = nullptr;
    uint32_t length = 0;
    {
        CLocaleScope cLocale;
        plist_to_xml(root, &xml, &length);
    }
    if (!xml) {
        if (error)
            *error = QStringLiteral("cannot write the property list");
        return std::nullopt;
    }
    const QByteArray result(xml, qsizetype(length));
    plist_to_xml_free(xml);
    return result;
}

bool PropertyList::writeFile(const QString &path, const QVariant &value, QString *error)
{
    const std::optional<QByteArray> xml = toXml(value, error);
    if (!xml)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*xml) != xml->size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
