#pragma once
// The application icon maker: the user assembles a desktop application's ".icns"
// icon from pictures, one per size (1024, 512, 256, 128, 32, 16; 1024 optional), by
// dropping files on the size wells or choosing them with a well's open button. After
// a picture is put into a well (other than 16), the maker offers to fill every
// smaller size from it. An existing icon file opens with its pictures in the wells.
//
//   AppIconMakerDelegate maker;
//   maker.setIconFile(currentIcon);      // may be empty
//   if (maker.runModal() == 1) use(maker.iconFile());   // the new ".icns"
//
// The new icon lies in a temporary folder of its own; the caller keeps a copy.
// "Failed to convert app icon!" tells the user when a required size is missing or a
// picture cannot be used; the maker then stays open.

#include "platform/ui/WindowController.h"
#include "publishing/AppIconWorkspace.h"
#include "publishing/ui/ImageEditView.h"

#include <QHash>
#include <QImage>
#include <QPointer>

class DragFileImport;
class QPushButton;
struct Notification;

class AppIconMakerDelegate : public WindowController, public ImageEditViewDelegate
{
    Q_OBJECT
public:
    explicit AppIconMakerDelegate(QObject *parent = nullptr);
    ~AppIconMakerDelegate() override;

    // In: the icon to edit (set before the window is asked for). Out after OK: the new icon.
    QString iconFile() const { return m_iconFile; }
    void setIconFile(const QString &path) { m_iconFile = path; }

    QVariantMap fileDict() const { return m_icons.fileDict(); }
    QString workspace() const { return m_icons.workspace(); }
    // The well of size (1024 ... 16), its drop target, and the well that got the last picture.
    ImageEditView *well(int size) const { return m_wells.value(size); }
    DragFileImport *dropTarget(int size) const { return m_dropTargets.value(size); }
    ImageEditView *imageViewForDrop() const { return m_imageViewForDrop; }
    // The picture an empty well shows.
    QImage grayImage() const { return m_grayImage; }

    void ImageEditViewBrowseImage(ImageEditView *view) override;
    void ImageEditViewWillRemoveImage(ImageEditView *view) override;

public slots:
    void onOK();
    void onCancel();
    void onSwitchTo1024();
    void onSwitchTo512();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    void onDragFileEnd(const Notification &notification);
    void innerDragFileEnd(DragFileImport *target);
    void endImageEditViewImport(const QString &path);
    // Shows path in well and remembers it; then offers the fill-down where it applies.
    void refreshImageView(ImageEditView *well, const QString &path);
    void alertForAutoFill();
    void endAlertSheet(int accepted);
    // Shows the picture of path in well (grey when it cannot be loaded); true when loaded.
    bool showFile(ImageEditView *well, const QString &path);

    AppIconWorkspace m_icons;
    QString m_iconFile;
    QImage m_grayImage;
    QHash<int, ImageEditView *> m_wells;
    QHash<int, DragFileImport *> m_dropTargets;
    QPointer<ImageEditView> m_imageViewForDrop;
    qint64 m_hasChangedFlag = 0;

    QWidget *_viewNormal = nullptr;
    QWidget *_viewSpecil = nullptr;
    QWidget *_view1024Outline = nullptr;
    QPushButton *_btnSwitch1024 = nullptr;
    QPushButton *_btnSwitch512 = nullptr;
    QPushButton *_btnOK = nullptr;
    QPushButton *_btnCancel = nullptr;
};
