#include "output/web/BookDataScript.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

// Index just past the JSON object or array starting at start, or -1 when it does not
// close. Brackets inside strings are not counted.
qsizetype endOfJsonValue(const QString &text, qsizetype start)
{
    int depth = 0;
    bool inString = false;
    for (qsizetype i = start; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inString) {
            if (c == QLatin1Char('\\'))
                ++i;
            else if (c == QLatin1Char('"'))
                inString = false;
            continue;
        }
        if (c == QLatin1Char('"'))
            inString = true;
        else if (c == QLatin1Char('{') || c == QLatin1Char('['))
            ++depth;
        else if (c == QLatin1Char('}') || c == QLatin1Char(']')) {
            if (--depth == 0)
                return i + 1;
        }
    }
    return -1;
}

QString compactJson(const QJsonValue &value)
{
    if (value.isArray())
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    if (value.isObject())
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    // A lone value: wrap it in an array and take it out again.
    const QString wrapped = QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact));
    return wrapped.mid(1, wrapped.size() - 2);
}

} // namespace

std::optional<BookDataScript> BookDataScript::parse(const QString &text, const QString &name)
{
    static const QRegularExpression head(QStringLiteral("^\\x{FEFF}?\\s*var\\s+([A-Za-z_$][A-Za-z0-9_$]*)\\s*=\\s*"));
    const auto match = head.match(text);
    if (!match.hasMatch() || match.captured(1) != name)
        return std::nullopt;
    const qsizetype start = match.capturedEnd();
    if (start >= text.size() || (text.at(start) != QLatin1Char('{') && text.at(start) != QLatin1Char('[')))
        return std::nullopt;
    const qsizetype end = endOfJsonValue(text, start);
    if (end < 0)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.mid(start, end - start).toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        return std::nullopt;
    BookDataScript script;
    script.m_name = name;
    script.m_value = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    script.m_rest = text.mid(end);
    return script;
}

std::optional<BookDataScript> BookDataScript::read(const QString &path, const QString &name, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    auto script = parse(QString::fromUtf8(file.readAll()), name);
    if (!script && error)
        *error = QStringLiteral("%1 does not hold \"var %2 = ...\"").arg(path, name);
    return script;
}

QString BookDataScript::toText() const
{
    return QStringLiteral("var ") + m_name + QStringLiteral(" = ") + compactJson(m_value)
        + (m_rest.isEmpty() ? QStringLiteral(";\n") : m_rest);
}

QString BookDataScript::statement(const QString &name, const QJsonValue &value)
{
    return QStringLiteral("var ") + name + QStringLiteral(" = ") + compactJson(value) + QStringLiteral(";\n");
}

bool BookDataScript::write(const QString &path, QString *error) const
{
    QSaveFile file(path);
    const QByteArray data = toText().toUtf8();
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
    if (!ok && error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return ok;
}
