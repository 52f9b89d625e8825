#pragma once
// The phone page pictures of a book made from its pages, for the publish dialog (a book
// without any) and the main window's "Phone Page Pictures" command: one run at a time,
// without a window.
//
// start() hands every page to the snapshot helper on a worker (one process per page)
// and returns; snapped() follows on the main thread with one picture path per page,
// whether or not its picture was made. The owner lets the user review the pictures,
// puts what the user kept into the book with placePhonePages(), and ends the run with
// finish(): the run's folder goes unless the book kept pictures from it.
//
// Every picture stays with its own page: a page whose picture is missing keeps an
// empty place among the phone pages, which the output engine fills from the page
// itself, so a picture the user chose for a later page is never dropped.

#include <QObject>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QFutureWatcher>
#include <functional>

class FlashPageSource;
class FlashTemplate;

class PhonePageRun : public QObject
{
    Q_OBJECT
public:
    // Pictures of pageFiles into workspace at width by height; one path per page, in
    // page order, made or not. Runs on a worker.
    using Snapshots =
        std::function<QStringList(const QStringList &pageFiles, const QString &workspace, qint64 width, qint64 height)>;

    explicit PhonePageRun(QObject *parent = nullptr);
    // A batch still running is waited for (each helper ends by its time limit).
    ~PhonePageRun() override;

    // Unset: the snapshot helper.
    void setSnapshots(Snapshots snapshots) { m_snapshots = std::move(snapshots); }

    // The page files of the book in page order ("" for a page without one).
    static QStringList pageFiles(const FlashPageSource &source);
    // The book's phone pictures, one path per page ("" where a page has none).
    static QStringList phonePictures(const FlashPageSource &source);
    // The size of a book's phone pictures: the template's page ratio (null template:
    // the default one) at the page DPI of the import quality level.
    static QSizeF pictureSize(const FlashTemplate *tmpl, int qualityLevel);
    // Makes pictures the book's phone pages: entry i belongs to page i + 1; an empty
    // path or one that names no file leaves that page's place empty. Returns how many
    // pages got a picture (none: the book has no phone pages afterwards).
    static int placePhonePages(FlashPageSource &source, const QStringList &pictures);

    // Starts the pictures of pageFiles at size (cut to whole pixels) in a new temporary
    // folder. False, with nothing started or reported, when there is no page, no
    // usable size, no folder, or a run is under way.
    bool start(const QStringList &pageFiles, const QSizeF &size);
    bool isRunning() const { return m_running; }

    // Of the last start().
    QStringList pages() const { return m_pages; }
    QSizeF size() const { return m_size; }
    QString workspace() const { return m_workspace; }

    // Ends the run: its folder is removed unless one of the pictures the book kept
    // (its phone pictures now) lies in it.
    void finish(const QStringList &kept);

signals:
    void snapped(const QStringList &pictures);

private:
    Snapshots m_snapshots;
    QFutureWatcher<QStringList> m_watcher;
    QStringList m_pages;
    QSizeF m_size;
    QString m_workspace;
    bool m_running = false;
};
