#include "FuzzModels.h"

#include "annotations/FlashPagesAnnotations.h"
#include "furnishings/FlashOutline.h"
#include "output/narration/GenerateAssistant.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace FuzzModels {

QString file(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("none");
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return QStringLiteral("missing");
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&f);
    return QString::fromLatin1(hash.result().toHex());
}

QString folder(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("none");
    if (!QFileInfo(path).isDir())
        return QStringLiteral("missing");
    QStringList entries;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        const QString name = QDir(path).relativeFilePath(entry);
        entries << (it.fileInfo().isDir() ? name + QLatin1Char('/') : name + QLatin1Char('=') + file(entry));
    }
    entries.sort();
    return entries.join(QLatin1Char(' '));
}

QString outline(const QList<FlashOutlineItemPtr> &items)
{
    QString text;
    for (const FlashOutlineItemPtr &item : items)
        text += QStringLiteral("%1|%2|%3|%4[%5]")
                    .arg(item->caption())
                    .arg(item->pageIndex())
                    .arg(item->pageUrl())
                    .arg(item->level())
                    .arg(outline(item->childItems()));
    return text;
}

QStringList annotations(const FlashPagesAnnotations &annotations)
{
    QStringList pages;
    for (int i = 0; i < annotations.count(); ++i)
        pages << annotations.pageAnnotations(i);
    return pages;
}

QStringList narration(const GenerateAssistant &assistant)
{
    const AssistantSpeechItem &options = assistant.speechOptions();
    QStringList lines{QStringLiteral("pages %1, mode %2, delay %3, mute %4")
                          .arg(assistant.totalPage())
                          .arg(options.playMode())
                          .arg(options.defaultPauseTimeWhenFinished())
                          .arg(options.defaultPauseTimeWhenEmpty()),
                      QStringLiteral("character %1 %2")
                          .arg(QFileInfo(assistant.assistantFilePath()).fileName(), file(assistant.assistantFilePath()))};
    for (const AssistantResourceItem &item : assistant.resourceList())
        lines << QStringLiteral("type %1, text %2, sound %3, imported %4")
                     .arg(item.type())
                     .arg(file(item.lrcFile()), file(item.mp3File()), file(item.importmp3File()));
    return lines;
}

} // namespace FuzzModels
