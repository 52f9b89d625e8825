#include "furnishings/ui/ScenesMaker.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/ImageUtility.h"
#include "foundation/SafeFiles.h"
#include "foundation/TextTemplate.h"
#include "furnishings/FlashScenesItem.h"
#include "furnishings/ScenePackage.h"
#include "platform/ui/DragOutToDelete.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWebView.h"
#include "platform/ui/QvWindow.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFileInfo>
#include <QHeaderView>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QWebEngineView>

namespace {

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
    : WindowController(QStringLiteral("ScenesMaker"), WindowLoader::Lookup::Localized, parent),
      m_layers(new SceneLayersModel(this))
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

    m_tableView->setModel(m_layers);
    m_tableView->horizontalHeader()->setSectionResizeMode(SceneLayersModel::CaptionColumn, QHeaderView::Stretch);
    m_tableView->horizontalHeader()->setSectionsMovable(false);
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->setDragDropMode(QAbstractItemView::InternalMove); // drops only from this list
    m_tableView->setDefaultDropAction(Qt::MoveAction);
    m_tableView->setDragDropOverwriteMode(false);
    m_tableView->verticalHeader()->hide();

    connect(m_btnAdd, &QPushButton::clicked, this, &ScenesMaker::onAddIcons);
    connect(m_btnRemove, &QPushButton::clicked, this, &ScenesMaker::onRemoveSelectedIcons);
    connect(m_btnClearAll, &QPushButton::clicked, this, &ScenesMaker::onClearAll);
    connect(m_btnMoveUp, &QPushButton::clicked, this, &ScenesMaker::onMoveUp);
    connect(m_btnMoveDown, &QPushButton::clicked, this, &ScenesMaker::onMoveDown);
    connect(m_btnEdit, &QPushButton::clicked, this, &ScenesMaker::onEditInformation);
    connect(m_btnCancel, &QPushButton::clicked, this, &ScenesMaker::onCancel);
    connect(m_btnOK, &QPushButton::clicked, this, &ScenesMaker::onOK);
    connect(m_btnImport, &QPushButton::clicked, this, &ScenesMaker::onImport);
    connect(m_btnExport, &QPushButton::clicked, this, &ScenesMaker::onExport);
    connect(m_btnBrowse, &QPushButton::clicked, this, &ScenesMaker::onBrowseSWF);
    connect(m_btnLoadThumb1, &QPushButton::clicked, this, &ScenesMaker::onBrowseThumb);
    connect(m_btnLoadThumb2, &QPushButton::clicked, this, &ScenesMaker::onBrowseThumb);
    const auto onPop = [this](QComboBox *pop, bool layer) {
        connect(pop, &QComboBox::activated, this, [this, pop, layer] {
            const int index = pop->currentIndex();
            for (int row : selectedRows())
                m_layers->changeItem(row, [index, layer](SceneObject &object) {
                    if (layer)
                        object.setLayerIndex(index);
                    else
                        object.setLayoutIndex(index);
                });
            if (selectedRow() >= 0)
                editItemEnd();
        });
    };
    onPop(m_popLayer, true);
    onPop(m_popLayout, false);
    const auto selectionChanged = [this] {
        checkButtonStatus();
        updateDispItem();
        setEditStatus(selectedRow() < 0);
    };
    connect(m_tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this, selectionChanged);
    // A reset of the list drops the selection without a word: the buttons follow.
    connect(m_layers, &QAbstractItemModel::modelReset, this, selectionChanged);

    // Rows dragged inside the list move; dragged out of the window they are deleted.
    m_dragOut = new DragOutToDelete(
        m_layers->registDragType(),
        [this](const QByteArray &rows) {
            if (!m_layers->removeDraggedOut(rows).isEmpty())
                editItemEnd();
        },
        this);
    m_dragOut->setList(m_tableView);
    m_dragOut->attachToWindow();
    connect(m_layers, &RowListModel::dragStarted, m_dragOut, &DragOutToDelete::dragStarted);
    connect(m_layers, &RowListModel::rowsDropped, this, [this](const QList<int> &rows) {
        m_dragOut->onDeleteWindowDismiss();
        selectRows(rows);
        editItemEnd();
    });

    m_web = QvWebView::instanceWith(m_webView);
    connect(m_web, &QvWebView::loadFinished, this, [this](bool ok) {
        m_previewLoading = false;
        emit previewLoaded(ok);
        m_btnOK->setEnabled(true);
        if (auto then = std::exchange(m_afterPreview, {}))
            then();
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

QList<int> ScenesMaker::selectedRows() const
{
    QList<int> rows;
    if (m_tableView && m_tableView->selectionModel())
        for (const QModelIndex &index : m_tableView->selectionModel()->selectedRows())
            rows << index.row();
    return ListRows::clean(rows, m_layers->rowCount());
}

int ScenesMaker::selectedRow() const
{
    return selectedRows().value(0, -1);
}

void ScenesMaker::selectRows(const QList<int> &rows)
{
    QItemSelection selection;
    for (int row : rows)
        selection.select(m_layers->index(row, 0), m_layers->index(row, SceneLayersModel::ColumnCount - 1));
    m_tableView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void ScenesMaker::loadSettings()
{
    if (!m_workspace.isEmpty()) {
        const std::optional<QList<SceneObject>> layers = SceneObject::loadSceneObjsFromPath(m_workspace);
        if (layers && !layers->isEmpty())
            m_layers->setItems(*layers);
    }
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
    const QList<int> rows = selectedRows();
    m_btnRemove->setEnabled(!rows.isEmpty());
    m_btnMoveUp->setEnabled(!rows.isEmpty() && rows.first() > 0);
    m_btnMoveDown->setEnabled(!rows.isEmpty() && rows.last() < m_layers->rowCount() - 1);
}

void ScenesMaker::updateDispItem()
{
    const SceneObject *layer = m_layers->itemAt(selectedRow());
    if (!layer)
        return;
    m_txtFile->setText(withMacro(layer->file()));
    m_popLayer->setCurrentIndex(layer->isForeground() ? 1 : 0);
    m_popLayout->setCurrentIndex(int(qBound(qint64(0), layer->layoutIndex(), qint64(SceneObject::ScaleToFit))));
}

void ScenesMaker::onEditInformation()
{
    // A new layer is edited: no row stays chosen, or the fields would go on changing it.
    m_tableView->clearSelection();
    m_tableView->setCurrentIndex({});
    setEditStatus(true);
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
    m_layers->append(SceneObject(QFileInfo(file).absoluteFilePath(), m_popLayer->currentIndex(), m_popLayout->currentIndex()));
    checkButtonStatus();
    loadWebFile();
}

void ScenesMaker::onRemoveSelectedIcons()
{
    if (!LogAlert::askOKCancel(loadAppString("ScenesMaker-Are you sure to delete the selected item(s)?",
                                             "Are you sure to delete the selected item(s)?"),
                               QString()))
        return;
    m_layers->removeRowsAt(selectedRows());
    checkButtonStatus();
    loadWebFile();
}

void ScenesMaker::onClearAll()
{
    if (!LogAlert::askOKCancel(loadAppString("ScenesMaker-Are you sure you want to delete all the items?",
                                             "Are you sure you want to delete all the items?"),
                               QString()))
        return;
    m_layers->setItems({});
    checkButtonStatus();
    loadWebFile();
}

void ScenesMaker::onMoveUp()
{
    const QList<int> moved = m_layers->moveUp(selectedRows());
    if (moved.isEmpty())
        return;
    selectRows(moved);
    loadWebFile();
}

void ScenesMaker::onMoveDown()
{
    const QList<int> moved = m_layers->moveDown(selectedRows());
    if (moved.isEmpty())
        return;
    selectRows(moved);
    loadWebFile();
}

void ScenesMaker::editItemEnd()
{
    checkButtonStatus();
    loadWebFile();
}

void ScenesMaker::choose(bool open, const QString &title, const QString &directory, const QStringList &types,
                         std::function<void(const QString &path)> chosen, const QString &name)
{
    QvPanelOptions options;
    options.isOpenPanel = open;
    options.title = title;
    options.directory = directory;
    options.types = types;
    options.nameFieldStringValue = name;
    QvPanel::runForPath(this, options, std::move(chosen));
}

void ScenesMaker::onBrowseSWF()
{
    choose(true, loadAppString("ScenesMaker-Open SWF file", "Open SWF file"), m_tmpSWFDir,
           {QStringLiteral("swf"), QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif")},
           [this](const QString &file) {
               m_txtFile->setText(withMacro(file));
               m_tmpSWFDir = QFileInfo(file).absolutePath();
               // One layer chosen: it takes the file.
               const QList<int> rows = selectedRows();
               if (rows.size() == 1 && SceneObject::isPlainFileName(QFileInfo(file).fileName())) {
                   m_layers->changeItem(rows.first(), [&file](SceneObject &layer) { layer.setFile(file); });
                   editItemEnd();
               }
           });
}

void ScenesMaker::onBrowseThumb()
{
    choose(true, loadAppString("ScenesMaker-Open Thumbnail file", "Open Thumbnail file"), m_tmpThumbDir,
           {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif"), QStringLiteral("bmp"),
            QStringLiteral("tiff")},
           [this](const QString &file) {
               m_txtThumbFile->setText(file);
               m_tmpThumbDir = QFileInfo(file).absolutePath();
               QString error;
               const Saved saved = saveSettings(&error);
               if (saved != Saved::Done)
                   tellNotSaved(saved, error);
               loadThumbnail();
           });
}

void ScenesMaker::onSnap()
{
    if (m_layers->rowCount() == 0)
        return;
    whenPreviewLoaded([this] {
        if (!snapWebView())
            return;
        loadThumbnail();
        m_txtThumbFile->clear();
        m_hasSnap = true;
    });
}

void ScenesMaker::whenPreviewLoaded(std::function<void()> then)
{
    if (!m_previewLoading || !m_web) {
        then();
        return;
    }
    m_btnOK->setEnabled(true); // an OK that waited before waits no more
    m_afterPreview = std::move(then);
}

bool ScenesMaker::snapWebView()
{
    if (m_workspace.isEmpty() || !m_web)
        return false;
    QDir().mkpath(m_workspace);
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

bool ScenesMaker::needsShot() const
{
    const QString thumb = m_txtThumbFile->text();
    return (thumb.isEmpty() || !QFileInfo(thumb).isFile()) && !m_hasSnap;
}

ScenesMaker::Saved ScenesMaker::saveSettings(QString *error)
{
    QString why;
    const auto fail = [&](Saved saved, const QString &reason) {
        if (error)
            *error = reason;
        return saved;
    };
    if (m_workspace.isEmpty())
        return fail(Saved::SceneNotWritten, QString());
    if (!SceneObject::saveSceneObjs(m_layers->items(), m_txtCaption->text(), QString(), m_workspace, &why))
        return fail(Saved::SceneNotWritten, why);
    const QString thumb = m_txtThumbFile->text();
    const QString shot = shotPath(m_workspace);
    if (!thumb.isEmpty() && QFileInfo(thumb).isFile()) {
        QImageReader reader(thumb);
        reader.setAutoTransform(true);
        const QImage picture = reader.read();
        if (picture.isNull())
            return fail(Saved::NoShot, loadAppString("ScenesMaker-\"%1\" is not a picture that can be read.",
                                                      "\"%1\" is not a picture that can be read.")
                                           .arg(QDir::toNativeSeparators(thumb)));
        return writeJpeg(scaledShot(picture), shot) ? Saved::Done : fail(Saved::NoShot, QDir::toNativeSeparators(shot));
    }
    // The picture shown is the shot taken earlier; without one, a shot is taken now.
    if ((m_hasSnap && QFileInfo(shot).isFile()) || snapWebView())
        return Saved::Done;
    return fail(Saved::NoShot, QDir::toNativeSeparators(shot));
}

void ScenesMaker::tellNotSaved(Saved saved, const QString &error)
{
    if (saved == Saved::SceneNotWritten)
        LogAlert::alertMessage(loadAppString("ScenesMaker-The scene cannot be saved.", "The scene cannot be saved."), error);
    else if (saved == Saved::NoShot)
        LogAlert::alertMessage(loadAppString("ScenesMaker-The preview picture of the scene cannot be made.",
                                             "The preview picture of the scene cannot be made."),
                               loadAppString("ScenesMaker-Choose a picture for it, or click the preview to take one.",
                                             "Choose a picture for it, or click the preview to take one."),
                               error);
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
    // The layer files are copied beside the page, so a server of that folder reaches them.
    const QString folder = m_preview.path();
    for (const QString &old : QDir(folder).entryList({QStringLiteral("layer*")}, QDir::Files))
        QFile::remove(QDir(folder).filePath(old));
    bool movies = false;
    QJsonArray background, foreground;
    for (int i = 0; i < m_layers->rowCount(); ++i) {
        const SceneObject &layer = m_layers->items().at(i);
        const QString suffix = QFileInfo(layer.file()).suffix().toLower();
        // The file's own extension stays, so the page tells movies from pictures.
        const QString name = QStringLiteral("layer%1.%2").arg(i).arg(suffix);
        if (!SafeFiles::copyFile(layer.file(), QDir(folder).filePath(name)))
            continue;
        movies = movies || suffix == QLatin1String("swf");
        (layer.isForeground() ? foreground : background)
            .append(QJsonObject{{QStringLiteral("file"), name},
                                {QStringLiteral("position"), SceneObject::positionValue(layer.layoutIndex())}});
    }
    // The page takes the layers as text of an attribute, never as markup.
    const QJsonObject scene{{QStringLiteral("background"), background}, {QStringLiteral("foreground"), foreground}};
    page.setItem(QStringLiteral("scene"), QString::fromUtf8(QJsonDocument(scene).toJson(QJsonDocument::Compact)).toHtmlEscaped());
    for (const char *shared : {"qv-core.js", "qv-ui.css"})
        SafeFiles::copyFile(AppResources::resourcePath(QStringLiteral("viewer-lib/") + QLatin1String(shared)),
                            QDir(folder).filePath(QLatin1String(shared)));
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
    choose(true, loadAppString("ScenesMaker-Load Scene file", "Load Scene file"), m_tmpImportDir,
           {QStringLiteral("scp"), QStringLiteral("zip")}, [this](const QString &archive) { importArchive(archive); });
}

void ScenesMaker::importArchive(const QString &archive)
{
    m_tmpImportDir = QFileInfo(archive).absolutePath();
    // The workspace is replaced only by a package that unpacked whole.
    QTemporaryDir work;
    QString error;
    const QString package = ScenePackage::unpackArchive(archive, work.path(), &error);
    // A package without layers leaves the list as it was: the layers' files go into
    // the package first, so the list still names files that are there.
    const bool keepLayers = !package.isEmpty() && SceneObject::loadSceneObjsFromPath(package).value_or(QList<SceneObject>()).isEmpty()
                            && m_layers->rowCount() > 0;
    if (keepLayers && !SceneObject::saveSceneObjs(m_layers->items(), SceneObject::sceneTitleFromPath(package),
                                                  SceneObject::sceneDescFromPath(package), package, &error)) {
        LogAlert::alertMessage(loadAppString("ScenesMaker-The scene cannot be imported.", "The scene cannot be imported."), error);
        return;
    }
    if (package.isEmpty() || !ScenePackage::replaceFolder(package, m_workspace, &error)) {
        LogAlert::alertMessage(loadAppString("ScenesMaker-The scene cannot be imported.", "The scene cannot be imported."), error);
        return;
    }
    m_title = QFileInfo(archive).completeBaseName();
    m_layers->setItems(SceneObject::loadSceneObjsFromPath(m_workspace).value_or(QList<SceneObject>()));
    m_hasSnap = QFileInfo(shotPath(m_workspace)).isFile();
    loadThumbnail();
    m_txtThumbFile->clear();
    loadDispViewInf();
}

void ScenesMaker::onExport()
{
    choose(false, loadAppString("ScenesMaker-Save Scene file", "Save Scene file"), m_tmpExportDir,
           {QStringLiteral("scp"), QStringLiteral("zip")},
           [this](const QString &archive) {
               m_tmpExportDir = QFileInfo(archive).absolutePath();
               if (needsShot())
                   whenPreviewLoaded([this, archive] { exportTo(archive); });
               else
                   exportTo(archive);
           },
           m_txtCaption->text());
}

void ScenesMaker::exportTo(const QString &archive)
{
    QString error;
    const Saved saved = saveSettings(&error);
    if (saved != Saved::Done) {
        tellNotSaved(saved, error);
        return;
    }
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
    if (needsShot() && m_previewLoading) {
        // The shot is of the preview as it is now: OK goes on once it has loaded.
        whenPreviewLoaded([this] { onOK(); });
        m_btnOK->setEnabled(false);
        return;
    }
    QString error;
    const Saved saved = saveSettings(&error);
    if (saved != Saved::Done) {
        tellNotSaved(saved, error);
        return;
    }
    m_title = name;
    closeWindowWithCode(1);
}

void ScenesMaker::onCancel()
{
    closeWindowWithCode(0);
}

void ScenesMaker::windowWillClose()
{
    // Nothing waits for the preview once the window has closed.
    m_afterPreview = {};
    m_btnOK->setEnabled(true);
    m_tableView->setEnabled(false);
}
