#include "publishing/ui/ImageEditView.h"

#include "publishing/ui/FillBGView.h"
#include "publishing/ui/NamedImage.h"

#include <QEnterEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

FittedImageView::FittedImageView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FittedImageView::setImage(const QImage &image)
{
    m_image = image;
    update();
}

QRect FittedImageView::imageRect() const
{
    if (m_image.isNull() || width() < 1 || height() < 1)
        return {};
    const QSize fitted = m_image.size().scaled(size(), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void FittedImageView::paintEvent(QPaintEvent *)
{
    const QRect target = imageRect();
    if (target.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_image);
}

ImageEditView::ImageEditView(const QRect &frame, QWidget *parent) : QWidget(parent)
{
    setGeometry(frame);
    m_lastSize = frame.size();

    // The picture fills the well; the hover panel lies over it.
    m_imageView = new FittedImageView(this);
    m_imageView->setGeometry(rect());

    m_filterView = new FillBGView(this);
    QColor panel(Qt::lightGray);
    panel.setAlphaF(0.8f);
    m_filterView->setBackgroundColor(panel);
    m_filterView->setGeometry(rect());
    m_filterView->hide();

    const int s = frame.width() < 64 || frame.height() < 64 ? 16 : 32;
    m_buttonSize = s;
    m_centerView = new QWidget(m_filterView);
    m_centerView->setGeometry((frame.width() - (s + 4)) / 2, (frame.height() - (2 * s + 6)) / 2, s + 4, 2 * s + 6);

    auto makeButton = [&](const QString &image, QStyle::StandardPixmap fallback, int y) {
        auto *button = new QPushButton(m_centerView);
        button->setFlat(true);
        button->setGeometry(2, y, s, s);
        button->setIcon(NamedImage::icon(image, fallback));
        button->setIconSize(QSize(s - 4, s - 4));
        button->setStyleSheet(QStringLiteral("QPushButton { border-radius: %1px; }").arg(s * 0.125));
        return button;
    };
    // Delete sits above open.
    m_btnDelete = makeButton(QStringLiteral("ieDelete"), QStyle::SP_TrashIcon, 2);
    m_btnOpen = makeButton(QStringLiteral("ieOpen"), QStyle::SP_DirOpenIcon, s + 4);
    m_btnOpen->setObjectName(QStringLiteral("btnOpen"));
    m_btnDelete->setObjectName(QStringLiteral("btnDelete"));
    connect(m_btnOpen, &QPushButton::clicked, this, &ImageEditView::onBrowse);
    connect(m_btnDelete, &QPushButton::clicked, this, &ImageEditView::onDelete);
}

ImageEditView *ImageEditView::fillingHolder(QWidget *holder, const QString &name)
{
    const QSize size = holder->minimumSize().isEmpty() ? holder->size() : holder->minimumSize();
    auto *well = new ImageEditView(QRect(QPoint(), size), holder);
    well->setObjectName(name);
    auto *layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(well);
    return well;
}

QImage ImageEditView::image() const
{
    return m_imageView->image();
}

void ImageEditView::setImage(const QImage &image)
{
    m_imageView->setImage(image);
}

void ImageEditView::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    update();
}

void ImageEditView::setIsStroke(bool on)
{
    m_isStroke = on;
    update();
}

void ImageEditView::setStrokeColor(const QColor &color)
{
    m_strokeColor = color;
    update();
}

void ImageEditView::setStrokeLineValue(double width)
{
    m_strokeLineValue = width;
    update();
}

void ImageEditView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_backgroundColor.isValid())
        painter.fillRect(rect(), m_backgroundColor);
    if (m_strokeLineValue == 0)
        m_strokeLineValue = 1.0;
    if (m_isStroke) {
        const double w = m_strokeLineValue;
        painter.setPen(QPen(m_strokeColor.isValid() ? m_strokeColor : QColor(Qt::black), w));
        painter.setBrush(Qt::NoBrush);
        // The whole line inside the bounds.
        painter.drawRect(QRectF(rect()).adjusted(w / 2, w / 2, -w / 2, -w / 2));
    }
}

void ImageEditView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_imageView->setGeometry(rect());
    m_filterView->setGeometry(rect());
    if (size() != m_lastSize) {
        m_lastSize = size();
        centerButtons();
    }
}

void ImageEditView::centerButtons()
{
    const int s = m_buttonSize;
    const int x = std::max(0, (width() - (s + 4)) / 2);
    const int y = (height() - (2 * s + 6)) / 2;
    m_centerView->setGeometry(x, y, s + 4, 2 * s + 6);
}

void ImageEditView::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    m_filterView->show();
    m_filterView->raise();
}

void ImageEditView::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_filterView->hide();
}

void ImageEditView::onBrowse()
{
    m_filterView->hide();
    if (m_delegate)
        m_delegate->ImageEditViewBrowseImage(this);
}

void ImageEditView::onDelete()
{
    m_filterView->hide();
    if (m_delegate)
        m_delegate->ImageEditViewWillRemoveImage(this);
}
