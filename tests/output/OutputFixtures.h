#pragma once
// A small book made from a real PDF for the output tests, and running output jobs.

#include <QJsonObject>
#include <QString>
#include <memory>

class FlashOutline;
class QObject;
class FlashPageSource;
class FlashTemplate;
class OutputOperation;
class PDFSearch;

namespace OutputFixtures {

// The word printed on book page n (1-based) of the fixture PDF.
QString wordOfPage(int n);

struct Book
{
    std::shared_ptr<FlashPageSource> pages;
    std::shared_ptr<FlashOutline> outline;
    std::shared_ptr<PDFSearch> search;
    std::shared_ptr<PDFSearch> mobileSearch;
};

// Writes a PDF of pageCount pages ("Page n <word>") into folder and imports it into
// folder/workspace. Returns an empty Book (null pages) on failure.
Book importBook(const QString &folder, int pageCount);

// The bundled desktop template with its defaults.
std::unique_ptr<FlashTemplate> desktopTemplate();

// The object of "var bookConfig = {...};" in a configuration script; empty when the
// script does not have that form or the object is not valid JSON.
QJsonObject configObject(const QString &scriptFile);

// Runs job on an operation queue as the publish dialog does; a job that does not end
// within two minutes fails the test.
void runJob(const std::shared_ptr<OutputOperation> &job);

// Cancels job as soon as it reports reaching step (a ConvertStep), for as long as
// observer lives.
void cancelAtStep(QObject *observer, const std::shared_ptr<OutputOperation> &job, int step);

} // namespace OutputFixtures
