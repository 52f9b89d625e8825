#include "OutputFixtures.h"
#include "TestFiles.h"

#include "batch/ImportParament.h"
#include "furnishings/FlashOutline.h"
#include "output/ConvertBookInfo.h"
#include "output/OutputOperation.h"
#include "pages/FlashPageSource.h"
#include "pages/PDFSearch.h"
#include "pages/PageImport.h"
#include "platform/NotificationCenter.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QJsonDocument>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QtTest>

namespace OutputFixtures {

QString wordOfPage(int n)
{
    static const QStringList words{"apple", "pear", "plum", "cherry", "melon", "grape", "lemon", "mango", "peach", "olive"};
    return words.at((n - 1) % words.size());
}

Book importBook(const QString &folder, int pageCount)
{
    const QString pdf = folder + QStringLiteral("/book.pdf");
    QDir().mkpath(folder);
    {
        QPdfWriter writer(pdf);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QPageSize::A5));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter p;
        if (!p.begin(&writer))
            return {};
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(30);
        p.setFont(font);
        for (int n = 1; n <= pageCount; ++n) {
            if (n > 1)
                writer.newPage();
            p.fillRect(QRectF(20, 20, 380, 80), QColor::fromHsv(n * 40 % 360, 90, 240));
            p.drawText(QPointF(40, 160), QStringLiteral("Page %1 %2").arg(n).arg(wordOfPage(n)));
        }
        p.end();
    }
    ImportParament parament;
    parament.sourceFiles = {pdf};
    parament.iQualityLevel = 2;
    PageImport import(parament, folder + QStringLiteral("/workspace"));
    // One render thread: poppler builds its colour management state unguarded on the
    // first renders, and parallel first renders can corrupt the heap.
    import.setThreadCount(1);
    if (!import.run())
        return {};
    return {import.pageSource(), import.outline(), import.pdfSearch(), import.mobileSearch()};
}

std::unique_ptr<FlashTemplate> desktopTemplate()
{
    auto tmpl = std::make_unique<FlashTemplate>();
    if (!tmpl->loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultTemplateName())))
        return nullptr;
    return tmpl;
}

QJsonObject configObject(const QString &scriptFile)
{
    const QString text = TestFiles::readText(scriptFile);
    const QString prefix = QStringLiteral("var bookConfig = ");
    const qsizetype end = text.indexOf(QStringLiteral(";\n"));
    if (!text.startsWith(prefix) || end < 0)
        return {};
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.mid(prefix.size(), end - prefix.size()).toUtf8(), &error);
    return error.error == QJsonParseError::NoError ? doc.object() : QJsonObject();
}

void runJob(const std::shared_ptr<OutputOperation> &job)
{
    OperationQueue queue;
    queue.addOperation(job);
    // The job's signals and notifications are delivered meanwhile.
    QTRY_COMPARE_WITH_TIMEOUT(queue.operationCount(), 0, 120000);
    queue.waitUntilAllOperationsAreFinished();
}

void cancelAtStep(QObject *observer, const std::shared_ptr<OutputOperation> &job, int step)
{
    const std::weak_ptr<OutputOperation> weak = job;
    NotificationCenter::defaultCenter()->addObserver(observer, ConvertBookNotification, nullptr, [weak, step](const Notification &n) {
        const auto running = weak.lock();
        if (running && n.userInfo.value("type").toInt() == step)
            running->cancel();
    });
}

} // namespace OutputFixtures
