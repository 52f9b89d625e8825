#pragma once
// The output window: output kind, target folder, file name and book title, the
// mobile-version and basic-HTML switches, the mobile template, a mobile settings file
// and its panel (MobileSettingView). The window itself publishes nothing: it is the
// base of the batch list's per-row settings (ConvertSettings), which binds the fields
// to an output record. This class does what every output window shares: closing, the
// mobile settings file and panel, the folder chooser and opener.
//
// A chosen mobile settings file (a settings text or a theme package) is loaded into
// mobileTemplate(), which is made ("Metro") when the owner set none.

#include "platform/ui/WindowController.h"

#include <memory>

class FlashTemplate;
class MobileSettingView;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;

class OutputWindowDelegate : public WindowController
{
    Q_OBJECT
public:
    explicit OutputWindowDelegate(QObject *parent = nullptr);
    ~OutputWindowDelegate() override;

    QString mbSettingFile() const { return m_mbSettingFile; }
    void setMbSettingFile(const QString &path) { m_mbSettingFile = path; }
    std::shared_ptr<FlashTemplate> mobileTemplate() const { return m_mobileTemplate; }
    void setMobileTemplate(std::shared_ptr<FlashTemplate> tmpl) { m_mobileTemplate = std::move(tmpl); }
    MobileSettingView *mobileSettingView() const { return _mbSettingView; }

    // What the result window asked to open next, and the state of a run the subclass
    // makes (0, a running flag and the run's identifier while none runs).
    int openPanelNumber() const { return m_openPanelNumber; }
    bool isStart() const { return m_isStart; }
    QString taskID() const { return m_taskID; }

public slots:
    void initMobileSettingView();
    void onOpenMBSetting();
    void onShowMobileSetting();
    void onMobileSettingViewDismiss();
    void onMobileVersionChange();
    void onSelectFolder();
    void onOpenFolder();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    // The enabling rules of the kind; the subclass owns them.
    virtual void CheckOutputSetting() {}

    // The chosen mobile settings file: stored and loaded into the mobile template.
    void endBrowseTextFile(const QString &path);
    void endSelectFolder(const QString &path);
    void refreshOuputPath(const QString &path);

    QString m_mbSettingFile;
    std::shared_ptr<FlashTemplate> m_mobileTemplate;
    int m_openPanelNumber = 0;
    bool m_isStart = false;
    QString m_taskID;

    QLineEdit *txtOutputFolder = nullptr;
    QLineEdit *txtOutputName = nullptr;
    QLineEdit *txtTitle = nullptr;
    QWidget *mOutputType = nullptr;
    QCheckBox *btnMakeMobileVersion = nullptr;
    QLabel *lblMakeMobileVersion = nullptr;
    QCheckBox *btnBasicHtml = nullptr;
    QComboBox *btnMobileTmplName = nullptr;
    QLabel *ExFileName = nullptr;
    QProgressBar *prgBar = nullptr;
    QLabel *lblInfo = nullptr;
    QGroupBox *boxType = nullptr;
    QGroupBox *boxPath = nullptr;
    QGroupBox *boxOptions = nullptr;
    QPushButton *btnPublic = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnOpen = nullptr;
    QPushButton *btnBrowse = nullptr;
    QPushButton *btnAdvanced = nullptr;
    QPushButton *btnShowMobileSetting = nullptr;
    QPushButton *btnMobileSettingDone = nullptr;
    QPushButton *_btnMobleSetting = nullptr;
    QWidget *_mobileSettingCtrl = nullptr;
    MobileSettingView *_mbSettingView = nullptr;
};
