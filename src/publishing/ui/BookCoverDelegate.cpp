#include "publishing/ui/BookCoverDelegate.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/SafeFiles.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/RadioMatrix.h"
#include "platform/ui/Workspace.h"
#include "publishing/BookCoverProgram.h"
#include "publishing/BookCoverWorkFiles.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QStringList kDropTypes = {QStringLiteral("bmp"), QStringLiteral("png"),  QStringLiteral("jpg"),
                                QStringLiteral("gif"), QStringLiteral("tiff"), QStringLiteral("jpeg"),
                                QStringLiteral("ico"), QStringLiteral("icns")};
const QStringList kOpenTypes = {QStringLiteral("png"), QStringLiteral("gif"), QStringLiteral("jpg"),
                                QStringLiteral("jpeg"), QStringLiteral("bmp"), QStringLiteral("ico"),
                                QStringLiteral("icns"), QStringLiteral("tif")};
constexpr int kWellTag = 0;

QString pressOKText()
{
    return loadAppString("BookCoverD - Press OK to continue,otherwise not!", "Press OK to continue,otherwise not!");
}

} // namespace

BookCoverDelegate::BookCoverDelegate(QObject *parent)
    : WindowController(QStringLiteral("BookCoverDelegate"), WindowLoader::Lookup::ByName, parent)
    , m_templates(BookCoverSettings::templatesFolder())
{
    connect(&m_queue, &BookCoverRenderQueue::runFinished, this, &BookCoverDelegate::showEditResult);
    connect(&m_queue, &BookCoverRenderQueue::idle, this, &BookCoverDelegate::renderQueueIdle);
    NotificationCenter::defaultCenter()->addObserver(this, DragReportNotification, nullptr,
                                                     [this](const Notification &note) {
                                                         // Only the two wells' drop targets concern the dialog.
                                                         const QObject *sender = note.object;
                                                         if (sender && (sender == m_sourceDrop || sender == m_destDrop))
                                                             onDragFileEnd(sender == m_sourceDrop ? m_sourceDrop.data()
                                                                                                  : m_destDrop.data());
                                                     });
}

BookCoverDelegate::~BookCoverDelegate()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    if (m_sourceImageView)
        m_sourceImageView->setDelegate(nullptr);
    if (m_destImageView)
        m_destImageView->setDelegate(nullptr);
}

QString BookCoverDelegate::tmpinputFile() const
{
    return m_files ? m_files->tmpinputFile() : QString();
}

QString BookCoverDelegate::tmpoutputFile() const
{
    return m_files ? m_files->tmpoutputFile() : QString();
}

QString BookCoverDelegate::tmpconfigFile() const
{
    return m_files ? m_files->tmpconfigFile() : QString();
}

QString BookCoverDelegate::pageNumberText(const QString &typed)
{
    return AppUtility::checkIntegerValueString(typed);
}

void BookCoverDelegate::setPages(const QList<FlashPagePtr> &pages)
{
    m_pages = pages;
    if (!isWindowLoaded())
        return;
    fillPageList();
    // A remembered page may lie beyond a shorter book.
    m_settings.outputIndex = BookCoverSettings::boundedIndex(m_settings.outputMode, m_settings.outputIndex, pageCount());
    setRadios();
}

// ---------------------------------------------------------------------------------
// Preparation

void BookCoverDelegate::bindOutlets()
{
    outlet(m_comTemplates, "comTemplates");
    outlet(m_btnAddTemplate, "btnAddTemplate");
    outlet(m_btnRemoveTemplate, "btnRemoveTemplate");
    outlet(m_sourceOutline, "sourceOutline");
    outlet(m_destOutline, "destOutline");
    outlet(m_comPages, "comPages");
    outlet(m_mtxActionMode, "mtxActionMode");
    outlet(m_txtPageNumber, "txtPageNumber");
    outlet(m_btnFirstPage, "btnFirstPage");
    outlet(m_btnLastPage, "btnLastPage");
    outlet(m_btnSave, "btnSave");
    outlet(m_btnEdit, "btnEdit");
    outlet(m_btnOK, "btnOK");
    outlet(m_btnCancel, "btnCancel");
    outlet(m_lblMessage, "lblMessage");
}

void BookCoverDelegate::awakeFromNib()
{
    if (m_workspace.isEmpty())
        m_workspace = createUniqueTempFolder();
    loadTemplates();
    refreshTemplatesTitle();
    loadSetttings();
    setRadios();

    for (QAbstractButton *cell : RadioMatrix::cells(m_mtxActionMode))
        connect(cell, &QAbstractButton::toggled, this, [this](bool on) {
            if (on)
                radioDidChanged();
        });
    connect(m_txtPageNumber, &QLineEdit::textEdited, this, &BookCoverDelegate::controlTextDidChange);
    connect(m_btnFirstPage, &QPushButton::clicked, this, &BookCoverDelegate::onClickedFirstPage);
    connect(m_btnLastPage, &QPushButton::clicked, this, &BookCoverDelegate::onClickedLastPage);
    connect(m_comTemplates, &QComboBox::activated, this, &BookCoverDelegate::onTemplateChanged);
    connect(m_btnAddTemplate, &QPushButton::clicked, this, &BookCoverDelegate::onAddTemplate);
    connect(m_btnRemoveTemplate, &QPushButton::clicked, this, &BookCoverDelegate::onRemoveTemplate);

    m_grayImage = QImage(225, 225, QImage::Format_RGB32);
    m_grayImage.fill(QColor(0xD3, 0xD3, 0xD3));

    const auto makeWell = [this](QWidget *outline) {
        auto *layout = new QVBoxLayout(outline);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *well = new ImageEditView(outline->rect(), outline);
        layout->addWidget(well);
        well->setDelegate(this);
        well->setTag(kWellTag);
        well->setIsStroke(true);
        well->setBackgroundColor(QColor(0xE6, 0xE6, 0xE6));
        return well;
    };
    m_sourceImageView = makeWell(m_sourceOutline);
    m_sourceImageView->setObjectName(QStringLiteral("sourceImageView"));
    m_destImageView = makeWell(m_destOutline);
    m_destImageView->setObjectName(QStringLiteral("destImageView"));
    m_circularIndicator = new QProgressBar(m_destOutline);
    m_circularIndicator->setObjectName(QStringLiteral("circularIndicator"));
    m_circularIndicator->setRange(0, 0);
    m_circularIndicator->setTextVisible(false);
    m_circularIndicator->setGeometry(96, 96, 64, 12);
    m_circularIndicator->hide();

    window()->setWindowTitle(loadAppString("BookCoverD-Book Cover", "Book Cover"));
    m_lblMessage->hide();

    // The cover maker is put in place (or upgraded) before anything asks for a render.
    BookCoverProgram::installBookCoverExe();
    m_files = std::make_unique<BookCoverWorkFiles>(m_workspace);
    m_files->prepare(m_settings);
    showPicture(m_sourceImageView, QFileInfo(m_settings.inputFile).isFile() ? m_settings.inputFile : QString());
    showPicture(m_destImageView, QFileInfo(m_settings.outputFile).isFile() ? m_files->tmpoutputFile() : QString());

    fillPageList();
    m_settings.outputIndex = BookCoverSettings::boundedIndex(m_settings.outputMode, m_settings.outputIndex, pageCount());
    setRadios();
    if (m_comPages->count() > 0 && !QFileInfo(m_settings.inputFile).isFile()) {
        m_comPages->setCurrentIndex(0);
        onChangePages(0);
    } else {
        // A source that is one of the pages shows as that page.
        const QString page = m_fileDict.key(m_settings.inputFile);
        m_comPages->setCurrentIndex(page.isEmpty() ? -1 : page.toInt());
    }
    connect(m_comPages, &QComboBox::activated, this, &BookCoverDelegate::onChangePages);
    connect(m_btnSave, &QPushButton::clicked, this, &BookCoverDelegate::onSaveResult);
    connect(m_btnEdit, &QPushButton::clicked, this, &BookCoverDelegate::onEdit);
    connect(m_btnOK, &QPushButton::clicked, this, &BookCoverDelegate::onOK);
    connect(m_btnCancel, &QPushButton::clicked, this, &BookCoverDelegate::onCancel);

    m_sourceDrop = DragFileImport::coverWidget(m_sourceOutline, kDropTypes);
    m_sourceDrop->setIdentifier(QStringLiteral("src"));
    m_destDrop = DragFileImport::coverWidget(m_destOutline, kDropTypes);
    m_destDrop->setIdentifier(QStringLiteral("dest"));

    if (!m_queue.isBusy())
        onRefresh();
}

void BookCoverDelegate::loadSetttings()
{
    if (m_settingsLoaded)
        return;
    m_settingsLoaded = true;
    const bool remembered = QFileInfo(BookCoverSettings::settingFile()).isFile();
    const BookCoverSettings saved = BookCoverSettings::load();
    if (m_settings.inputFile.isEmpty())
        m_settings.inputFile = remembered ? saved.inputFile
                                          : (m_pages.isEmpty() || !m_pages.first() ? QString()
                                                                                   : m_pages.first()->pageFilePath());
    if (m_settings.outputFile.isEmpty())
        m_settings.outputFile = saved.outputFile;
    if (!saved.configFile.isEmpty())
        m_settings.configFile = saved.configFile;
    m_settings.outputMode = saved.outputMode;
    m_settings.outputIndex = saved.outputIndex;
    if (m_settings.outputFile.isEmpty())
        m_settings.outputFile = BookCoverSettings::defaultOutputFile();
    if (m_settings.configFile.isEmpty())
        m_settings.configFile = BookCoverSettings::defaultConfigFile();
}

void BookCoverDelegate::saveSetttings()
{
    m_settings.save();
}

void BookCoverDelegate::loadTemplates()
{
    m_templates.load();
}

void BookCoverDelegate::refreshTemplatesTitle()
{
    const QString typed = m_comTemplates->currentText();
    m_comTemplates->clear();
    m_comTemplates->addItems(m_templates.names());
    m_comTemplates->setCurrentIndex(-1);
    m_comTemplates->setEditText(typed);
}

void BookCoverDelegate::fillPageList()
{
    m_comPages->clear();
    m_fileDict.clear();
    for (qsizetype i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i])
            m_fileDict.insert(QString::number(i), m_pages[i]->pageFilePath());
        m_comPages->addItem(loadAppString("BookCoverD-Page", "Page") + QString::number(i + 1));
    }
    m_comPages->setCurrentIndex(-1);
}

// ---------------------------------------------------------------------------------
// Mode and page number

void BookCoverDelegate::setRadios()
{
    RadioMatrix::selectCellWithTag(m_mtxActionMode, int(m_settings.outputMode));
    m_txtPageNumber->setText(QString::number(m_settings.outputIndex + 1));
}

void BookCoverDelegate::radioDidChanged()
{
    m_settings.outputMode = BookCoverSettings::boundedMode(RadioMatrix::selectedTag(m_mtxActionMode, 0));
    const qint64 typed = m_txtPageNumber->text().left(12).toLongLong();
    m_settings.outputIndex = BookCoverSettings::indexForPageNumber(m_settings.outputMode, typed, pageCount());
}

void BookCoverDelegate::onClickedFirstPage()
{
    m_txtPageNumber->setText(QStringLiteral("1"));
    radioDidChanged();
}

void BookCoverDelegate::onClickedLastPage()
{
    const qint64 mode = RadioMatrix::selectedTag(m_mtxActionMode, 0);
    m_txtPageNumber->setText(QString::number(mode == BookCoverSettings::InsertPage ? pageCount() + 1 : pageCount()));
    radioDidChanged();
}

void BookCoverDelegate::controlTextDidChange()
{
    const QString digits = pageNumberText(m_txtPageNumber->text());
    if (digits != m_txtPageNumber->text())
        m_txtPageNumber->setText(digits);
    radioDidChanged();
}

// ---------------------------------------------------------------------------------
// Source and result pictures

void BookCoverDelegate::showPicture(ImageEditView *view, const QString &path)
{
    QImage image;
    if (!path.isEmpty()) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > 2048 || size.height() > 2048))
            reader.setScaledSize(size.scaled(2048, 2048, Qt::KeepAspectRatio));
        image = reader.read();
    }
    view->setImage(image.isNull() ? m_grayImage : image);
    view->setImageFile(image.isNull() ? QString() : path);
}

void BookCoverDelegate::refreshSourceFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    showPicture(m_sourceImageView, path);
    m_isBackgroundChange = true;
    const bool working = QFileInfo(path).absoluteFilePath() == QFileInfo(m_files->tmpinputFile()).absoluteFilePath();
    if (m_files->takeSource(path) && !working)
        m_settings.inputFile = path;
}

void BookCoverDelegate::refreshDestFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    showPicture(m_destImageView, path);
    m_files->takeResult(path);
}

void BookCoverDelegate::onChangePages(int index)
{
    if (index < 0 || index >= m_pages.size())
        return;
    const QString path = m_fileDict.value(QString::number(index), m_pages[index] ? m_pages[index]->pageFilePath() : QString());
    refreshSourceFile(path);
    onRefresh();
}

void BookCoverDelegate::onDragFileEnd(DragFileImport *target)
{
    const QString path = target->dragResult().value(target->dragResult().size() - 1);
    if (path.isEmpty())
        return;
    if (target->identifier() == QLatin1String("src")) {
        m_comPages->setCurrentIndex(-1);
        refreshSourceFile(path);
        onRefresh();
    } else if (target->identifier() == QLatin1String("dest")) {
        refreshDestFile(path);
    }
}

void BookCoverDelegate::ImageEditViewBrowseImage(ImageEditView *view)
{
    openFileForImage(view);
}

void BookCoverDelegate::ImageEditViewWillRemoveImage(ImageEditView *view)
{
    // The wells always show a working file; the working files themselves stay.
    if (view == m_sourceImageView)
        refreshSourceFile(m_files->tmpinputFile());
    else if (view == m_destImageView)
        refreshDestFile(m_files->tmpoutputFile());
}

void BookCoverDelegate::openFileForImage(ImageEditView *view)
{
    m_panel = std::make_unique<QvPanel>();
    const QString title = loadAppString("BookCoverD - Select Image file", "Select Image file");
    m_panel->setOwer(this);
    m_panel->setTitle(title);
    m_panel->setPrompt(title);
    m_panel->setTypes(kOpenTypes);
    QPointer<ImageEditView> well = view;
    m_panel->setEndPanelSelector([this, well](QvPanel *panel) {
        const QString path = panel->URL().toLocalFile();
        if (!well || path.isEmpty())
            return;
        if (well == m_sourceImageView) {
            m_comPages->setCurrentIndex(-1);
            refreshSourceFile(path);
            onRefresh();
        } else {
            refreshDestFile(path);
        }
    });
    m_panel->runModel();
}

// ---------------------------------------------------------------------------------
// Rendering

void BookCoverDelegate::onRefresh()
{
    convertImage(false);
}

void BookCoverDelegate::onEdit()
{
    convertImage(true);
}

void BookCoverDelegate::convertImage(bool edit)
{
    if (!QFileInfo(m_files->tmpinputFile()).isFile()) {
        LogAlert::alertMessage(loadAppString("BookCoverD - The source file not found!", "The source file not found!"),
                               QString());
        return;
    }
    if (!QFileInfo(m_queue.program()).isFile()) {
        // Renders of their own accord stay quiet; asking for the editor says why nothing comes.
        if (edit)
            LogAlert::alertMessage(loadAppString("BookCoverD - The cover maker is not installed.",
                                                 "The cover maker is not installed."),
                                   QString(), m_queue.program());
        return;
    }
    setBusy(true);
    m_queue.request({m_files->tmpinputFile(), m_files->tmpoutputFile(), m_files->tmpconfigFile(),
                     m_isBackgroundChange, edit});
    m_isBackgroundChange = false;
}

void BookCoverDelegate::showEditResult(bool ok)
{
    refreshDestFile(m_files->tmpoutputFile());
    m_lblMessage->setText(ok || m_queue.lastError().isEmpty()
                              ? QString()
                              : loadAppString("BookCoverD - The cover could not be made: %1", "The cover could not be made: %1")
                                    .arg(m_queue.lastError()));
    m_lblMessage->setVisible(!m_lblMessage->text().isEmpty());
}

void BookCoverDelegate::renderQueueIdle()
{
    setBusy(false);
    if (m_okWaiting) {
        m_okWaiting = false;
        onOK();
    }
}

void BookCoverDelegate::setBusy(bool busy)
{
    m_circularIndicator->setVisible(busy);
    if (busy)
        m_circularIndicator->raise();
    m_btnOK->setEnabled(!m_okWaiting);
    m_btnEdit->setEnabled(!m_okWaiting);
}

// ---------------------------------------------------------------------------------
// Saving the cover elsewhere

void BookCoverDelegate::onSaveResult()
{
    const QString working = m_files->tmpoutputFile();
    if (!QFileInfo(working).isFile()) {
        LogAlert::alertMessage(loadAppString("BookCoverD - Failed to save image!", "Failed to save image!"),
                               loadAppString("BookCoverD - The file not found.", "The file not found."));
        return;
    }
    const QString suffix = QFileInfo(working).suffix();
    m_panel = std::make_unique<QvPanel>();
    m_panel->setIsOpenPanel(false);
    m_panel->setOwer(this);
    m_panel->setPrompt(loadAppString("BookCoverD - Save image", "Save image"));
    m_panel->setNameFieldStringValue(QStringLiteral("output"));
    m_panel->setTypes({suffix.isEmpty() ? QStringLiteral("png") : suffix});
    m_panel->setEndPanelSelector([this](QvPanel *panel) { endSaveImage(panel->URL().toLocalFile()); });
    m_panel->runModel();
}

void BookCoverDelegate::endSaveImage(const QString &path)
{
    if (path.isEmpty())
        return;
    QString error;
    if (!SafeFiles::copyFile(m_files->tmpoutputFile(), path, &error)) {
        LogAlert::alertMessage(loadAppString("BookCoverD - Failed to save image!", "Failed to save image!"), error);
        return;
    }
    if (LogAlert::askOKCancel(loadAppString("AboutWindowDelegate - Export completely,Show in Finder now?",
                                            "Export completely,Show in Finder now?"),
                              QString()))
        Workspace::selectFile(path);
}

// ---------------------------------------------------------------------------------
// Templates

void BookCoverDelegate::onTemplateChanged(int index)
{
    if (index < 0 || index >= m_templates.entries().size())
        return;
    const QString file = m_templates.filePath(m_templates.entries().at(index));
    if (QFileInfo(file).isFile() && m_files->takeDesign(file))
        onRefresh();
}

void BookCoverDelegate::onAddTemplate()
{
    addTemplate();
}

bool BookCoverDelegate::addTemplate()
{
    const QString name = m_comTemplates->currentText().trimmed();
    const auto keepOpen = [this] {
        m_comTemplates->setFocus();
        return false;
    };
    if (name.isEmpty()) {
        if (!LogAlert::askOKCancel(loadAppString("BookCoverD - Input the template now ?", "Input the template now ?"),
                                   pressOKText()))
            return true;
        return keepOpen();
    }
    if (m_templates.find(name)) {
        if (m_templates.isSameDesign(name, m_files->tmpconfigFile()))
            return true;
        if (!LogAlert::askOKCancel(loadAppString("BookCoverD - Replace the template format", "Replace the template \"%1\"?")
                                       .arg(name),
                                   pressOKText()))
            return keepOpen();
    }
    QString error;
    if (!m_templates.store(name, m_files->tmpconfigFile(), &error)) {
        LogAlert::alertMessage(loadAppString("BookCoverD - The template could not be saved.", "The template could not be saved."),
                               QString(), error);
        return keepOpen();
    }
    loadTemplates();
    refreshTemplatesTitle();
    return true;
}

void BookCoverDelegate::onRemoveTemplate()
{
    const QString name = m_comTemplates->currentText().trimmed();
    if (!m_templates.find(name))
        return;
    if (!LogAlert::askOKCancel(loadAppString("BookCoverD - Remove the template format", "Remove the template \"%1\"?").arg(name),
                               pressOKText()))
        return;
    m_templates.remove(name);
    loadTemplates();
    refreshTemplatesTitle();
    m_comTemplates->setEditText(QString());
}

// ---------------------------------------------------------------------------------
// Closing

void BookCoverDelegate::onOK()
{
    if (m_queue.isBusy()) {
        // The cover being drawn is the one to keep: OK goes on when it is there.
        m_okWaiting = true;
        setBusy(true);
        return;
    }
    // The question first: a window kept open has written nothing.
    if (!addTemplate())
        return;
    finishOK();
}

void BookCoverDelegate::finishOK()
{
    QString error;
    if (!m_files->commit(m_settings.outputFile, m_settings.configFile, &error)) {
        LogAlert::alertMessage(loadAppString("BookCoverD - The cover could not be saved.", "The cover could not be saved."),
                               QString(), error);
        return;
    }
    saveSetttings();
    closeWindowWithCode(1);
}

void BookCoverDelegate::onCancel()
{
    m_okWaiting = false;
    m_queue.cancel();
    closeWindowWithCode(0);
}

bool BookCoverDelegate::windowShouldClose()
{
    // The close box is Cancel: a render still running is stopped.
    m_okWaiting = false;
    m_queue.cancel();
    setCloseMode(0);
    return true;
}
