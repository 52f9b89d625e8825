#include "foundation/InputLimits.h"

#include "foundation/AppStrings.h"

#include <QFile>
#include <QString>

namespace InputLimits {

std::optional<QByteArray> readFile(const QString &path, qint64 limit, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    // In pieces: QIODevice::read(n) sets aside n bytes before it reads anything.
    QByteArray data;
    if (!file.isSequential()) {
        if (file.size() > limit) {
            if (error)
                *error = tooLarge(limit);
            return std::nullopt;
        }
        data.reserve(qsizetype(file.size()));
    }
    while (data.size() <= limit) {
        const QByteArray piece = file.read(qMin<qint64>(1 << 20, limit + 1 - data.size()));
        if (piece.isEmpty())
            break;
        data += piece;
    }
    if (data.size() > limit) {
        if (error)
            *error = tooLarge(limit);
        return std::nullopt;
    }
    return data;
}

QString nestedTooDeep(int levels)
{
    return loadAppString(QStringLiteral("InputLimits-nested deeper than %1 levels"),
                         QStringLiteral("nested deeper than %1 levels"))
        .arg(levels);
}

QString tooLarge(qint64 bytes)
{
    return loadAppString(QStringLiteral("InputLimits-larger than %1 MB"), QStringLiteral("larger than %1 MB"))
        .arg(bytes >> 20);
}

} // namespace InputLimits
