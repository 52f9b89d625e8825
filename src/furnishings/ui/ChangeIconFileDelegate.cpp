#include "furnishings/ui/ChangeIconFileDelegate.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "furnishings/ToolbarIconSet.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/Workspace.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>

namespace {

const QStringList kPictureTypes{QStringLiteral("ico"), QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                QStringLiteral("gif"), QStringLiteral("png"), QStringLiteral("icns")};

QIcon pictureOrBlank(const QString &path)
{
    QPixmap picture;
    if (!path.isEmpty() && QFileInfo(path).isFile())
        picture.load(path);
    if (picture.isNull()) {
        picture = QPixmap(16, 16);
        picture.fill(Qt::transparent);
    }
    return QIcon(picture);
}

QString failedToChange()
{
    return loadAppString("ChangeIconFileD-Failed to change icon!", "Failed to change icon!");
}

} // namespace

ChangeIconFileDelegate::ChangeIconFileDelegate(QObject *parent)
    : WindowController(QStringLiteral("ChangeIconFileDelegate"), WindowLoader::Lookup::Localized, parent)
{
}

QString ChangeIconFileDelegate::helpPage()
{
    return ToolbarIconSet::getResourcePath() + QStringLiteral("/ToolbarIconsHelp.html");
}

void ChangeIconFileDelegate::bindOutlets()
{
    outlet(tableView, "tableView");
    outlet(imageView, "imageView");
    outlet(lblWidth, "lblWidth");
    outlet(lblHeight, "lblHeight");
    outlet(btnChangeIcon, "btnChangeIcon");
    outlet(btnDefaultIcon, "btnDefaultIcon");
    outlet(btnImport, "btnImport");
    outlet(btnExport, "btnExport");
    outlet(btnHelp, "btnHelp");
    outlet(btnCheckedSWF, "btnCheckedSWF");
    outlet(btnSelectSWF, "btnSelectSWF");
    outlet(lblSWFFile, "lblSWFFile");
    outlet(btnOK, "btnOK");
    outlet(btnCancel, "btnCancel");
}

void ChangeIconFileDelegate::awakeFromNib()
{
    btnChangeIcon->setEnabled(false);
    btnDefaultIcon->setEnabled(false);
    connect(btnChangeIcon, &QPushButton::clicked, this, &ChangeIconFileDelegate::onChangeIcon);
    connect(btnDefaultIcon, &QPushButton::clicked, this, &ChangeIconFileDelegate::onDefault);
    connect(btnImport, &QPushButton::clicked, this, &ChangeIconFileDelegate::onImport);
    connect(btnExport, &QPushButton::clicked, this, &ChangeIconFileDelegate::onExport);
    connect(btnHelp, &QPushButton::clicked, this, &ChangeIconFileDelegate::onHelp);
    connect(btnSelectSWF, &QPushButton::clicked, this, &ChangeIconFileDelegate::onSelectSWFFile);
    connect(btnCheckedSWF, &QCheckBox::toggled, this, &ChangeIconFileDelegate::onCheckSWF);
    connect(btnOK, &QPushButton::clicked, this, &ChangeIconFileDelegate::onOK);
    connect(btnCancel, &QPushButton::clicked, this, &ChangeIconFileDelegate::onCancel);

    tableView->setColumnCount(3);
    tableView->setHorizontalHeaderLabels({loadAppString("ChangeIconFileD-Label", "Label"),
                                          loadAppString("ChangeIconFileD-Description", "Description"),
                                          loadAppString("ChangeIconFileD-Custom Icon", "Custom Icon")});
    tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tableView->verticalHeader()->hide();
    tableView->verticalHeader()->setDefaultSectionSize(24);
    tableView->setIconSize(QSize(20, 20));
    connect(tableView, &QTableWidget::itemSelectionChanged, this, &ChangeIconFileDelegate::selectionChanged);

    m_dragFileImport = DragFileImport::coverWidget(window(), kPictureTypes + QStringList{QStringLiteral("swf"), QStringLiteral("zip")});
    NotificationCenter::defaultCenter()->addObserver(this, DragReportNotification, m_dragFileImport, [this](const Notification &) {
        QMetaObject::invokeMethod(this, &ChangeIconFileDelegate::innerImportDragEnd, Qt::QueuedConnection);
    });

    QString refused;
    m_icons.loadConfig(m_inputFile, &refused);
    lblSWFFile->setText(m_icons.swfFile());
    btnCheckedSWF->setChecked(m_icons.swfChecked());
    onCheckSWF();
    reloadTable();
    if (!refused.isEmpty())
        QMetaObject::invokeMethod(this, [refused] {
            LogAlert::alertMessage(loadAppString("ChangeIconFileD-Failed to import icon config !", "Failed to import icon config !"),
                                   refused);
        }, Qt::QueuedConnection);
}

int ChangeIconFileDelegate::selectedRow() const
{
    const QList<QTableWidgetItem *> selected = tableView->selectedItems();
    const int row = selected.isEmpty() ? -1 : selected.first()->row();
    return m_icons.isValidRow(row) ? row : -1;
}

void ChangeIconFileDelegate::reloadTable()
{
    const int selected = selectedRow();
    const QSignalBlocker blocker(tableView);
    tableView->setRowCount(m_icons.count());
    for (int row = 0; row < m_icons.count(); ++row) {
        const QVariantMap &icon = m_icons.icons().at(row);
        auto *label = new QTableWidgetItem(pictureOrBlank(m_icons.builtInPicture(row)),
                                           icon.value(QStringLiteral("title")).toString());
        auto *desc = new QTableWidgetItem(icon.value(QStringLiteral("desc")).toString());
        auto *custom = new QTableWidgetItem(pictureOrBlank(m_icons.customPicture(row)), QString());
        custom->setToolTip(icon.value(QStringLiteral("value")).toString());
        tableView->setItem(row, 0, label);
        tableView->setItem(row, 1, desc);
        tableView->setItem(row, 2, custom);
    }
    if (selected >= 0)
        tableView->selectRow(selected);
}

void ChangeIconFileDelegate::selectionChanged()
{
    const int row = selectedRow();
    btnChangeIcon->setEnabled(row >= 0);
    btnDefaultIcon->setEnabled(row >= 0);
    if (row >= 0)
        onSelectedRow();
}

void ChangeIconFileDelegate::onSelectedRow()
{
    const QString path = m_icons.previewPicture(selectedRow());
    const QPixmap picture = path.isEmpty() ? QPixmap() : QPixmap(path);
    imageView->setPixmap(picture.isNull() ? QPixmap() : picture.scaled(imageView->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    lblWidth->setText(QString::number(picture.isNull() ? 0 : picture.width()));
    lblHeight->setText(QString::number(picture.isNull() ? 0 : picture.height()));
}

QString ChangeIconFileDelegate::startFolder() const
{
    const QString documents = QDir::homePath() + QStringLiteral("/Documents");
    return QDir::cleanPath(QFileInfo(documents).isDir() ? documents : userDocumentsFolder());
}

void ChangeIconFileDelegate::onChangeIcon()
{
    if (selectedRow() < 0)
        return;
    QvPanelOptions options;
    options.prompt = loadAppString("ChangeIconFileD-Choose image file", "Choose image file");
    options.types = kPictureTypes;
    options.directory = startFolder();
    QvPanel::runForPath(this, options, [this](const QString &path) { saveIconFile(path); });
}

void ChangeIconFileDelegate::saveIconFile(const QString &source)
{
    // The row selected now: a row selected earlier and left is no choice.
    const int row = selectedRow();
    if (row < 0) {
        LogAlert::alertMessage(failedToChange(), loadAppString("ChangeIconFileD-Which one you would like to replace? please select it first!",
                                                               "Which one you would like to replace? please select it first!"));
        return;
    }
    if (!m_icons.saveIconFile(row, source)) {
        LogAlert::alertMessage(failedToChange(), loadAppString("ChangeIconFileD-The file is not a picture that can be read.",
                                                               "The file is not a picture that can be read."),
                               source);
        return;
    }
    reloadTable();
    onSelectedRow();
}

void ChangeIconFileDelegate::onDefault()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_icons.setDefault(row);
    reloadTable();
    onSelectedRow();
}

void ChangeIconFileDelegate::loadArchive(const QString &archive)
{
    QString reason;
    if (!m_icons.loadZipResource(archive, &reason))
        LogAlert::alertMessage(loadAppString("ChangeIconFileD-Failed to import icon config !", "Failed to import icon config !"),
                               reason, archive);
    reloadTable();
    if (selectedRow() >= 0)
        onSelectedRow();
}

void ChangeIconFileDelegate::onImport()
{
    QvPanelOptions options;
    options.title = loadAppString("ChangeIconFileD-Choose icon config (*.zip)", "Choose icon config (*.zip)");
    options.types = {QStringLiteral("zip")};
    options.directory = startFolder();
    QvPanel::runForPath(this, options, [this](const QString &path) { loadArchive(path); });
}

void ChangeIconFileDelegate::onExport()
{
    QvPanelOptions options;
    options.isOpenPanel = false;
    options.title = loadAppString("ChangeIconFileD-Save icon config (*.zip)", "Save icon config (*.zip)");
    options.types = {QStringLiteral("zip")};
    options.nameFieldStringValue = QStringLiteral("iconSwfResource.zip");
    options.directory = startFolder();
    QvPanel::runForPath(this, options, [this](QString path) {
        if (!path.endsWith(QLatin1String("zip"), Qt::CaseInsensitive))
            path += QStringLiteral(".zip");
        const QString archive = m_icons.zipIcons();
        if (archive.isEmpty()) {
            LogAlert::alertMessage(loadAppString("ChangeIconFileD-Failed to save icon config !", "Failed to save icon config !"),
                                   loadAppString("ChangeIconFileD-The custom icon files not found!", "The custom icon files not found!"));
            return;
        }
        // The save panel asked before an existing file is replaced; it is replaced only
        // by a complete copy.
        QFile made(archive);
        QSaveFile copy(path);
        const bool copied = made.open(QIODevice::ReadOnly) && copy.open(QIODevice::WriteOnly)
                            && copy.write(made.readAll()) == made.size() && copy.commit();
        const QString reason = copy.errorString();
        made.close();
        QFile::remove(archive);
        if (!copied) {
            LogAlert::alertMessage(loadAppString("ChangeIconFileD-Failed to save icon config !", "Failed to save icon config !"),
                                   reason, path);
            return;
        }
        LogAlert::alertMessage(loadAppString("ChangeIconFileD-The icon config is saved.", "The icon config is saved."),
                               QDir::toNativeSeparators(path));
    });
}

void ChangeIconFileDelegate::onHelp()
{
    Workspace::openFile(helpPage());
}

void ChangeIconFileDelegate::onCheckSWF()
{
    btnSelectSWF->setEnabled(btnCheckedSWF->isChecked());
    m_icons.setSwfChecked(btnCheckedSWF->isChecked());
}

void ChangeIconFileDelegate::onSelectSWFFile()
{
    QvPanelOptions options;
    options.prompt = loadAppString("ChangeIconFileD-Choose image file", "Choose image file");
    options.types = {QStringLiteral("swf")};
    options.directory = startFolder();
    QvPanel::runForPath(this, options, [this](const QString &path) {
        lblSWFFile->setText(path);
        m_icons.setSwfFile(path);
    });
}

void ChangeIconFileDelegate::innerImportDragEnd()
{
    const QStringList dropped = m_dragFileImport ? m_dragFileImport->dragResult() : QStringList();
    if (dropped.isEmpty())
        return;
    const QString path = dropped.last();
    if (path.endsWith(QLatin1String(".swf"), Qt::CaseInsensitive)) {
        lblSWFFile->setText(path);
        m_icons.setSwfFile(path);
    } else if (path.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive)) {
        loadArchive(path);
    } else {
        saveIconFile(path);
    }
}

void ChangeIconFileDelegate::onOK()
{
    setCloseMode(1);
    if (btnCheckedSWF->isChecked()) {
        const QString swf = lblSWFFile->text();
        if ((!swf.endsWith(QLatin1String("swf"), Qt::CaseInsensitive) || !QFileInfo(swf).isFile())
            && !LogAlert::askOKCancel(loadAppString("ChangeIconFileD-The SWF file not found!", "The SWF file not found!"),
                                      loadAppString("ChangeIconFileD-Press OK to exit the window,otherwise check it again!",
                                                    "Press OK to exit the window,otherwise check it again!"))) {
            setCloseMode(0);
            return;
        }
        m_inputFile = swf;
    } else {
        m_inputFile = m_icons.zipIcons();
    }
    // The archives this window made before (the design settings keep their own copies)
    // go; an archive anywhere else is the user's own file and stays.
    m_icons.removeArchivesExcept(m_inputFile);
    close();
}

void ChangeIconFileDelegate::onCancel()
{
    closeWindowWithCode(0);
}

void ChangeIconFileDelegate::windowWillClose()
{
    m_icons.setSwfFile(lblSWFFile->text());
    m_icons.setSwfChecked(btnCheckedSWF->isChecked());
    m_icons.saveConfig();
    tableView->setEnabled(false);
}
