#pragma once
// The plug-in package dialog: publishes the open book as a WordPress plug-in, a Joomla
// module or a Drupal module, a ZIP file in a folder of the user's choice.
//
//   PublishPluginDelegate dialog;
//   dialog.packageRun().setBookMaker(...);   // the open book, for the conversion
//   dialog.convertBook();                     // starts at once, in the background
//   dialog.window(); dialog.center();
//   dialog.runModal();                        // 1 after a package was written
//
// The user picks the system, folder, name, title, the size in the page with its
// units, and for Joomla and Drupal the version and module id; these are remembered in
// the plug-in settings file (PluginSettings, which also keeps the chosen system under
// "type"). Publish checks the form on the main thread, takes every value there and
// hands them to the run (PluginPackageRun); a watch every 0.33 seconds shows how the
// package ended. While a package is written the controls are off and the close box is
// refused. A success asks whether to reveal the package and closes with 1; a failure
// keeps the dialog open for another try.

#include "batch/ConvertParament.h"
#include "platform/ui/WindowController.h"
#include "publishing/PluginPackageRun.h"
#include "publishing/PluginSettings.h"
#include "publishing/ui/BatchAdvancedSetting.h"
#include "publishing/ui/PluginDetailViews.h"

#include <QPointer>
#include <QSize>
#include <QTimer>

class PPDetailView;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class PublishPluginDelegate : public WindowController
{
    Q_OBJECT
public:
    static constexpr QSize kMinimumWindowSize{700, 530};
    static constexpr int kWatchIntervalMs = 330;

    explicit PublishPluginDelegate(QObject *parent = nullptr);
    ~PublishPluginDelegate() override;

    PluginPackageRun &packageRun() { return m_run; }
    UploadBookDelegate &uploadBookDelegate() { return m_run.uploadBookDelegate(); }
    ConvertParament &convertPara() { return m_convertPara; }
    PluginSettings &pluginSettings() { return m_pluginSettings; }
    QVariantMap &settingsDict() { return m_pluginSettings.settingsDict(); }
    QString loadValueMd5() const { return m_pluginSettings.loadValueMd5(); }
    BatchAdvancedSetting *advancedSettings() const { return m_advancedSettings; }
    PPDetailView *detailView(OutputKind kind) const { return m_detailViews.view(kind); }
    // The system chosen: WordPress, Joomla or Drupal.
    OutputKind selectedKind() const;

    // Converts the book for the package (again) in the background, with the page
    // settings of the record and the title field.
    void convertBook();

    // The window never gets smaller than 700 by 530.
    static QSize windowWillResize(const QSize &proposed);
    // Only the digits of text: pasted letters and markup go.
    static QString checkNumTextField(const QString &text);

    // The form into the settings, and the settings written when they changed.
    void saveSettingDictory();
    void saveSettings();
    void saveConvertPara();

public slots:
    void onTypeChange();
    void onPublish();
    void onCancel();
    void onOpen();
    void onBrowse();
    void onAdvanced();
    void onDefualtSize();
    void onRepeatTimer();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    bool windowShouldClose() override;
    void windowWillClose() override;

private:
    void SetButtonStatus(bool enabled);
    void checkChangeDetailView();
    void AlertMessagePluginOK();
    void AlertMessagePluginFailed();
    void AlertMessagePulishError();
    void AdvancedWindowDidEnd(int returnCode);
    void controlTextDidChange(QLineEdit *field);
    // The checks of Publish: true when the form can be published; folder and target
    // are then set.
    bool checkForm(QString *folder, QString *target);

    PluginPackageRun m_run;
    ConvertParament m_convertPara;
    PluginSettings m_pluginSettings;
    PluginDetailViews m_detailViews;
    QPointer<BatchAdvancedSetting> m_advancedSettings;
    QTimer m_repeatTimer;
    bool m_showingOutcome = false;
    QString m_lastTarget;
    OutputKind m_lastKind = OutputKind::WordPress;

    QGroupBox *boxDetail = nullptr;
    QWidget *matTypeOptions = nullptr;
    QLineEdit *txtOutputFolder = nullptr;
    QLineEdit *txtOutputName = nullptr;
    QLineEdit *txtTitle = nullptr;
    QPushButton *btnOpen = nullptr;
    QPushButton *btnBrowse = nullptr;
    QPushButton *btnAdvanced = nullptr;
    QPushButton *btnPublic = nullptr;
    QPushButton *btnCancel = nullptr;
    QProgressBar *prgIndicator = nullptr;
    QLineEdit *txtWidth = nullptr;
    QLineEdit *txtHeight = nullptr;
    QComboBox *comUnit = nullptr;
    QComboBox *comUnit1 = nullptr;
    QPushButton *btnDefaultSize = nullptr;
    QLabel *imageView = nullptr;
};
