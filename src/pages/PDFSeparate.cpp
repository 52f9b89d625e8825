// qpdf: use std::shared_ptr throughout, without the old PointerHolder type.
#define POINTERHOLDER_TRANSITION 4
#include "pages/PDFSeparate.h"

#include "foundation/AppUtility.h"
#include "pages/PDFWidePage.h"
#include "pages/PageNotifications.h"
#include "pages/PageWorkers.h"
#include "platform/NotificationCenter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <algorithm>
#include <memory>

namespace {

std::unique_ptr<QPDF> openQpdf(const QString &file, const QString &password)
{
    auto pdf = std::make_unique<QPDF>();
    pdf->setSuppressWarnings(true);
    const QByteArray name = QFile::encodeName(file);
    const QByteArray utf8 = password.toUtf8();
    try {
        pdf->processFile(name.constData(), utf8.constData());
    } catch (const std::exception &) {
        // Older encryption takes the password in a Latin-1-like encoding.
        const QByteArray latin1 = password.toLatin1();
        if (latin1 == utf8)
            throw;
        pdf = std::make_unique<QPDF>();
        pdf->setSuppressWarnings(true);
        pdf->processFile(name.constData(), latin1.constData());
    }
    pdf->pushInheritedAttributesToPage();
    return pdf;
}

// The half of a page's box that is shown on the left (or right) once the page's
// /Rotate is applied, in the page's own unrotated coordinates.
QPDFObjectHandle halfBox(QPDFPageObjectHelper &page, bool left)
{
    const QPDFObjectHandle::Rectangle box = page.getCropBox(false, false).getArrayAsRectangle();
    int rotate = 0;
    QPDFObjectHandle r = page.getAttribute("/Rotate", false);
    if (r.isInteger())
        rotate = ((r.getIntValueAsInt() % 360) + 360) % 360;
    const double mx = (box.llx + box.urx) / 2, my = (box.lly + box.ury) / 2;
    QPDFObjectHandle::Rectangle half = box;
    switch (rotate) {
    case 90: // shown turned clockwise: the bottom edge is on the left
        (left ? half.ury : half.lly) = my;
        break;
    case 180:
        (left ? half.llx : half.urx) = mx;
        break;
    case 270: // the top edge is on the left
        (left ? half.lly : half.ury) = my;
        break;
    default:
        (left ? half.urx : half.llx) = mx;
        break;
    }
    return QPDFObjectHandle::newFromRectangle(half);
}

void writePage(QPDF &source, QPDFPageObjectHelper &page, int part, const QString &path)
{
    QPDF out;
    out.emptyPDF();
    QPDFPageDocumentHelper(out).addPage(page, false); // copies the page and what it uses, no other page
    QPDFPageObjectHelper copy = QPDFPageDocumentHelper(out).getAllPages().back();
    if (part != 0) {
        QPDFObjectHandle dict = copy.getObjectHandle();
        QPDFObjectHandle box = halfBox(page, part == 1);
        dict.replaceKey("/MediaBox", box);
        dict.replaceKey("/CropBox", box.shallowCopy());
        for (const char *key : {"/TrimBox", "/BleedBox", "/ArtBox"})
            dict.removeKey(key);
    }
    const QByteArray partial = QFile::encodeName(path + QStringLiteral(".part"));
    QPDFWriter writer(out, partial.constData());
    if (source.isEncrypted())
        writer.copyEncryptionParameters(source);
    writer.write();
    if (!QFile::rename(QString::fromLocal8Bit(partial), path)) {
        QFile::remove(path);
        if (!QFile::rename(QString::fromLocal8Bit(partial), path))
            QFile::remove(QString::fromLocal8Bit(partial));
    }
}

} // namespace

PDFSeparate::PDFSeparate(QObject *parent) : QObject(parent) {}

PDFSeparate::~PDFSeparate() = default;

int PDFSeparate::start()
{
    m_pageCount = 0;
    m_errorString.clear();

    PDFWidePage wide(m_pdfFile, m_password, m_pageRange);
    wide.setDetectWidePage(m_detectWidePage);
    wide.buildLeftPageOrderList();
    if (!wide.result().ok()) {
        m_errorString = wide.result().message;
        return -1;
    }
    const QList<PageUnit> units = wide.leftPageOrderList();
    try {
        openQpdf(m_pdfFile, m_password); // the same document must open with qpdf too
    } catch (const std::exception &e) {
        m_errorString = QString::fromLocal8Bit(e.what());
        return -1;
    }
    if (m_workspace.isEmpty())
        m_workspace = createUniqueTempFolder();
    if (m_workspace.isEmpty() || !QDir().mkpath(m_workspace)) {
        m_errorString = PageMessages::cannotWrite(m_workspace.isEmpty() ? QDir::tempPath() : m_workspace);
        return -1;
    }
    m_pageCount = wide.newPDFPageCount();

    const QString folder = m_workspace;
    const int count = m_pageCount;
    const auto pagePath = [&](int bookPage) { return folder + QStringLiteral("/%1.pdf").arg(bookPage); };
    const int threads = std::min(PageWorkers::defaultThreadCount(), std::max(1, int(units.size()) / 8));
    PageWorkers::run(int(units.size()), threads, [&]() -> PageWorkers::ItemFunction {
        std::shared_ptr<QPDF> pdf;
        std::shared_ptr<std::vector<QPDFPageObjectHelper>> pages;
        try {
            pdf = openQpdf(m_pdfFile, m_password);
            pages = std::make_shared<std::vector<QPDFPageObjectHelper>>(QPDFPageDocumentHelper(*pdf).getAllPages());
        } catch (const std::exception &) {
            return {};
        }
        return [&, pdf, pages](int index) {
            const PageUnit &unit = units.at(index);
            if (size_t(unit.sourcePage) >= pages->size())
                return true;
            for (int i = 0; i < unit.bookPageCount(); ++i) {
                if (m_stop)
                    return false;
                const int bookPage = unit.firstBookPage + i;
                try {
                    writePage(*pdf, (*pages)[size_t(unit.sourcePage)], unit.split ? i + 1 : 0, pagePath(bookPage));
                } catch (const std::exception &) {
                    continue; // counted as missing below
                }
                NotificationCenter::defaultCenter()->postNotification(
                    DownloadConfigNotification, this, {{"index", bookPage}, {"count", count}, {"id", m_identifier}});
            }
            return true;
        };
    }, &m_stop);

    int missing = 0;
    for (int page = 1; page <= count; ++page)
        if (!QFileInfo(pagePath(page)).isFile())
            ++missing;
    return missing;
}
