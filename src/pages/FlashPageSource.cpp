#include "pages/FlashPageSource.h"

#include "foundation/AppStrings.h"
#include "foundation/ImageUtility.h"
#include "foundation/XmlUtility.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/FlashPageSourcePDF.h"
#include "pages/PageImaging.h"
#include "pages/PagePictureWriter.h"
#include "pages/PageRenderer.h"
#include "pages/PageWorkers.h"

#include <QDir>
#include <QDomDocument>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QMutex>
#include <QSet>
#include <QXmlStreamWriter>
#include <map>

namespace {

const QString kPages = QStringLiteral("Pages");
const QString kPage = QStringLiteral("Page");
const QString kKind = QStringLiteral("kind");
const QString kFile = QStringLiteral("file");

QString partName(FlashPage::Part part)
{
    switch (part) {
    case FlashPage::Part::Left: return QStringLiteral("left");
    case FlashPage::Part::Right: return QStringLiteral("right");
    default: return QStringLiteral("whole");
    }
}

FlashPage::Part partFromName(const QString &name)
{
    if (name == QLatin1String("left"))
        return FlashPage::Part::Left;
    if (name == QLatin1String("right"))
        return FlashPage::Part::Right;
    return FlashPage::Part::Whole;
}

bool fileExists(const FlashPagePtr &page)
{
    return page && !page->pageFilePath().isEmpty() && QFileInfo(page->pageFilePath()).isFile();
}

FlashPagePtr imagePage(const QString &path, const FlashPage *originFrom)
{
    auto page = std::make_shared<FlashPageImage>();
    page->setPageFilePath(path);
    if (originFrom)
        page->setOrigin(originFrom->sourcePage(), originFrom->sourcePart());
    return page;
}

} // namespace

FlashPageSource::~FlashPageSource() = default;

QString FlashPageSource::folderName(PictureKind kind)
{
    switch (kind) {
    case PictureKind::Large: return QStringLiteral("large");
    case PictureKind::Normal: return QStringLiteral("normal");
    case PictureKind::Thumb: return QStringLiteral("thumb");
    case PictureKind::Phone: return QStringLiteral("phone");
    }
    return {};
}

QString FlashPageSource::pictureFolder(PictureKind kind) const
{
    return m_workspace + QLatin1Char('/') + folderName(kind);
}

QString FlashPageSource::picturePath(PictureKind kind, int bookPage) const
{
    return pictureFolder(kind) + QLatin1Char('/') + QString::number(bookPage) + QStringLiteral(".jpg");
}

void FlashPageSource::setNormalPageSize(const QSize &size)
{
    m_normalPageSize = size.isEmpty() ? PageImaging::kDefaultNormalPageSize : size;
}

int FlashPageSource::pageDPI() const
{
    return ImageUtility::getImageDPIByLevel(m_qualityLevel);
}

const QList<FlashPagePtr> &FlashPageSource::pageList(PictureKind kind) const
{
    switch (kind) {
    case PictureKind::Normal: return m_normalPages;
    case PictureKind::Thumb: return m_thumbPages;
    case PictureKind::Phone: return m_phonePages;
    default: return m_pages;
    }
}

QList<FlashPagePtr> &FlashPageSource::pageList(PictureKind kind)
{
    return const_cast<QList<FlashPagePtr> &>(std::as_const(*this).pageList(kind));
}

void FlashPageSource::setPagesFromUnits(const QList<PageUnit> &units)
{
    for (PictureKind kind : kPictureKinds) {
        QList<FlashPagePtr> &list = pageList(kind);
        list.clear();
        for (const PageUnit &unit : units) {
            for (int i = 0; i < unit.bookPageCount(); ++i) {
                auto page = std::make_shared<FlashPageImage>();
                page->setPageFilePath(picturePath(kind, unit.firstBookPage + i));
                page->setPageIndex(unit.firstBookPage + i);
                page->setOrigin(unit.sourcePage, !unit.split ? FlashPage::Part::Whole
                                                             : (i == 0 ? FlashPage::Part::Left : FlashPage::Part::Right));
                list << page;
            }
        }
    }
}

void FlashPageSource::renumber()
{
    for (PictureKind kind : kPictureKinds) {
        QList<FlashPagePtr> &list = pageList(kind);
        for (int i = 0; i < list.size(); ++i)
            if (list[i])
                list[i]->setPageIndex(i + 1);
    }
}

QString FlashPageSource::freePicturePath(PictureKind kind, int bookPage) const
{
    QSet<QString> used;
    for (PictureKind k : kPictureKinds)
        for (const FlashPagePtr &page : pageList(k))
            if (page)
                used.insert(QFileInfo(page->pageFilePath()).absoluteFilePath());
    QString path = picturePath(kind, bookPage);
    for (int n = 2; used.contains(QFileInfo(path).absoluteFilePath()); ++n)
        path = pictureFolder(kind) + QStringLiteral("/%1_%2.jpg").arg(bookPage).arg(n);
    return path;
}

QString FlashPageSource::pathForRemade(PictureKind kind, const FlashPagePtr &page, int bookPage) const
{
    if (page && !page->pageFilePath().isEmpty()
        && QFileInfo(page->pageFilePath()).absolutePath() == QFileInfo(pictureFolder(kind)).absoluteFilePath())
        return page->pageFilePath();
    return freePicturePath(kind, bookPage);
}

bool FlashPageSource::finishPass(const PageResult &result)
{
    m_lastResult = result;
    renumber();
    return result.ok();
}

bool FlashPageSource::generateBasePages()
{
    if (m_workspace.isEmpty())
        return finishPass(PageResult::failure(PageError::WriteFailed,
                                              loadAppString(QStringLiteral("PageImport-The pages have no folder."),
                                                            QStringLiteral("The pages have no folder."))));
    if (!QDir().mkpath(pictureFolder(PictureKind::Large)))
        return finishPass(PageResult::failure(PageError::WriteFailed, PageMessages::cannotWrite(m_workspace)));

    if (m_pages.isEmpty()) {
        QList<PageUnit> units;
        PageResult r = pageUnits(&units);
        if (!r.ok())
            return finishPass(r);
        QList<PageRenderer::Job> jobs = PageRenderer::jobsForUnits(units, m_workspace, false);
        for (PageRenderer::Job &job : jobs)
            for (PageRenderer::Target &t : job.targets)
                t.paths.normal = t.paths.thumb = t.paths.phone = QString();
        PageRenderer::Options options;
        options.normalBox = m_normalPageSize;
        r = PageRenderer::run(*this, jobs, options);
        if (!r.ok())
            return finishPass(r);
        QList<FlashPagePtr> normal = m_normalPages, thumb = m_thumbPages, phone = m_phonePages;
        setPagesFromUnits(units);
        // Only the large pictures exist yet; the other lists are made by their passes.
        m_normalPages = normal;
        m_thumbPages = thumb;
        m_phonePages = phone;
        return finishPass(PageResult::success());
    }

    // Re-render the large pictures that went missing, one render per source page.
    std::map<int, PageRenderer::Job> bySource;
    for (int i = 0; i < m_pages.size(); ++i) {
        FlashPagePtr &page = m_pages[i];
        if (fileExists(page))
            continue;
        if (!page || !page->hasOrigin())
            return finishPass(PageResult::failure(
                PageError::FileNotFound,
                PageMessages::fileNotFound(page ? page->pageFilePath() : picturePath(PictureKind::Large, i + 1))));
        const QString path = pathForRemade(PictureKind::Large, page, i + 1);
        PageRenderer::Job &job = bySource[page->sourcePage()];
        job.sourcePage = page->sourcePage();
        PageRenderer::Target target;
        target.part = page->sourcePart();
        target.paths.large = path;
        job.targets << target;
        page = imagePage(path, page.get());
    }
    if (bySource.empty())
        return finishPass(PageResult::success());
    QList<PageRenderer::Job> jobs;
    for (auto &entry : bySource)
        jobs << entry.second;
    PageRenderer::Options options;
    options.normalBox = m_normalPageSize;
    return finishPass(PageRenderer::run(*this, jobs, options));
}

namespace {

// Makes the missing (or outdated) pictures of one kind from the large pictures, in
// parallel. wanted[i] gives the paths to write for page i (empty: nothing to do); it
// then names the files that hold them (a picture of the large picture's size is the
// large picture's file).
PageResult deriveFromLarge(const QList<FlashPagePtr> &large, QList<PageImaging::PagePicturePaths> &wanted,
                           const QSize &normalBox)
{
    QList<int> todo;
    for (int i = 0; i < large.size() && i < wanted.size(); ++i) {
        const PageImaging::PagePicturePaths &p = wanted.at(i);
        if (!p.normal.isEmpty() || !p.thumb.isEmpty() || !p.phone.isEmpty())
            todo << i;
    }
    PageImaging::PagePicturePaths *const paths = wanted.data(); // detached here: each worker changes its own entry
    QMutex mutex;
    PageResult failure;
    const bool finished = PageWorkers::run(int(todo.size()), PageWorkers::defaultThreadCount(), [&]() -> PageWorkers::ItemFunction {
        auto writer = std::make_shared<PagePictureWriter>(normalBox);
        return [&, writer](int n) {
            const int i = todo.at(n);
            const QString from = large.at(i)->pageFilePath();
            QImageReader reader(from);
            const QImage image = PageImaging::opaque(reader.read());
            PageResult r;
            if (image.isNull()) {
                r = PageResult::failure(PageError::UnreadablePicture, PageMessages::unreadablePicture(from, reader.errorString()));
            } else {
                PageImaging::PagePicturePaths target = paths[i];
                target.large = from;
                QList<PagePictureWriter::Part> parts{{FlashPage::Part::Whole, target, true}};
                r = writer->write(image, parts);
                paths[i] = parts.first().paths;
                paths[i].large.clear();
            }
            if (r.ok())
                return true;
            QMutexLocker lock(&mutex);
            if (failure.ok())
                failure = r;
            return false;
        };
    });
    if (failure.ok() && !finished)
        return PageResult::failure(PageError::WriteFailed,
                                   loadAppString(QStringLiteral("PageImport-The page pictures could not be made."),
                                                 QStringLiteral("The page pictures could not be made.")));
    return failure;
}

} // namespace

bool FlashPageSource::generateNormalPages()
{
    if (!QDir().mkpath(pictureFolder(PictureKind::Normal)) || !QDir().mkpath(pictureFolder(PictureKind::Thumb)))
        return finishPass(PageResult::failure(PageError::WriteFailed, PageMessages::cannotWrite(m_workspace)));
    for (int i = 0; i < m_pages.size(); ++i)
        if (!fileExists(m_pages[i]))
            return finishPass(PageResult::failure(
                PageError::FileNotFound, PageMessages::fileNotFound(m_pages[i] ? m_pages[i]->pageFilePath() : QString())));
    m_normalPages.resize(m_pages.size());
    m_thumbPages.resize(m_pages.size());

    const QString ownNormalFolder = QFileInfo(pictureFolder(PictureKind::Normal)).absoluteFilePath();
    // Files named by more than one entry (a normal picture that is the large one, a
    // phone picture that is the normal one): never written over in place.
    QHash<QString, int> uses;
    for (PictureKind kind : kPictureKinds)
        for (const FlashPagePtr &page : pageList(kind))
            if (page && !page->pageFilePath().isEmpty())
                ++uses[QFileInfo(page->pageFilePath()).absoluteFilePath()];
    QList<PageImaging::PagePicturePaths> wanted(m_pages.size());
    for (int i = 0; i < m_pages.size(); ++i) {
        FlashPagePtr &normal = m_normalPages[i];
        bool remake = !fileExists(normal);
        if (!remake) {
            // A normal picture of ours made for another page box is made again (in
            // place, unless another entry names its file too).
            const QFileInfo info(normal->pageFilePath());
            const QString largeFile = QFileInfo(m_pages[i]->pageFilePath()).absoluteFilePath();
            const bool isLarge = info.absoluteFilePath() == largeFile;
            if (info.absolutePath() == ownNormalFolder || isLarge) {
                const QSize largeSize = QImageReader(largeFile).size();
                const QSize expected = PageImaging::pageBoxSize(largeSize, m_normalPageSize);
                if ((isLarge ? largeSize : QImageReader(info.filePath()).size()) != expected) {
                    const QString path = uses.value(info.absoluteFilePath()) > 1 ? freePicturePath(PictureKind::Normal, i + 1)
                                                                                 : info.filePath();
                    normal = imagePage(path, m_pages[i].get());
                    wanted[i].normal = path;
                }
            }
        } else {
            normal = imagePage(pathForRemade(PictureKind::Normal, normal, i + 1), m_pages[i].get());
            wanted[i].normal = normal->pageFilePath();
        }
        FlashPagePtr &thumb = m_thumbPages[i];
        if (!fileExists(thumb)) {
            thumb = imagePage(pathForRemade(PictureKind::Thumb, thumb, i + 1), m_pages[i].get());
            wanted[i].thumb = thumb->pageFilePath();
        }
    }
    const PageResult made = deriveFromLarge(m_pages, wanted, m_normalPageSize);
    for (int i = 0; i < m_pages.size(); ++i)
        if (!wanted.at(i).normal.isEmpty() && wanted.at(i).normal != m_normalPages[i]->pageFilePath())
            m_normalPages[i] = imagePage(wanted.at(i).normal, m_pages[i].get());
    return finishPass(made);
}

bool FlashPageSource::generatePhonePages()
{
    if (!QDir().mkpath(pictureFolder(PictureKind::Phone)))
        return finishPass(PageResult::failure(PageError::WriteFailed, PageMessages::cannotWrite(m_workspace)));
    for (int i = 0; i < m_pages.size(); ++i)
        if (!fileExists(m_pages[i]))
            return finishPass(PageResult::failure(
                PageError::FileNotFound, PageMessages::fileNotFound(m_pages[i] ? m_pages[i]->pageFilePath() : QString())));
    m_phonePages.resize(m_pages.size());
    QList<PageImaging::PagePicturePaths> wanted(m_pages.size());
    for (int i = 0; i < m_pages.size(); ++i) {
        FlashPagePtr &phone = m_phonePages[i];
        if (fileExists(phone))
            continue;
        phone = imagePage(pathForRemade(PictureKind::Phone, phone, i + 1), m_pages[i].get());
        wanted[i].phone = phone->pageFilePath();
    }
    const PageResult made = deriveFromLarge(m_pages, wanted, m_normalPageSize);
    for (int i = 0; i < m_pages.size(); ++i)
        if (!wanted.at(i).phone.isEmpty() && wanted.at(i).phone != m_phonePages[i]->pageFilePath())
            m_phonePages[i] = imagePage(wanted.at(i).phone, m_pages[i].get());
    return finishPass(made);
}

QString FlashPageSource::storedPath(const QString &path) const
{
    if (m_workspace.isEmpty() || path.isEmpty())
        return path;
    const QString relative = QDir(m_workspace).relativeFilePath(path);
    if (relative.startsWith(QLatin1String("..")) || QDir::isAbsolutePath(relative))
        return QFileInfo(path).absoluteFilePath();
    return relative;
}

QString FlashPageSource::resolvedPath(const QString &stored, const QString &workspace)
{
    if (stored.isEmpty() || QDir::isAbsolutePath(stored) || workspace.isEmpty())
        return stored;
    return QDir::cleanPath(workspace + QLatin1Char('/') + stored);
}

void FlashPageSource::writeXml(QXmlStreamWriter &w) const
{
    w.writeStartElement(elementName());
    w.writeAttribute(QStringLiteral("type"), sourceType());
    w.writeAttribute(QStringLiteral("qualityLevel"), QString::number(m_qualityLevel));
    w.writeAttribute(QStringLiteral("normalWidth"), QString::number(m_normalPageSize.width()));
    w.writeAttribute(QStringLiteral("normalHeight"), QString::number(m_normalPageSize.height()));
    writeSourceXml(w);
    for (PictureKind kind : kPictureKinds) {
        w.writeStartElement(kPages);
        w.writeAttribute(kKind, folderName(kind));
        for (const FlashPagePtr &page : pageList(kind)) {
            w.writeStartElement(kPage);
            w.writeAttribute(kFile, page ? storedPath(page->pageFilePath()) : QString());
            if (page && !page->isImage())
                w.writeAttribute(QStringLiteral("type"), QStringLiteral("movie"));
            if (page && page->hasOrigin()) {
                w.writeAttribute(QStringLiteral("sourcePage"), QString::number(page->sourcePage()));
                w.writeAttribute(QStringLiteral("part"), partName(page->sourcePart()));
            }
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
}

std::unique_ptr<FlashPageSource> FlashPageSource::fromXml(const QDomElement &element, const QString &workspace,
                                                          QString *error)
{
    const auto fail = [&](const QString &message) -> std::unique_ptr<FlashPageSource> {
        if (error)
            *error = message;
        return nullptr;
    };
    if (element.tagName() != elementName())
        return fail(loadAppString(QStringLiteral("PageImport-The pages of the project cannot be read."),
                                  QStringLiteral("The pages of the project cannot be read.")));
    std::unique_ptr<FlashPageSource> source;
    const QString type = element.attribute(QStringLiteral("type"));
    if (type == QLatin1String("pdf"))
        source = std::make_unique<FlashPageSourcePDF>();
    else if (type == QLatin1String("img"))
        source = std::make_unique<FlashPageSourceImg>();
    else
        return fail(
            loadAppString(QStringLiteral("PageImport-The pages of the project cannot be read: unknown source \"%1\"."),
                          QStringLiteral("The pages of the project cannot be read: unknown source \"%1\"."))
                .arg(type));

    source->m_workspace = workspace;
    source->m_qualityLevel = element.attribute(QStringLiteral("qualityLevel")).toInt();
    source->setNormalPageSize(QSize(element.attribute(QStringLiteral("normalWidth")).toInt(),
                                    element.attribute(QStringLiteral("normalHeight")).toInt()));
    source->readSourceXml(element.firstChildElement(QStringLiteral("Source")), workspace);
    for (QDomElement list = element.firstChildElement(kPages); !list.isNull(); list = list.nextSiblingElement(kPages)) {
        const QString kindName = list.attribute(kKind);
        for (PictureKind kind : kPictureKinds) {
            if (folderName(kind) != kindName)
                continue;
            QList<FlashPagePtr> &pages = source->pageList(kind);
            pages.clear();
            for (QDomElement e = list.firstChildElement(kPage); !e.isNull(); e = e.nextSiblingElement(kPage)) {
                FlashPagePtr page = e.attribute(QStringLiteral("type")) == QLatin1String("movie")
                    ? std::make_shared<FlashPage>()
                    : std::make_shared<FlashPageImage>();
                page->setPageFilePath(resolvedPath(e.attribute(kFile), workspace));
                bool ok = false;
                const int sourcePage = e.attribute(QStringLiteral("sourcePage")).toInt(&ok);
                if (ok && sourcePage >= 0)
                    page->setOrigin(sourcePage, partFromName(e.attribute(QStringLiteral("part"))));
                pages << page;
            }
        }
    }
    source->renumber();
    return source;
}

QString FlashPageSource::toXmlString() const
{
    QString xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writeXml(writer);
    return xml;
}

std::unique_ptr<FlashPageSource> FlashPageSource::fromXmlString(const QString &xml, const QString &workspace,
                                                                QString *error)
{
    QDomDocument doc;
    if (!parseXmlDocument(doc, xml)) {
        if (error)
            *error = loadAppString(QStringLiteral("PageImport-The pages of the project cannot be read."),
                                   QStringLiteral("The pages of the project cannot be read."));
        return nullptr;
    }
    return fromXml(doc.documentElement(), workspace, error);
}
