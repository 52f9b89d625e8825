#include "shell/BatchConversion.h"

#include "batch/BatchList.h"
#include "foundation/AppStrings.h"
#include "output/OutputOperation.h"
#include "pages/PageImport.h"
#include "project/BookDocument.h"
#include "publishing/MobileSettingsFile.h"
#include "publishing/PublishProgress.h"
#include "publishing/PublishTargets.h"
#include "shell/BookImportTask.h"
#include "shell/BookSession.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QTimer>

namespace {

// The share of a row's bar the import takes (the rest is the writing).
constexpr int kImportShare = 50;

} // namespace

BatchConversion::BatchConversion(BatchList *list, QObject *parent) : QObject(parent), m_list(list)
{
    connect(&m_run, &PublishRun::progressed, this, &BatchConversion::publishProgressed);
    connect(&m_run, &PublishRun::finished, this, &BatchConversion::publishFinished);
}

BatchConversion::~BatchConversion()
{
    m_run.disconnect(this);
    if (m_import) {
        m_import->disconnect(this);
        m_import->stop();
    }
}

bool BatchConversion::start(const QList<int> &rows)
{
    if (m_running || rows.isEmpty() || !m_list)
        return false;
    m_rows = rows;
    m_next = 0;
    m_row = -1;
    m_cancelled = false;
    m_running = true;
    for (int row : rows)
        m_list->setState(row, BatchItem::State::Waiting);
    emit overallProgressed(0);
    startNextRow();
    return true;
}

void BatchConversion::cancel()
{
    if (!m_running || m_cancelled)
        return;
    m_cancelled = true;
    if (m_import)
        m_import->stop();
    if (m_run.isBusy())
        m_run.cancel();
}

void BatchConversion::startNextRow()
{
    m_session.reset();
    m_mobileTemplate.reset();
    if (m_cancelled || m_next >= m_rows.size() || !m_list) {
        m_running = false;
        emit finished(m_cancelled);
        return;
    }
    m_row = m_rows.at(m_next++);
    const BatchItem *item = m_list->itemAt(m_row);
    if (!item) {
        startNextRow();
        return;
    }
    m_list->setState(m_row, BatchItem::State::Converting);

    if (item->source == BatchItem::Source::Project) {
        showProgress(0, loadAppString("BatchConversion-Opening the project…", "Opening the project…"));
        ProjectResult opened;
        m_session = BookSession::open(item->path, &opened);
        if (!m_session) {
            rowEnded(false, opened.message);
            return;
        }
        publishRow();
        return;
    }

    QString error;
    m_session = BookSession::createForImport(&error);
    if (!m_session) {
        rowEnded(false, error);
        return;
    }
    showProgress(0, loadAppString("BatchConversion-Importing the pages…", "Importing the pages…"));
    const FlashTemplate *tmpl = m_session->document().flashTmpl();
    m_import = std::make_unique<BookImportTask>(item->importParament, m_session->importWorkspace());
    m_import->setNormalPageSize(QSize(tmpl->propertyValue(QStringLiteral("pageWidth"), QStringLiteral("1080")).toInt(),
                                      tmpl->propertyValue(QStringLiteral("pageHeight"), QStringLiteral("1440")).toInt()));
    m_import->setThreadCount(m_importThreads);
    connect(m_import.get(), &BookImportTask::progress, this, [this](int index, int count) {
        if (const auto value = PublishProgress::barValue(kImportShare, index, count))
            showProgress(*value, QString());
    });
    connect(m_import.get(), &BookImportTask::finished, this, &BatchConversion::importFinished);
    m_import->start();
}

void BatchConversion::importFinished(bool ok)
{
    // The task goes once its signal has returned.
    BookImportTask *task = m_import.release();
    task->deleteLater();
    if (m_cancelled) {
        rowEnded(false, QString());
        return;
    }
    if (!ok || !task->pageImport().pageSource()) {
        rowEnded(false, task->result().message);
        return;
    }
    m_session->adoptImport(task->pageImport(), task->parament());
    publishRow();
}

void BatchConversion::publishRow()
{
    if (m_cancelled) {
        rowEnded(false, QString());
        return;
    }
    const BatchItem &item = *m_list->itemAt(m_row);
    const ConvertParament &record = item.convertParament;
    const QString nameProblem = PublishTargets::nameProblem(record.strOutputName());
    if (record.strOutputName().trimmed().isEmpty() || !nameProblem.isEmpty()) {
        rowEnded(false, !nameProblem.isEmpty() ? nameProblem
                                                : loadAppString("BatchConversion-The book has no file name.",
                                                                "The book has no file name."));
        return;
    }
    const QString folder = PublishTargets::standardizedFolder(record.strOutputFolder());
    const PublishTargets::FolderState state = PublishTargets::prepareFolder(folder);
    if (state.outcome != PublishTargets::FolderState::Ready && state.outcome != PublishTargets::FolderState::Created) {
        rowEnded(false, loadAppString("BatchConversion-The book cannot be written into \"%1\": %2",
                                      "The book cannot be written into \"%1\": %2")
                            .arg(QDir::toNativeSeparators(folder), state.reason));
        return;
    }

    BookDocument &document = m_session->document();
    // The phone template the row loaded from its settings file, else the book's own.
    m_mobileTemplate = MobileSettingsFile::templateOfRecord(record);
    PublishRun::Setup setup;
    setup.record = record;
    setup.folder = folder;
    setup.freshFolder = state.outcome == PublishTargets::FolderState::Created;
    setup.pageSource = document.pageSource().get();
    setup.tmpl = document.flashTmpl();
    setup.mobileTemplate = m_mobileTemplate ? m_mobileTemplate.get() : document.mobileTemplate();
    setup.pdfSearch = document.pdfSearch().get();
    setup.mobileSearch = document.mobileSearch().get();
    setup.parts = document.parts();
    setup.shotFile = document.parts().coverFile();
    setup.pluginWidth = QStringLiteral("100%");
    setup.pluginHeight = QStringLiteral("600px");
    setup.pluginVersion = QStringLiteral("1.0");
    setup.pluginID = QStringLiteral("1");

    showProgress(kImportShare, loadAppString("BatchConversion-Writing the book…", "Writing the book…"));
    m_run.setReplaceQuestion(m_ask);
    PublishRun::Blockage blockage;
    switch (m_run.start(setup, &blockage)) {
    case PublishRun::StartOutcome::Running:
        return;
    case PublishRun::StartOutcome::Declined:
        rowEnded(false, loadAppString("BatchConversion-A book of that name is in the folder already; it was not replaced.",
                                      "A book of that name is in the folder already; it was not replaced."));
        return;
    case PublishRun::StartOutcome::Blocked:
        rowEnded(false, loadAppString("BatchConversion-\"%1\" could not be moved out of the way: %2",
                                      "\"%1\" could not be moved out of the way: %2")
                            .arg(QDir::toNativeSeparators(blockage.path), blockage.reason));
        return;
    }
}

void BatchConversion::publishProgressed(qint64 index, qint64 count, int type)
{
    const int percent = kImportShare + PublishProgress::barValue(100 - kImportShare, index, count).value_or(0);
    const BatchItem *item = m_list ? m_list->itemAt(m_row) : nullptr;
    const auto text = PublishProgress::label(type, item && item->convertParament.compressToZip());
    showProgress(percent, text.value_or(QString()));
}

void BatchConversion::publishFinished(const PublishRun::Result &result)
{
    if (result.isWritten()) {
        rowEnded(true, result.reportPath);
        return;
    }
    if (m_cancelled || result.status == OutputOperation::StatusCancelled) {
        rowEnded(false, QString());
        return;
    }
    rowEnded(false, result.failure ? result.failure->reason()
                                   : loadAppString("BatchConversion-The book could not be written.",
                                                   "The book could not be written."));
}

void BatchConversion::rowEnded(bool written, const QString &message)
{
    const bool cancelled = !written && m_cancelled;
    if (m_list) {
        if (written)
            m_list->setPercent(m_row, 100);
        m_list->setState(m_row,
                         written ? BatchItem::State::Done
                                 : (cancelled ? BatchItem::State::Cancelled : BatchItem::State::Failed),
                         cancelled ? QString() : message);
    }
    emit rowFinished(m_row, written, cancelled ? QString() : message);
    emit overallProgressed(m_rows.isEmpty() ? 100 : int(100 * m_next / m_rows.size()));
    // The next row starts once the signals that ended this one have returned.
    QTimer::singleShot(0, this, &BatchConversion::startNextRow);
}

void BatchConversion::showProgress(int percent, const QString &text)
{
    if (m_list)
        m_list->setPercent(m_row, percent);
    emit rowProgressed(m_row, percent, text);
    if (!m_rows.isEmpty())
        emit overallProgressed(int((100 * (m_next - 1) + percent) / m_rows.size()));
}
