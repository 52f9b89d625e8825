#include "publishing/ui/AppIconMakerDelegate.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"

#include <QFileInfo>
#include <QPushButton>

namespace {

constexpr int kLargestSize = 1024;
constexpr int kSmallestSize = 16;

} // namespace

AppIconMakerDelegate::AppIconMakerDelegate(QObject *parent)
    : WindowController(QStringLiteral("AppIconMakerDelegate"), WindowLoader::Lookup::Localized, parent),
      m_icons(createUniqueTempFolder())
{
}

AppIconMakerDelegate::~AppIconMakerDelegate()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    for (ImageEditView *well : std::as_const(m_wells))
        well->setDelegate(nullptr);
    // The pictures made here; the new icon lies in a folder of its own and stays.
    if (!m_icons.workspace().isEmpty())
        removeTree(m_icons.workspace());
}

void AppIconMakerDelegate::bindOutlets()
{
    outlet(_viewNormal, "_viewNormal");
    outlet(_viewSpecil, "_viewSpecil");
    outlet(_view1024Outline, "_view1024Outline");
    outlet(_btnSwitch1024, "_btnSwitch1024");
    outlet(_btnSwitch512, "_btnSwitch512");
    outlet(_btnOK, "_btnOK");
    outlet(_btnCancel, "_btnCancel");
    for (int size : AppIconWorkspace::wellSizes()) {
        const QByteArray holderName = QStringLiteral("_iv%1Holder").arg(size).toLatin1();
        QWidget *holder = nullptr;
        outlet(holder, holderName.constData());
        m_wells.insert(size, ImageEditView::fillingHolder(holder, QStringLiteral("_iv%1").arg(size)));
    }
}

void AppIconMakerDelegate::awakeFromNib()
{
    m_grayImage = QImage(kLargestSize, kLargestSize, QImage::Format_RGB32);
    m_grayImage.fill(QColor(Qt::lightGray));

    const QStringList filters{QStringLiteral("bmp"), QStringLiteral("png"),  QStringLiteral("jpg"),
                              QStringLiteral("gif"), QStringLiteral("tiff"), QStringLiteral("jpeg"),
                              QStringLiteral("ico"), QStringLiteral("icns")};
    for (int size : AppIconWorkspace::wellSizes()) {
        ImageEditView *well = m_wells.value(size);
        well->setImage(m_grayImage);
        well->setDelegate(this);
        well->setTag(size);
        well->setIsStroke(true);
        well->setBackgroundColor(QColor(Qt::lightGray));
        DragFileImport *target = DragFileImport::coverWidget(size == kLargestSize ? _view1024Outline : well, filters);
        target->setIdentifier(QString::number(size));
        target->setObjectName(QStringLiteral("dropTarget%1").arg(size));
        m_dropTargets.insert(size, target);
    }
    _viewNormal->show();
    _viewSpecil->hide();
    _btnSwitch512->hide();

    NotificationCenter::defaultCenter()->addObserver(this, DragReportNotification, nullptr,
                                                     [this](const Notification &n) { onDragFileEnd(n); });
    connect(_btnCancel, &QPushButton::clicked, this, &AppIconMakerDelegate::onCancel);
    connect(_btnOK, &QPushButton::clicked, this, &AppIconMakerDelegate::onOK);
    connect(_btnSwitch1024, &QPushButton::clicked, this, &AppIconMakerDelegate::onSwitchTo1024);
    connect(_btnSwitch512, &QPushButton::clicked, this, &AppIconMakerDelegate::onSwitchTo512);

    if (!m_iconFile.isEmpty() && QFileInfo(m_iconFile).isFile()) {
        m_icons.openIconFile(m_iconFile);
        for (int size : AppIconWorkspace::wellSizes()) {
            const QString path = m_icons.file(size);
            if (!path.isEmpty())
                showFile(m_wells.value(size), path);
        }
    }
}

bool AppIconMakerDelegate::showFile(ImageEditView *well, const QString &path)
{
    const QImage picture = AppIconWorkspace::largestPicture(path);
    well->setImage(picture.isNull() ? m_grayImage : picture);
    well->setImageFile(path);
    return !picture.isNull();
}

void AppIconMakerDelegate::onSwitchTo1024()
{
    _viewNormal->hide();
    _viewSpecil->show();
    _btnSwitch1024->hide();
    _btnSwitch512->show();
}

void AppIconMakerDelegate::onSwitchTo512()
{
    _viewSpecil->hide();
    _viewNormal->show();
    _btnSwitch512->hide();
    _btnSwitch1024->show();
}

void AppIconMakerDelegate::onDragFileEnd(const Notification &notification)
{
    for (DragFileImport *target : std::as_const(m_dropTargets)) {
        if (notification.object == target) {
            QPointer<DragFileImport> dropped(target);
            performOnMainThread([this, dropped] {
                if (dropped)
                    innerDragFileEnd(dropped);
            }, this);
            return;
        }
    }
}

void AppIconMakerDelegate::innerDragFileEnd(DragFileImport *target)
{
    const QStringList paths = target->dragResult();
    ImageEditView *well = m_wells.value(target->identifier().toInt());
    if (paths.isEmpty() || !well)
        return;
    m_icons.setFile(well->tag(), paths.last());
    // The fill-down starts from the well that got the picture, dropped or chosen.
    m_imageViewForDrop = well;
    refreshImageView(well, paths.last());
}

void AppIconMakerDelegate::ImageEditViewBrowseImage(ImageEditView *view)
{
    m_imageViewForDrop = view;
    QvPanelOptions options;
    options.title = loadAppString("AppIconMakerD - Select Image files", "Select Image files");
    options.prompt = options.title;
    options.allowsMultipleSelection = false;
    options.canChooseDirectories = false;
    options.types = {QStringLiteral("png"), QStringLiteral("gif"), QStringLiteral("jpg"),  QStringLiteral("jpeg"),
                     QStringLiteral("bmp"), QStringLiteral("ico"), QStringLiteral("icns"), QStringLiteral("tif")};
    QvPanel::runForPath(this, options, [this](const QString &path) { endImageEditViewImport(path); });
}

void AppIconMakerDelegate::endImageEditViewImport(const QString &path)
{
    ImageEditView *well = m_imageViewForDrop;
    if (!well || path.isEmpty())
        return;
    m_icons.setFile(well->tag(), path);
    refreshImageView(well, path);
}

void AppIconMakerDelegate::refreshImageView(ImageEditView *well, const QString &path)
{
    const bool loaded = showFile(well, path);
    // Nothing to copy from a picture that cannot be loaded; the largest size is
    // offered for copying only as the first picture.
    const bool offer = loaded && well->tag() != kSmallestSize && !(well->tag() == kLargestSize && m_hasChangedFlag == 1);
    if (offer)
        alertForAutoFill();
    m_hasChangedFlag = 1;
}

void AppIconMakerDelegate::alertForAutoFill()
{
    AlertRequest request;
    request.style = AlertStyle::Warning;
    request.buttons = {loadAppString("AppIconMakerD - OK", "OK"), loadAppString("AppIconMakerD - Cancel", "Cancel")};
    request.messageText = loadAppString("AppIconMakerD - Copy image to other sizes now?", "Copy image to other sizes now?");
    request.informativeText = loadAppString(
        "AppIconMakerD - Would you like to copy this image to the smaller icon sizes as well? Press OK to continue, "
        "otherwise use for this size only!",
        "Would you like to copy this image to the smaller icon sizes as well? Press OK to continue, otherwise use for "
        "this size only!");
    request.defaultButton = 0;
    request.escapeButton = 1;
    QPointer<AppIconMakerDelegate> self(this);
    LogAlert::beginAlertSheet(request, window(), [self](int pressed) {
        if (self)
            self->endAlertSheet(pressed == 0 ? 1 : 0);
    });
}

void AppIconMakerDelegate::endAlertSheet(int accepted)
{
    ImageEditView *from = m_imageViewForDrop;
    if (accepted != 1 || !from || from->imageFile().isEmpty())
        return;
    m_icons.fillDown(from->imageFile(), from->tag());
    // Every well shows what the icon will be made of.
    for (int size : AppIconWorkspace::wellSizes()) {
        ImageEditView *well = m_wells.value(size);
        const QString file = m_icons.file(size);
        if (well == from)
            continue;
        if (file.isEmpty()) {
            well->setImage(m_grayImage);
            well->setImageFile(QString());
        } else {
            showFile(well, file);
        }
    }
}

void AppIconMakerDelegate::ImageEditViewWillRemoveImage(ImageEditView *view)
{
    view->setImage(m_grayImage);
    view->setImageFile(QString());
    m_icons.removeFile(view->tag());
}

void AppIconMakerDelegate::onOK()
{
    QString error;
    const QString icon = m_icons.makeIcon(&error);
    if (icon.isEmpty()) {
        LogAlert::alertMessage(loadAppString("AppIconMakerD - Failed to convert app icon!", "Failed to convert app icon!"),
                               QString(), error);
        return;
    }
    m_iconFile = icon;
    closeWindowWithCode(1);
}

void AppIconMakerDelegate::onCancel()
{
    closeWindowWithCode(0);
}
