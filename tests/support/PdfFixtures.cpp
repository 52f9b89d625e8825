#define POINTERHOLDER_TRANSITION 4
#include "PdfFixtures.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace PdfFixtures {

bool writePdf(const QString &path, const QList<Page> &pages)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    if (!pages.isEmpty())
        writer.setPageSize(QPageSize(pages.first().size, QPageSize::Point));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int i = 0; i < pages.size(); ++i) {
        const Page &page = pages.at(i);
        if (i > 0) {
            writer.setPageSize(QPageSize(page.size, QPageSize::Point));
            writer.newPage();
        }
        const double w = page.size.width(), h = page.size.height();
        painter.setPen(QPen(Qt::darkBlue, 3));
        painter.drawRect(QRectF(10, 10, w - 20, h - 20));
        painter.setBrush(QColor(200, 60, 60));
        painter.drawEllipse(QPointF(w / 4, h / 2), w / 10, w / 10);
        painter.setBrush(Qt::NoBrush);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(24);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(30, 60), page.text);
        if (!page.rightText.isEmpty())
            painter.drawText(QPointF(w / 2 + 30, 60), page.rightText);
    }
    return painter.end();
}

bool writeNumberedPdf(const QString &path, int n)
{
    QList<Page> pages;
    for (int i = 1; i <= n; ++i)
        pages << Page{QStringLiteral("Page %1").arg(i)};
    return writePdf(path, pages);
}

bool writeFilledPage(const QString &path, const QSizeF &sizeMm, const QColor &color)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(sizeMm, QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QPainter painter(&writer);
    painter.fillRect(QRect(QPoint(0, 0), QSize(writer.width(), writer.height())), color);
    return painter.end();
}

namespace {

bool rewrite(QPDF &pdf, const QString &path)
{
    const QString tmp = path + QStringLiteral(".tmp");
    {
        // The writer keeps the name's pointer until it is done: the bytes must live as long.
        const QByteArray name = QFile::encodeName(tmp);
        QPDFWriter w(pdf, name.constData());
        w.write();
    }
    QFile::remove(path);
    return QFile::rename(tmp, path);
}

// Builds the items of one level under parent; returns the number of items below.
int addItems(QPDF &pdf, const std::vector<QPDFPageObjectHelper> &pages, QPDFObjectHandle parent,
             const QList<Bookmark> &bookmarks)
{
    QPDFObjectHandle previous;
    int count = 0;
    for (const Bookmark &b : bookmarks) {
        QPDFObjectHandle item = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        item.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(b.title.toStdString()));
        item.replaceKey("/Parent", parent);
        if (!b.uri.isEmpty()) {
            QPDFObjectHandle action = QPDFObjectHandle::newDictionary();
            action.replaceKey("/S", QPDFObjectHandle::newName("/URI"));
            action.replaceKey("/URI", QPDFObjectHandle::newString(b.uri.toStdString()));
            item.replaceKey("/A", action);
        } else {
            QPDFObjectHandle dest = QPDFObjectHandle::newArray();
            dest.appendItem(pages.at(size_t(b.page)).getObjectHandle());
            if (b.left >= 0) {
                dest.appendItem(QPDFObjectHandle::newName("/XYZ"));
                dest.appendItem(QPDFObjectHandle::newReal(b.left, 2));
                dest.appendItem(QPDFObjectHandle::newNull());
                dest.appendItem(QPDFObjectHandle::newNull());
            } else {
                dest.appendItem(QPDFObjectHandle::newName("/Fit"));
            }
            if (b.named.isEmpty()) {
                item.replaceKey("/Dest", dest);
            } else {
                QPDFObjectHandle root = pdf.getRoot();
                if (!root.hasKey("/Dests"))
                    root.replaceKey("/Dests", pdf.makeIndirectObject(QPDFObjectHandle::newDictionary()));
                root.getKey("/Dests").replaceKey("/" + b.named.toStdString(), dest);
                item.replaceKey("/Dest", QPDFObjectHandle::newName("/" + b.named.toStdString()));
            }
        }
        if (previous.isInitialized()) {
            previous.replaceKey("/Next", item);
            item.replaceKey("/Prev", previous);
        } else {
            parent.replaceKey("/First", item);
        }
        parent.replaceKey("/Last", item);
        const int below = addItems(pdf, pages, item, b.children);
        if (below > 0)
            item.replaceKey("/Count", QPDFObjectHandle::newInteger(below));
        count += 1 + below;
        previous = item;
    }
    return count;
}

} // namespace

bool addOutline(const QString &path, const QList<Bookmark> &bookmarks)
{
    try {
        QPDF pdf;
        const QByteArray name = QFile::encodeName(path);
        pdf.processFile(name.constData());
        const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        QPDFObjectHandle outlines = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        outlines.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
        outlines.replaceKey("/Count", QPDFObjectHandle::newInteger(addItems(pdf, pages, outlines, bookmarks)));
        pdf.getRoot().replaceKey("/Outlines", outlines);
        return rewrite(pdf, path);
    } catch (const std::exception &) {
        return false;
    }
}

bool addDeepOutline(const QString &path, int depth)
{
    try {
        const QByteArray name = QFile::encodeName(path);
        QPDF pdf;
        pdf.processFile(name.constData());
        QPDFObjectHandle page = QPDFPageDocumentHelper(pdf).getAllPages().at(0).getObjectHandle();
        QPDFObjectHandle parent = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        parent.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
        pdf.getRoot().replaceKey("/Outlines", parent);
        for (int level = 0; level < depth; ++level) {
            QPDFObjectHandle item = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
            item.replaceKey("/Title", QPDFObjectHandle::newString("level " + std::to_string(level + 1)));
            item.replaceKey("/Parent", parent);
            QPDFObjectHandle dest = QPDFObjectHandle::newArray();
            dest.appendItem(page);
            dest.appendItem(QPDFObjectHandle::newName("/Fit"));
            item.replaceKey("/Dest", dest);
            parent.replaceKey("/First", item);
            parent.replaceKey("/Last", item);
            parent.replaceKey("/Count", QPDFObjectHandle::newInteger(depth - level));
            parent = item;
        }
        return rewrite(pdf, path);
    } catch (const std::exception &) {
        return false;
    }
}

bool rotatePage(const QString &path, int page, int degrees)
{
    try {
        QPDF pdf;
        const QByteArray name = QFile::encodeName(path);
        pdf.processFile(name.constData());
        QPDFPageDocumentHelper(pdf).getAllPages().at(size_t(page)).getObjectHandle().replaceKey(
            "/Rotate", QPDFObjectHandle::newInteger(degrees));
        return rewrite(pdf, path);
    } catch (const std::exception &) {
        return false;
    }
}

bool cropPage(const QString &path, int page, const QRectF &box)
{
    try {
        QPDF pdf;
        const QByteArray name = QFile::encodeName(path);
        pdf.processFile(name.constData());
        QPDFPageDocumentHelper(pdf).getAllPages().at(size_t(page)).getObjectHandle().replaceKey(
            "/CropBox", QPDFObjectHandle::newFromRectangle(
                            QPDFObjectHandle::Rectangle(box.left(), box.top(), box.right(), box.bottom())));
        return rewrite(pdf, path);
    } catch (const std::exception &) {
        return false;
    }
}

bool encrypt(const QString &in, const QString &out, const QString &userPassword, const QString &ownerPassword)
{
    try {
        QPDF pdf;
        const QByteArray inName = QFile::encodeName(in);
        const QByteArray outName = QFile::encodeName(out);
        pdf.processFile(inName.constData());
        QPDFWriter w(pdf, outName.constData());
        w.setR6EncryptionParameters(userPassword.toUtf8().constData(), ownerPassword.toUtf8().constData(), true, true,
                                    true, true, true, true, qpdf_r3p_full, true);
        w.write();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace PdfFixtures
