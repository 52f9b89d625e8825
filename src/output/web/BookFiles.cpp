#include "output/web/BookFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

QStringList BookFiles::relativeFileNames(const QString &bookFolder)
{
    const QString folder = QFileInfo(bookFolder).absoluteFilePath();
    const QDir root(folder);
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (!info.isFile())
            continue;
        names << root.relativeFilePath(info.absoluteFilePath());
    }
    names.sort();
    return names;
}
