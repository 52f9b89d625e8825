#pragma once
// The image well of the dialogs: one picture scaled into the well's bounds, over an
// optional background colour and inside an optional border. While the mouse is over
// the well, a translucent panel offers two buttons, open and delete. The well reads
// and removes no files itself: it tells its delegate which button was pressed; the
// delegate chooses a file, sets image() and keeps the path in imageFile().

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

class FillBGView;
class ImageEditView;
class QPushButton;

// Receives the well's button presses; both calls are optional.
class ImageEditViewDelegate
{
public:
    virtual ~ImageEditViewDelegate() = default;
    // The open button was pressed.
    virtual void ImageEditViewBrowseImage(ImageEditView *view) {}
    // The delete button was pressed.
    virtual void ImageEditViewWillRemoveImage(ImageEditView *view) {}
};

// Draws a picture centred and scaled proportionally (up or down) into its bounds.
class FittedImageView : public QWidget
{
    Q_OBJECT
public:
    explicit FittedImageView(QWidget *parent = nullptr);
    QImage image() const { return m_image; }
    void setImage(const QImage &image);
    // Where the picture is drawn in the view.
    QRect imageRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};

class ImageEditView : public QWidget
{
    Q_OBJECT
public:
    // The well at frame (in its parent).
    explicit ImageEditView(const QRect &frame, QWidget *parent = nullptr);
    // A well named name filling holder, a placeholder of a window description; it
    // takes the holder's minimum size (or its size when it has none) as its frame.
    static ImageEditView *fillingHolder(QWidget *holder, const QString &name);

    // Not owned: the owner clears it before the delegate goes.
    ImageEditViewDelegate *delegate() const { return m_delegate; }
    void setDelegate(ImageEditViewDelegate *delegate) { m_delegate = delegate; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    QString imageFile() const { return m_imageFile; }
    void setImageFile(const QString &path) { m_imageFile = path; }
    QImage image() const;
    void setImage(const QImage &image);

    // Fill behind the picture; an invalid colour means no fill.
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    bool isStroke() const { return m_isStroke; }
    void setIsStroke(bool on);
    // Border colour; an invalid colour draws black.
    QColor strokeColor() const { return m_strokeColor; }
    void setStrokeColor(const QColor &color);
    // Border width in pixels; 0 is taken as 1 when the well is drawn.
    double strokeLineValue() const { return m_strokeLineValue; }
    void setStrokeLineValue(double width);

    FittedImageView *imageView() const { return m_imageView; }
    FillBGView *filterView() const { return m_filterView; }
    QWidget *centerView() const { return m_centerView; }
    QPushButton *openButton() const { return m_btnOpen; }
    QPushButton *deleteButton() const { return m_btnDelete; }
    // Side of the two buttons: 32, or 16 for a well narrower or lower than 64.
    int buttonSize() const { return m_buttonSize; }

public slots:
    void onBrowse();
    void onDelete();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void centerButtons();

    ImageEditViewDelegate *m_delegate = nullptr;
    int m_tag = 0;
    QString m_imageFile;
    QColor m_backgroundColor;
    bool m_isStroke = false;
    QColor m_strokeColor;
    double m_strokeLineValue = 1.0;
    FittedImageView *m_imageView = nullptr;
    FillBGView *m_filterView = nullptr;
    QWidget *m_centerView = nullptr;
    QPushButton *m_btnOpen = nullptr;
    QPushButton *m_btnDelete = nullptr;
    QSize m_lastSize;
    int m_buttonSize = 32;
};
