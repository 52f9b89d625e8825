#pragma once
// The report shown after a book was published: the published file and four ways on,
// view the book, show it in its folder, upload it to the online service, or copy it to
// an FTP server. The window uploads nothing: it records the choice in
// openPanelNumber() (0 none, 1 online upload, 2 FTP upload) and closes; the owner
// starts the upload once its own dialog has gone. An upload the owner cannot start
// has its button disabled, and the button's tool tip says so.
//
// Owner's order: construct with the file name, setOutputType() and
// setUploadsAvailable() (before the window is first asked for: the buttons are
// prepared when it loads), center(), runModal(), read openPanelNumber().

#include "output/OutputKind.h"
#include "platform/ui/WindowController.h"

class QLabel;
class QLineEdit;
class QPushButton;

class OutputReport : public WindowController
{
    Q_OBJECT
public:
    explicit OutputReport(const QString &fileName = QString(), QObject *parent = nullptr);

    QString outputFileName() const { return m_outputFileName; }
    void setOutputFileName(const QString &path) { m_outputFileName = path; }
    OutputKind outputType() const { return m_outputType; }
    void setOutputType(OutputKind kind) { m_outputType = kind; }
    // Which uploads the owner can start (by default both).
    void setUploadsAvailable(bool online, bool ftp)
    {
        m_onlineAvailable = online;
        m_ftpAvailable = ftp;
    }
    int openPanelNumber() const { return m_openPanelNumber; }

public slots:
    void onClose();
    void onViewBook();
    void onOpenFolder();
    void onUploadOnline();
    void onFTPUpload();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    void buttonActionInit();

    QString m_outputFileName;
    OutputKind m_outputType;
    int m_openPanelNumber = 0;
    bool m_onlineAvailable = true;
    bool m_ftpAvailable = true;

    QLineEdit *lblFileName = nullptr;
    QLabel *lblPackageNote = nullptr;
    QPushButton *btnViewBook = nullptr;
    QPushButton *btnOpenFolder = nullptr;
    QPushButton *btnUploadOnline = nullptr;
    QPushButton *btnFTPUpload = nullptr;
    QPushButton *btnClose = nullptr;
};
