#include "shell/ui/ImportProgressDialog.h"

#include "foundation/AppStrings.h"
#include "platform/ui/QvWindow.h"
#include "shell/BookImportTask.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

ImportProgressDialog::ImportProgressDialog(BookImportTask *task, const QString &title, QObject *parent)
    : WindowController(QStringLiteral("ImportProgress"), WindowLoader::Lookup::Localized, parent),
      m_task(task), m_title(title)
{
}

void ImportProgressDialog::bindOutlets()
{
    outlet(m_lblTitle, "lblTitle");
    outlet(m_prgBar, "prgBar");
    outlet(m_lblStatus, "lblStatus");
    outlet(m_btnCancel, "btnCancel");
}

void ImportProgressDialog::awakeFromNib()
{
    m_lblTitle->setText(loadAppString(QStringLiteral("ImportProgressD-Importing \"%1\""),
                                      QStringLiteral("Importing \"%1\""))
                            .arg(m_title));
    m_lblStatus->setText(loadAppString(QStringLiteral("ImportProgressD-Opening…"), QStringLiteral("Opening…")));
    m_prgBar->setRange(0, 0); // busy until the page count is known
    connect(m_btnCancel, &QPushButton::clicked, this, &ImportProgressDialog::onCancel);
    if (!m_task)
        return;
    connect(m_task, &BookImportTask::progress, this, &ImportProgressDialog::onProgress);
    connect(m_task, &BookImportTask::finished, this, &ImportProgressDialog::onFinished);
    setWorkerRunning(true);
    // Started once the window runs, so a quick import cannot end before it is shown.
    QTimer::singleShot(0, m_task, &BookImportTask::start);
}

void ImportProgressDialog::onProgress(int index, int count)
{
    if (count <= 0)
        return;
    m_prgBar->setRange(0, count);
    m_prgBar->setValue(index);
    if (!m_task || !m_task->isStopRequested())
        m_lblStatus->setText(loadAppString(QStringLiteral("ImportProgressD-Page %1 of %2"),
                                           QStringLiteral("Page %1 of %2"))
                                 .arg(index)
                                 .arg(count));
}

void ImportProgressDialog::onFinished(bool ok)
{
    setWorkerRunning(false);
    closeWindowWithCode(ok ? 1 : 0);
}

void ImportProgressDialog::onCancel()
{
    if (!m_task || !m_task->isRunning()) {
        closeWindowWithCode(0);
        return;
    }
    m_task->stop();
    m_btnCancel->setEnabled(false);
    m_lblStatus->setText(loadAppString(QStringLiteral("ImportProgressD-Stopping…"), QStringLiteral("Stopping…")));
}

bool ImportProgressDialog::windowShouldClose()
{
    if (isWorkerRunning()) {
        onCancel(); // the window goes when the worker has stopped
        return false;
    }
    return true;
}
