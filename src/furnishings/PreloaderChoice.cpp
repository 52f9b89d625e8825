#include "furnishings/PreloaderChoice.h"

#include "foundation/AppStrings.h"
#include "foundation/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <algorithm>

namespace {

bool isSwfMovie(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(3);
    return head == "FWS" || head == "CWS" || head == "ZWS";
}

} // namespace

PreloaderChoice::PreloaderChoice(const QString &initialName)
    : m_items(FlashTemlPreloaderItem::installedPreloaders()), m_initialName(initialName)
{
    m_selected = FlashTemlPreloaderItem::indexOfPreloader(initialName, m_items);
}

void PreloaderChoice::setSelectedIndex(int index)
{
    m_selected = index >= 0 && index < m_items.size() ? index : -1;
}

QString PreloaderChoice::selectedName() const
{
    if (m_items.isEmpty())
        return m_initialName;
    return m_items.at(std::max(0, m_selected)).prlName();
}

bool PreloaderChoice::isRemovable(int row) const
{
    return row >= 0 && row < m_items.size() && !m_items.at(row).isApplicationPreloader();
}

int PreloaderChoice::add(const QString &movie, const QString &picture, QString *error)
{
    const auto refused = [&](const QString &message) {
        if (error)
            *error = message;
        return -1;
    };
    const QFileInfo info(movie);
    const QString name = info.completeBaseName();
    if (!info.isFile() || !isSwfMovie(movie))
        return refused(loadAppString("FlashPreloaderD-\"%1\" is not an SWF movie.", "\"%1\" is not an SWF movie.")
                           .arg(info.fileName()));
    QImageReader reader(picture);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return refused(loadAppString("FlashPreloaderD-\"%1\" is not a picture.", "\"%1\" is not a picture.")
                           .arg(QFileInfo(picture).fileName()));
    // A name of the program's own would hide the user's preloader from every list.
    if (name.isEmpty() || FlashTemlPreloaderItem::isApplicationPreloaderName(name))
        return refused(loadAppString("FlashPreloaderD-A preloader of the program is called \"%1\": rename the movie first.",
                                     "A preloader of the program is called \"%1\": rename the movie first.")
                           .arg(name));

    const QDir folder(FlashTemlPreloaderItem::userFolder());
    const QString shot = folder.filePath(name + QStringLiteral(".png"));
    const QString file = folder.filePath(info.fileName());
    QSaveFile png(shot);
    if (!QDir().mkpath(folder.path()) || !png.open(QIODevice::WriteOnly) || !image.save(&png, "PNG") || !png.commit()
        || !SafeFiles::copyFile(movie, file))
        return refused(loadAppString("FlashPreloaderD-The preloader cannot be installed in \"%1\".",
                                     "The preloader cannot be installed in \"%1\".")
                           .arg(QDir::toNativeSeparators(folder.path())));
    const int index = FlashTemlPreloaderItem::indexOfPreloader(name, m_items);
    if (index >= 0)
        return index;
    FlashTemlPreloaderItem item;
    item.setPrlName(name);
    item.setPrlFile(QFileInfo(file).absoluteFilePath());
    item.setPrlShot(QFileInfo(shot).absoluteFilePath());
    m_items << item;
    return int(m_items.size()) - 1;
}

int PreloaderChoice::remove(const QList<int> &rows)
{
    const QString chosen = m_selected >= 0 && m_selected < m_items.size() ? m_items.at(m_selected).prlName() : QString();
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    int removed = 0;
    for (const int row : std::as_const(sorted)) {
        if (!isRemovable(row))
            continue;
        QFile::remove(m_items.at(row).prlFile());
        QFile::remove(m_items.at(row).prlShot());
        m_items.removeAt(row);
        ++removed;
    }
    const int index = FlashTemlPreloaderItem::indexOfPreloader(chosen, m_items);
    m_selected = chosen.isEmpty() || index < 0 ? (m_items.isEmpty() ? -1 : 0) : index;
    return removed;
}
