#include "publishing/ui/PublishRunServices.h"

#include "output/OutputOperation.h"
#include "publishing/SWFSnapDelegate.h"
#include "publishing/ui/ImageBrowser.h"
#include "publishing/ui/OutputReport.h"
#include "platform/WorkerPool.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QtConcurrent>

PublishRunServices PublishRunServices::standard()
{
    PublishRunServices services;
    services.makeJob = [] { return std::make_shared<OutputOperation>(); };
    services.saveSnapTrustPath = [] { SWFSnapDelegate::saveSWFSnapFlashTrustPath(); };
    // The snapshots take a while: they run on a worker while the window goes on
    // drawing (the caller keeps its controls off meanwhile).
    services.batchSnap = [](const QStringList &pageFiles, const QString &workspace, qint64 width, qint64 height) {
        QFutureWatcher<QStringList> watcher;
        QEventLoop loop;
        QObject::connect(&watcher, &QFutureWatcher<QStringList>::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(
            QtConcurrent::run(WorkerPool::pool(), [=] { return SWFSnapDelegate::batchSnap(pageFiles, workspace, width, height); }));
        if (!watcher.isFinished())
            loop.exec();
        return watcher.result();
    };
    services.reviewPhonePages = [](const QStringList &pageFiles, const QStringList &images, double width,
                                   double height) -> std::optional<QStringList> {
        ImageBrowser browser;
        browser.setSWFs(pageFiles);
        browser.setImages(images);
        browser.setPageWidth(width);
        browser.setPageHeight(height);
        browser.window();
        browser.center();
        if (browser.runModal() != 1)
            return std::nullopt;
        return browser.images();
    };
    services.showReport = [](const QString &path, OutputKind kind) {
        OutputReport report(path);
        report.setOutputType(kind);
        report.window();
        report.center();
        report.runModal();
        return report.openPanelNumber();
    };
    // The program has no scenes yet: books are written without one.
    return services;
}
