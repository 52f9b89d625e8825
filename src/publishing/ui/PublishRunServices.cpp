#include "publishing/ui/PublishRunServices.h"

#include "output/OutputOperation.h"
#include "publishing/SWFSnapDelegate.h"
#include "publishing/ui/ImageBrowser.h"
#include "publishing/ui/OutputReport.h"

PublishRunServices PublishRunServices::standard()
{
    PublishRunServices services;
    services.makeJob = [] { return std::make_shared<OutputOperation>(); };
    services.saveSnapTrustPath = [] { SWFSnapDelegate::saveSWFSnapFlashTrustPath(); };
    services.batchSnap = &SWFSnapDelegate::batchSnap;
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
    services.showReport = [](const QString &path, OutputKind kind, Uploads uploads) {
        OutputReport report(path);
        report.setOutputType(kind);
        report.setUploadsAvailable(uploads.online, uploads.ftp);
        report.window();
        report.center();
        report.runModal();
        return report.openPanelNumber();
    };
    return services;
}
