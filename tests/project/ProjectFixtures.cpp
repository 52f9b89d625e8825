#include "ProjectFixtures.h"

#include "pages/PageImport.h"
#include "project/BookDocument.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace ProjectFixtures {

QStringList writePictures(const QString &folder, int n)
{
    QDir().mkpath(folder);
    QStringList files;
    for (int i = 1; i <= n; ++i) {
        QImage image(400 + 40 * i, 600, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((i * 50) % 360, 160, 230));
        QPainter painter(&image);
        painter.drawText(QPointF(20, 40), QStringLiteral("Picture %1").arg(i));
        painter.end();
        const QString file = folder + QStringLiteral("/p%1.png").arg(i);
        if (!image.save(file))
            return {};
        files << file;
    }
    return files;
}

std::unique_ptr<BookDocument> importedBook(const QStringList &files, const QString &workspace, int quality)
{
    auto document = std::make_unique<BookDocument>();
    ImportParament parament;
    parament.sourceFiles = files;
    parament.iQualityLevel = quality;
    PageImport import(parament, workspace.isEmpty() ? document->createTemporaryWorkspace() : workspace);
    if (!import.run()) {
        qWarning() << "import failed:" << import.result().message;
        return nullptr;
    }
    document->adoptImport(import);
    QString error;
    if (!document->loadDefaultTemplates(&error)) {
        qWarning() << "templates:" << error;
        return nullptr;
    }
    return document;
}

} // namespace ProjectFixtures
