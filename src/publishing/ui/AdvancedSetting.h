#pragma once
// The advanced output settings sheet of one output kind: the meta data and extra
// script of the book's page (web kinds), the title, version, bundle identifier, icon,
// window size and close behaviour of a desktop application book (1), the title, icon
// and window size of a Windows executable book (3), and the password of a sealed
// package (5, read by the owner through fmappPassword()).
//
// This class opens with the values of the application settings and stores them there
// on OK (and saves the settings); BatchAdvancedSetting binds the same window to one
// output settings record instead. The sheet ends with closeMode(): 1 after OK, 0 after
// Cancel, which stores nothing.
//
// The icon well: its open button opens the application icon maker (kind 1) or a file
// panel (kind 3), its delete button goes back to the default icon; icon files may also
// be dropped anywhere on the sheet (".icns" for kind 1, icons and pictures for kind 3).

#include "platform/ui/WindowController.h"
#include "publishing/AdvancedSettingValues.h"
#include "publishing/ui/ImageEditView.h"

#include <QSize>

class DragFileImport;
class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
struct Notification;

class AdvancedSetting : public WindowController, public ImageEditViewDelegate
{
    Q_OBJECT
public:
    explicit AdvancedSetting(int outputType, QObject *parent = nullptr);
    ~AdvancedSetting() override;

    int outputType() const { return m_outputType; }
    // The icon the user chose; empty for the default icon.
    QString iconFileName() const { return m_iconFileName; }
    void setIconFileName(const QString &path) { m_iconFileName = path; }
    bool isClose() const { return m_isClose; }
    // The icon shown when none is chosen (kind 1), and what the icon maker starts from.
    QString appIconsFile() const { return m_appIconsFile; }
    void setAppIconsFile(const QString &path) { m_appIconsFile = path; }
    // The icon shown when none is chosen (kind 3).
    QString exeIcoFile() const { return m_exeIcoFile; }
    void setExeIcoFile(const QString &path) { m_exeIcoFile = path; }
    // The sealed package's password as typed; empty when the window has none.
    QString fmappPassword() const;
    DragFileImport *dragFileImport() const { return m_dragFileImport; }
    ImageEditView *iconView() const { return m_iconView; }

    // The largest icon of the Windows launcher stub as an icon file; empty when the
    // stub cannot be read or has no icon.
    static QString orginExeIco();
    // The icon of the desktop application template (whether it exists is not checked).
    static QString orginAppICNS();
    // The number filter of the size fields.
    static QString CheckInputNumber(const QString &text);
    // The size of the main screen, which custom window sizes are checked against.
    static QSize screenSize();

    void ImageEditViewBrowseImage(ImageEditView *view) override;
    void ImageEditViewWillRemoveImage(ImageEditView *view) override;

public slots:
    void onOKClick();
    void onCancelClick();
    void onWindowSizeItemsChange();
    void onImageViewClick();
    void openICONMaker();

protected:
    // The kind may change until the window loads (the record-bound sheet sets it then).
    void setOutputTypeBeforeLoad(int outputType) { m_outputType = outputType; }

    // The values the sheet opens with, and where a confirmed sheet puts them.
    virtual AdvancedSettingValues loadValues();
    virtual void storeValues(const AdvancedSettingValues &values);

    void bindOutlets() override;
    void awakeFromNib() override;
    void windowWillClose() override;

private:
    void fillFields(const AdvancedSettingValues &values);
    void showWindowSize(const QString &value);
    void layoutForKind();
    void prepareIconWell();
    // The well shows the picture of path (empty when it cannot be read).
    void showIcon(const QString &path);
    void controlTextDidChange(QLineEdit *field);
    void ImportIconDragEnd(const Notification &notification);
    void innerImportIconDragEnd(const QStringList &paths);
    int selectedSizeTag() const;

    int m_outputType = 0;
    QString m_iconFileName;
    QString m_appIconsFile;
    QString m_exeIcoFile;
    bool m_isClose = false;
    AdvancedSettingValues m_values;
    DragFileImport *m_dragFileImport = nullptr;

    // Outlets.
    QTabWidget *tabView = nullptr;
    QWidget *tabAdvanced = nullptr;
    QWidget *AdvancedView = nullptr;
    QWidget *htmlView = nullptr;
    QWidget *appView = nullptr;
    QWidget *fmappView = nullptr;
    QGroupBox *boxAppInfo = nullptr;
    QGroupBox *boxAddScripts = nullptr;
    QLineEdit *txtPageTitle = nullptr;
    QLineEdit *txtPageWords = nullptr;
    QLineEdit *txtPageDescription = nullptr;
    QPlainTextEdit *txtScriptInput = nullptr;
    QLineEdit *txtAppTitle = nullptr;
    QLineEdit *txtAppVersion = nullptr;
    QLineEdit *txtAppIdentifier = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblIdentifier = nullptr;
    QCheckBox *btnCloseMode = nullptr;
    QWidget *WindowSizeItems = nullptr;
    QLineEdit *txtWindowWidth = nullptr;
    QLineEdit *txtWindowHeight = nullptr;
    ImageEditView *m_iconView = nullptr;
    QLineEdit *txtPassword = nullptr;
    QPushButton *btnOK1 = nullptr;
    QPushButton *btnCancel1 = nullptr;
    QPushButton *btnOK2 = nullptr;
    QPushButton *btnCancel2 = nullptr;
};
