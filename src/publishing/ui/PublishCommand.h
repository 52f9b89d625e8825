#pragma once
// The main window's publish command: it opens the publish dialog as a sheet on the main
// window with the remembered output settings, and when the sheet ends it stores the
// choices back and goes on to the upload the publish report asked for.
//
// The main window supplies what the command cannot know itself: the book's objects
// (setDialogPreparer), the switch of its "Additions" menu, and the two uploads. While a
// dialog is open, and while an upload waits for the dialog's window to go, the command
// does nothing.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class AppSettings;
class PublishBookWindowDelegate;
class QWidget;

class PublishCommand : public QObject
{
    Q_OBJECT
public:
    // How often, and how far apart, the command looks whether the dialog's window has
    // gone before it starts an upload.
    static constexpr int kReportWaitChecks = 21;
    static constexpr int kReportWaitIntervalMs = 500;

    using DialogPreparer = std::function<void(PublishBookWindowDelegate &dialog)>;
    using MenuSwitch = std::function<void(bool enabled)>;
    using OnlineUpload = std::function<void()>;
    using FtpUpload = std::function<void(const QString &projectFilePath)>;

    // mainWindow hosts the sheet; settings default to the program's shared settings.
    explicit PublishCommand(QWidget *mainWindow, AppSettings *settings = nullptr, QObject *parent = nullptr);
    ~PublishCommand() override;

    // Hands the book's objects to a new dialog (before its window loads).
    void setDialogPreparer(DialogPreparer preparer) { m_preparer = std::move(preparer); }
    void setAdditionsMenuSwitch(MenuSwitch menuSwitch) { m_menuSwitch = std::move(menuSwitch); }
    // Without these, the publish report offers no such upload.
    void setOnlineUpload(OnlineUpload upload) { m_onlineUpload = std::move(upload); }
    void setFtpUpload(FtpUpload upload) { m_ftpUpload = std::move(upload); }

    // The publish command.
    void onConvertToFlipBook();
    // The end of the publish sheet.
    void publishBookDidEnd(int returnCode);

    PublishBookWindowDelegate *publishDialog() const { return m_dialog; }
    bool isUploadPending() const { return m_uploadPending; }

signals:
    // After the sheet ended and the settings were stored.
    void publishDialogDidEnd(int returnCode);

private:
    void setAdditionsMenuEnabled(bool enabled);
    void waitForReportWindow(int waitsLeft);
    void runReportPanelAction();

    QPointer<QWidget> m_mainWindow;
    AppSettings *m_settings;
    QPointer<PublishBookWindowDelegate> m_dialog;
    DialogPreparer m_preparer;
    MenuSwitch m_menuSwitch;
    OnlineUpload m_onlineUpload;
    FtpUpload m_ftpUpload;
    bool m_uploadPending = false;
};
