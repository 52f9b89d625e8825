#include "publishing/ui/ImageBrowser.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/NumberText.h"
#include "platform/ui/FMButton.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/Workspace.h"
#include "publishing/SWFSnapDelegate.h"
#include "publishing/ui/ImageEditView.h"
#include "publishing/ui/NamedImage.h"
#include "publishing/ui/QvImageCell.h"
#include "publishing/ui/QvImageManageView.h"
#include "platform/WorkerPool.h"

#include <QDir>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QtConcurrent>

namespace {

const char *const kIndexColumn = "index";
const char *const kImageColumn = "image";
constexpr int kIdentifierRole = Qt::UserRole + 1;

// Fills the "%.2f" markers of a text in order.
QString fillDecimals(QString text, std::initializer_list<double> values)
{
    const QLatin1String marker("%.2f");
    for (double value : values) {
        const qsizetype at = text.indexOf(marker);
        if (at < 0)
            break;
        text.replace(at, marker.size(), NumberText::fixed(value, 2));
    }
    return text;
}

QImage thumbnailImage(const QString &path)
{
    QImageReader reader(path);
    return reader.read();
}

} // namespace

ImageBrowser::ImageBrowser(QObject *parent)
    : WindowController(QStringLiteral("ImageBrowser"), WindowLoader::Lookup::Localized, parent),
      m_tmpDir(QDir::homePath() + QStringLiteral("/Documents")),
      m_previewImage(NamedImage::icon(QStringLiteral("preview"), QStyle::SP_FileDialogContentsView)),
      m_retryImage(NamedImage::icon(QStringLiteral("retry"), QStyle::SP_BrowserReload)),
      m_replaceImage(NamedImage::icon(QStringLiteral("replace"), QStyle::SP_DialogOpenButton))
{
    connect(&m_retryWatcher, &QFutureWatcher<bool>::finished, this, &ImageBrowser::retryFinished);
}

ImageBrowser::~ImageBrowser()
{
    // The worker writes into a page picture the caller may read: let it end first.
    m_retryWatcher.waitForFinished();
}

void ImageBrowser::setSWFs(const QStringList &paths)
{
    m_model.setSWFs(paths);
}

void ImageBrowser::setImages(const QStringList &paths)
{
    m_model.setImages(paths);
    for (const auto &view : std::as_const(m_manageViewsDict))
        delete view.data();
    m_manageViewsDict.clear();
    if (isWindowLoaded())
        reloadData();
}

void ImageBrowser::setPageWidth(double width)
{
    m_model.setPageWidth(width);
}

void ImageBrowser::setPageHeight(double height)
{
    m_model.setPageHeight(height);
}

void ImageBrowser::bindOutlets()
{
    outlet(m_tableView, "tableView");
    outlet(btnOK, "btnOK");
    outlet(btnCancel, "btnCancel");
    outlet(_txtWidth, "_txtWidth");
    outlet(_txtHeight, "_txtHeight");
    outlet(prgRetry, "prgRetry");
    outlet(lblRetry, "lblRetry");
}

void ImageBrowser::awakeFromNib()
{
    m_rows = new QStandardItemModel(0, 2, this);
    auto *indexHeader = new QStandardItem(QStringLiteral("#"));
    indexHeader->setData(QString::fromLatin1(kIndexColumn), kIdentifierRole);
    auto *imageHeader = new QStandardItem(loadAppString("ImageBrowser-Page picture", "Page picture"));
    imageHeader->setData(QString::fromLatin1(kImageColumn), kIdentifierRole);
    m_rows->setHorizontalHeaderItem(0, indexHeader);
    m_rows->setHorizontalHeaderItem(1, imageHeader);
    m_tableView->setModel(m_rows);
    m_imageCell = new QvImageCell(m_tableView);
    m_tableView->setItemDelegateForColumn(1, m_imageCell);
    m_tableView->verticalHeader()->hide();
    m_tableView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_tableView->verticalHeader()->setDefaultSectionSize(QvImageManageView::kSize.height());
    m_tableView->horizontalHeader()->setSectionsMovable(false);
    m_tableView->horizontalHeader()->setStretchLastSection(true);
    m_tableView->setColumnWidth(0, 48);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->setSelectionMode(QAbstractItemView::NoSelection);
    m_tableView->setFocusPolicy(Qt::NoFocus); // the row buttons take the focus, not the rows

    _txtWidth->setText(QString::number(int(m_model.pageWidth())));
    _txtHeight->setText(QString::number(int(m_model.pageHeight())));
    connect(_txtWidth, &QLineEdit::textEdited, this, [this] { controlTextDidChange(_txtWidth); });
    connect(_txtHeight, &QLineEdit::textEdited, this, [this] { controlTextDidChange(_txtHeight); });
    connect(btnOK, &QPushButton::clicked, this, &ImageBrowser::onOK);
    connect(btnCancel, &QPushButton::clicked, this, &ImageBrowser::onCancel);
    prgRetry->hide();
    lblRetry->clear();
    reloadData();
}

// ---------------------------------------------------------------------------------
// Rows

QvImageManageView *ImageBrowser::manageView(int row)
{
    if (row < 0 || row >= m_model.count())
        return nullptr;
    const QString key = QString::number(row);
    if (QvImageManageView *existing = m_manageViewsDict.value(key))
        return existing;
    auto *view = new QvImageManageView(QRect(QPoint(0, 0), QvImageManageView::kSize));
    view->setOwer(this);
    view->setRowIndex(row);
    view->btnPreview()->setIcon(m_previewImage);
    view->btnRetry()->setIcon(m_retryImage);
    view->btnReplace()->setIcon(m_replaceImage);
    view->btnPreview()->setToolTip(loadAppString("ImageBrowser-Open the picture", "Open the picture"));
    view->btnRetry()->setToolTip(loadAppString("ImageBrowser-Make the picture again", "Make the picture again"));
    view->btnReplace()->setToolTip(loadAppString("ImageBrowser-Replace the picture", "Replace the picture"));
    view->imageView()->setImage(thumbnailImage(m_model.icons().at(row)));
    view->setNeedsDisplay(true);
    view->setEnabled(!isRetrying());
    m_manageViewsDict.insert(key, view);
    return view;
}

void ImageBrowser::reloadData()
{
    if (!m_rows)
        return;
    const int count = m_model.count();
    if (m_rows->rowCount() != count) {
        m_rows->setRowCount(count);
        for (int row = 0; row < count; ++row) {
            auto *number = new QStandardItem(QString::number(row + 1));
            number->setEditable(false);
            number->setTextAlignment(Qt::AlignCenter);
            m_rows->setItem(row, 0, number);
            auto *image = new QStandardItem();
            image->setEditable(false);
            image->setData(row, Qt::UserRole);
            m_rows->setItem(row, 1, image);
        }
    }
    for (int row = 0; row < count; ++row) {
        const QModelIndex index = m_rows->index(row, 1);
        QvImageManageView *view = manageView(row);
        if (m_imageCell->manageView(index) != view)
            m_imageCell->setManageView(index, view);
    }
}

void ImageBrowser::refreshRow(int row)
{
    if (QvImageManageView *view = m_manageViewsDict.value(QString::number(row)))
        view->imageView()->setImage(thumbnailImage(m_model.icons().value(row)));
    reloadData();
}

int ImageBrowser::rowOfSender() const
{
    const auto *button = qobject_cast<const FMButton *>(sender());
    if (!button)
        return -1;
    bool ok = false;
    const int row = button->identifier().toInt(&ok);
    return ok ? row : -1;
}

// ---------------------------------------------------------------------------------
// Buttons

void ImageBrowser::onOK()
{
    if (!isRetrying())
        closeWindowWithCode(1);
}

void ImageBrowser::onCancel()
{
    if (!isRetrying())
        closeWindowWithCode(0);
}

void ImageBrowser::onPreViewImage()
{
    previewImage(rowOfSender());
}

void ImageBrowser::onRetryImage()
{
    retryImage(rowOfSender(), qobject_cast<QPushButton *>(sender()));
}

void ImageBrowser::onReplaceImage()
{
    replaceImage(rowOfSender());
}

void ImageBrowser::previewImage(int row)
{
    if (row >= 0 && row < m_model.images().size())
        Workspace::openFile(m_model.images().at(row));
}

void ImageBrowser::retryImage(int row, QPushButton *sender)
{
    if (isRetrying())
        return;
    if (m_model.swfs().isEmpty()) {
        if (sender)
            sender->setEnabled(false);
        return;
    }
    switch (m_model.retryKind(row)) {
    case PhonePageImages::Retry::None:
        return;
    case PhonePageImages::Retry::Snapshot: {
        const QString source = m_model.swfs().at(row);
        const QString image = m_model.images().at(row);
        const QSize size = m_model.pageSize();
        setRetryRunning(row);
        m_retryWatcher.setFuture(QtConcurrent::run(WorkerPool::pool(), [source, image, size] {
            return SWFSnapDelegate::singleSnap(source, image, size.width(), size.height());
        }));
        return;
    }
    case PhonePageImages::Retry::Resize: {
        const QSize from = m_model.sizeToResize(row);
        if (!from.isValid())
            return;
        const QString question =
            fillDecimals(loadAppString("ImageBrowser-Question that Change image format {orgin width,orgin height} to "
                                       "{dest width,dest height}",
                                       "Would you like to change the image size from {%.2f,%.2f} to {%.2f,%.2f}."),
                         {double(from.width()), double(from.height()), m_model.pageWidth(), m_model.pageHeight()});
        if (!LogAlert::askOKCancel(question, loadAppString("ImageBrowser-Press OK to continue,otherwise not.",
                                                           "Press OK to continue,otherwise not.")))
            return;
        if (!m_model.resizeToPageSize(row)) {
            showChangeFailed();
            return;
        }
        refreshRow(row);
        return;
    }
    }
}

void ImageBrowser::setRetryRunning(int row)
{
    m_retryRow = row;
    const bool running = row >= 0;
    setWorkerRunning(running);
    for (const auto &view : std::as_const(m_manageViewsDict)) {
        if (view)
            view->setEnabled(!running);
    }
    btnOK->setEnabled(!running);
    btnCancel->setEnabled(!running);
    _txtWidth->setEnabled(!running);
    _txtHeight->setEnabled(!running);
    if (running) {
        lblRetry->setText(loadAppString("ImageBrowser-Making the picture of page %i again...",
                                        "Making the picture of page %i again...")
                              .replace(QLatin1String("%i"), QString::number(row + 1)));
        prgRetry->setRange(0, 0);
        prgRetry->show();
    } else {
        lblRetry->clear();
        prgRetry->hide();
    }
}

void ImageBrowser::retryFinished()
{
    const int row = m_retryRow;
    const bool ok = m_retryWatcher.future().result();
    setRetryRunning(-1);
    if (ok) {
        m_model.updateThumbnail(row);
        refreshRow(row);
    } else {
        showChangeFailed();
    }
    emit retryDidEnd(row, ok);
}

void ImageBrowser::showChangeFailed()
{
    LogAlert::alertMessage(loadAppString("ImageBrowser-The page picture could not be changed.",
                                         "The page picture could not be changed."),
                           loadAppString("ImageBrowser-The page keeps its picture.", "The page keeps its picture."));
}

void ImageBrowser::replaceImage(int row)
{
    if (isRetrying() || row < 0 || row >= m_model.images().size())
        return;
    m_replaceIndex = row;
    if (!m_replacePanel)
        m_replacePanel = new QvPanel(this);
    m_replacePanel->setIsOpenPanel(true);
    m_replacePanel->setTitle(loadAppString("Load A Image file", "Load A Image file"));
    m_replacePanel->setDirectory(m_tmpDir);
    m_replacePanel->setTypes({QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                              QStringLiteral("gif"), QStringLiteral("bmp"), QStringLiteral("tiff")});
    m_replacePanel->setOwer(this);
    m_replacePanel->setEndPanelSelector([this](QvPanel *panel) { ReplaceFinished(panel->URL().toLocalFile()); });
    m_replacePanel->runModel();
}

void ImageBrowser::ReplaceFinished(const QString &path)
{
    const int row = int(m_replaceIndex);
    if (path.isEmpty() || row < 0 || row >= m_model.images().size())
        return;
    if (!m_model.replaceImage(row, path)) {
        showChangeFailed();
        return;
    }
    refreshRow(row);
}

void ImageBrowser::controlTextDidChange(QLineEdit *field)
{
    if (field != _txtWidth && field != _txtHeight)
        return;
    const QString digits = AppUtility::checkIntegerValueString(field->text());
    if (digits != field->text())
        field->setText(digits);
    const double value = NumberText::doubleValue(digits);
    // Below 1 the old size stays in force (the field may be empty while typing).
    if (field == _txtWidth)
        m_model.setPageWidth(value);
    else
        m_model.setPageHeight(value);
}
