#include "foundation/TextTemplate.h"

TextTemplate::TextTemplate(const QString &templateText)
    : m_text(templateText)
{
}

void TextTemplate::setItem(const QString &key, const QString &value)
{
    m_items.insert(key, value);
}

QString TextTemplate::parse() const
{
    static const QString open = QStringLiteral("{{");
    static const QString close = QStringLiteral("}}");
    QString result;
    result.reserve(m_text.size());
    qsizetype pos = 0;
    while (true) {
        const qsizetype start = m_text.indexOf(open, pos);
        if (start < 0)
            break;
        const qsizetype end = m_text.indexOf(close, start + open.size());
        if (end < 0)
            break;
        const QString key = m_text.mid(start + open.size(), end - start - open.size());
        const auto it = m_items.constFind(key);
        if (it == m_items.cend()) {
            // Not a marker we fill: keep its "{{" and look again after it.
            result += QStringView(m_text).mid(pos, start + open.size() - pos);
            pos = start + open.size();
            continue;
        }
        result += QStringView(m_text).mid(pos, start - pos);
        result += *it;
        pos = end + close.size();
    }
    result += QStringView(m_text).mid(pos);
    return result;
}
