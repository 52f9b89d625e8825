#include "foundation/SourceStringScanner.h"

#include "foundation/LanguageTables.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <optional>

namespace {

const QString kFunction = QStringLiteral("loadAppString");

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

class Scanner
{
public:
    Scanner(const QString &text, const QString &file)
        : m_s(text), m_file(file)
    {
    }

    QList<SourceString> run()
    {
        while (m_pos < m_s.size()) {
            if (skipCommentOrLiteral())
                continue;
            const QChar c = m_s[m_pos];
            if (isIdentStart(c) && (m_pos == 0 || !isIdentChar(m_s[m_pos - 1]))) {
                const qsizetype start = m_pos;
                while (m_pos < m_s.size() && isIdentChar(m_s[m_pos]))
                    ++m_pos;
                if (QStringView(m_s).mid(start, m_pos - start) == kFunction)
                    readCall(start);
                continue;
            }
            ++m_pos;
        }
        return m_found;
    }

private:
    // Skips a comment or a literal at m_pos; returns whether it did.
    bool skipCommentOrLiteral()
    {
        if (m_s.mid(m_pos, 2) == QLatin1String("//")) {
            const qsizetype end = m_s.indexOf(QLatin1Char('\n'), m_pos);
            m_pos = end < 0 ? m_s.size() : end;
            return true;
        }
        if (m_s.mid(m_pos, 2) == QLatin1String("/*")) {
            const qsizetype end = m_s.indexOf(QLatin1String("*/"), m_pos + 2);
            m_pos = end < 0 ? m_s.size() : end + 2;
            return true;
        }
        QString ignored;
        if (readStringLiteral(&ignored))
            return true;
        if (m_s[m_pos] == QLatin1Char('\'') && (m_pos == 0 || !isIdentChar(m_s[m_pos - 1]))) {
            ++m_pos;
            while (m_pos < m_s.size() && m_s[m_pos] != QLatin1Char('\'') && m_s[m_pos] != QLatin1Char('\n'))
                m_pos += m_s[m_pos] == QLatin1Char('\\') ? 2 : 1;
            ++m_pos;
            return true;
        }
        return false;
    }

    // Reads a string literal (with an optional u8/u/U/L prefix, or raw) at m_pos.
    bool readStringLiteral(QString *out)
    {
        qsizetype p = m_pos;
        if (p > 0 && isIdentChar(m_s[p - 1]))
            return false;
        for (const char *prefix : {"u8", "u", "U", "L"}) {
            const QLatin1String pre(prefix);
            if (QStringView(m_s).mid(p).startsWith(pre)
                && p + pre.size() < m_s.size()
                && (m_s[p + pre.size()] == QLatin1Char('"') || m_s[p + pre.size()] == QLatin1Char('R'))) {
                p += pre.size();
                break;
            }
        }
        if (p + 1 < m_s.size() && m_s[p] == QLatin1Char('R') && m_s[p + 1] == QLatin1Char('"')) {
            const qsizetype open = m_s.indexOf(QLatin1Char('('), p + 2);
            if (open < 0)
                return false;
            const QString delimiter = QLatin1Char(')') + m_s.mid(p + 2, open - p - 2) + QLatin1Char('"');
            const qsizetype close = m_s.indexOf(delimiter, open + 1);
            if (close < 0)
                return false;
            *out = m_s.mid(open + 1, close - open - 1);
            m_pos = close + delimiter.size();
            return true;
        }
        if (p >= m_s.size() || m_s[p] != QLatin1Char('"'))
            return false;
        ++p;
        out->clear();
        while (p < m_s.size() && m_s[p] != QLatin1Char('"')) {
            const QChar c = m_s[p++];
            if (c == QLatin1Char('\n'))
                break; // unterminated; stop at the line end
            if (c != QLatin1Char('\\') || p >= m_s.size()) {
                out->append(c);
                continue;
            }
            p = readEscape(p, out);
        }
        m_pos = p + 1;
        return true;
    }

    qsizetype readEscape(qsizetype p, QString *out) const
    {
        const QChar e = m_s[p++];
        auto hexValue = [&](int maxDigits) {
            char32_t v = 0;
            int n = 0;
            bool ok = true;
            while (n < maxDigits && p < m_s.size()) {
                const uint digit = QStringView(m_s).mid(p, 1).toUInt(&ok, 16);
                if (!ok)
                    break;
                v = v * 16 + digit;
                ++p, ++n;
            }
            return v;
        };
        switch (e.unicode()) {
        case 'n': out->append(QLatin1Char('\n')); break;
        case 't': out->append(QLatin1Char('\t')); break;
        case 'r': out->append(QLatin1Char('\r')); break;
        case 'a': out->append(QChar(7)); break;
        case 'b': out->append(QChar(8)); break;
        case 'f': out->append(QChar(12)); break;
        case 'v': out->append(QChar(11)); break;
        case 'x': out->append(QChar(char16_t(hexValue(2)))); break;
        case 'u': {
            const char32_t c = hexValue(4);
            out->append(QString::fromUcs4(&c, 1));
            break;
        }
        case 'U': {
            const char32_t c = hexValue(8);
            out->append(QString::fromUcs4(&c, 1));
            break;
        }
        default:
            if (e >= QLatin1Char('0') && e <= QLatin1Char('7')) {
                int v = e.unicode() - '0';
                for (int n = 1; n < 3 && p < m_s.size() && m_s[p] >= QLatin1Char('0') && m_s[p] <= QLatin1Char('7'); ++n)
                    v = v * 8 + (m_s[p++].unicode() - '0');
                out->append(QChar(char16_t(v)));
            } else {
                out->append(e); // \" \' \\ \?
            }
        }
        return p;
    }

    void skipSpaceAndComments()
    {
        while (m_pos < m_s.size()) {
            if (m_s[m_pos].isSpace()) {
                ++m_pos;
            } else if (m_s.mid(m_pos, 2) == QLatin1String("//") || m_s.mid(m_pos, 2) == QLatin1String("/*")) {
                skipCommentOrLiteral();
            } else {
                return;
            }
        }
    }

    // One argument up to a top-level ',' or ')'. Its value when it is made only of
    // string literals and wrapper names; nullopt otherwise. Leaves m_pos on the
    // ',' or ')' (or the end).
    std::optional<QString> readArgument()
    {
        static const QStringList wrappers{
            QStringLiteral("QStringLiteral"), QStringLiteral("QLatin1String"),
            QStringLiteral("QLatin1StringView"), QStringLiteral("QString"),
            QStringLiteral("QStringView"), QStringLiteral("fromUtf8"), QStringLiteral("fromLatin1"),
            QStringLiteral("QByteArrayLiteral")};
        QString value;
        bool literal = true;
        bool sawString = false;
        int depth = 0;
        while (true) {
            skipSpaceAndComments();
            if (m_pos >= m_s.size())
                return std::nullopt;
            const QChar c = m_s[m_pos];
            if (depth == 0 && (c == QLatin1Char(',') || c == QLatin1Char(')')))
                break;
            QString piece;
            if (readStringLiteral(&piece)) {
                value += piece;
                sawString = true;
                continue;
            }
            if (c == QLatin1Char('(') || c == QLatin1Char('[') || c == QLatin1Char('{')) {
                ++depth;
            } else if (c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('}')) {
                --depth;
            } else if (isIdentStart(c)) {
                const qsizetype start = m_pos;
                while (m_pos < m_s.size() && isIdentChar(m_s[m_pos]))
                    ++m_pos;
                if (!wrappers.contains(m_s.mid(start, m_pos - start)))
                    literal = false;
                continue;
            } else if (c == QLatin1Char('\'')) {
                literal = false;
                skipCommentOrLiteral();
                continue;
            } else if (!(c == QLatin1Char(':'))) {
                literal = false;
            }
            ++m_pos;
        }
        if (literal && sawString)
            return value;
        return std::nullopt;
    }

    void readCall(qsizetype start)
    {
        skipSpaceAndComments();
        if (m_pos >= m_s.size() || m_s[m_pos] != QLatin1Char('('))
            return;
        ++m_pos;
        const std::optional<QString> key = readArgument();
        std::optional<QString> text;
        bool hasSecond = false;
        if (m_pos < m_s.size() && m_s[m_pos] == QLatin1Char(',')) {
            ++m_pos;
            hasSecond = true;
            text = readArgument();
        }
        if (!key || key->isEmpty() || LanguageTables::isInfoPlistKey(*key))
            return;
        if (hasSecond && !text)
            return; // a computed English text: nothing to put in the table
        const int line = int(QStringView(m_s).left(start).count(QLatin1Char('\n'))) + 1;
        m_found.append(SourceString{*key, text ? *text : *key, m_file, line});
    }

    const QString &m_s;
    QString m_file;
    qsizetype m_pos = 0;
    QList<SourceString> m_found;
};

} // namespace

QList<SourceString> SourceStringScanner::scanText(const QString &source, const QString &fileName)
{
    return Scanner(source, fileName).run();
}

QList<SourceString> SourceStringScanner::scanFolder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort(); // a stable order, so the first text of a conflicting key is stable too
    const QDir base(folder);
    QList<SourceString> result;
    for (const QString &path : std::as_const(files)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        result += scanText(QString::fromUtf8(file.readAll()), base.relativeFilePath(path));
    }
    return result;
}

StringsTable SourceStringScanner::tableFromCalls(const QList<SourceString> &calls, QStringList *conflicts)
{
    StringsTable table;
    QHash<QString, const SourceString *> first;
    for (const SourceString &call : calls) {
        const auto it = first.constFind(call.key);
        if (it == first.cend()) {
            first.insert(call.key, &call);
            table.insert(call.key, call.text);
        } else if ((*it)->text != call.text && conflicts) {
            conflicts->append(QStringLiteral("%1: %2:%3 \"%4\" / %5:%6 \"%7\"")
                                  .arg(call.key, (*it)->file)
                                  .arg((*it)->line)
                                  .arg((*it)->text, call.file)
                                  .arg(call.line)
                                  .arg(call.text));
        }
    }
    return table;
}
