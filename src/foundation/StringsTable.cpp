#include "foundation/StringsTable.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

QString decodeText(const QByteArray &data)
{
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        // UTF-16 with its byte-order mark (which the decoder drops).
        if (const auto encoding = QStringConverter::encodingForData(data)) {
            QStringDecoder decoder(*encoding);
            return decoder.decode(data);
        }
    }
    QByteArray utf8 = data;
    if (utf8.startsWith("\xEF\xBB\xBF"))
        utf8.remove(0, 3);
    return QString::fromUtf8(utf8);
}

bool isBareKeyChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.')
        || c == QLatin1Char('-') || c == QLatin1Char('$');
}

class Parser
{
public:
    explicit Parser(const QString &text)
        : m_text(text)
    {
    }

    void run(StringsTable &table, QStringList *errors)
    {
        while (true) {
            skipSpaceAndComments();
            if (atEnd())
                return;
            const int entryLine = m_line;
            QString key, value;
            QString problem;
            if (!readToken(&key, &problem)) {
                fail(errors, entryLine, problem);
                continue;
            }
            skipSpaceAndComments();
            if (peek() != QLatin1Char('=')) {
                fail(errors, entryLine, QStringLiteral("expected '=' after key \"%1\"").arg(key));
                continue;
            }
            advance();
            skipSpaceAndComments();
            if (!readToken(&value, &problem)) {
                fail(errors, entryLine, problem);
                continue;
            }
            skipSpaceAndComments();
            if (peek() != QLatin1Char(';')) {
                fail(errors, entryLine, QStringLiteral("expected ';' after the value of \"%1\"").arg(key));
                continue;
            }
            advance();
            table.insert(key, value);
        }
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek(qsizetype ahead = 0) const
    {
        return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : QChar();
    }
    QChar advance()
    {
        const QChar c = m_text[m_pos++];
        if (c == QLatin1Char('\n'))
            ++m_line;
        return c;
    }

    void skipSpaceAndComments()
    {
        while (!atEnd()) {
            if (peek().isSpace()) {
                advance();
            } else if (peek() == QLatin1Char('/') && peek(1) == QLatin1Char('*')) {
                advance(), advance();
                while (!atEnd() && !(peek() == QLatin1Char('*') && peek(1) == QLatin1Char('/')))
                    advance();
                if (!atEnd())
                    advance(), advance();
            } else if (peek() == QLatin1Char('/') && peek(1) == QLatin1Char('/')) {
                while (!atEnd() && peek() != QLatin1Char('\n'))
                    advance();
            } else {
                return;
            }
        }
    }

    // Skips to just after the next ';' (or the end) to recover from a bad entry.
    void fail(QStringList *errors, int line, const QString &problem)
    {
        if (errors)
            errors->append(QStringLiteral("line %1: %2").arg(line).arg(problem));
        while (!atEnd()) {
            const QChar c = advance();
            if (c == QLatin1Char(';'))
                return;
            if (c == QLatin1Char('"')) { // do not stop at a ';' inside a quoted text
                while (!atEnd()) {
                    const QChar d = advance();
                    if (d == QLatin1Char('\\') && !atEnd())
                        advance();
                    else if (d == QLatin1Char('"'))
                        break;
                }
            }
        }
    }

    bool readHex(int digits, char32_t *out)
    {
        char32_t value = 0;
        for (int i = 0; i < digits; ++i) {
            const int d = hexDigit(peek());
            if (d < 0)
                return false;
            advance();
            value = value * 16 + char32_t(d);
        }
        *out = value;
        return true;
    }

    static int hexDigit(QChar c)
    {
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9')
            return u - '0';
        if (u >= 'a' && u <= 'f')
            return u - 'a' + 10;
        if (u >= 'A' && u <= 'F')
            return u - 'A' + 10;
        return -1;
    }

    bool readToken(QString *out, QString *problem)
    {
        out->clear();
        if (peek() != QLatin1Char('"')) {
            while (!atEnd() && isBareKeyChar(peek()))
                out->append(advance());
            if (out->isEmpty()) {
                *problem = atEnd() ? QStringLiteral("unexpected end of text")
                                   : QStringLiteral("unexpected character '%1'").arg(peek());
                return false;
            }
            return true;
        }
        const int startLine = m_line;
        advance();
        *out = QLatin1String(""); // an empty value is a value, not a missing one
        while (!atEnd()) {
            const QChar c = advance();
            if (c == QLatin1Char('"'))
                return true;
            if (c != QLatin1Char('\\')) {
                out->append(c);
                continue;
            }
            if (atEnd())
                break;
            const QChar e = advance();
            switch (e.unicode()) {
            case 'n': out->append(QLatin1Char('\n')); break;
            case 'r': out->append(QLatin1Char('\r')); break;
            case 't': out->append(QLatin1Char('\t')); break;
            case '0': out->append(QChar(0)); break;
            case 'u':
            case 'U': {
                char32_t code = 0;
                if (!readHex(4, &code)) {
                    *problem = QStringLiteral("bad \\u escape");
                    return false;
                }
                // A UTF-16 surrogate pair written as two escapes.
                if (QChar::isHighSurrogate(code) && peek() == QLatin1Char('\\')
                    && (peek(1) == QLatin1Char('u') || peek(1) == QLatin1Char('U'))) {
                    const qsizetype save = m_pos;
                    advance(), advance();
                    char32_t low = 0;
                    if (readHex(4, &low) && QChar::isLowSurrogate(low))
                        code = QChar::surrogateToUcs4(char16_t(code), char16_t(low));
                    else
                        m_pos = save;
                }
                out->append(QString::fromUcs4(&code, 1));
                break;
            }
            default: out->append(e); break; // \" \\ \' and any other character stand for themselves
            }
        }
        *problem = QStringLiteral("text opened on line %1 is not closed").arg(startLine);
        return false;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
};

} // namespace

StringsTable StringsTable::parse(const QByteArray &data, QStringList *errors)
{
    StringsTable table;
    const QString text = decodeText(data);
    Parser(text).run(table, errors);
    return table;
}

StringsTable StringsTable::fromFile(const QString &path, bool *ok, QStringList *errors)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (ok)
            *ok = false;
        return {};
    }
    if (ok)
        *ok = true;
    return parse(file.readAll(), errors);
}

QString StringsTable::quoted(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out.append(QLatin1Char('"'));
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out.append(QLatin1String("\\\"")); break;
        case '\\': out.append(QLatin1String("\\\\")); break;
        case '\n': out.append(QLatin1String("\\n")); break;
        case '\r': out.append(QLatin1String("\\r")); break;
        case '\t': out.append(QLatin1String("\\t")); break;
        default:
            if (c.unicode() < 0x20)
                out.append(QStringLiteral("\\U%1").arg(c.unicode(), 4, 16, QLatin1Char('0')));
            else
                out.append(c);
        }
    }
    out.append(QLatin1Char('"'));
    return out;
}

QByteArray StringsTable::serialize(const QString &headerComment) const
{
    QString text;
    if (!headerComment.isEmpty()) {
        QString comment = headerComment;
        comment.replace(QLatin1String("*/"), QLatin1String("* /"));
        text += QLatin1String("/* ") + comment + QLatin1String(" */\n\n");
    }
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
        text += quoted(it.key()) + QLatin1String(" = ") + quoted(it.value()) + QLatin1String(";\n");
    return text.toUtf8();
}

bool StringsTable::writeToFile(const QString &path, const QString &headerComment, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(serialize(headerComment)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
