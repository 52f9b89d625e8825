#include "foundation/AuxArgumentString.h"

namespace {
const QString kBar = QStringLiteral(":7C:");
const QString kEquals = QStringLiteral(":3D:");
} // namespace

AuxArgumentString::AuxArgumentString(std::initializer_list<Item> items)
    : m_items(items)
{
}

AuxArgumentString AuxArgumentString::parse(const QString &text)
{
    AuxArgumentString result;
    for (const QString &item : text.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        if (eq < 0)
            result.append(unescape(item), QString());
        else
            result.append(unescape(item.left(eq)), unescape(item.mid(eq + 1)));
    }
    return result;
}

void AuxArgumentString::append(const QString &key, const QString &value)
{
    m_items.append({key, value});
}

void AuxArgumentString::set(const QString &key, const QString &value)
{
    for (Item &item : m_items) {
        if (item.first == key) {
            item.second = value;
            return;
        }
    }
    append(key, value);
}

bool AuxArgumentString::contains(const QString &key) const
{
    for (const Item &item : m_items) {
        if (item.first == key)
            return true;
    }
    return false;
}

QString AuxArgumentString::value(const QString &key, const QString &defaultValue) const
{
    for (const Item &item : m_items) {
        if (item.first == key)
            return item.second;
    }
    return defaultValue;
}

QString AuxArgumentString::toString() const
{
    QStringList parts;
    parts.reserve(m_items.size());
    for (const Item &item : m_items)
        parts << escape(item.first) + QLatin1Char('=') + escape(item.second);
    return parts.join(QLatin1Char('|'));
}

QString AuxArgumentString::escape(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char('|'), kBar);
    result.replace(QLatin1Char('='), kEquals);
    return result;
}

QString AuxArgumentString::unescape(const QString &text)
{
    QString result = text;
    result.replace(kBar, QStringLiteral("|"));
    result.replace(kEquals, QStringLiteral("="));
    return result;
}
