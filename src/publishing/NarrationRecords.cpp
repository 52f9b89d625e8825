#include "publishing/NarrationRecords.h"

#include "foundation/AppUtility.h"
#include "foundation/SafeFiles.h"
#include "output/narration/GenerateAssistant.h"
#include "platform/AudioFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

int NarrationRecords::count() const
{
    return int(m_assistant.resourceList().size());
}

QString NarrationRecords::title(int row) const
{
    return QStringLiteral("P") + AssistantResourceItem::resourceNameForPage(row, m_assistant.totalPage());
}

bool NarrationRecords::canAdd() const
{
    return count() <= m_assistant.totalPage() / 2;
}

QString NarrationRecords::readText(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    QByteArray data = file.readAll();
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    return QString::fromUtf8(data);
}

QString NarrationRecords::savedText(int row) const
{
    return contains(row) ? readText(m_assistant.resourceList().at(row).lrcFile()) : QString();
}

bool NarrationRecords::saveText(int row, const QString &text, QString *error)
{
    if (!contains(row))
        return false;
    AssistantResourceItem &item = m_assistant.resourceList()[row];
    if (item.lrcFile().isEmpty() || !QFileInfo::exists(item.lrcFile())) {
        item.setLrcFile(m_assistant.newLrcFilePath());
        item.setMp3File(m_assistant.newMp3FilePath());
    }
    if (!AppUtility::writeString(text, item.lrcFile())) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(item.lrcFile()));
        return false;
    }
    if (text.isEmpty() && !item.mp3File().isEmpty())
        QFile::remove(item.mp3File());
    return true;
}

bool NarrationRecords::importSound(int row, const QString &path, QString *error)
{
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (!contains(row))
        return false;
    const QFileInfo source(path);
    if (path.isEmpty() || !source.isFile())
        return fail(QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path)));
    if (AudioFile::duration(path) < 0)
        return fail(QStringLiteral("%1 is not a sound file").arg(QDir::toNativeSeparators(path)));
    AssistantResourceItem &item = m_assistant.resourceList()[row];
    const QString folder = QFileInfo(m_assistant.workFolder()).absoluteFilePath();
    if (source.absolutePath() == folder) {
        item.setImportmp3File(source.absoluteFilePath());
        return true;
    }
    const QString copy = m_assistant.newMp3FilePath();
    QString why;
    if (!SafeFiles::copyFile(path, copy, &why))
        return fail(why);
    item.setImportmp3File(copy);
    return true;
}

int NarrationRecords::insertRow(int row)
{
    if (!canAdd() || row < 0 || row > count())
        return -1;
    m_assistant.resourceList().insert(row, AssistantResourceItem());
    return row;
}

int NarrationRecords::moveUp(int row)
{
    if (!canMoveUp(row))
        return -1;
    m_assistant.resourceList().swapItemsAt(row, row - 1);
    return row - 1;
}

int NarrationRecords::moveDown(int row)
{
    if (!canMoveDown(row))
        return -1;
    m_assistant.resourceList().swapItemsAt(row, row + 1);
    return row + 1;
}

int NarrationRecords::removeRow(int row)
{
    if (!contains(row) || !canRemove())
        return -1;
    m_assistant.resourceList().removeAt(row);
    return std::max(0, std::min(row, count() - 1));
}
