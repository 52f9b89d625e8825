#include "publishing/ui/PublishCommand.h"

#include "batch/ConvertParament.h"
#include "foundation/AppStrings.h"
#include "platform/ui/LogAlert.h"
#include "project/AppSettings.h"
#include "publishing/PublishSettings.h"
#include "publishing/ui/PublishBookWindowDelegate.h"

#include <QTimer>
#include <QWidget>

PublishCommand::PublishCommand(QWidget *mainWindow, AppSettings *settings, QObject *parent)
    : QObject(parent), m_mainWindow(mainWindow), m_settings(settings ? settings : AppSettings::shareInstance())
{
}

PublishCommand::~PublishCommand()
{
    delete m_dialog.data();
}

void PublishCommand::setAdditionsMenuEnabled(bool enabled)
{
    if (m_menuSwitch)
        m_menuSwitch(enabled);
}

void PublishCommand::onConvertToFlipBook()
{
    if (m_uploadPending || (m_dialog && m_dialog->isWindowVisible()))
        return;
    setAdditionsMenuEnabled(false);
    delete m_dialog.data();

    auto *dialog = new PublishBookWindowDelegate(this);
    m_dialog = dialog;
    dialog->setOpenPanelNumber(0);
    dialog->setUploadsAvailable(bool(m_onlineUpload), bool(m_ftpUpload));
    if (m_preparer)
        m_preparer(*dialog);
    dialog->setConvertPara(PublishSettings::recordFromAppSettings(*m_settings));
    try {
        dialog->beginSheet(m_mainWindow, [this, dialog](int code) {
            if (dialog == m_dialog)
                publishBookDidEnd(code);
        });
    } catch (const WindowLoadError &error) {
        delete dialog;
        setAdditionsMenuEnabled(true);
        LogAlert::alertMessage(loadAppString("PublishCommand-The publish window cannot be opened.",
                                             "The publish window cannot be opened."),
                               QString::fromStdString(error.what()));
    }
}

void PublishCommand::publishBookDidEnd(int returnCode)
{
    setAdditionsMenuEnabled(true);
    if (m_dialog) {
        PublishSettings::writeRecordToAppSettings(m_dialog->convertPara(), *m_settings);
        m_settings->saveSettings();
        if (m_dialog->openPanelNumber() != 0) {
            m_uploadPending = true;
            // Not from inside the sheet's end: the dialog's window finishes going first.
            QTimer::singleShot(0, this, [this] { waitForReportWindow(kReportWaitChecks); });
        }
    }
    emit publishDialogDidEnd(returnCode);
}

void PublishCommand::waitForReportWindow(int waitsLeft)
{
    if (waitsLeft > 0 && m_dialog && m_dialog->isWindowVisible()) {
        QTimer::singleShot(kReportWaitIntervalMs, this, [this, waitsLeft] { waitForReportWindow(waitsLeft - 1); });
        return;
    }
    m_uploadPending = false;
    runReportPanelAction();
}

void PublishCommand::runReportPanelAction()
{
    if (!m_dialog)
        return;
    switch (m_dialog->openPanelNumber()) {
    case 1:
        if (m_onlineUpload)
            m_onlineUpload();
        else
            LogAlert::alertMessage(
                loadAppString("PublishCommand-Online upload is not available.", "Online upload is not available."),
                loadAppString("PublishCommand-This version cannot upload books to the online service.",
                              "This version cannot upload books to the online service."));
        break;
    case 2:
        if (m_ftpUpload)
            m_ftpUpload(m_dialog->projectFilePath());
        else
            LogAlert::alertMessage(
                loadAppString("PublishCommand-FTP upload is not available.", "FTP upload is not available."),
                loadAppString("PublishCommand-This version cannot copy books to an FTP server.",
                              "This version cannot copy books to an FTP server."));
        break;
    default:
        break;
    }
}
