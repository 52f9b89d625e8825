#include "furnishings/CoverRenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QFuture>
#include <QPainter>
#include <QThread>
#include <QTransform>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Runs work(begin, end) over [0, count) in bands, one band per worker, and waits.
void inBands(QThreadPool &pool, int count, const std::function<void(int, int)> &work)
{
    const int bands = std::max(1, std::min(count, pool.maxThreadCount()));
    QList<QFuture<void>> running;
    for (int b = 0; b < bands; ++b) {
        const int begin = int(qint64(count) * b / bands);
        const int end = int(qint64(count) * (b + 1) / bands);
        running << QtConcurrent::run(&pool, [&work, begin, end] { work(begin, end); });
    }
    for (QFuture<void> &f : running)
        f.waitForFinished();
}

QImage backgroundPicture(const CoverDesign &design)
{
    QImage image(design.canvasSize(), QImage::Format_RGB32);
    if (design.backgroundKind() == CoverDesign::BackgroundKind::Solid) {
        image.fill(design.backgroundColor());
        return image;
    }
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, image.height());
    gradient.setColorAt(0, design.backgroundColor());
    gradient.setColorAt(1, design.backgroundColor2());
    painter.fillRect(image.rect(), gradient);
    return image;
}

// The source in its frame, at the size it has on the canvas before the turn.
QImage framedPicture(const QImage &source, const QSizeF &box, const CoverDesign &design)
{
    const QSize size(std::max(1, int(std::lround(box.width()))), std::max(1, int(std::lround(box.height()))));
    QImage framed(size, QImage::Format_ARGB32_Premultiplied);
    framed.fill(design.frameColor());
    const int frame = std::min(design.frameWidth(), (std::min(size.width(), size.height()) - 1) / 2);
    const QRect inner = framed.rect().adjusted(frame, frame, -frame, -frame);
    QPainter painter(&framed);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(inner, source.scaled(inner.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return framed;
}

// The size of the framed picture on the canvas before the turn.
QSizeF pictureBox(const QSize &sourceSize, const CoverDesign &design)
{
    const QSizeF canvas = design.canvasSize();
    const double aspect = double(sourceSize.width()) / sourceSize.height();
    double boxH = design.pictureScale() * canvas.height();
    double boxW = boxH * aspect;
    if (boxW > canvas.width() * 0.96) {
        boxW = canvas.width() * 0.96;
        boxH = boxW / aspect;
    }
    return {boxW, boxH};
}

// Rows [begin, end) of image as an image of their own, sharing its memory: bands
// of one picture are painted by several workers at once.
QImage band(QImage &image, int begin, int end)
{
    return QImage(image.scanLine(begin), image.width(), end - begin, image.bytesPerLine(), image.format());
}

QImage band(const QImage &image, int begin, int end)
{
    return QImage(image.constScanLine(begin), image.width(), end - begin, image.bytesPerLine(), image.format());
}

// Where the framed picture's corners go on the canvas; false when they cannot.
bool pictureTransform(const QImage &framed, const QPolygonF &quad, QTransform *transform)
{
    const QRectF from(framed.rect());
    const QPolygonF corners({from.topLeft(), from.topRight(), from.bottomRight(), from.bottomLeft()});
    return quad.size() == 4 && QTransform::quadToQuad(corners, quad, *transform);
}

// The shadow's shape: the picture's outline moved by the offset, as coverage 0-255.
std::vector<quint8> shadowShape(const QPolygonF &quad, const CoverDesign &design)
{
    const QSize size = design.canvasSize();
    std::vector<quint8> alpha(size_t(size.width()) * size_t(size.height()), 0);
    if (quad.size() != 4 || design.shadowOpacity() <= 0)
        return alpha;
    QImage shape(size, QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    QPainter painter(&shape);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPolygon(quad.translated(design.shadowOffsetX(), design.shadowOffsetY()));
    painter.end();
    for (int y = 0; y < size.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(shape.constScanLine(y));
        quint8 *to = alpha.data() + size_t(y) * size_t(size.width());
        for (int x = 0; x < size.width(); ++x)
            to[x] = quint8(qAlpha(line[x]));
    }
    return alpha;
}

QImage titleLayer(const CoverDesign &design)
{
    QImage layer(design.canvasSize(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    if (!design.hasTitle())
        return layer;
    QFont font;
    if (!design.titleFont().isEmpty())
        font.setFamily(design.titleFont());
    font.setBold(design.titleBold());
    const double room = layer.width() * 0.9;
    int pixels = design.titleSize();
    font.setPixelSize(pixels);
    // A title wider than the cover is set smaller until it fits.
    while (pixels > 6 && QFontMetricsF(font).horizontalAdvance(design.title()) > room) {
        pixels = std::max(6, pixels * 9 / 10);
        font.setPixelSize(pixels);
    }
    const double band = pixels * 1.8;
    const double margin = layer.height() * 0.03;
    const double top = design.titlePlace() == CoverDesign::TitlePlace::Top ? margin : layer.height() - margin - band;
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(design.titleColor());
    painter.drawText(QRectF(0, top, layer.width(), band), Qt::AlignCenter,
                     QFontMetricsF(font).elidedText(design.title(), Qt::ElideRight, room));
    return layer;
}

// One box-blur pass of radius r along rows [begin, end) of a width x height plane
// (transposed: along columns, when byColumns).
void boxPass(const std::vector<quint8> &from, std::vector<quint8> &to, int width, int height, int r, bool byColumns,
             int begin, int end)
{
    const int length = byColumns ? height : width;
    const qsizetype step = byColumns ? width : 1;
    const int window = 2 * r + 1;
    for (int line = begin; line < end; ++line) {
        const qsizetype start = byColumns ? line : qsizetype(line) * width;
        const auto at = [&](int i) { return int(from[size_t(start + std::clamp(i, 0, length - 1) * step)]); };
        int sum = 0;
        for (int i = -r; i <= r; ++i)
            sum += at(i);
        for (int i = 0; i < length; ++i) {
            to[size_t(start + i * step)] = quint8((sum + window / 2) / window);
            sum += at(i + r + 1) - at(i - r);
        }
    }
    Q_UNUSED(height);
}

} // namespace

CoverRenderer::CoverRenderer(int threads)
{
    m_pool.setMaxThreadCount(threads > 0 ? threads : std::max(1, QThread::idealThreadCount()));
}

CoverRenderer::~CoverRenderer()
{
    m_pool.waitForDone();
}

int CoverRenderer::threadCount() const
{
    return m_pool.maxThreadCount();
}

QPolygonF CoverRenderer::pictureQuad(const QSize &sourceSize, const CoverDesign &design)
{
    if (sourceSize.isEmpty())
        return {};
    const QSizeF canvas = design.canvasSize();
    const QSizeF box = pictureBox(sourceSize, design);
    const double boxW = box.width(), boxH = box.height();
    const double angle = std::abs(design.turn()) * kPi / 180.0;
    const double visibleW = boxW * std::cos(angle);
    const double farH = boxH * (1.0 - 0.35 * std::sin(angle));
    const double cx = design.pictureCenterX() * canvas.width();
    const double cy = design.pictureCenterY() * canvas.height();
    const double left = cx - visibleW / 2, right = cx + visibleW / 2;
    const double leftH = design.turn() >= 0 ? boxH : farH;
    const double rightH = design.turn() >= 0 ? farH : boxH;
    return QPolygonF({QPointF(left, cy - leftH / 2), QPointF(right, cy - rightH / 2), QPointF(right, cy + rightH / 2),
                      QPointF(left, cy + leftH / 2)});
}

QImage CoverRenderer::render(const QImage &source, const CoverDesign &design)
{
    const QPolygonF quad = source.isNull() ? QPolygonF() : pictureQuad(source.size(), design);
    const QSize size = design.canvasSize();
    const auto rows = [&](const std::function<void(int, int)> &work) { inBands(m_pool, size.height(), work); };

    // The pictures that do not depend on each other, at once.
    QFuture<QImage> background = QtConcurrent::run(&m_pool, [&] { return backgroundPicture(design); });
    QFuture<QImage> framing = QtConcurrent::run(&m_pool, [&] {
        return quad.isEmpty() ? QImage() : framedPicture(source, pictureBox(source.size(), design), design);
    });
    QFuture<std::vector<quint8>> shape = QtConcurrent::run(&m_pool, [&] { return shadowShape(quad, design); });
    QFuture<QImage> title = QtConcurrent::run(&m_pool, [&] { return titleLayer(design); });

    // The framed picture turned onto the canvas, in bands.
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    const QImage framed = framing.result();
    QTransform transform;
    if (!framed.isNull() && pictureTransform(framed, quad, &transform)) {
        rows([&](int b, int e) {
            QImage part = band(picture, b, e);
            QPainter painter(&part);
            painter.setRenderHints(QPainter::SmoothPixmapTransform | QPainter::Antialiasing);
            painter.setTransform(transform * QTransform::fromTranslate(0, -b));
            painter.drawImage(0, 0, framed);
        });
    }

    const bool hasShadow = !quad.isEmpty() && design.shadowOpacity() > 0;
    QImage shadow;
    std::vector<quint8> alpha = shape.result();
    if (hasShadow) {
        // Three box passes each way come close to a Gaussian blur of the radius.
        std::vector<quint8> scratch(alpha.size());
        const int r = std::max(0, design.shadowBlur() / 3);
        for (int pass = 0; r > 0 && pass < 3; ++pass) {
            rows([&](int b, int e) { boxPass(alpha, scratch, size.width(), size.height(), r, false, b, e); });
            inBands(m_pool, size.width(), [&](int b, int e) {
                boxPass(scratch, alpha, size.width(), size.height(), r, true, b, e);
            });
        }
        shadow = QImage(size, QImage::Format_ARGB32_Premultiplied);
        const QColor color = design.shadowColor();
        const double opacity = design.shadowOpacity();
        rows([&](int b, int e) {
            for (int y = b; y < e; ++y) {
                auto *line = reinterpret_cast<QRgb *>(shadow.scanLine(y));
                const quint8 *a = alpha.data() + size_t(y) * size_t(size.width());
                for (int x = 0; x < size.width(); ++x) {
                    const int k = int(std::lround(a[x] * opacity));
                    line[x] = qRgba(color.red() * k / 255, color.green() * k / 255, color.blue() * k / 255, k);
                }
            }
        });
    }

    // The pictures laid over the background, in bands.
    QImage cover = background.result();
    const QImage words = title.result();
    cover.bits(); // its own memory before the bands write into it
    rows([&](int b, int e) {
        QImage part = band(cover, b, e);
        QPainter painter(&part);
        if (hasShadow)
            painter.drawImage(0, 0, band(std::as_const(shadow), b, e));
        painter.drawImage(0, 0, band(std::as_const(picture), b, e));
        painter.drawImage(0, 0, band(words, b, e));
    });
    return cover;
}
