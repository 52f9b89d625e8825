#include "publishing/ui/OutputReport.h"

#include "foundation/AppStrings.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/Workspace.h"
#include "publishing/PluginPackageNote.h"

#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

OutputReport::OutputReport(const QString &fileName, QObject *parent)
    : WindowController(QStringLiteral("OutputReport"), WindowLoader::Lookup::Localized, parent),
      m_outputFileName(fileName)
{
}

void OutputReport::bindOutlets()
{
    outlet(lblFileName, "lblFileName");
    outlet(lblPackageNote, "lblPackageNote");
    outlet(btnViewBook, "btnViewBook");
    outlet(btnOpenFolder, "btnOpenFolder");
    outlet(btnUploadOnline, "btnUploadOnline");
    outlet(btnFTPUpload, "btnFTPUpload");
    outlet(btnClose, "btnClose");
}

void OutputReport::awakeFromNib()
{
    lblFileName->setText(m_outputFileName);
    lblFileName->setCursorPosition(0);
    // A plug-in package: its size, and how to install one too large for an upload form.
    const QString note = PluginPackageNote::text(m_outputFileName, m_outputType);
    lblPackageNote->setText(note);
    lblPackageNote->setVisible(!note.isEmpty());
    // The window grows to the lines of the note: a window does not ask its layout for the
    // height its width needs by itself.
    if (QLayout *layout = window()->layout(); layout && layout->hasHeightForWidth()) {
        const int height = layout->totalHeightForWidth(window()->width());
        window()->setMinimumHeight(height);
        window()->resize(window()->width(), std::max(window()->height(), height));
    }
    buttonActionInit();
}

void OutputReport::buttonActionInit()
{
    connect(btnClose, &QPushButton::clicked, this, &OutputReport::onClose);
    connect(btnViewBook, &QPushButton::clicked, this, &OutputReport::onViewBook);
    connect(btnOpenFolder, &QPushButton::clicked, this, &OutputReport::onOpenFolder);
    connect(btnUploadOnline, &QPushButton::clicked, this, &OutputReport::onUploadOnline);
    connect(btnFTPUpload, &QPushButton::clicked, this, &OutputReport::onFTPUpload);
    btnViewBook->setEnabled(m_outputType.isViewable());
    btnUploadOnline->setEnabled(m_onlineAvailable);
    if (!m_onlineAvailable)
        btnUploadOnline->setToolTip(loadAppString("OutputReport-This version cannot upload books to the online service.",
                                                  "This version cannot upload books to the online service."));
    btnFTPUpload->setEnabled(m_ftpAvailable);
    if (!m_ftpAvailable)
        btnFTPUpload->setToolTip(loadAppString("OutputReport-This version cannot copy books to an FTP server.",
                                               "This version cannot copy books to an FTP server."));
}

void OutputReport::onClose()
{
    close();
}

void OutputReport::onViewBook()
{
    // A web page opens in the browser. An application package is a macOS program that
    // cannot start here, so it is shown in its folder like every other kind.
    if (QFileInfo(m_outputFileName).suffix().toLower() == QLatin1String("html"))
        Workspace::openWebPage(QUrl::fromLocalFile(QFileInfo(m_outputFileName).absoluteFilePath()));
    else
        Workspace::selectFile(m_outputFileName);
}

void OutputReport::onOpenFolder()
{
    Workspace::selectFile(m_outputFileName);
}

void OutputReport::onUploadOnline()
{
    if (!m_onlineAvailable)
        return;
    m_openPanelNumber = 1;
    close();
}

void OutputReport::onFTPUpload()
{
    if (!m_ftpAvailable)
        return;
    m_openPanelNumber = 2;
    close();
}
