#pragma once
// The download configuration: which files a published book offers its readers — the
// whole PDF (a file copied into the book, or a web address), every page as a PDF of
// its own, and attachments. OK copies the files into the download workspace on a
// worker (DownloadConfigRun) and ends with 1 once they are all there; the choices are
// kept in the workspace's ".cfg" whenever the window closes, Cancel included.
//
// While the worker runs, the controls stay disabled and the window cannot be closed;
// Cancel stops the worker and leaves the window open once it has ended.
//
// registerDownloadEditor() lets the design-settings outline's download setting open
// the dialog on the open book's download workspace.

#include "platform/NotificationCenter.h"
#include "platform/ui/WindowController.h"
#include "publishing/DownloadConfigRun.h"

#include <QFuture>
#include <functional>
#include <memory>

class BookDocument;
class DownloadAttachList;
class DragFileImport;
class DragOutToDelete;
struct BookDownloads;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class QvPanel;
class QWidget;
class TemplateEditorRegistry;

class DownloadConfigDelegate : public WindowController
{
    Q_OBJECT
public:
    explicit DownloadConfigDelegate(QObject *parent = nullptr);
    ~DownloadConfigDelegate() override;

    // The book's source PDF, as the workspace's ".info" describes it.
    QString pdfFile() const { return m_pdfFile; }
    void setPdfFile(const QString &file) { m_pdfFile = file; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    QString pageRange() const { return m_pageRange; }
    void setPageRange(const QString &range) { m_pageRange = range; }
    int detectWidePage() const { return m_detectWidePage; }
    void setDetectWidePage(int mode) { m_detectWidePage = mode; }
    // The download workspace; made in the temporary area when none is given.
    QString workspace() const { return m_workspace; }
    void setWorkspace(const QString &folder) { m_workspace = folder; }

    DownloadAttachList *attachList() const { return m_attachList; }
    DragFileImport *dragFileImport() const { return m_dragFileImport; }
    bool isRunning() const { return m_run != nullptr; }

    // The opener of the "downloadConfig" setting; openBook answers the open book (null
    // for none). The book's workspace is made when it has none, and a change of its
    // downloads is announced as a change of the book.
    static void registerDownloadEditor(TemplateEditorRegistry &registry, std::function<BookDocument *()> openBook);
    // What the download setting's row shows: the files the book offers ("None" without).
    static QString downloadsSummary(const BookDownloads &downloads);

    void loadSettings();
    bool saveSettings(QString *error = nullptr);
    // Appends attachments as the Add panel and drops do; another file of a name
    // already listed is refused with a message.
    void addAttachments(const QStringList &paths);

public slots:
    void onSelectDownloadPDF();
    void onSelectDownloadSingle();
    void checkDownloadPDFType();
    void onDefaultPDFFile();
    void onBrowseFile();
    void onAdd();
    void onRemove();
    void onMoveUp();
    void onMoveDown();
    void onOK();
    void onCancel();
    void checkButtonStatus();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    void windowWillClose() override;

private:
    DownloadSettings settingsFromControls() const;
    // An open panel for files, starting in the folder of the file near when it exists.
    void beginOpenPanel(const QString &prompt, const QString &near, bool several, const QStringList &types,
                        std::function<void(const QStringList &)> chosen);
    QList<int> selectedRows() const;
    void selectRows(const QList<int> &rows);
    void setButonStatus(bool enabled);
    void innerReceiveMSG(const Notification &notification);
    void ImportDragEnd();
    void runDidEnd(const DownloadConfigRun::Result &result);

    QString m_pdfFile;
    QString m_password;
    QString m_pageRange = QStringLiteral("ALL");
    int m_detectWidePage = 0;
    QString m_workspace;
    QStringList m_pagesList;
    QString _identifier;
    qint64 iMSGIndex = 0;
    std::shared_ptr<DownloadConfigRun> m_run;
    QFuture<void> m_runDone;
    DownloadAttachList *m_attachList = nullptr;
    DragOutToDelete *m_dragOut = nullptr;
    DragFileImport *m_dragFileImport = nullptr;
    std::unique_ptr<QvPanel> m_panel;

    QTabWidget *tabView = nullptr;
    QCheckBox *btnDownloadPDF = nullptr;
    QCheckBox *btnDownloadSingle = nullptr;
    QLabel *lblPagesSource = nullptr; // the PDF the single pages are made from
    QWidget *mtxDownloadType = nullptr;
    QLineEdit *txtFile = nullptr;
    QLineEdit *txtURL = nullptr;
    QLineEdit *txtPrefix = nullptr;
    QPushButton *btnDefault = nullptr;
    QPushButton *btnBrowse = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnRemove = nullptr;
    QPushButton *btnMoveUp = nullptr;
    QPushButton *btnMoveDown = nullptr;
    QTableView *tableView = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
    QProgressBar *prgBar = nullptr;
};
