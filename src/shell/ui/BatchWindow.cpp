#include "shell/ui/BatchWindow.h"

#include "foundation/AppStrings.h"
#include "output/OutputKind.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"
#include "project/AppSettings.h"
#include "publishing/PublishSettings.h"
#include "publishing/ui/BatchAdvancedSetting.h"
#include "publishing/ui/ConvertSettings.h"
#include "shell/BatchSources.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

BatchWindow::BatchWindow(QObject *parent) : WindowController(QStringLiteral("BatchWindow"), WindowLoader::Lookup::Localized, parent)
{
    m_conversion.setReplaceQuestion([this](const QString &path, bool) { return askToReplace(path); });
    connect(&m_conversion, &BatchConversion::rowProgressed, this, &BatchWindow::rowProgressed);
    connect(&m_conversion, &BatchConversion::overallProgressed, this, [this](int percent) {
        if (prgOverall)
            prgOverall->setValue(percent);
    });
    connect(&m_conversion, &BatchConversion::rowFinished, this, [this](int row, bool written, const QString &message) {
        const BatchItem *item = m_list.itemAt(row);
        if (!written && !message.isEmpty() && item)
            m_failures << QStringLiteral("%1: %2").arg(QFileInfo(item->path).fileName(), message);
        if (m_publishFromSettings && m_settings)
            m_settings->runDidFinish(written, message);
    });
    connect(&m_conversion, &BatchConversion::finished, this, &BatchWindow::conversionFinished);
}

BatchWindow::~BatchWindow()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

void BatchWindow::bindOutlets()
{
    outlet(tblRows, "tblRows");
    outlet(btnAdd, "btnAdd");
    outlet(btnAddFolder, "btnAddFolder");
    outlet(btnRemove, "btnRemove");
    outlet(btnOutputSettings, "btnOutputSettings");
    outlet(btnAdvanced, "btnAdvanced");
    outlet(btnConvert, "btnConvert");
    outlet(btnCancel, "btnCancel");
    outlet(btnClose, "btnClose");
    outlet(prgRow, "prgRow");
    outlet(prgOverall, "prgOverall");
    outlet(lblInfo, "lblInfo");
}

void BatchWindow::awakeFromNib()
{
    tblRows->setModel(&m_list);
    tblRows->horizontalHeader()->setSectionResizeMode(BatchList::OutputColumn, QHeaderView::Stretch);
    tblRows->horizontalHeader()->setSectionResizeMode(BatchList::StatusColumn, QHeaderView::Stretch);
    tblRows->verticalHeader()->hide();
    connect(tblRows->selectionModel(), &QItemSelectionModel::selectionChanged, this, &BatchWindow::updateButtons);
    connect(tblRows, &QTableView::doubleClicked, this, &BatchWindow::onOutputSettings);
    connect(&m_list, &QAbstractItemModel::rowsInserted, this, &BatchWindow::updateButtons);
    connect(&m_list, &QAbstractItemModel::modelReset, this, &BatchWindow::updateButtons);
    connect(btnAdd, &QPushButton::clicked, this, &BatchWindow::onAdd);
    connect(btnAddFolder, &QPushButton::clicked, this, &BatchWindow::onAddFolder);
    connect(btnRemove, &QPushButton::clicked, this, &BatchWindow::onRemove);
    connect(btnOutputSettings, &QPushButton::clicked, this, &BatchWindow::onOutputSettings);
    connect(btnAdvanced, &QPushButton::clicked, this, &BatchWindow::onAdvanced);
    connect(btnConvert, &QPushButton::clicked, this, &BatchWindow::onConvert);
    connect(btnCancel, &QPushButton::clicked, this, &BatchWindow::onCancel);
    connect(btnClose, &QPushButton::clicked, this, [this] { performClose(); });

    // Documents dropped anywhere on the window are added.
    m_dropTarget = DragFileImport::coverWidget(window(), BatchSources::acceptedExtensions());
    m_dropTarget->setAllowDirectory(true);
    NotificationCenter::defaultCenter()->addObserver(this, DragReportNotification, m_dropTarget,
                                                     [this](const Notification &) {
                                                         if (m_dropTarget && !m_conversion.isRunning())
                                                             addPaths(m_dropTarget->dragResult());
                                                     });
    prgRow->setRange(0, 100);
    prgOverall->setRange(0, 100);
    updateButtons();
}

int BatchWindow::selectedRow() const
{
    if (!tblRows)
        return -1;
    const QModelIndexList rows = tblRows->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
}

void BatchWindow::selectRow(int row)
{
    window();
    tblRows->selectRow(row);
}

void BatchWindow::updateButtons()
{
    if (!tblRows)
        return;
    const bool running = m_conversion.isRunning();
    const bool editing = m_settings || m_advanced;
    const bool one = selectedRow() >= 0;
    for (QPushButton *button : {btnAdd, btnAddFolder})
        button->setEnabled(!running);
    btnRemove->setEnabled(!running && !editing && tblRows->selectionModel()->hasSelection());
    btnOutputSettings->setEnabled(!running && !editing && one);
    btnAdvanced->setEnabled(!running && !editing && one);
    btnConvert->setEnabled(!running && !editing && m_list.rowCount() > 0);
    btnCancel->setEnabled(running && !m_conversion.isCancelled());
    btnClose->setEnabled(!running);
    if (m_dropTarget)
        m_dropTarget->setEnabled(!running);
}

void BatchWindow::addPaths(const QStringList &paths)
{
    const AppSettings &settings = *AppSettings::shareInstance();
    const ConvertParament output = PublishSettings::recordFromAppSettings(settings);
    QStringList refused;
    for (const QString &path : paths) {
        QString reason;
        if (const std::optional<BatchItem> item = BatchSources::itemFor(path, output, settings.importQualityLevel(), &reason))
            m_list.append(*item);
        else
            refused << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
    }
    if (!refused.isEmpty())
        LogAlert::alertMessage(loadAppString("BatchWindow-Some documents cannot be added.", "Some documents cannot be added."),
                               refused.join(QLatin1Char('\n')));
    updateButtons();
}

void BatchWindow::onAdd()
{
    auto *panel = new QvPanel(this);
    panel->setOwer(this);
    panel->setTitle(loadAppString("BatchWindow-Choose PDF files or projects", "Choose PDF files or projects"));
    panel->setAllowsMultipleSelection(true);
    panel->setTypes(BatchSources::acceptedExtensions());
    panel->setEndPanelSelector([this](QvPanel *p) {
        QStringList paths;
        for (const QUrl &url : p->URLs())
            paths << url.toLocalFile();
        p->deleteLater();
        addPaths(paths);
    });
    panel->runModel();
}

void BatchWindow::onAddFolder()
{
    QvPanelOptions options;
    options.title = loadAppString("BatchWindow-Choose a folder of pictures", "Choose a folder of pictures");
    options.canChooseFiles = false;
    options.canChooseDirectories = true;
    QvPanel::runForPath(this, options, [this](const QString &path) { addPaths({path}); });
}

void BatchWindow::onRemove()
{
    if (m_conversion.isRunning())
        return;
    QList<int> rows;
    for (const QModelIndex &index : tblRows->selectionModel()->selectedRows())
        rows << index.row();
    m_list.removeRowsAt(rows);
}

void BatchWindow::onOutputSettings()
{
    const int row = selectedRow();
    if (row < 0 || m_settings || m_advanced || m_conversion.isRunning())
        return;
    auto *settings = new ConvertSettings(m_list.itemAt(row)->convertParament, this);
    settings->setPublishEnabled(true);
    m_settings = settings;
    // Publish keeps the settings in the row and converts it.
    connect(settings, &ConvertSettings::publishRequested, this, [this, settings, row] {
        m_list.setOutput(row, settings->parament());
        m_publishFromSettings = true;
        m_failures.clear();
        if (m_conversion.start({row})) {
            setWorkerRunning(true);
        } else {
            m_publishFromSettings = false;
            settings->runDidFinish(false, loadAppString("BatchWindow-A conversion is under way.", "A conversion is under way."));
        }
        updateButtons();
    });
    connect(settings, &ConvertSettings::cancelRequested, &m_conversion, &BatchConversion::cancel);
    settings->beginSheet(window(), [this, settings, row](int code) {
        if (code == 1)
            m_list.setOutput(row, settings->parament());
        settings->deleteLater();
        m_settings = nullptr;
        updateButtons();
    });
    updateButtons();
}

void BatchWindow::onAdvanced()
{
    const int row = selectedRow();
    if (row < 0 || m_settings || m_advanced || m_conversion.isRunning())
        return;
    const ConvertParament record = m_list.itemAt(row)->convertParament;
    const OutputKind kind = OutputKind::fromStored(record.iOutputType());
    BatchAdvancedSetting *sheet = BatchAdvancedSetting::forKind(record, kind, this);
    m_advanced = sheet;
    sheet->beginSheet(window(), [this, sheet, row, kind, record](int code) {
        sheet->deleteLater();
        m_advanced = nullptr;
        if (code == 1) {
            ConvertParament changed = sheet->parament();
            if (kind == OutputKind::Application)
                changed.setStrAppIconFile(BatchAdvancedSetting::keptIcon(changed.strAppIconFile(), record.strAppIconFile()));
            m_list.setOutput(row, changed);
        }
        updateButtons();
    });
    updateButtons();
}

void BatchWindow::onConvert()
{
    if (m_conversion.isRunning() || m_settings || m_advanced)
        return;
    QList<int> rows;
    for (int row = 0; row < m_list.rowCount(); ++row)
        rows << row;
    m_failures.clear();
    m_publishFromSettings = false;
    if (!m_conversion.start(rows))
        return;
    setWorkerRunning(true);
    updateButtons();
}

void BatchWindow::onCancel()
{
    m_conversion.cancel();
    updateButtons();
}

bool BatchWindow::askToReplace(const QString &path)
{
    return LogAlert::askYesNo(
        loadAppString("BatchWindow-\"%1\" already exists. Do you want to replace it?",
                      "\"%1\" already exists. Do you want to replace it?")
            .arg(QFileInfo(path).fileName()),
        loadAppString("BatchWindow-It is in the folder \"%1\"; replacing it overwrites its current contents.",
                      "It is in the folder \"%1\"; replacing it overwrites its current contents.")
            .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
}

void BatchWindow::rowProgressed(int row, int percent, const QString &text)
{
    prgRow->setValue(percent);
    const BatchItem *item = m_list.itemAt(row);
    if (item && !text.isEmpty())
        lblInfo->setText(QStringLiteral("%1: %2").arg(QFileInfo(item->path).fileName(), text));
    if (m_publishFromSettings && m_settings)
        m_settings->showRunProgress(percent, text);
}

void BatchWindow::conversionFinished(bool cancelled)
{
    setWorkerRunning(false);
    const bool fromSettings = m_publishFromSettings;
    m_publishFromSettings = false;
    int done = 0;
    for (const BatchItem &item : m_list.items())
        done += item.state == BatchItem::State::Done ? 1 : 0;
    lblInfo->setText(cancelled ? loadAppString("BatchWindow-Cancelled.", "Cancelled.")
                               : loadAppString("BatchWindow-%1 of %2 books made.", "%1 of %2 books made.")
                                     .arg(done)
                                     .arg(m_list.rowCount()));
    updateButtons();
    // The output window says itself why its row failed.
    if (!fromSettings && !m_failures.isEmpty())
        LogAlert::alertMessage(loadAppString("BatchWindow-Some documents could not be converted.",
                                             "Some documents could not be converted."),
                               m_failures.join(QLatin1Char('\n')));
}
