#pragma once
// The "My scene" dialog: composes a scene package in a working folder (the
// workspace) from layer files, each placed in a corner of the book area or stretched
// over it, behind or in front of the book. It shows a live preview of the layers (SWF
// layers through the SWF player when the opener serves the preview over http), takes
// the preview picture "shot.jpg" (a chosen picture, or a shot of the preview), and
// exports or imports the workspace as a package archive ("scp" or "zip").
//
// The opener sets the workspace (and the title) before the window loads, runs it
// modally, and on close code 1 installs the workspace under title(). The file field
// shows "{sceneworkspace}" in place of the workspace's path.

#include "furnishings/SceneObject.h"
#include "platform/ui/WindowController.h"

#include <QList>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
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

    const QList<SceneObject> &iconsList() const { return m_iconsList; }
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
    void onBrowseSWF();
    void onBrowseThumb();
    void onSnap();
    void onImport();
    void onExport();
    void onOK();
    void onCancel();

    void loadSettings();
    // Writes the workspace (see saveSettings in the .cpp); false when a step failed.
    bool saveSettings();

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
    int selectedRow() const;
    void reloadTable();
    void checkButtonStatus();
    void updateDispItem();
    void setEditStatus(bool editing);
    void editItemEnd();
    void loadWebFile();
    void loadThumbnail();
    bool snapWebView();
    void loadDispViewInf();
    QString withMacro(const QString &path) const;
    QString withoutMacro(const QString &text) const;
    QStringList choose(bool open, const QString &title, const QString &directory, const QStringList &types,
                       const QString &name = QString());

    QString m_workspace;
    QString m_title;
    QList<SceneObject> m_iconsList;
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
    QTableWidget *m_tableView = nullptr;
    QLineEdit *m_txtCaption = nullptr, *m_txtFile = nullptr, *m_txtThumbFile = nullptr;
    QComboBox *m_popLayer = nullptr, *m_popLayout = nullptr;
    QWidget *m_webView = nullptr;
};
