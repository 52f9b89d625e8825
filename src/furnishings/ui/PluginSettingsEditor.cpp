#include "furnishings/ui/PluginSettingsEditor.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/AuxArgumentString.h"
#include "foundation/SafeFiles.h"
#include "foundation/TextTemplate.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvWebView.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSlider>
#include <QSpinBox>

PluginSettingsEditor::PluginSettingsEditor(const PluginBundle &bundle, QObject *parent)
    : WindowController(QStringLiteral("PluginSettingsEditor"), WindowLoader::Lookup::Localized, parent), m_bundle(bundle)
{
}

PluginSettingsEditor::~PluginSettingsEditor() = default;

void PluginSettingsEditor::bindOutlets()
{
    outlet(m_lblName, "lblName");
    outlet(m_txtLeft, "txtLeft");
    outlet(m_txtTop, "txtTop");
    outlet(m_txtRight, "txtRight");
    outlet(m_txtBottom, "txtBottom");
    outlet(m_sldOpacity, "sldOpacity");
    outlet(m_txtOpacity, "txtOpacity");
    outlet(m_rdoFront, "rdoFront");
    outlet(m_rdoBehind, "rdoBehind");
    outlet(m_btnDefault, "btnDefault");
    outlet(m_btnCancel, "btnCancel");
    outlet(m_btnOK, "btnOK");
    outlet(m_webView, "webView");
}

void PluginSettingsEditor::awakeFromNib()
{
    m_lblName->setText(m_bundle.bgName());
    connect(m_btnOK, &QPushButton::clicked, this, &PluginSettingsEditor::onOK);
    connect(m_btnCancel, &QPushButton::clicked, this, &PluginSettingsEditor::onCancel);
    connect(m_btnDefault, &QPushButton::clicked, this, &PluginSettingsEditor::onDefault);
    connect(m_sldOpacity, &QSlider::valueChanged, m_txtOpacity, &QSpinBox::setValue);
    connect(m_txtOpacity, &QSpinBox::valueChanged, m_sldOpacity, &QSlider::setValue);
    for (QDoubleSpinBox *box : {m_txtLeft, m_txtTop, m_txtRight, m_txtBottom})
        connect(box, &QDoubleSpinBox::valueChanged, this, &PluginSettingsEditor::showSettings);
    connect(m_txtOpacity, &QSpinBox::valueChanged, this, &PluginSettingsEditor::showSettings);
    connect(m_rdoBehind, &QRadioButton::toggled, this, &PluginSettingsEditor::showSettings);

    m_web = QvWebView::instanceWith(m_webView);
    connect(m_web, &QvWebView::loadFinished, this, [this](bool ok) {
        showSettings();
        emit previewLoaded(ok);
    });
    setSettings(m_bundle.settings().value_or(PluginBundleSettings()));
    loadPreview();
}

PluginBundleSettings PluginSettingsEditor::settings() const
{
    PluginBundleSettings s;
    s.left = m_txtLeft->value();
    s.top = m_txtTop->value();
    s.right = m_txtRight->value();
    s.bottom = m_txtBottom->value();
    s.opacity = m_txtOpacity->value();
    s.container = m_rdoBehind->isChecked() ? 1 : 0;
    return s;
}

void PluginSettingsEditor::setSettings(const PluginBundleSettings &s)
{
    window();
    m_updating = true;
    m_txtLeft->setValue(s.left);
    m_txtTop->setValue(s.top);
    m_txtRight->setValue(s.right);
    m_txtBottom->setValue(s.bottom);
    m_txtOpacity->setValue(qRound(std::clamp(s.opacity, 0.0, 100.0)));
    (s.isBehindBook() ? m_rdoBehind : m_rdoFront)->setChecked(true);
    m_updating = false;
    showSettings();
}

void PluginSettingsEditor::showSettings()
{
    if (m_updating || !m_web)
        return;
    const PluginBundleSettings s = settings();
    m_web->callFunction(QStringLiteral("setSettings"),
                        {QVariantMap{{QStringLiteral("left"), s.left},
                                     {QStringLiteral("top"), s.top},
                                     {QStringLiteral("right"), s.right},
                                     {QStringLiteral("bottom"), s.bottom},
                                     {QStringLiteral("opacity"), s.opacity},
                                     {QStringLiteral("behind"), s.isBehindBook()}}});
}

void PluginSettingsEditor::loadPreview()
{
    QFile file(AppResources::resourcePath(QStringLiteral("plugins/settingsPreview.html")));
    if (!file.open(QIODevice::ReadOnly) || !m_preview.isValid())
        return;
    const QDir folder(m_preview.path());
    const QString html = m_bundle.bgPath() + QStringLiteral("/Contents/Resources/html/");
    const bool hasMovie = SafeFiles::copyFile(html + m_bundle.bgName() + QStringLiteral(".swf"), folder.filePath(QStringLiteral("movie.swf")));
    const bool hasShot = SafeFiles::copyFile(m_bundle.shotFilePath(), folder.filePath(QStringLiteral("shot.jpg")));
    SafeFiles::copyFile(AppResources::resourcePath(QStringLiteral("viewer-lib/qv-core.js")), folder.filePath(QStringLiteral("qv-core.js")));
    const QString player = AppResources::resourcePath(QStringLiteral("ruffle"));
    const bool served = hasMovie && m_previewHost && QFileInfo(player).isDir()
                        && AppUtility::copyFromPath(player, folder.filePath(QStringLiteral("ruffle")), false);
    TextTemplate page(QString::fromUtf8(file.readAll()));
    page.setItem(QStringLiteral("player"), served ? QStringLiteral("ruffle/ruffle.js") : QString());
    page.setItem(QStringLiteral("movie"), hasMovie ? QStringLiteral("movie.swf") : QString());
    page.setItem(QStringLiteral("shot"), hasShot ? QStringLiteral("shot.jpg") : QString());
    QSaveFile index(folder.filePath(QStringLiteral("index.html")));
    if (!index.open(QIODevice::WriteOnly) || index.write(page.parse().toUtf8()) < 0 || !index.commit())
        return;
    const QUrl base = served ? m_previewHost(folder.path()) : QUrl();
    if (!base.isEmpty())
        m_web->loadURL(base.resolved(QUrl(QStringLiteral("index.html"))));
    else
        m_web->loadFile(folder.filePath(QStringLiteral("index.html")));
}

void PluginSettingsEditor::onDefault()
{
    const QString defaults = m_bundle.bgPath() + QStringLiteral("/Contents/Resources/data/defaultsettings.dat");
    setSettings(PluginBundleSettings::readFile(defaults).value_or(PluginBundleSettings()));
}

void PluginSettingsEditor::onOK()
{
    QString error;
    if (!m_bundle.saveSettings(settings(), &error)) {
        LogAlert::alertMessage(loadAppString("PluginSettingsEditor-The settings cannot be saved.", "The settings cannot be saved."),
                               error);
        return;
    }
    closeWindowWithCode(1);
}

void PluginSettingsEditor::onCancel()
{
    closeWindowWithCode(0);
}

int PluginSettingsEditor::runFromArguments(const QStringList &arguments, PreviewHost host)
{
    const QString folder = AuxArgumentString::parse(arguments.value(0)).value(QStringLiteral("i"));
    const int language = arguments.indexOf(QStringLiteral("-AppleLanguages"));
    if (language >= 0) {
        QString code = arguments.value(language + 1);
        code.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
        if (!code.trimmed().isEmpty())
            setCurrentLanguageCode(code.trimmed());
    }
    if (folder.isEmpty() || !PluginBundle::isBundleFolder(folder)) {
        qWarning("PluginSettingsEditor: \"i=<bundle folder>\" names no plug-in bundle: %s", qPrintable(folder));
        return 2;
    }
    PluginBundle bundle;
    bundle.loadBundleAtPath(folder);
    PluginSettingsEditor editor(bundle);
    editor.setPreviewHost(std::move(host));
    editor.window();
    editor.center();
    return editor.runModal() == 1 ? 1 : 0;
}
