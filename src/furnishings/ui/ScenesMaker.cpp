#include "furnishings/ui/ScenesMaker.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/ImageUtility.h"
#include "foundation/TextTemplate.h"
#include "furnishings/FlashScenesItem.h"
#include "furnishings/ScenePackage.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWebView.h"
#include "platform/ui/QvWindow.h"

#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QTimer>
#include <QWebEngineView>

namespace {

const char *const kSlotKeys[] = {"topLeft", "topRight", "bottomLeft", "bottomRight", "scaleToFix"};
const QString kMacro = QStringLiteral("{sceneworkspace}");

QString shotPath(const QString &workspace)
{
    return QDir(workspace).filePath(QStringLiteral("shot.jpg"));
}

bool writeJpeg(const QImage &image, const QString &path)
{
    QSaveFile file(path);
    return !image.isNull() && file.open(QIODevice::WriteOnly) && ImageUtility::writeJpeg(&file, image, 97, false)
           && file.commit();
}

// Keeps a transparent button over the whole preview, whose click takes the shot.
class Overlay : public QObject
{
public:
    Overlay(QWidget *over, QWidget *button) : QObject(button), m_over(over), m_button(button)
    {
        over->installEventFilter(this);
        m_button->setGeometry(over->rect());
        m_button->raise();
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_over && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
            m_button->setGeometry(m_over->rect());
            m_button->raise();
        }
        return false;
    }

private:
    QWidget *m_over;
    QWidget *m_button;
};

} // namespace

ScenesMaker::ScenesMaker(QObject *parent)
    : WindowController(QStringLiteral("ScenesMaker"), WindowLoader::Lookup::Localized, parent)
{
    m_tmpImportDir = m_tmpExportDir = m_tmpSWFDir = userDocumentsFolder();
}

ScenesMaker::~ScenesMaker() = default;

void ScenesMaker::bindOutlets()
{
    outlet(m_btnAdd, "btnAdd");
    outlet(m_btnRemove, "btnRemove");
    outlet(m_btnClearAll, "btnClearAll");
    outlet(m_btnMoveUp, "btnMoveUp");
    outlet(m_btnMoveDown, "btnMoveDown");
    outlet(m_btnEdit, "btnEdit");
    outlet(m_btnCancel, "btnCancel");
    outlet(m_btnOK, "btnOK");
    outlet(m_btnImport, "btnImport");
    outlet(m_btnExport, "btnExport");
    outlet(m_btnBrowse, "btnBrowse");
    outlet(m_btnLoadThumb1, "btnLoadThumb1");
    outlet(m_btnLoadThumb2, "btnLoadThumb2");
    outlet(m_tableView, "tableView");
    outlet(m_txtCaption, "txtCaption");
    outlet(m_txtFile, "txtFile");
    outlet(m_txtThumbFile, "txtThumbFile");
    outlet(m_popLayer, "popLayer");
    outlet(m_popLayout, "popLayout");
    outlet(m_webView, "webView");
}

void ScenesMaker::awakeFromNib()
{
    m_popLayer->addItems({SceneObject::layerName(0), SceneObject::layerName(1)});
    for (int i = 0; i <= SceneObject::ScaleToFit; ++i)
        m_popLayout->addItem(SceneObject::layoutName(i));

    m_tableView->setColumnCount(3);
    m_tableView->setHorizontalHeaderLabels({loadAppString("ScenesMaker-File", "File"),
                                            loadAppString("ScenesMaker-Layer", "Layer"),
                                            loadAppString("ScenesMaker-Position", "Position")});
    m_tableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_tableView->horizontalHeader()->setSectionsMovable(false);
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->verticalHeader()->hide();

    connect(m_btnAdd, &QPushButton::clicked, this, &ScenesMaker::onAddIcons);
    connect(m_btnRemove, &QPushButton::clicked, this, &ScenesMaker::onRemoveSelectedIcons);
    connect(m_btnClearAll, &QPushButton::clicked, this, &ScenesMaker::onClearAll);
    connect(m_btnMoveUp, &QPushButton::clicked, this, &ScenesMaker::onMoveUp);
    connect(m_btnMoveDown, &QPushButton::clicked, this, &ScenesMaker::onMoveDown);
    connect(m_btnEdit, &QPushButton::clicked, this, [this] { setEditStatus(true); });
    connect(m_btnCancel, &QPushButton::clicked, this, &ScenesMaker::onCancel);
    connect(m_btnOK, &QPushButton::clicked, this, &ScenesMaker::onOK);
    connect(m_btnImport, &QPushButton::clicked, this, &ScenesMaker::onImport);
    connect(m_btnExport, &QPushButton::clicked, this, &ScenesMaker::onExport);
    connect(m_btnBrowse, &QPushButton::clicked, this, &ScenesMaker::onBrowseSWF);
    connect(m_btnLoadThumb1, &QPushButton::clicked, this, &ScenesMaker::onBrowseThumb);
    connect(m_btnLoadThumb2, &QPushButton::clicked, this, &ScenesMaker::onBrowseThumb);
    const auto onPop = [this](QComboBox *pop, bool layer) {
        connect(pop, &QComboBox::activated, this, [this, pop, layer] {
            const int row = selectedRow();
            if (row < 0)
                return;
            if (layer)
                m_iconsList[row].setLayerIndex(pop->currentIndex());
            else
                m_iconsList[row].setLayoutIndex(pop->currentIndex());
            QTimer::singleShot(0, this, &ScenesMaker::editItemEnd);
        });
    };
    onPop(m_popLayer, true);
    onPop(m_popLayout, false);
    connect(m_tableView, &QTableWidget::itemSelectionChanged, this, [this] {
        checkButtonStatus();
        updateDispItem();
        setEditStatus(selectedRow() < 0);
    });

    m_web = QvWebView::instanceWith(m_webView);
    connect(m_web, &QvWebView::loadFinished, this, [this](bool ok) {
        m_previewLoading = false;
        emit previewLoaded(ok);
    });
    m_btnSnap = new QPushButton(m_web->wkWebView());
    m_btnSnap->setObjectName(QStringLiteral("btnSnap"));
    m_btnSnap->setFlat(true);
    m_btnSnap->setStyleSheet(QStringLiteral("QPushButton { background: transparent; border: none; }"));
    m_btnSnap->setToolTip(loadAppString("ScenesMaker-Click to take the preview picture", "Click to take the preview picture"));
    new Overlay(m_web->wkWebView(), m_btnSnap);
    connect(m_btnSnap, &QPushButton::clicked, this, &ScenesMaker::onSnap);

    m_txtCaption->setText(loadAppString("ScenesMaker-My scene", "My scene"));
    loadSettings();
    checkButtonStatus();
    updateDispItem();
    setEditStatus(true);
    loadWebFile();
    loadThumbnail();
}

int ScenesMaker::selectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_tableView ? m_tableView->selectedRanges() : QList<QTableWidgetSelectionRange>();
    const int row = ranges.isEmpty() ? -1 : ranges.first().topRow();
    return row >= 0 && row < m_iconsList.size() ? row : -1;
}

void ScenesMaker::reloadTable()
{
    const int keep = selectedRow();
    m_tableView->blockSignals(true);
    m_tableView->clearContents();
    m_tableView->setRowCount(int(m_iconsList.size()));
    for (int row = 0; row < m_iconsList.size(); ++row) {
        const SceneObject &layer = m_iconsList.at(row);
        m_tableView->setItem(row, 0, new QTableWidgetItem(QFileInfo(layer.file()).fileName()));
        m_tableView->setItem(row, 1, new QTableWidgetItem(SceneObject::layerName(layer.isForeground() ? 1 : 0)));
        m_tableView->setItem(row, 2, new QTableWidgetItem(SceneObject::layoutName(layer.layoutIndex())));
    }
    if (keep >= 0 && keep < m_iconsList.size())
        m_tableView->selectRow(keep);
    m_tableView->blockSignals(false);
}

void ScenesMaker::loadSettings()
{
    if (!m_workspace.isEmpty()) {
        const std::optional<QList<SceneObject>> layers = SceneObject::loadSceneObjsFromPath(m_workspace);
        if (layers && !layers->isEmpty())
            m_iconsList = *layers;
    }
    reloadTable();
    if (!m_title.isEmpty())
        m_txtCaption->setText(m_title);
}

void ScenesMaker::loadDispViewInf()
{
    loadSettings();
    checkButtonStatus();
    updateDispItem();
    loadWebFile();
}

void ScenesMaker::checkButtonStatus()
{
    const int row = selectedRow();
    m_btnRemove->setEnabled(row >= 0);
    m_btnMoveUp->setEnabled(row > 0);
    m_btnMoveDown->setEnabled(row >= 0 && row < m_iconsList.size() - 1);
}

void ScenesMaker::updateDispItem()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const SceneObject &layer = m_iconsList.at(row);
    m_txtFile->setText(withMacro(layer.file()));
    m_popLayer->setCurrentIndex(layer.isForeground() ? 1 : 0);
    m_popLayout->setCurrentIndex(int(qBound(qint64(0), layer.layoutIndex(), qint64(SceneObject::ScaleToFit))));
}

void ScenesMaker::setEditStatus(bool editing)
{
    m_btnAdd->setEnabled(editing);
    m_btnBrowse->setEnabled(editing);
    m_popLayer->setEnabled(editing || selectedRow() >= 0);
    m_popLayout->setEnabled(editing || selectedRow() >= 0);
    m_btnEdit->setEnabled(!editing);
}

QString ScenesMaker::withMacro(const QString &path) const
{
    return m_workspace.isEmpty() ? path : QString(path).replace(m_workspace, kMacro);
}

QString ScenesMaker::withoutMacro(const QString &text) const
{
    return QString(text).replace(kMacro, m_workspace);
}

void ScenesMaker::onAddIcons()
{
    const QString file = withoutMacro(m_txtFile->text().trimmed());
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        LogAlert::alertMessage(loadAppString("ScenesMaker-The scene file not found!", "The scene file not found!"),
                               loadAppString("ScenesMaker-Please select a flash file(*.swf) first!",
                                             "Please select a flash file (*.swf) first!"));
        return;
    }
    if (!SceneObject::isPlainFileName(QFileInfo(file).fileName())) {
        LogAlert::alertMessage(loadAppString("ScenesMaker-The file name cannot be used in a scene.",
                                             "The file name cannot be used in a scene."),
                               QDir::toNativeSeparators(file));
        return;
    }
    m_iconsList << SceneObject(QFileInfo(file).absoluteFilePath(), m_popLayer->currentIndex(), m_popLayout->currentIndex());
    reloadTable();
    checkButtonStatus();
    loadWebFile();
}

void ScenesMaker::onRemoveSelectedIcons()
{
    if (!LogAlert::askOKCancel(loadAppString("ScenesMaker-Are you sure to delete the selected item(s)?",
                                             "Are you sure to delete the selected item(s)?"),
                               QString()))
        return;
    const int row = selectedRow();
    if (row >= 0) {
        m_iconsList.removeAt(row);
        m_tableView->clearSelection();
        reloadTable();
    }
    checkButtonStatus();
    loadWebFile();
}

void ScenesMaker::onClearAll()
{
    if (!LogAlert::askOKCancel(loadAppString("ScenesMaker-Are you sure you want to delete all the items?",
                                             "Are you sure you want to delete all the items?"),
                               QString()))
        return;
    m_iconsList.clear();
    m_tableView->clearSelection();
    reloadTable();
    checkButtonStatus();
    loadWebFile();
}

void ScenesMaker::onMoveUp()
{
    const int row = selectedRow();
    if (row <= 0)
        return;
    m_iconsList.swapItemsAt(row, row - 1);
    reloadTable();
    m_tableView->selectRow(row - 1);
    checkButtonStatus();
    loadWebFile();
}

void ScenesMaker::onMoveDown()
{
    const int row = selectedRow();
    if (row < 0 || row >= m_iconsList.size() - 1)
        return;
    m_iconsList.swapItemsAt(row, row + 1);
    reloadTable();
    m_tableView->selectRow(row + 1);
    checkButtonStatus();
    loadWebFile();
}

void ScenesMaker::editItemEnd()
{
    reloadTable();
    loadWebFile();
}

QStringList ScenesMaker::choose(bool open, const QString &title, const QString &directory, const QStringList &types,
                                const QString &name)
{
    QvPanel panel;
    panel.setIsOpenPanel(open);
    panel.setTitle(title);
    panel.setDirectory(directory);
    panel.setTypes(types);
    panel.setOwer(this);
    if (!name.isEmpty())
        panel.setNameFieldStringValue(name);
    return panel.runAndWait();
}

void ScenesMaker::onBrowseSWF()
{
    const QString file = choose(true, loadAppString("ScenesMaker-Open SWF file", "Open SWF file"), m_tmpSWFDir,
                                {QStringLiteral("swf"), QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                 QStringLiteral("gif")})
                             .value(0);
    if (file.isEmpty())
        return;
    m_txtFile->setText(withMacro(file));
    m_tmpSWFDir = QFileInfo(file).absolutePath();
    const int row = selectedRow();
    if (row >= 0 && SceneObject::isPlainFileName(QFileInfo(file).fileName())) {
        m_iconsList[row].setFile(file);
        QTimer::singleShot(0, this, &ScenesMaker::editItemEnd);
    }
}

void ScenesMaker::onBrowseThumb()
{
    const QString file = choose(true, loadAppString("ScenesMaker-Open Thumbnail file", "Open Thumbnail file"), m_tmpThumbDir,
                                {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif"),
                                 QStringLiteral("bmp"), QStringLiteral("tiff")})
                             .value(0);
    if (file.isEmpty())
        return;
    m_txtThumbFile->setText(file);
    m_tmpThumbDir = QFileInfo(file).absolutePath();
    saveSettings();
    loadThumbnail();
}

void ScenesMaker::onSnap()
{
    if (m_iconsList.isEmpty())
        return;
    if (!snapWebView())
        return;
    loadThumbnail();
    m_txtThumbFile->clear();
    m_hasSnap = true;
}

bool ScenesMaker::snapWebView()
{
    if (m_workspace.isEmpty() || !m_web)
        return false;
    QDir().mkpath(m_workspace);
    if (m_previewLoading) {
        // The shot shows the preview of the layers as they are now, once it has loaded.
        QEventLoop wait;
        connect(m_web, &QvWebView::loadFinished, &wait, &QEventLoop::quit);
        QTimer::singleShot(5000, &wait, &QEventLoop::quit);
        wait.exec();
    }
    m_btnSnap->hide(); // the shot shows the preview, not the button over it
    const QImage shot = m_web->wkWebView()->grab().toImage();
    m_btnSnap->show();
    return writeJpeg(shot, shotPath(m_workspace));
}

QImage ScenesMaker::scaledShot(const QImage &picture)
{
    if (picture.isNull() || picture.height() == 0)
        return {};
    const double ratio = double(picture.width()) / picture.height();
    const QSize size = ratio >= 1 ? QSize(kShotSize, qMax(1, qRound(kShotSize / ratio)))
                                  : QSize(qMax(1, qRound(ratio * kShotSize)), kShotSize);
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool ScenesMaker::saveSettings()
{
    if (m_workspace.isEmpty())
        return false;
    QString error;
    if (!SceneObject::saveSceneObjs(m_iconsList, m_txtCaption->text(), QString(), m_workspace, &error)) {
        LogAlert::alertMessage(loadAppString("ScenesMaker-The scene cannot be saved.", "The scene cannot be saved."), error);
        return false;
    }
    const QString thumb = m_txtThumbFile->text();
    if (!thumb.isEmpty() && QFileInfo(thumb).isFile()) {
        QImageReader reader(thumb);
        reader.setAutoTransform(true);
        return writeJpeg(scaledShot(reader.read()), shotPath(m_workspace));
    }
    if (!m_hasSnap)
        return snapWebView();
    // The picture shown stays the shot.
    return QFileInfo(shotPath(m_workspace)).isFile();
}

void ScenesMaker::loadThumbnail()
{
    const QString shot = shotPath(m_workspace);
    const QString picture = !m_workspace.isEmpty() && QFileInfo(shot).isFile()
                                ? shot
                                : AppResources::resourcePath(QStringLiteral("scenes/none.png"));
    // Read the file each time: the shot is written again under the same name.
    QImageReader reader(picture);
    m_btnLoadThumb2->setIcon(QIcon(QPixmap::fromImage(reader.read())));
}

void ScenesMaker::loadWebFile()
{
    QFile file(AppResources::resourcePath(QStringLiteral("scenes/sceneMaker.html")));
    if (!file.open(QIODevice::ReadOnly) || !m_web)
        return;
    TextTemplate page(QString::fromUtf8(file.readAll()));
    for (const char *key : kSlotKeys)
        for (const char *side : {"B", "F"})
            page.setItem(QStringLiteral("%1%2.style").arg(QLatin1String(key), QLatin1String(side)), QStringLiteral("display:none"));
    // The layer files are copied beside the page, so a server of that folder reaches them.
    const QString folder = m_preview.path();
    for (const QString &old : QDir(folder).entryList({QStringLiteral("layer*")}, QDir::Files))
        QFile::remove(QDir(folder).filePath(old));
    bool movies = false;
    for (int i = 0; i < m_iconsList.size(); ++i) {
        const SceneObject &layer = m_iconsList.at(i);
        const QString suffix = QFileInfo(layer.file()).suffix().toLower();
        const QString name = QStringLiteral("layer%1.%2").arg(i).arg(suffix);
        if (!QFile::copy(layer.file(), QDir(folder).filePath(name)))
            continue;
        movies = movies || suffix == QLatin1String("swf");
        const QString slot = QLatin1String(kSlotKeys[qBound(qint64(0), layer.layoutIndex(), qint64(4))])
                             + QLatin1String(layer.isForeground() ? "F" : "B");
        page.setItem(slot + QStringLiteral(".style"), QString());
        page.setItem(slot + QStringLiteral(".src"), name);
    }
    QFile::remove(QDir(folder).filePath(QStringLiteral("qv-core.js")));
    QFile::copy(AppResources::resourcePath(QStringLiteral("viewer-lib/qv-core.js")), QDir(folder).filePath(QStringLiteral("qv-core.js")));
    const QString player = AppResources::resourcePath(QStringLiteral("ruffle"));
    const bool served = movies && m_previewHost && QFileInfo(player).isDir();
    if (served && !QFileInfo::exists(QDir(folder).filePath(QStringLiteral("ruffle/ruffle.js"))))
        AppUtility::copyFromPath(player, QDir(folder).filePath(QStringLiteral("ruffle")), false);
    page.setItem(QStringLiteral("player"), served ? QStringLiteral("ruffle/ruffle.js") : QString());
    QSaveFile index(QDir(folder).filePath(QStringLiteral("index.html")));
    if (!index.open(QIODevice::WriteOnly) || index.write(page.parse().toUtf8()) < 0 || !index.commit())
        return;
    if (m_previewUrl.isEmpty() && m_previewHost)
        m_previewUrl = m_previewHost(folder);
    m_previewLoading = true;
    if (!m_previewUrl.isEmpty())
        m_web->loadURL(m_previewUrl.resolved(QUrl(QStringLiteral("index.html"))));
    else
        m_web->loadFile(QDir(folder).filePath(QStringLiteral("index.html")));
}

void ScenesMaker::onImport()
{
    const QString archive = choose(true, loadAppString("ScenesMaker-Load Scene file", "Load Scene file"), m_tmpImportDir,
                                   {QStringLiteral("scp"), QStringLiteral("zip")})
                                .value(0);
    if (archive.isEmpty())
        return;
    m_tmpImportDir = QFileInfo(archive).absolutePath();
    // The workspace is replaced only by a package that unpacked whole.
    QTemporaryDir work;
    QString error;
    const QString package = ScenePackage::unpackArchive(archive, work.path(), &error);
    if (package.isEmpty() || !ScenePackage::replaceFolder(package, m_workspace, &error)) {
        LogAlert::alertMessage(loadAppString("ScenesMaker-The scene cannot be imported.", "The scene cannot be imported."), error);
        return;
    }
    m_title = QFileInfo(archive).completeBaseName();
    m_iconsList = SceneObject::loadSceneObjsFromPath(m_workspace).value_or(QList<SceneObject>());
    m_hasSnap = QFileInfo(shotPath(m_workspace)).isFile();
    m_tableView->clearSelection();
    loadThumbnail();
    m_txtThumbFile->clear();
    loadDispViewInf();
}

void ScenesMaker::onExport()
{
    const QString archive = choose(false, loadAppString("ScenesMaker-Save Scene file", "Save Scene file"), m_tmpExportDir,
                                   {QStringLiteral("scp"), QStringLiteral("zip")}, m_txtCaption->text())
                                .value(0);
    if (archive.isEmpty())
        return;
    m_tmpExportDir = QFileInfo(archive).absolutePath();
    QString error;
    if (!saveSettings() && !QFileInfo(QDir(m_workspace).filePath(QStringLiteral("Meta.xml"))).isFile())
        return;
    if (!ScenePackage::exportFolder(m_workspace, archive, &error))
        LogAlert::alertMessage(loadAppString("ScenesMaker-The scene cannot be exported.", "The scene cannot be exported."), error);
    loadThumbnail();
}

void ScenesMaker::onOK()
{
    const QString name = m_txtCaption->text();
    bool taken = !FlashScenesItem::isValidSceneName(name);
    for (const FlashScenesItem &item : FlashScenesItem::sceneItemsFromFolders(FlashScenesItem::collectSceneFolders()))
        if (item.sceneName() == name && item.isApplicationScene())
            taken = true;
    if (taken) {
        LogAlert::alertMessage(loadAppString("ScenesMaker-Please rename the scene!", "Please rename the scene!"),
                               loadAppString("ScenesMaker-The customize scene will be ignored if its name is already in use!",
                                             "This name cannot be used for a scene of your own: it is empty, names "
                                             "a scene of the program or holds characters a folder name cannot have."));
        m_txtCaption->setFocus();
        return;
    }
    m_title = name;
    if (!saveSettings() && !QFileInfo(QDir(m_workspace).filePath(QStringLiteral("Meta.xml"))).isFile())
        return;
    closeWindowWithCode(1);
}

void ScenesMaker::onCancel()
{
    closeWindowWithCode(0);
}

void ScenesMaker::windowWillClose()
{
    m_tableView->setEnabled(false);
}
