#pragma once
// The "My scene" dialog: composes a scene package in a working folder (the
// workspace) from layer files, each placed in a corner of the book area or stretched
// over it, behind or in front of the book. It shows a live preview of the layers (SWF
// layers through the SWF player when the opener serves the preview over http), takes
// the preview picture "shot.jpg" (a chosen picture, or a shot of the preview), and
// exports or imports the workspace as a package archive ("scp" or "zip").
//
// The layers are the rows of a SceneLayersModel: moved with the buttons or by dragging
// rows, deleted with the buttons or by dragging rows out of the window.
//
// A shot of the preview shows the layers as they are: while the preview page loads,
// OK, Export and a click on the preview wait for it (the window stays usable; Cancel
// ends the wait) and go on when it has loaded.
//
// The opener sets the workspace (and the title) before the window loads, runs it
// modally, and on close code 1 installs the workspace under title(). The file field
// shows "{sceneworkspace}" in place of the workspace's path.

#include "furnishings/SceneLayersModel.h"
#include "platform/ui/WindowController.h"

#include <QList>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>

class DragOutToDelete;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
class QvWebView;

class ScenesMaker : public WindowController
{
    Q_OBJECT
public:
    // Serves a folder over http and answers its address ("" when it cannot).
    using PreviewHost = std::function<QUrl(const QString &folder)>;

    explicit ScenesMaker(QObject *parent = nullptr);
    ~ScenesMaker() override;

    QString workspace() const { return m_workspace; }
    void setWorkspace(const QString &folder) { m_workspace = folder; }
    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    void setPreviewHost(PreviewHost host) { m_previewHost = std::move(host); }

    const QList<SceneObject> &iconsList() const { return m_layers->items(); }
    SceneLayersModel *layers() const { return m_layers; }
    bool hasSnap() const { return m_hasSnap; }
    QvWebView *previewView() const { return m_web; }
    // The folder the preview page is written into, and its address.
    QString previewFolder() const { return m_preview.path(); }
    QUrl previewUrl() const { return m_previewUrl; }

    // The commands of the window's buttons.
    void onAddIcons();
    void onRemoveSelectedIcons();
    void onClearAll();
    void onMoveUp();
    void onMoveDown();
    // New: the fields describe a layer still to be added, no longer the chosen row.
    void onEditInformation();
    void onBrowseSWF();
    void onBrowseThumb();
    void onSnap();
    void onImport();
    void onExport();
    void onOK();
    void onCancel();

    void loadSettings();
    // What writing the workspace came to: the scene written with its preview picture;
    // the scene (its description or a layer's file) not written; or the scene written
    // but no preview picture made.
    enum class Saved { Done, SceneNotWritten, NoShot };
    // Writes the workspace (see saveSettings in the .cpp); error gets the reason.
    Saved saveSettings(QString *error = nullptr);
    // True while OK, Export or a shot waits for the preview to load.
    bool isWaitingForPreview() const { return bool(m_afterPreview); }

    static constexpr int kShotSize = 180;
    // The preview picture made from a chosen picture: fitted into 180 by 180.
    static QImage scaledShot(const QImage &picture);

signals:
    // The preview page finished loading (ok: it loaded).
    void previewLoaded(bool ok);

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    void windowWillClose() override;

private:
    // The selected rows, ascending; selectedRow() is the first of them or -1.
    QList<int> selectedRows() const;
    int selectedRow() const;
    void selectRows(const QList<int> &rows);
    void checkButtonStatus();
    void updateDispItem();
    void setEditStatus(bool editing);
    void editItemEnd();
    void loadWebFile();
    void loadThumbnail();
    bool snapWebView();
    void loadDispViewInf();
    // Runs then at once, or once the preview has loaded when it is loading (the
    // preview's picture is to be taken); one such wait at a time.
    void whenPreviewLoaded(std::function<void()> then);
    void importArchive(const QString &archive);
    void exportTo(const QString &archive);
    bool needsShot() const;
    // Says why saving came to saved (not Done).
    void tellNotSaved(Saved saved, const QString &error);
    QString withMacro(const QString &path) const;
    QString withoutMacro(const QString &text) const;
    void choose(bool open, const QString &title, const QString &directory, const QStringList &types,
                std::function<void(const QString &path)> chosen, const QString &name = QString());

    QString m_workspace;
    QString m_title;
    SceneLayersModel *m_layers;
    DragOutToDelete *m_dragOut = nullptr;
    std::function<void()> m_afterPreview;
    bool m_hasSnap = false;
    QString m_tmpImportDir, m_tmpExportDir, m_tmpSWFDir, m_tmpThumbDir;
    PreviewHost m_previewHost;
    QTemporaryDir m_preview;
    QUrl m_previewUrl;
    QvWebView *m_web = nullptr;
    bool m_previewLoading = false;

    QPushButton *m_btnAdd = nullptr, *m_btnRemove = nullptr, *m_btnClearAll = nullptr, *m_btnMoveUp = nullptr,
                *m_btnMoveDown = nullptr, *m_btnEdit = nullptr, *m_btnCancel = nullptr, *m_btnOK = nullptr,
                *m_btnImport = nullptr, *m_btnExport = nullptr, *m_btnBrowse = nullptr, *m_btnLoadThumb1 = nullptr,
                *m_btnLoadThumb2 = nullptr, *m_btnSnap = nullptr;
    QTableView *m_tableView = nullptr;
    QLineEdit *m_txtCaption = nullptr, *m_txtFile = nullptr, *m_txtThumbFile = nullptr;
    QComboBox *m_popLayer = nullptr, *m_popLayout = nullptr;
    QWidget *m_webView = nullptr;
};
