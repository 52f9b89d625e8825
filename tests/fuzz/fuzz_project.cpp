// A project file: the whole reader (pages, templates and their settings, outline,
// search text, annotations, parts), with a data folder holding a few pictures and
// the files of each part so that paths inside it can be followed. A project that
// opens is saved as a copy elsewhere, and the copy opens to the same book: every
// model alike, every file it names with the same bytes.
#include "FuzzModels.h"
#include "FuzzSupport.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/FlashOutline.h"
#include "output/narration/GenerateAssistant.h"
#include "output/security/BookSecurity.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/FlashPageSourcePDF.h"
#include "pages/PDFSearch.h"
#include "project/BookProject.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateProperty.h"

#include <QDir>
#include <QImage>
#include <algorithm>
#include <cmath>

namespace {

using FuzzModels::file;

QStringList pagesOf(const BookDocument &book)
{
    const std::shared_ptr<FlashPageSource> source = book.pageSource();
    if (!source)
        return {QStringLiteral("no pages")};
    QStringList lines{QStringLiteral("%1, quality %2, page box %3x%4")
                          .arg(source->sourceType())
                          .arg(source->qualityLevel())
                          .arg(source->normalPageSize().width())
                          .arg(source->normalPageSize().height())};
    if (const auto *pdf = dynamic_cast<const FlashPageSourcePDF *>(source.get()))
        lines << QStringLiteral("pdf %1, pages %2, wide pages %3")
                     .arg(file(pdf->pdfFile()), pdf->pageRange())
                     .arg(pdf->widePageMode());
    if (const auto *img = dynamic_cast<const FlashPageSourceImg *>(source.get()))
        for (const QString &picture : img->imageFiles())
            lines << QStringLiteral("picture ") + file(picture);
    for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds) {
        lines << FlashPageSource::folderName(kind);
        for (const FlashPagePtr &page : source->pageList(kind))
            lines << (!page ? QStringLiteral("-")
                            : QStringLiteral("%1 %2 %3 %4 %5")
                                  .arg(file(page->pageFilePath()))
                                  .arg(page->pageIndex())
                                  .arg(page->sourcePage())
                                  .arg(int(page->sourcePart()))
                                  .arg(page->isImage()));
    }
    return lines;
}

// Style and values, what each file setting names, and the template's own files.
QStringList templateOf(const FlashTemplate &tmpl)
{
    if (!tmpl.isLoaded())
        return {QStringLiteral("none")};
    const FlashTemplateSnapshot snapshot = tmpl.snapshot();
    QStringList lines{tmpl.tmplName(), snapshot.styleName, QString::number(tmpl.isMobileTemplate()),
                      FuzzModels::folder(tmpl.externResourcePath())};
    for (auto it = snapshot.values.cbegin(); it != snapshot.values.cend(); ++it)
        lines << it.key() + QLatin1Char('=') + it.value();
    for (const QString &key : tmpl.propertyKeys())
        if (tmpl.propertyForKey(key)->kind() == FlashTemplateProperty::Kind::File)
            lines << key + QStringLiteral(" names ") + file(tmpl.propertyFilePath(key));
    std::sort(lines.begin() + 4, lines.end());
    return lines;
}

QStringList sceneOf(const BookScene &scene)
{
    if (scene.isNone())
        return {QStringLiteral("none")};
    QStringList lines{scene.name, file(scene.xmlFilePath), FuzzModels::folder(scene.folder)};
    for (const auto *layers : {&scene.background, &scene.foreground}) {
        lines << QStringLiteral("layers");
        for (const BookScene::Layer &layer : *layers)
            lines << layer.position + QLatin1Char(' ') + file(QDir(scene.folder).filePath(layer.file));
    }
    return lines;
}

// The tabs, their opacity to the two places the project keeps.
BookMarkTabs tabsOf(const BookParts &parts)
{
    BookMarkTabs tabs = *parts.bookmarkTabs();
    tabs.setAlpha(std::round(tabs.alpha() * 100) / 100);
    return tabs;
}

void requireSameBook(const BookDocument &a, const BookDocument &b)
{
    using FuzzSupport::requireSame;
    requireSame(pagesOf(a) == pagesOf(b), "the project's pages");
    requireSame(templateOf(*a.flashTmpl()) == templateOf(*b.flashTmpl())
                    && templateOf(*a.mobileTemplate()) == templateOf(*b.mobileTemplate()),
                "the project's templates");
    requireSame(FuzzModels::outline(a.flashOutline()->items()) == FuzzModels::outline(b.flashOutline()->items()),
                "the project's bookmarks");
    requireSame(*a.pdfSearch() == *b.pdfSearch() && *a.mobileSearch() == *b.mobileSearch(),
                "the project's search text");
    requireSame(FuzzModels::annotations(*a.pagesAnnotations()) == FuzzModels::annotations(*b.pagesAnnotations()),
                "the project's annotations");
    const BookParts &pa = a.parts(), &pb = b.parts();
    requireSame(tabsOf(pa) == tabsOf(pb), "the project's bookmark tabs");
    requireSame(pa.security()->toDictionary() == pb.security()->toDictionary(), "the project's protection");
    requireSame(!pa.assistant() == !pb.assistant()
                    && (!pa.assistant() || FuzzModels::narration(*pa.assistant()) == FuzzModels::narration(*pb.assistant())),
                "the project's narration");
    requireSame(sceneOf(pa.scene()) == sceneOf(pb.scene()), "the project's scene");
    requireSame(pa.pluginBundleName() == pb.pluginBundleName(), "the project's plug-in bundle");
    requireSame(FuzzModels::folder(pa.downloadWorkspace()) == FuzzModels::folder(pb.downloadWorkspace()),
                "the project's downloads");
    requireSame(file(pa.coverFile()) == file(pb.coverFile()), "the project's cover");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    static const QString project = [] {
        const QString folder = FuzzSupport::scratch() + QStringLiteral("/Book.qvprj.data/");
        QImage page(8, 10, QImage::Format_RGB32);
        page.fill(Qt::white);
        for (const char *kind : {"large", "normal", "thumb", "phone"}) {
            FuzzSupport::writeScratchFile(QStringLiteral("Book.qvprj.data/pages/%1/1.jpg").arg(QLatin1String(kind)), {});
            page.save(folder + QStringLiteral("pages/%1/1.jpg").arg(QLatin1String(kind)));
        }
        FuzzSupport::writeScratchFile(QStringLiteral("Book.qvprj.data/theme/bg.png"), {});
        page.save(folder + QStringLiteral("theme/bg.png"));
        page.save(folder + QStringLiteral("pages/cover.png"));
        // The files of the parts, for their elements to name.
        for (const char *name : {"Assistant/1.lrc", "Assistant/1.mp3", "Scene/Meta.xml", "Scene/Resources/leaves.png",
                                 "Download/.cfg", "Download/attachments/list.csv", "Cover/cover.jpg"})
            FuzzSupport::writeScratchFile(QStringLiteral("Book.qvprj.data/parts/") + QLatin1String(name), name);
        return FuzzSupport::scratch() + QStringLiteral("/Book.qvprj");
    }();
    FuzzSupport::writeScratchFile(QStringLiteral("Book.qvprj"), FuzzSupport::bytes(data, size));
    const std::unique_ptr<BookDocument> document = BookProject::open(project);
    if (!document)
        return 0;
    const QString copies = FuzzSupport::scratch() + QStringLiteral("/copy");
    QDir(copies).removeRecursively();
    QDir().mkpath(copies);
    const QString copy = copies + QStringLiteral("/Copy.qvprj");
    FuzzSupport::requireSame(BookProject::saveCopy(*document, copy).ok(), "the project (its copy was not saved)");
    const std::unique_ptr<BookDocument> again = BookProject::open(copy);
    FuzzSupport::requireSame(again != nullptr, "the project (its copy does not open)");
    requireSameBook(*document, *again);
    return 0;
}
