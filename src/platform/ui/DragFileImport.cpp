#include "platform/ui/DragFileImport.h"

#include "platform/NotificationCenter.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

DragFileImport::DragFileImport(QWidget *parent) : QWidget(parent)
{
    setAcceptDrops(true);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

DragFileImport *DragFileImport::coverWidget(QWidget *host, const QStringList &filters)
{
    auto *target = new DragFileImport(host);
    target->setFilters(filters);
    target->m_host = host;
    target->setAcceptDrops(false);
    target->setAttribute(Qt::WA_TransparentForMouseEvents);
    target->setGeometry(host->rect());
    target->raise();
    target->show();
    host->setAcceptDrops(true);
    host->installEventFilter(target);
    return target;
}

void DragFileImport::setFilters(const QStringList &filters)
{
    m_filters.clear();
    for (QString f : filters) {
        f = f.trimmed().toLower();
        if (f.startsWith(QLatin1String("*.")))
            f = f.mid(2);
        else if (f.startsWith(QLatin1Char('.')))
            f = f.mid(1);
        if (!f.isEmpty() && !m_filters.contains(f))
            m_filters << f;
    }
}

bool DragFileImport::acceptsPath(const QString &path) const
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    if (info.isDir())
        return m_allowDirectory;
    if (m_filters.contains(QStringLiteral("*")))
        return true;
    const QString suffix = info.suffix().toLower();
    return !suffix.isEmpty() && m_filters.contains(suffix);
}

QStringList DragFileImport::acceptedPaths(const QMimeData *data) const
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        QString path = url.toLocalFile();
        if (path.size() > 1 && path.endsWith(QLatin1Char('/')))
            path.chop(1);
        if (acceptsPath(path) && !paths.contains(path))
            paths << path;
    }
    return paths;
}

bool DragFileImport::performDrop(const QMimeData *data)
{
    const QStringList paths = acceptedPaths(data);
    if (paths.isEmpty())
        return false;
    m_dragResult = paths;
    NotificationCenter::defaultCenter()->postNotification(DragReportNotification, this);
    return true;
}

bool DragFileImport::handleDragEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *e = static_cast<QDragMoveEvent *>(event);
        if (!acceptedPaths(e->mimeData()).isEmpty()) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto *e = static_cast<QDropEvent *>(event);
        if (performDrop(e->mimeData())) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    }
    default:
        return false;
    }
}

void DragFileImport::dragEnterEvent(QDragEnterEvent *event) { handleDragEvent(event); }
void DragFileImport::dragMoveEvent(QDragMoveEvent *event) { handleDragEvent(event); }
void DragFileImport::dropEvent(QDropEvent *event) { handleDragEvent(event); }

bool DragFileImport::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_host)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::Resize) {
        setGeometry(m_host->rect());
        raise();
        return false;
    }
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop)
        return handleDragEvent(event);
    return false;
}
