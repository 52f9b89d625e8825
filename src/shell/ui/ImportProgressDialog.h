#pragma once
// The progress of a page import: it starts the task when its window comes up, shows
// page after page, and ends by itself when the import is over (code 1 when it
// succeeded, 0 when it failed or was cancelled). Cancel, the close box and Escape ask
// the import to stop; the window stays until the worker has really stopped.

#include "platform/ui/WindowController.h"

#include <QPointer>

class BookImportTask;
class QLabel;
class QProgressBar;
class QPushButton;

class ImportProgressDialog : public WindowController
{
    Q_OBJECT
public:
    // title: what is imported ("Annual report.pdf", "12 pictures").
    ImportProgressDialog(BookImportTask *task, const QString &title, QObject *parent = nullptr);

    QProgressBar *progressBar() const { return m_prgBar; }
    QLabel *statusLabel() const { return m_lblStatus; }
    QPushButton *cancelButton() const { return m_btnCancel; }

public slots:
    void onCancel();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    bool windowShouldClose() override;

private:
    void onProgress(int index, int count);
    void onFinished(bool ok);

    QPointer<BookImportTask> m_task;
    QString m_title;
    QLabel *m_lblTitle = nullptr;
    QProgressBar *m_prgBar = nullptr;
    QLabel *m_lblStatus = nullptr;
    QPushButton *m_btnCancel = nullptr;
};
