#include "publishing/PhonePageRun.h"

#include "foundation/AppUtility.h"
#include "foundation/ImageUtility.h"
#include "pages/FlashPage.h"
#include "pages/FlashPageSource.h"
#include "platform/WorkerPool.h"
#include "publishing/PhonePageSize.h"
#include "publishing/SWFSnapDelegate.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QFileInfo>
#include <QtConcurrent>
#include <algorithm>

PhonePageRun::PhonePageRun(QObject *parent) : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcher<QStringList>::finished, this, [this] {
        m_running = false;
        emit snapped(m_watcher.result());
    });
}

PhonePageRun::~PhonePageRun()
{
    m_watcher.disconnect(this);
    m_watcher.waitForFinished();
}

QStringList PhonePageRun::pageFiles(const FlashPageSource &source)
{
    QStringList files;
    for (const FlashPagePtr &page : source.pages())
        files << (page ? page->pageFilePath() : QString());
    return files;
}

QStringList PhonePageRun::phonePictures(const FlashPageSource &source)
{
    QStringList pictures;
    for (const FlashPagePtr &page : source.phonePages())
        pictures << (page ? page->pageFilePath() : QString());
    return pictures;
}

QSizeF PhonePageRun::pictureSize(const FlashTemplate *tmpl, int qualityLevel)
{
    const QString width = tmpl ? tmpl->propertyValue(QStringLiteral("pageWidth"), QStringLiteral("1080"))
                               : QStringLiteral("1080");
    const QString height = tmpl ? tmpl->propertyValue(QStringLiteral("pageHeight"), QStringLiteral("1440"))
                                : QStringLiteral("1440");
    return PhonePageSize::sizeForRatio(PhonePageSize::pageRatio(width, height),
                                       ImageUtility::getImageDPIByLevel(qualityLevel));
}

int PhonePageRun::placePhonePages(FlashPageSource &source, const QStringList &pictures)
{
    const QList<FlashPagePtr> before = source.phonePages();
    QList<FlashPagePtr> placed;
    int taken = 0;
    for (int i = 0; i < pictures.size(); ++i) {
        const QString path = pictures.at(i);
        if (path.isEmpty() || !QFileInfo(path).isFile()) {
            placed << nullptr; // the output engine makes this page's picture
            continue;
        }
        FlashPagePtr page = before.value(i);
        if (!page || page->pageFilePath() != path) {
            page = std::make_shared<FlashPageImage>();
            page->setPageFilePath(path);
        }
        page->setPageIndex(i + 1);
        placed << page;
        ++taken;
    }
    while (!placed.isEmpty() && !placed.last())
        placed.removeLast();
    source.phonePages() = placed;
    return taken;
}

bool PhonePageRun::start(const QStringList &pageFiles, const QSizeF &size)
{
    if (m_running || pageFiles.isEmpty() || qint64(size.width()) < 1 || qint64(size.height()) < 1)
        return false;
    const QString workspace = createUniqueTempFolder();
    if (workspace.isEmpty())
        return false;
    m_pages = pageFiles;
    m_size = size;
    m_workspace = workspace;
    m_running = true;
    Snapshots snapshots = m_snapshots ? m_snapshots : Snapshots(&SWFSnapDelegate::batchSnap);
    const qint64 width = qint64(size.width()), height = qint64(size.height());
    m_watcher.setFuture(QtConcurrent::run(WorkerPool::pool(), [snapshots, pageFiles, workspace, width, height] {
        return snapshots(pageFiles, workspace, width, height);
    }));
    return true;
}

void PhonePageRun::finish(const QStringList &kept)
{
    if (m_running || m_workspace.isEmpty())
        return;
    const QString inside = QDir(m_workspace).absolutePath() + QLatin1Char('/');
    const bool used = std::any_of(kept.cbegin(), kept.cend(), [&](const QString &path) {
        return !path.isEmpty() && QFileInfo(path).absoluteFilePath().startsWith(inside);
    });
    if (!used)
        removeTree(m_workspace);
    m_workspace.clear();
}
