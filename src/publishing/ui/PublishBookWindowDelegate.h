#pragma once
// The publish dialog: the window through which the user writes the open book out.
//
// The main window creates it, hands it the book's objects and a ConvertParament filled
// from the settings, and begins it as a sheet. The user chooses one of six output kinds
// (0 web folder, 1 desktop application, 3 Windows executable, 6 WordPress, 7 Joomla,
// 8 Drupal), the folder, file name, title, load type, the basic-HTML and ZIP switches,
// a cover shot and, for the web content systems, the plug-in size, version and id
// (remembered in PluginSettings). Choosing a kind stores it in the record at once; the
// other fields go into the record with saveConvertPara().
//
// Publish (onPublish) checks the choices, has phone pages made when the book has none
// (PhonePageRun, on a worker; the user reviews them), makes the output folder when it
// is missing, then starts the dialog's PublishRun, answering its questions about older
// items in the way; the progress area shows the run's progress. While pictures are made
// or a run is under way the controls are disabled and the close box is refused; Cancel
// tells the run to stop and its end gives the controls back. When the run has finished
// the dialog says what went wrong or shows the publish report. The window ends with
// closeMode(): 0 cancelled, 1 published. Afterwards the owner reads convertPara(),
// openPanelNumber() and projectFilePath().
//
// The kind buttons behave as one radio group in which no button may be chosen (a
// stored kind 2, 4 or 5 opens with none chosen and publishes as 0), so the dialog keeps
// their exclusivity itself.

#include "batch/ConvertParament.h"
#include "online/OnlineUserInf.h"
#include "output/BookParts.h"
#include "platform/ui/WindowController.h"
#include "output/OutputKind.h"
#include "publishing/PhonePageRun.h"
#include "publishing/PluginSettings.h"
#include "publishing/PublishRun.h"
#include "publishing/ui/PublishRunServices.h"
#include "publishing/ui/BatchAdvancedSetting.h"
#include "publishing/ui/PluginDetailViews.h"
#include "templates/FlashTemplate.h"

#include <QHash>
#include <QPointer>
#include <QSize>
#include <QStringList>
#include <QVariantMap>
#include <memory>

class BookMarkTabs;
class FlashOutline;
class FlashPageSource;
class FlashPagesAnnotations;
class GenerateAssistant;
class PDFSearch;
class DrawSingleLine;
class OutputOperation;
class PublishPlugin;
class PPDetailView;
class QvPanel;

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class PublishBookWindowDelegate : public WindowController
{
    Q_OBJECT
public:
    static constexpr QSize kMinimumWindowSize{800, 600};

    explicit PublishBookWindowDelegate(QObject *parent = nullptr);
    ~PublishBookWindowDelegate() override;

    // --- Inputs, set by the main window before the window is shown. The book's objects
    // belong to the main window, which keeps them alive while the dialog exists.
    FlashPageSource *flashPageSource() const { return m_flashPageSource; }
    // The book's pages; the first thumbnail page is the cover shot when none is given.
    void setFlashPageSource(FlashPageSource *source) { m_flashPageSource = source; }
    // The book's template; in bookcase mode the bookcase template.
    FlashTemplate *flashTmpl() const { return m_flashTmpl; }
    void setFlashTmpl(FlashTemplate *tmpl) { m_flashTmpl = tmpl; }
    FlashTemplate *mobileTemplate() const { return m_mobileTemplate; }
    void setMobileTemplate(FlashTemplate *tmpl) { m_mobileTemplate = tmpl; }
    // The book's parts (bookmarks, tabs, protection, narration, scene, plug-in bundle,
    // downloads, annotations, cover); the run hands the job a copy.
    const BookParts &bookParts() const { return m_bookParts; }
    void setBookParts(const BookParts &parts) { m_bookParts = parts; }
    // Single parts, into the same value.
    void setFlashPagesAnnotations(std::shared_ptr<FlashPagesAnnotations> a) { m_bookParts.setAnnotations(std::move(a)); }
    void setFlashOutline(std::shared_ptr<FlashOutline> outline) { m_bookParts.setOutline(std::move(outline)); }
    void setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs) { m_bookParts.setBookmarkTabs(std::move(tabs)); }
    void setGenerateAssistant(std::shared_ptr<GenerateAssistant> a) { m_bookParts.setAssistant(std::move(a)); }
    void setPluginBundleName(const QString &name) { m_bookParts.setPluginBundleName(name); }
    void setDownloadCfgWorkspace(const QString &folder) { m_bookParts.setDownloadWorkspace(folder); }
    PDFSearch *pdfSearch() const { return m_pdfSearch; }
    void setPdfSearch(PDFSearch *search) { m_pdfSearch = search; }
    PDFSearch *mobileSearch() const { return m_mobileSearch; }
    void setMobileSearch(PDFSearch *search) { m_mobileSearch = search; }
    bool isBookcaseMode() const { return m_isBookcaseMode; }
    void setIsBookcaseMode(bool on) { m_isBookcaseMode = on; }
    // The signed-in online account; not signed in when none.
    OnlineUserInf userInfo() const { return m_userInfo; }
    void setUserInfo(const OnlineUserInf &user) { m_userInfo = user; }
    QString shotFile() const { return m_shotFile; }
    void setShotFile(const QString &path) { m_shotFile = path; }

    // --- Edited record and outputs.
    ConvertParament &convertPara() { return m_convertPara; }
    const ConvertParament &convertPara() const { return m_convertPara; }
    void setConvertPara(const ConvertParament &record) { m_convertPara = record; }
    // What follows the closing: 0 nothing, 1 online upload, 2 FTP upload.
    int openPanelNumber() const { return m_openPanelNumber; }
    void setOpenPanelNumber(int number) { m_openPanelNumber = number; }
    // The published main file, set by the run.
    QString projectFilePath() const { return m_projectFilePath; }
    void setProjectFilePath(const QString &path) { m_projectFilePath = path; }

    // The uploads the publish report may offer (by default none).
    void setUploadsAvailable(bool online, bool ftp) { m_uploads = {online, ftp}; }

    // --- State.
    // A job is running.
    bool isStart() const { return m_run.isStart(); }
    QString taskID() const { return m_run.taskID(); }
    // The items moved out of the run's way and their temporary folder.
    PublishBackup &publishBackup() { return m_run.backup(); }
    QString backupFilePath() const { return m_run.backup().backupFilePath(); }
    const QMap<QString, QString> &backupPathDict() const { return m_run.backup().backupPathDict(); }
    std::shared_ptr<PublishPlugin> convertPlugin() const { return m_run.convertPlugin(); }
    // The job of the current or last run.
    std::shared_ptr<OutputOperation> outputJob() const { return m_run.job(); }
    PublishRunServices &runServices() { return m_runServices; }
    void setRunServices(const PublishRunServices &services) { m_runServices = services; }
    // The detail view of a web content system kind; null for other kinds or before the
    // window loads.
    PPDetailView *detailView(OutputKind kind) const;
    PluginSettings &pluginSettings() { return m_pluginSettings; }
    QVariantMap &settingsDict() { return m_pluginSettings.settingsDict(); }
    QString loadValueMd5() const { return m_pluginSettings.loadValueMd5(); }

    // --- Operations.
    // Shows what the record's kind calls for (options view, detail view, switches,
    // extension) and puts the record's file name back into the name field.
    void checkDisplayForOutput();
    void onTypeChange();
    // Folder, name, title, basic HTML, load type and ZIP into the record.
    void saveConvertPara();
    // Enables the controls around a run (false while a job runs) and shows or hides
    // the progress area.
    void setButtonsStatus(bool enabled);
    void setProgressIndeterminate(bool indeterminate);

    // Plug-in settings: load into the fields' sources, copy the fields in, save.
    void loadDictionaryFromFile();
    void saveSettingDictory();
    // saveSettingDictory(), the next module id for kinds 7 and 8, the write and digest.
    void saveDictionaryToFile();
    void saveSettings();
    QString settingsValueMD5() const { return m_pluginSettings.settingsValueMD5(); }
    QString getJoomlaVersion() const;
    QString getJoomlaID() const;
    QString getDrupalVersion() const;
    QString getDrupalID() const;

    // The window never gets smaller than 800 by 600: each smaller dimension is raised.
    static QSize windowWillResize(const QSize &proposed);
    // text without its last character when that is not an ASCII digit.
    static QString checkNumTextField(const QString &text);

    // --- Actions.
    // Chooses the kind of sender (none chosen and kind 0 when sender is no kind button).
    void onChooseOutputType(QAbstractButton *sender);
    void onChangeShot();
    void openImageFileByPanel(const QString &path);
    void onSelectFolder();
    void endSelectFolder(const QString &path);
    void onOpenFolder();
    // Opens the advanced settings of the chosen kind as a sheet over the record.
    void onAdvanced();
    // The advanced sheet while it is open, else null.
    BatchAdvancedSetting *advancedSettings() const { return m_advancedSettings; }
    // The run: checks, phone pages, folder, then the run.
    void onPublish();
    // Tells a running run to stop (its end follows), or closes with 0 when none runs.
    void onCancel();
    void onDefualtSize();
    void onChangedUnit();
    void onChangedUnitForHeight();
    void controlTextDidChange(QLineEdit *field);
    // The end of the advanced sheet: with code 1 the title field shows the record's
    // title, and a desktop application's icon is kept in the user's extra-data folder.
    void AdvancedWindowDidEnd(int returnCode);

    // The end of a run: reports failures, and after success shows the report and
    // closes with 1.
    void publishBookFinished(const PublishRun::Result &result);
    // The finish itself failed: stops a run still going, puts back what is still aside.
    void errorWhileConver();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutInitial();
    void actionInitial();
    void prepareCoverShot();
    void showShotImage(const QString &path);
    // The extension beside the name field: the kind's, or ".zip" while the ZIP switch is on.
    void showExtension();
    void setupDetailViews();
    void selectLoadType(int loadType);
    int selectedLoadType() const;
    QList<QAbstractButton *> loadTypeCells() const;
    QList<QAbstractButton *> kindButtons() const;
    QList<PPDetailView *> detailViews() const;
    // The record's kind.
    OutputKind outputKind() const;
    void placeSeparator();

    // The run's steps (PublishBookWindowDelegateRun.cpp).
    bool checkNameAndTitle();
    // True when phone pages are being made: the run goes on when they are in.
    bool askForPhonePages();
    bool makePhonePages();
    void phonePagesSnapped(const QStringList &images);
    // Steps 4 on: saving, the folder, the run.
    void publishWithPhonePages();
    bool prepareOutputFolder(const QString &folder, bool *created);
    PublishRun::Setup runSetup(const QString &folder, bool freshFolder) const;
    bool askToReplace(const QString &path, bool companion);
    void showProgress(qint64 index, qint64 count, int type);
    void showRestoreFailures(const QList<PublishBackup::Failure> &failures);
    void showJobFailure(const PublishRun::Result &result);

    // Inputs and outputs.
    FlashPageSource *m_flashPageSource = nullptr;
    QPointer<FlashTemplate> m_flashTmpl;
    QPointer<FlashTemplate> m_mobileTemplate;
    PDFSearch *m_pdfSearch = nullptr;
    PDFSearch *m_mobileSearch = nullptr;
    BookParts m_bookParts;
    bool m_isBookcaseMode = false;
    OnlineUserInf m_userInfo;
    QString m_shotFile;
    ConvertParament m_convertPara;
    int m_openPanelNumber = 0;
    QString m_projectFilePath;

    // State.
    bool m_progressAnimating = false;
    bool m_progressIndeterminate = false;
    QPointer<BatchAdvancedSetting> m_advancedSettings;
    QHash<QString, QAbstractButton *> m_outputTypeDict;
    PluginSettings m_pluginSettings;
    PluginDetailViews m_detailViews;
    PublishRun m_run;
    PhonePageRun m_phonePages;
    PublishRunServices m_runServices;
    PublishRunServices::Uploads m_uploads;
    QPointer<QvPanel> m_folderPanel;
    QPointer<QvPanel> m_shotPanel;

    // Outlets.
    QAbstractButton *btnOPHtml = nullptr;
    QAbstractButton *btnOPApp = nullptr;
    QAbstractButton *btnOPExe = nullptr;
    QAbstractButton *btnOPWordPress = nullptr;
    QAbstractButton *btnOPJoomla = nullptr;
    QAbstractButton *btnOPDrupal = nullptr;
    QLineEdit *txtOutputFolder = nullptr;
    QPushButton *btnBrowse = nullptr;
    QPushButton *btnOpen = nullptr;
    QLineEdit *txtOutputName = nullptr;
    QLabel *ExFileName = nullptr;
    QLineEdit *txtTitle = nullptr;
    QWidget *mtxLoadType = nullptr;
    QCheckBox *btnBasicHtml = nullptr;
    QCheckBox *btnCompressToZip = nullptr;
    QPushButton *btnShot = nullptr;
    QPushButton *btnAdvanced = nullptr;
    QPushButton *btnPublic = nullptr;
    QPushButton *btnCancel = nullptr;
    QWidget *_infoView = nullptr;
    QLabel *lblInfo = nullptr;
    QProgressBar *prgBar = nullptr;
    QWidget *_outputExtendView = nullptr;
    QWidget *_pluginExtendView = nullptr;
    QGroupBox *boxDetail = nullptr;
    QLineEdit *txtWidth = nullptr;
    QComboBox *comUnit = nullptr;
    QLineEdit *txtHeight = nullptr;
    QComboBox *comUnit1 = nullptr;
    QPushButton *btnDefaultSize = nullptr;
    QWidget *_leftView = nullptr;

    // Made by the layout step.
    PPDetailView *WordPressDetailView = nullptr;
    PPDetailView *JoomlaDetailView = nullptr;
    PPDetailView *DrupalDetailView = nullptr;
    DrawSingleLine *m_separator = nullptr;
    int m_progressMaximum = 100;
};
