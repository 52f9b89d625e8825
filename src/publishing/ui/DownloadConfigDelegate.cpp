#include "publishing/ui/DownloadConfigDelegate.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "output/BookParts.h"
#include "pages/PageNotifications.h"
#include "pages/FlashPageSourcePDF.h"
#include "pages/PdfDocument.h"
#include "platform/WorkerPool.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/DragOutToDelete.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/RadioMatrix.h"
#include "project/BookDocument.h"
#include "project/DownloadWorkspaceInfo.h"
#include "publishing/DownloadAttachList.h"
#include "templates/TemplateNotifications.h"
#include "templates/ui/TemplateEditorRegistry.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QtConcurrent>
#include <poppler-qt6.h>

namespace {

constexpr int kBarSteps = 1000;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

DownloadConfigDelegate::DownloadConfigDelegate(QObject *parent)
    : WindowController(QStringLiteral("DownloadConfigDelegate"), WindowLoader::Lookup::Localized, parent)
{
    NotificationCenter::defaultCenter()->addObserver(this, DownloadConfigNotification, nullptr,
                                                     [this](const Notification &n) { innerReceiveMSG(n); });
}

DownloadConfigDelegate::~DownloadConfigDelegate()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    if (m_run) {
        m_run->stop();
        m_runDone.waitForFinished();
    }
}

QString DownloadConfigDelegate::downloadsSummary(const BookDownloads &downloads)
{
    QStringList parts;
    if (!downloads.wholeFile.isEmpty())
        parts << loadAppString(QStringLiteral("DownloadConfigD-Whole PDF"), QStringLiteral("Whole PDF"));
    if (!downloads.pageFiles.isEmpty())
        parts << loadAppString(QStringLiteral("DownloadConfigD-single pages (%1)"), QStringLiteral("single pages (%1)"))
                     .arg(downloads.pageFiles.size());
    if (!downloads.attachments.isEmpty())
        parts << loadAppString(QStringLiteral("DownloadConfigD-attachments (%1)"), QStringLiteral("attachments (%1)"))
                     .arg(downloads.attachments.size());
    return parts.isEmpty() ? loadAppString(QStringLiteral("DownloadConfigD-None"), QStringLiteral("None"))
                           : parts.join(QStringLiteral(", "));
}

void DownloadConfigDelegate::registerDownloadEditor(TemplateEditorRegistry &registry,
                                                    std::function<BookDocument *()> openBook)
{
    // The downloads are a part of the book, not the setting's value: the row tells them.
    registry.registerDisplayText(QStringLiteral("downloadConfig"), [openBook](const TemplateEditorRequest &) {
        BookDocument *book = openBook ? openBook() : nullptr;
        return book ? downloadsSummary(DownloadCfgItem::downloadsForWorkspace(book->parts().downloadWorkspace())) : QString();
    });
    registry.registerEditor(QStringLiteral("downloadConfig"), [openBook](const TemplateEditorRequest &request) {
        BookDocument *book = openBook ? openBook() : nullptr;
        if (!book)
            return std::optional<QString>();
        const QString workspace = book->parts().downloadWorkspace();
        DownloadConfigDelegate dialog;
        dialog.setWorkspace(workspace);
        const auto *pdf = dynamic_cast<const FlashPageSourcePDF *>(book->pageSource().get());
        if (const std::optional<DownloadWorkspaceInfo> info =
                DownloadWorkspaceInfo::readForBook(workspace, pdf ? pdf->pdfFile() : QString())) {
            dialog.setPdfFile(info->pdf);
            dialog.setPassword(info->pwd);
            dialog.setPageRange(info->range);
            dialog.setDetectWidePage(info->detect);
        }
        const QByteArray before = fileBytes(DownloadCfgItem::settingsFile(workspace));
        dialog.center();
        const int code = dialog.runModal();
        if (dialog.workspace() != workspace)
            book->parts().setDownloadWorkspace(dialog.workspace());
        // The downloads are a part of the book, not a template setting: their change
        // is announced here, so the book counts as changed and the preview follows.
        if (code == 1 || dialog.workspace() != workspace
            || fileBytes(DownloadCfgItem::settingsFile(dialog.workspace())) != before)
            NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification, &dialog,
                                                                  {{QStringLiteral("key"), request.key}});
        return std::optional<QString>();
    });
}

void DownloadConfigDelegate::bindOutlets()
{
    outlet(tabView, "tabView");
    outlet(btnDownloadPDF, "btnDownloadPDF");
    outlet(btnDownloadSingle, "btnDownloadSingle");
    outlet(lblPagesSource, "lblPagesSource");
    outlet(mtxDownloadType, "mtxDownloadType");
    outlet(txtFile, "txtFile");
    outlet(txtURL, "txtURL");
    outlet(txtPrefix, "txtPrefix");
    outlet(btnDefault, "btnDefault");
    outlet(btnBrowse, "btnBrowse");
    outlet(btnAdd, "btnAdd");
    outlet(btnRemove, "btnRemove");
    outlet(btnMoveUp, "btnMoveUp");
    outlet(btnMoveDown, "btnMoveDown");
    outlet(tableView, "tableView");
    outlet(btnOK, "btnOK");
    outlet(btnCancel, "btnCancel");
    outlet(prgBar, "prgBar");
    if (RadioMatrix::cells(mtxDownloadType).isEmpty() || !tabView->findChild<QWidget *>(QStringLiteral("doc"))
        || !tabView->findChild<QWidget *>(QStringLiteral("attach")))
        throw WindowLoadError("Window \"DownloadConfigDelegate\": the download kinds or the tabs are missing");
}

void DownloadConfigDelegate::awakeFromNib()
{
    if (m_workspace.isEmpty())
        m_workspace = createUniqueTempFolder();
    tabView->setCurrentWidget(tabView->findChild<QWidget *>(QStringLiteral("doc")));
    prgBar->hide();
    prgBar->setRange(0, kBarSteps);
    prgBar->setValue(0);

    m_attachList = new DownloadAttachList(this);
    m_attachList->setWorkspace(m_workspace);
    tableView->setModel(m_attachList);
    tableView->horizontalHeader()->setSectionResizeMode(DownloadAttachList::FileColumn, QHeaderView::Stretch);
    tableView->horizontalHeader()->setSectionResizeMode(DownloadAttachList::SizeColumn, QHeaderView::ResizeToContents);
    tableView->verticalHeader()->hide();
    connect(tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DownloadConfigDelegate::checkButtonStatus);
    connect(m_attachList, &QAbstractItemModel::modelReset, this, &DownloadConfigDelegate::checkButtonStatus);
    connect(m_attachList, &RowListModel::rowsDropped, this, &DownloadConfigDelegate::selectRows);

    // Rows dragged out of the window are removed.
    m_dragOut = new DragOutToDelete(
        m_attachList->registDragType(),
        [this](const QByteArray &rows) {
            const QList<int> dragged = m_attachList->takeDraggedRows(rows);
            if (!dragged.isEmpty() && !isRunning())
                m_attachList->removeRows(dragged);
        },
        this);
    m_dragOut->setList(tableView);
    m_dragOut->attachToWindow();
    connect(m_attachList, &RowListModel::dragStarted, m_dragOut, &DragOutToDelete::dragStarted);

    connect(btnDownloadPDF, &QCheckBox::toggled, this, &DownloadConfigDelegate::onSelectDownloadPDF);
    connect(btnDownloadSingle, &QCheckBox::toggled, this, &DownloadConfigDelegate::onSelectDownloadSingle);
    for (QAbstractButton *cell : RadioMatrix::cells(mtxDownloadType))
        connect(cell, &QAbstractButton::toggled, this, &DownloadConfigDelegate::checkDownloadPDFType);
    connect(btnDefault, &QPushButton::clicked, this, &DownloadConfigDelegate::onDefaultPDFFile);
    connect(btnBrowse, &QPushButton::clicked, this, &DownloadConfigDelegate::onBrowseFile);
    connect(btnAdd, &QPushButton::clicked, this, &DownloadConfigDelegate::onAdd);
    connect(btnRemove, &QPushButton::clicked, this, &DownloadConfigDelegate::onRemove);
    connect(btnMoveUp, &QPushButton::clicked, this, &DownloadConfigDelegate::onMoveUp);
    connect(btnMoveDown, &QPushButton::clicked, this, &DownloadConfigDelegate::onMoveDown);
    connect(btnOK, &QPushButton::clicked, this, &DownloadConfigDelegate::onOK);
    connect(btnCancel, &QPushButton::clicked, this, &DownloadConfigDelegate::onCancel);

    loadSettings();
    onSelectDownloadPDF();
    onSelectDownloadSingle();
    // The one document the single pages are made from, named before OK is pressed.
    lblPagesSource->setText(
        m_pdfFile.isEmpty()
            ? loadAppString(QStringLiteral("DownloadConfigD-The book has no source PDF to make single pages from."),
                            QStringLiteral("The book has no source PDF to make single pages from."))
            : loadAppString(QStringLiteral("DownloadConfigD-Single pages are made from \"%1\"."),
                            QStringLiteral("Single pages are made from \"%1\"."))
                  .arg(QDir::toNativeSeparators(m_pdfFile)));

    // Files dropped anywhere on the window: a PDF for the whole book, or attachments.
    m_dragFileImport = DragFileImport::coverWidget(window(), {QStringLiteral("*")});
    NotificationCenter::defaultCenter()->addObserver(this, DragReportNotification, m_dragFileImport,
                                                     [this](const Notification &) {
                                                         performOnMainThread([this] { ImportDragEnd(); }, this);
                                                     });
}

void DownloadConfigDelegate::loadSettings()
{
    const DownloadSettings settings = DownloadCfgItem::readSettings(m_workspace).value_or(DownloadSettings());
    txtFile->setText(settings.file);
    txtURL->setText(settings.url);
    txtPrefix->setText(settings.prefix);
    m_pagesList = settings.pages;
    m_attachList->setAttachments(settings.attachs);
    btnDownloadPDF->setChecked(settings.hasPDF);
    btnDownloadSingle->setChecked(settings.hasPages);
    const QList<QAbstractButton *> cells = RadioMatrix::cells(mtxDownloadType);
    const int tag = settings.fileType >= 0 && settings.fileType < cells.size() ? settings.fileType
                                                                              : cells.last()->property("tag").toInt();
    RadioMatrix::selectCellWithTag(mtxDownloadType, tag);
    checkButtonStatus();
}

DownloadSettings DownloadConfigDelegate::settingsFromControls() const
{
    DownloadSettings settings;
    settings.file = txtFile->text();
    settings.url = txtURL->text();
    settings.prefix = txtPrefix->text();
    settings.pages = m_pagesList;
    settings.attachs = m_attachList->attachments();
    settings.hasPDF = btnDownloadPDF->isChecked();
    settings.hasPages = btnDownloadSingle->isChecked();
    settings.fileType = RadioMatrix::selectedTag(mtxDownloadType, 0);
    return settings;
}

bool DownloadConfigDelegate::saveSettings(QString *error)
{
    if (m_workspace.isEmpty())
        m_workspace = createUniqueTempFolder();
    return DownloadCfgItem::writeSettings(m_workspace, settingsFromControls(), error);
}

void DownloadConfigDelegate::windowWillClose()
{
    QString error;
    if (!saveSettings(&error))
        LogAlert::alertMessage(loadAppString(QStringLiteral("DownloadConfigD-The download settings cannot be saved."), QStringLiteral("The download settings cannot be saved.")),
                               QString(), error);
    tableView->setEnabled(false);
}

void DownloadConfigDelegate::onSelectDownloadPDF()
{
    const bool on = btnDownloadPDF->isChecked() && !isRunning();
    mtxDownloadType->setEnabled(on);
    if (on) {
        checkDownloadPDFType();
        return;
    }
    for (QWidget *control : {static_cast<QWidget *>(txtFile), static_cast<QWidget *>(txtURL),
                             static_cast<QWidget *>(btnDefault), static_cast<QWidget *>(btnBrowse)})
        control->setEnabled(false);
}

void DownloadConfigDelegate::checkDownloadPDFType()
{
    if (!btnDownloadPDF->isChecked() || isRunning())
        return;
    const bool file = RadioMatrix::selectedTag(mtxDownloadType, 0) == 0;
    txtFile->setEnabled(file);
    btnDefault->setEnabled(file);
    btnBrowse->setEnabled(file);
    txtURL->setEnabled(!file);
}

void DownloadConfigDelegate::onSelectDownloadSingle()
{
    txtPrefix->setEnabled(btnDownloadSingle->isChecked() && !isRunning());
}

QList<int> DownloadConfigDelegate::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : tableView->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DownloadConfigDelegate::selectRows(const QList<int> &rows)
{
    QItemSelection selection;
    for (int row : rows)
        selection.select(m_attachList->index(row, 0), m_attachList->index(row, DownloadAttachList::ColumnCount - 1));
    tableView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    checkButtonStatus();
}

void DownloadConfigDelegate::checkButtonStatus()
{
    const QList<int> rows = selectedRows();
    const int count = m_attachList->rowCount();
    const bool any = !isRunning() && !rows.isEmpty() && rows.last() < count;
    btnRemove->setEnabled(any);
    btnMoveUp->setEnabled(any && rows.first() > 0);
    btnMoveDown->setEnabled(any && rows.last() < count - 1);
}

void DownloadConfigDelegate::setButonStatus(bool enabled)
{
    for (QWidget *control :
         std::initializer_list<QWidget *>{btnOK, btnDownloadPDF, btnDownloadSingle, mtxDownloadType, btnDefault,
                                          btnBrowse, txtFile, txtURL, txtPrefix, tableView, btnAdd, btnRemove,
                                          btnMoveUp, btnMoveDown})
        control->setEnabled(enabled);
    if (enabled) {
        prgBar->hide();
        checkButtonStatus();
        onSelectDownloadPDF();
        onSelectDownloadSingle();
    } else {
        prgBar->setRange(0, 0); // under way, amount unknown yet
        prgBar->show();
    }
}

void DownloadConfigDelegate::onDefaultPDFFile()
{
    PageResult result;
    if (PdfDocument::open(m_pdfFile, m_password, &result))
        txtFile->setText(m_pdfFile);
}

void DownloadConfigDelegate::beginOpenPanel(const QString &prompt, const QString &near, bool several,
                                            const QStringList &types, std::function<void(const QStringList &)> chosen)
{
    m_panel = std::make_unique<QvPanel>();
    m_panel->setOwer(this);
    m_panel->setPrompt(prompt);
    m_panel->setCanChooseFiles(true);
    m_panel->setCanChooseDirectories(false);
    m_panel->setAllowsMultipleSelection(several);
    m_panel->setTypes(types);
    const QString file = DownloadCfgItem::resolvedPath(near, m_workspace);
    m_panel->setDirectory(QFileInfo(file).isFile() ? QFileInfo(file).absolutePath() : userDocumentsFolder());
    m_panel->setEndPanelSelector([chosen = std::move(chosen)](QvPanel *panel) {
        QStringList paths;
        for (const QUrl &url : panel->URLs())
            paths << url.toLocalFile();
        chosen(paths);
    });
    m_panel->runModel();
}

void DownloadConfigDelegate::onBrowseFile()
{
    beginOpenPanel(loadAppString(QStringLiteral("DownloadConfigD-Choose PDF file (*.pdf)"), QStringLiteral("Choose PDF file (*.pdf)")),
                   txtFile->text(), false, {QStringLiteral("pdf")},
                   [this](const QStringList &paths) { txtFile->setText(paths.value(0)); });
}

void DownloadConfigDelegate::onAdd()
{
    const QStringList list = m_attachList->attachments();
    beginOpenPanel(loadAppString(QStringLiteral("DownloadConfigD-Choose Attachment files (*.*)"),
                                 QStringLiteral("Choose Attachment files (*.*)")),
                   list.isEmpty() ? QString() : list.last(), true, {},
                   [this](const QStringList &paths) { addAttachments(paths); });
}

void DownloadConfigDelegate::addAttachments(const QStringList &paths)
{
    if (isRunning())
        return;
    const QStringList refused = m_attachList->add(paths);
    checkButtonStatus();
    if (!refused.isEmpty())
        LogAlert::alertMessage(
            loadAppString(QStringLiteral("DownloadConfigD-An attachment of that name is in the list already."), QStringLiteral("An attachment of that name is in the list already.")),
            loadAppString(QStringLiteral("DownloadConfigD-Every attachment is offered under its file name: rename the file to attach it too."), QStringLiteral("Every attachment is offered under its file name: rename the file to attach it too.")),
            refused.join(QLatin1Char('\n')));
}

void DownloadConfigDelegate::ImportDragEnd()
{
    if (isRunning())
        return;
    QStringList files;
    for (const QString &path : m_dragFileImport->dragResult())
        if (QFileInfo(path).isFile())
            files << path;
    const QString tab = tabView->currentWidget() ? tabView->currentWidget()->objectName() : QString();
    if (tab == QLatin1String("doc")) {
        for (const QString &file : std::as_const(files))
            if (QFileInfo(file).suffix().toLower() == QLatin1String("pdf"))
                txtFile->setText(file);
    } else if (tab == QLatin1String("attach")) {
        addAttachments(files);
    }
}

void DownloadConfigDelegate::onRemove()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty() || isRunning())
        return;
    if (LogAlert::askOKCancel(loadAppString(QStringLiteral("Are you sure to delete the selected item(s)?"),
                                            QStringLiteral("Are you sure to delete the selected item(s)?")),
                              QString()))
        m_attachList->removeRows(rows);
    checkButtonStatus();
}

void DownloadConfigDelegate::onMoveUp()
{
    const QList<int> placed = m_attachList->moveUp(selectedRows());
    if (!placed.isEmpty())
        selectRows(placed);
}

void DownloadConfigDelegate::onMoveDown()
{
    const QList<int> placed = m_attachList->moveDown(selectedRows());
    if (!placed.isEmpty())
        selectRows(placed);
}

void DownloadConfigDelegate::onOK()
{
    if (isRunning())
        return;
    // Everything the worker reads is taken here, on the main thread.
    DownloadConfigRun::Input input;
    input.workspace = m_workspace;
    input.pdfFile = m_pdfFile;
    input.password = m_password;
    input.pageRange = m_pageRange;
    input.detectWidePage = m_detectWidePage;
    _identifier = QString::number(QDateTime::currentMSecsSinceEpoch() / 1000.0, 'f', 6);
    input.identifier = _identifier;
    input.settings = settingsFromControls();
    iMSGIndex = 0;

    m_run = std::make_shared<DownloadConfigRun>(input);
    setWorkerRunning(true);
    setButonStatus(false);
    const std::shared_ptr<DownloadConfigRun> run = m_run;
    QPointer<DownloadConfigDelegate> self(this);
    m_runDone = QtConcurrent::run(WorkerPool::pool(), [run, self] {
        const DownloadConfigRun::Result result = run->run();
        performOnMainThread(
            [self, result] {
                if (self)
                    self->runDidEnd(result);
            },
            self.data());
    });
}

void DownloadConfigDelegate::innerReceiveMSG(const Notification &notification)
{
    if (!m_run || notification.userInfo.value(QStringLiteral("id")).toString() != _identifier)
        return;
    ++iMSGIndex;
    const int count = m_run->progressCount();
    if (count <= 0)
        return;
    prgBar->setRange(0, kBarSteps);
    prgBar->setValue(int(std::min<qint64>(kBarSteps, iMSGIndex * kBarSteps / count)));
}

void DownloadConfigDelegate::runDidEnd(const DownloadConfigRun::Result &result)
{
    m_run.reset();
    setWorkerRunning(false);
    setButonStatus(true);
    if (result.pages)
        m_pagesList = *result.pages;
    if (result.cancelled)
        return; // the window stays open, as the run left it
    if (result.separationFailed)
        LogAlert::alertMessage(loadAppString(QStringLiteral("DownloadConfigD-Error"), QStringLiteral("Error")),
                               loadAppString(QStringLiteral("DownloadConfigD-Generate single page from PDF file failed!"), QStringLiteral("Generate single page from PDF file failed!")),
                               result.separationError);
    if (!result.missingSources.isEmpty() || !result.failures.isEmpty()) {
        const QString why = result.failures.isEmpty()
                                ? loadAppString(QStringLiteral("DownloadConfigD-The source file have been removed!"), QStringLiteral("The source file have been removed!"))
                                : loadAppString(QStringLiteral("DownloadConfigD-Some files could not be copied."), QStringLiteral("Some files could not be copied."));
        LogAlert::alertMessage(loadAppString(QStringLiteral("DownloadConfigD-Copy file failed!"), QStringLiteral("Copy file failed!")), why,
                               (result.missingSources + result.failures).join(QLatin1Char('\n')));
    }
    if (result.succeeded())
        closeWindowWithCode(1);
}

void DownloadConfigDelegate::onCancel()
{
    if (m_run) {
        // The worker stops at its next file or page; the controls come back when it has.
        m_run->stop();
        return;
    }
    closeWindowWithCode(0);
}
