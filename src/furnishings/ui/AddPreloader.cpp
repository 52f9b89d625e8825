#include "furnishings/ui/AddPreloader.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

AddPreloader::AddPreloader(QObject *parent)
    : WindowController(QStringLiteral("AddPreloader"), WindowLoader::Lookup::Localized, parent)
{
}

void AddPreloader::bindOutlets()
{
    outlet(m_txtPreloader, "txtPreloader");
    outlet(m_txtThumb, "txtThumb");
    outlet(m_btnBrowsePreloader, "btnBrowsePreloader");
    outlet(m_btnBrowseThumb, "btnBrowseThumb");
    outlet(m_btnCancel, "btnCancel");
    outlet(m_btnOK, "btnOK");
    outlet(m_imgThumb, "imgThumb");
}

void AddPreloader::awakeFromNib()
{
    const auto browse = [this](QLineEdit *field, const QString &title, const QStringList &types) {
        QvPanelOptions options;
        options.title = title;
        options.types = types;
        options.directory = field->text().isEmpty() ? userDocumentsFolder() : QFileInfo(field->text()).absolutePath();
        QvPanel::runForPath(this, options, [field](const QString &path) { field->setText(path); });
    };
    connect(m_btnBrowsePreloader, &QPushButton::clicked, this, [this, browse] {
        browse(m_txtPreloader, loadAppString("AddPreloader-Choose the preloader movie", "Choose the preloader movie"),
               {QStringLiteral("swf")});
    });
    connect(m_btnBrowseThumb, &QPushButton::clicked, this, [this, browse] {
        browse(m_txtThumb, loadAppString("AddPreloader-Choose its picture", "Choose its picture"),
               {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif"), QStringLiteral("bmp")});
    });
    connect(m_txtThumb, &QLineEdit::textChanged, this, &AddPreloader::showThumb);
    connect(m_btnOK, &QPushButton::clicked, this, &AddPreloader::onOK);
    connect(m_btnCancel, &QPushButton::clicked, this, &AddPreloader::onCancel);
}

QString AddPreloader::thumbFile() const
{
    return m_txtThumb ? m_txtThumb->text().trimmed() : QString();
}

QString AddPreloader::preloaderFile() const
{
    return m_txtPreloader ? m_txtPreloader->text().trimmed() : QString();
}

void AddPreloader::showThumb()
{
    QImageReader reader(thumbFile());
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    m_imgThumb->setPixmap(picture.isNull() ? QPixmap()
                                           : QPixmap::fromImage(picture.scaled(m_imgThumb->minimumSize(), Qt::KeepAspectRatio,
                                                                               Qt::SmoothTransformation)));
}

void AddPreloader::onOK()
{
    if (!QFileInfo(preloaderFile()).isFile() || !QFileInfo(thumbFile()).isFile()) {
        LogAlert::alertMessage(loadAppString("AddPreloader-Choose a movie and its picture first.", "Choose a movie and its picture first."),
                               QString());
        return;
    }
    closeWindowWithCode(1);
}

void AddPreloader::onCancel()
{
    closeWindowWithCode(0);
}
