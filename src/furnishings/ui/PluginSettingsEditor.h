#pragma once
// The window of the plug-in settings editor (the helper program "PluginSettingsEditor",
// tools/pluginsettings): the margins of a bundle's movie on the screen, its opacity
// and whether it plays in front of or behind the book, with a live view of the movie
// over a sketch of the book. OK keeps the settings and the bundle's files in its save
// folder (PluginBundle::saveSettings) and ends with 1; Cancel and the close box change
// nothing and end with 0.
//
// The movie plays through the SWF player when the opener serves the view over http
// (setPreviewHost); otherwise the bundle's picture stands in for it.

#include "furnishings/PluginBundle.h"
#include "platform/ui/WindowController.h"

#include <QTemporaryDir>
#include <QUrl>
#include <functional>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QvWebView;

class PluginSettingsEditor : public WindowController
{
    Q_OBJECT
public:
    // Serves a folder over http and answers its address ("" when it cannot).
    using PreviewHost = std::function<QUrl(const QString &folder)>;

    explicit PluginSettingsEditor(const PluginBundle &bundle, QObject *parent = nullptr);
    ~PluginSettingsEditor() override;

    void setPreviewHost(PreviewHost host) { m_previewHost = std::move(host); }
    const PluginBundle &bundle() const { return m_bundle; }
    // The settings as the controls show them.
    PluginBundleSettings settings() const;
    void setSettings(const PluginBundleSettings &settings);
    QvWebView *previewView() const { return m_web; }

    void onOK();
    void onCancel();
    void onDefault();

    // The helper program's run: the argument "i=<bundle folder>" (escaped), optionally
    // followed by "-AppleLanguages" "(<code>)". Shows the window for that bundle and
    // returns the program's exit code: 1 accepted, 0 cancelled, 2 a bad command line.
    static int runFromArguments(const QStringList &arguments, PreviewHost host);

signals:
    // The live view finished loading (ok: it loaded).
    void previewLoaded(bool ok);

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    void loadPreview();
    void showSettings();

    PluginBundle m_bundle;
    PreviewHost m_previewHost;
    QTemporaryDir m_preview;
    bool m_updating = false;
    QvWebView *m_web = nullptr;
    QLabel *m_lblName = nullptr;
    QDoubleSpinBox *m_txtLeft = nullptr, *m_txtTop = nullptr, *m_txtRight = nullptr, *m_txtBottom = nullptr;
    QSlider *m_sldOpacity = nullptr;
    QSpinBox *m_txtOpacity = nullptr;
    QRadioButton *m_rdoFront = nullptr, *m_rdoBehind = nullptr;
    QPushButton *m_btnDefault = nullptr, *m_btnCancel = nullptr, *m_btnOK = nullptr;
    QWidget *m_webView = nullptr;
};
