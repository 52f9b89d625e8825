#pragma once
// The review of a book's phone page pictures: one row per page with the thumbnail and
// three buttons (open the picture in its viewer, make it again, replace it by a file
// of the user's choice), and the page size the pictures should have.
//
// The caller: construct; setSWFs() with the page source files; setImages() with the
// page pictures (one per page, in the same order); setPageWidth(), setPageHeight();
// window(), center(), runModal(). A result of 1 means OK; the caller then reads
// images(). Cancel (or the close box) answers 0 and the caller keeps its own pictures.
//
// Making a picture again from a PDF or SWF page runs the snapshot helper on a worker
// thread; the window stays responsive and shows progress, and cannot be closed until
// the worker is done.

#include "platform/ui/WindowController.h"
#include "publishing/PhonePageImages.h"

#include <QFutureWatcher>
#include <QHash>
#include <QIcon>
#include <QPointer>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QvImageCell;
class QvImageManageView;
class QvPanel;

class ImageBrowser : public WindowController
{
    Q_OBJECT
public:
    explicit ImageBrowser(QObject *parent = nullptr);
    ~ImageBrowser() override;

    void setSWFs(const QStringList &paths);
    QStringList swfs() const { return m_model.swfs(); }
    void setImages(const QStringList &paths);
    QStringList images() const { return m_model.images(); }
    QStringList icons() const { return m_model.icons(); }

    // Values below 1 are ignored.
    void setPageWidth(double width);
    double pageWidth() const { return m_model.pageWidth(); }
    void setPageHeight(double height);
    double pageHeight() const { return m_model.pageHeight(); }

    // Start folder of the replace panel.
    QString tmpDir() const { return m_tmpDir; }
    void setTmpDir(const QString &folder) { m_tmpDir = folder; }
    qint64 replaceIndex() const { return m_replaceIndex; }
    // The thumbnail folder (deleted with the window controller).
    QString workspace() const { return m_model.workspace(); }

    // The view of a row, made once and kept; null for rows out of range.
    QvImageManageView *manageView(int row);
    // True while a picture is being made again on the worker.
    bool isRetrying() const { return m_retryRow >= 0; }

    QTableView *tableView() const { return m_tableView; }
    QLineEdit *txtWidth() const { return _txtWidth; }
    QLineEdit *txtHeight() const { return _txtHeight; }

public slots:
    void onOK();
    void onCancel();
    // Row buttons: the row is the sender's identifier.
    void onPreViewImage();
    void onRetryImage();
    void onReplaceImage();
    // The same for a given row (sender: the button pressed, may be null).
    void previewImage(int row);
    void retryImage(int row, QPushButton *sender = nullptr);
    void replaceImage(int row);
    // The file chosen in the replace panel.
    void ReplaceFinished(const QString &path);
    void controlTextDidChange(QLineEdit *field);

signals:
    // A retry on the worker has ended (tests wait for it).
    void retryDidEnd(int row, bool ok);

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    int rowOfSender() const;
    void reloadData();
    void refreshRow(int row);
    void setRetryRunning(int row);
    void retryFinished();
    void showChangeFailed();

    PhonePageImages m_model;
    QString m_tmpDir;
    qint64 m_replaceIndex = -1;
    int m_retryRow = -1;
    QFutureWatcher<bool> m_retryWatcher;
    QIcon m_previewImage;
    QIcon m_retryImage;
    QIcon m_replaceImage;
    QHash<QString, QPointer<QvImageManageView>> m_manageViewsDict;
    QvPanel *m_replacePanel = nullptr;

    QTableView *m_tableView = nullptr;
    QStandardItemModel *m_rows = nullptr;
    QvImageCell *m_imageCell = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
    QLineEdit *_txtWidth = nullptr;
    QLineEdit *_txtHeight = nullptr;
    QProgressBar *prgRetry = nullptr;
    QLabel *lblRetry = nullptr;
};
