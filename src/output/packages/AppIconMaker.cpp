#include "output/packages/AppIconMaker.h"

#include "foundation/AppLog.h"
#include "output/packages/IcnsFile.h"

#include <QImageReader>
#include <QSaveFile>

const QStringList &AppIconMaker::requiredSizes()
{
    static const QStringList sizes{QStringLiteral("512"), QStringLiteral("256"), QStringLiteral("128"),
                                   QStringLiteral("32"), QStringLiteral("16")};
    return sizes;
}

bool AppIconMaker::generateIcon()
{
    m_error.clear();
    const auto fail = [this](const QString &message) {
        m_error = message;
        AppLog::shared().log(QStringLiteral("icon maker: %1").arg(message));
        return false;
    };
    if (m_iconFile.isEmpty())
        return fail(QStringLiteral("no icon file to write"));

    QStringList sizes = requiredSizes();
    if (m_inputFiles.contains(QStringLiteral("1024")))
        sizes.prepend(QStringLiteral("1024"));

    QMap<int, QImage> images;
    for (const QString &size : sizes) {
        const QString path = m_inputFiles.value(size).toString();
        if (path.isEmpty())
            return fail(QStringLiteral("no picture for the size %1").arg(size));
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (image.isNull())
            return fail(QStringLiteral("cannot read the picture %1: %2").arg(path, reader.errorString()));
        const int side = size.toInt();
        images.insert(side, image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }

    QString error;
    const std::optional<QByteArray> icns = IcnsFile::encode(images, &error);
    if (!icns)
        return fail(error);
    QSaveFile file(m_iconFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(*icns) != icns->size() || !file.commit())
        return fail(QStringLiteral("cannot write %1").arg(m_iconFile));
    return true;
}
