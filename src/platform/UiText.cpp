#include "platform/UiText.h"

#include <QMutex>

namespace UiText {

namespace {
QMutex &mutex()
{
    static QMutex m;
    return m;
}

QString &chosenCode()
{
    static QString code;
    return code;
}
} // namespace

QString languageCode()
{
    QMutexLocker lock(&mutex());
    return chosenCode().isEmpty() ? QStringLiteral("en") : chosenCode();
}

void setLanguageCode(const QString &code)
{
    QMutexLocker lock(&mutex());
    chosenCode() = code.trimmed();
}

QString string(const QString &key, const QString &defaultText)
{
    Q_UNUSED(key);
    return defaultText;
}

} // namespace UiText
