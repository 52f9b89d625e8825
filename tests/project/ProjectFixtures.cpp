#include "ProjectFixtures.h"

#include "pages/PageImport.h"
#include "project/BookDocument.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <sys/stat.h>

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

QMap<QString, QString> snapshot(const QString &folder)
{
    QMap<QString, QString> out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        if (S_ISDIR(st.st_mode)) {
            out.insert(QDir(folder).relativeFilePath(path), QStringLiteral("folder"));
            continue;
        }
        out.insert(QDir(folder).relativeFilePath(path),
                   QStringLiteral("%1 %2 %3.%4")
                       .arg(qint64(st.st_size))
                       .arg(quint64(st.st_ino))
                       .arg(qint64(st.st_ctim.tv_sec))
                       .arg(qint64(st.st_ctim.tv_nsec)));
    }
    return out;
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool writeText(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) >= 0;
}

} // namespace ProjectFixtures
