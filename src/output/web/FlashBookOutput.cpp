#include "output/web/FlashBookOutput.h"

#include "foundation/AppLog.h"
#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/SafeFiles.h"
#include "foundation/TextTemplate.h"
#include "foundation/WorkerException.h"
#include "foundation/ZipWriter.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/DownloadCfgItem.h"
#include "furnishings/FlashOutline.h"
#include "furnishings/FlashTemlPreloaderItem.h"
#include "furnishings/PluginBundle.h"
#include "output/web/BasicHtml.h"
#include "output/web/BookResources.h"
#include "output/web/BookXml.h"
#include "output/ConvertBookInfo.h"
#include "output/web/OutputFiles.h"
#include "output/web/OutputStage.h"
#include "output/packages/SealedPackage.h"
#include "output/web/ViewerConfig.h"
#include "pages/FlashPageSource.h"
#include "pages/JpegEncoder.h"
#include "pages/PageImaging.h"
#include "pages/PDFSearch.h"
#include "platform/NotificationCenter.h"
#include "templates/FlashTemplate.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <optional>

using OutputFiles::fail;

namespace {

const QString kFiles = QStringLiteral("files");
const QString kMobile = QStringLiteral("mobile");

// Outline levels written; deeper bookmarks are left out (the viewer reads 32).
constexpr int kMaxOutlineDepth = 64;
// Characters of search text in one part of a large book's search data.
constexpr qsizetype kSearchPartChars = 96 * 1024;

struct PageCopy
{
    QString from;
    QString to; // relative to the book folder
};

bool fileExists(const FlashPagePtr &page)
{
    return page && !page->pageFilePath().isEmpty() && QFileInfo(page->pageFilePath()).isFile();
}

QJsonArray outlineItems(const QList<FlashOutlineItemPtr> &items, int depth)
{
    QJsonArray list;
    if (depth > kMaxOutlineDepth)
        return list;
    for (const FlashOutlineItemPtr &item : items) {
        if (!item)
            continue;
        const QJsonArray children = outlineItems(item->childItems(), depth + 1);
        // A bookmark of a web address has no page in the book; its children stay.
        if (!item->pageUrl().isEmpty() && item->pageIndex() < 1) {
            for (const QJsonValue &child : children)
                list.append(child);
            continue;
        }
        list.append(QJsonObject{{QStringLiteral("caption"), item->caption()},
                                {QStringLiteral("pageIndex"), qMax(1, item->pageIndex())},
                                {QStringLiteral("children"), children}});
    }
    return list;
}

QString dataScript(const QString &name, const QJsonArray &value)
{
    return QStringLiteral("var %1 = ").arg(name) + QString::fromUtf8(QJsonDocument(value).toJson(QJsonDocument::Compact))
           + QStringLiteral(";\n");
}

bool isWebAddress(const QString &text)
{
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
           || text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// Whether the scene has files to put into the book: a folder of its own, which is
// no link (a link would bring whatever it leads to into the book).
bool hasSceneFolder(const BookScene &scene)
{
    const QFileInfo folder(scene.folder);
    return !scene.isNone() && folder.isDir() && !folder.isSymLink();
}

} // namespace

// What one run collects on its way through the steps.
struct FlashBookOutput::Book
{
    QString folder; // the book folder being written
    bool mobile = false;
    int pageCount = 0;
    QList<PageCopy> normal, large, thumb, swf, phone;
    QList<ViewerPage> pages, mobilePages;
    std::unique_ptr<BookResources> resources;
    std::unique_ptr<QTemporaryDir> ownWork; // when the book is not written in a stage
    QString work;                           // for unpacked archives; never inside the book
    QJsonObject desktopConfig, mobileConfig;
    QList<OtherIconItem> icons;
    QString pluginXml;
    QString shareImage; // a web address or a path relative to the book folder
    bool playsMovies = false; // the viewer plays SWF movies: the book carries the player
    QString preloaderMovie;   // the installed preloader's movie, copied as files/book.swf
    std::optional<QSize> commonPicture, commonPhonePicture; // most common picture sizes (ViewerConfig)
    QJsonValue desktopRecords = QJsonValue::Undefined, mobileRecords = QJsonValue::Undefined; // the configurations' "pages"

    QString path(const QString &relative) const { return folder + QLatin1Char('/') + relative; }
};

struct FlashBookOutput::PagePlan
{
    QString folder;       // the book folder it was written into
    QStringList pictures; // every picture file of the pages, kind after kind
    QSize pageBox;
    bool mobile = false;
    bool narration = false;
    QList<PageCopy> normal, large, thumb, swf, phone;
    QList<ViewerPage> pages, mobilePages;
    std::optional<QSize> commonPicture, commonPhonePicture;
    QJsonValue desktopRecords, mobileRecords;
};

namespace {

QStringList pictureFiles(const FlashPageSource &source)
{
    QStringList files;
    for (FlashPageSource::PictureKind kind : FlashPageSource::kPictureKinds) {
        for (const FlashPagePtr &page : source.pageList(kind))
            files << (page ? page->pageFilePath() : QString());
        files << QString(); // the end of a kind
    }
    return files;
}

} // namespace

FlashBookOutput::FlashBookOutput(std::shared_ptr<FlashPageSource> pageSource,
                                 std::shared_ptr<const FlashTemplate> flashTemplate, const QString &saveToFolder,
                                 const QString &toName)
    : m_pageSource(std::move(pageSource)), m_template(std::move(flashTemplate)), m_folder(saveToFolder), m_name(toName)
{
}

FlashBookOutput::~FlashBookOutput() = default;

bool FlashBookOutput::isStopped() const
{
    return m_stop.load() || (m_externalStop && m_externalStop->load());
}

void FlashBookOutput::checkStop() const
{
    if (isStopped())
        throw WorkerException::cancelled(OutputFiles::cancelReason());
}

void FlashBookOutput::post(int type, int index, int count) const
{
    if (!m_isProcess)
        return;
    count = qMax(1, count);
    NotificationCenter::defaultCenter()->postNotification(ConvertBookNotification, m_sender,
                                                          {{QStringLiteral("id"), m_taskID},
                                                           {QStringLiteral("index"), qBound(0, index, count)},
                                                           {QStringLiteral("count"), count},
                                                           {QStringLiteral("type"), type}});
}

const FlashTemplate &FlashBookOutput::mobileTemplate()
{
    if (!m_mobileTemplate) {
        auto tmpl = std::make_shared<FlashTemplate>();
        if (!tmpl->loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultMobileTemplateName())))
            fail(loadAppString(QStringLiteral("BookOutput-The phone template cannot be read: %1"),
                               QStringLiteral("The phone template cannot be read: %1"))
                     .arg(tmpl->errorString()));
        tmpl->setIsMobileTemplate(true);
        m_mobileTemplate = tmpl;
    }
    return *m_mobileTemplate;
}

bool FlashBookOutput::wantsMobile() const
{
    return m_outputMobile && m_html.hasMobileVersion() && m_html.loadType() != 2;
}

QString FlashBookOutput::bookTitle() const
{
    return m_html.HTMLTitle();
}

void FlashBookOutput::preparePages()
{
    if (!m_pageSource || m_pageSource->pageCount() == 0)
        fail(loadAppString(QStringLiteral("BookOutput-The book has no pages."), QStringLiteral("The book has no pages.")));
    FlashPageSource &source = *m_pageSource;
    auto pass = [&](bool (FlashPageSource::*run)()) {
        checkStop();
        if (!(source.*run)())
            fail(source.lastResult().message);
    };
    const auto anyMissing = [](const QList<FlashPagePtr> &list, int count) {
        return list.size() < count || std::any_of(list.cbegin(), list.cbegin() + count, [](const FlashPagePtr &p) { return !fileExists(p); });
    };
    const int count = source.pageCount();
    if (anyMissing(source.pages(), count))
        pass(&FlashPageSource::generateBasePages);
    if (anyMissing(source.normalPages(), count) || anyMissing(source.thumbPages(), count))
        pass(&FlashPageSource::generateNormalPages);
    if (wantsMobile() && anyMissing(source.phonePages(), count))
        pass(&FlashPageSource::generatePhonePages);
    checkStop();
}

void FlashBookOutput::checkPageFile(const FlashPagePtr &page, int bookPage)
{
    // A page names its file by path: only a picture (or movie) goes into the book,
    // never whatever else that path may lead to.
    const QString file = page->pageFilePath();
    if (page->isImage() ? OutputFiles::isPicture(file) : OutputFiles::isMovie(file))
        return;
    fail(loadAppString(QStringLiteral("BookOutput-The file of page %1 is not a picture a book can show: \"%2\"."),
                       QStringLiteral("The file of page %1 is not a picture a book can show: \"%2\"."))
             .arg(bookPage)
             .arg(QDir::toNativeSeparators(file)));
}

void FlashBookOutput::copyPages(Book &book)
{
    const FlashPageSource &source = *m_pageSource;
    book.pageCount = source.pageCount();
    // Plan every copy first: the configuration is made from the plan.
    for (int i = 0; i < book.pageCount; ++i) {
        const QString n = QString::number(i + 1);
        ViewerPage record;
        auto plan = [&](const FlashPagePtr &page, const QString &folder, QList<PageCopy> &copies) -> QString {
            if (!fileExists(page))
                return {};
            checkPageFile(page, i + 1);
            if (!page->isImage()) {
                if (!record.swf.isEmpty())
                    return {}; // the page's movie is in the book already
                const QString to = QStringLiteral("files/swf/") + n + QLatin1Char('.')
                                   + OutputFiles::suffixFor(page->pageFilePath(), QStringLiteral("swf"));
                book.swf << PageCopy{page->pageFilePath(), to};
                record.swf = to;
                return {};
            }
            const QString to = folder + n + QLatin1Char('.') + OutputFiles::suffixFor(page->pageFilePath(), QStringLiteral("jpg"));
            copies << PageCopy{page->pageFilePath(), to};
            return to;
        };
        record.normal = plan(source.normalPages().value(i), QStringLiteral("files/page/"), book.normal);
        // A zoom picture that is the page picture byte for byte is left out: the zoom
        // shows the page picture then.
        const FlashPagePtr large = source.pages().value(i);
        if (record.normal.isEmpty() || !fileExists(large) || !large->isImage()
            || !OutputFiles::sameBytes(large->pageFilePath(), book.normal.last().from))
            record.large = plan(large, QStringLiteral("files/large/"), book.large);
        record.thumb = plan(source.thumbPages().value(i), QStringLiteral("files/thumb/"), book.thumb);
        if (record.normal.isEmpty())
            record.normal = !record.large.isEmpty() ? record.large : record.thumb;
        if (record.normal.isEmpty())
            fail(loadAppString(QStringLiteral("BookOutput-Page %1 has no picture."), QStringLiteral("Page %1 has no picture."))
                     .arg(i + 1));
        book.pages << record;

        if (book.mobile) {
            // The file a picture of this page's record is copied from (the last one planned).
            const auto sourceOf = [&](const QString &to) {
                for (const QList<PageCopy> *list : {&book.normal, &book.large, &book.thumb})
                    if (!list->isEmpty() && list->last().to == to)
                        return list->last().from;
                return QString();
            };
            ViewerPage phone;
            const FlashPagePtr picture = source.phonePages().value(i);
            // A phone picture that is the desktop page picture byte for byte is not
            // copied again: the phone version shows the desktop book's file.
            if (fileExists(picture) && picture->isImage()
                && !OutputFiles::sameBytes(picture->pageFilePath(), sourceOf(record.normal))) {
                checkPageFile(picture, i + 1);
                const QString name = n + QLatin1Char('.') + OutputFiles::suffixFor(picture->pageFilePath(), QStringLiteral("jpg"));
                book.phone << PageCopy{picture->pageFilePath(), QStringLiteral("mobile/files/page/") + name};
                phone.normal = QStringLiteral("files/page/") + name;
            } else {
                phone.normal = QStringLiteral("../") + record.normal;
            }
            if (!record.thumb.isEmpty())
                phone.thumb = QStringLiteral("../") + record.thumb;
            book.mobilePages << phone;
        }
    }

    const std::atomic_bool *stop = stopFlag();
    auto copyAll = [&](const QList<PageCopy> &copies, int type) {
        post(type, 0, int(copies.size()));
        const int step = qMax(1, int(copies.size()) / 50);
        for (int i = 0; i < copies.size(); ++i) {
            checkStop();
            const PageCopy &copy = copies.at(i);
            OutputFiles::copyFile(copy.from, book.path(copy.to), stop);
            if ((i + 1) % step == 0 || i + 1 == copies.size())
                post(type, i + 1, int(copies.size()));
        }
    };
    QSet<QString> folders{QStringLiteral("files/page")};
    for (const QList<PageCopy> *list : {&book.normal, &book.large, &book.thumb, &book.swf})
        for (const PageCopy &copy : *list)
            folders.insert(QFileInfo(copy.to).path());
    for (const QString &folder : std::as_const(folders))
        OutputFiles::makeFolder(book.path(folder));
    copyAll(book.normal + book.swf, ConvertStep::NormalPages);
    copyAll(book.large, ConvertStep::ZoomPages);
    copyAll(book.thumb, ConvertStep::ThumbnailPages);
    // The phone pictures are copied in their own step, after the desktop book's data.
}

void FlashBookOutput::writeFurnishings(Book &book)
{
    post(ConvertStep::ExtendFiles, 0, 1);
    const std::atomic_bool *stop = stopFlag();
    book.resources = std::make_unique<BookResources>(book.folder, stop);
    if (!m_stagePath.isEmpty()) {
        book.work = m_stagePath + QStringLiteral("/work");
        OutputFiles::makeFolder(book.work);
    } else {
        book.ownWork = std::make_unique<QTemporaryDir>();
        book.work = book.ownWork->path();
    }

    // Downloads: files below files/download/, web addresses as they are.
    QJsonObject download;
    if (!m_parts.downloadWorkspace().isEmpty()) {
        const BookDownloads d = DownloadCfgItem::downloadsForWorkspace(m_parts.downloadWorkspace());
        if (!d.isEmpty()) {
            auto place = [&](const QString &file, const QString &folder) {
                return isWebAddress(file) ? file : book.resources->addFile(file, folder);
            };
            download.insert(QStringLiteral("wholeFile"), place(d.wholeFile, QStringLiteral("files/download")));
            QJsonArray pageFiles;
            for (const QString &file : d.pageFiles)
                pageFiles.append(place(file, QStringLiteral("files/download/pages")));
            download.insert(QStringLiteral("pageFiles"), pageFiles);
            download.insert(QStringLiteral("pagePrefix"), d.pagePrefix);
            QJsonArray attachments;
            for (const BookDownloads::Attachment &a : d.attachments) {
                const QString file = place(a.file, QStringLiteral("files/download/attachments"));
                if (!file.isEmpty())
                    attachments.append(QJsonObject{{QStringLiteral("name"), a.name}, {QStringLiteral("file"), file}});
            }
            download.insert(QStringLiteral("attachments"), attachments);
        }
    }

    // The scene's layers; its files are copied in their own step. Movies play through
    // the SWF player, with the scene's shot where they cannot.
    QJsonObject scene;
    const BookScene &selected = m_parts.scene();
    if (hasSceneFolder(selected)) {
        auto layers = [&](const QList<BookScene::Layer> &list) {
            QJsonArray out;
            for (const BookScene::Layer &layer : list) {
                const QString file = QDir::cleanPath(layer.file);
                if (file.isEmpty() || QDir::isAbsolutePath(file) || file == QLatin1String("..")
                    || file.startsWith(QLatin1String("../")))
                    continue; // a layer must lie inside the scene's folder
                if (QFileInfo(file).suffix().compare(QLatin1String("swf"), Qt::CaseInsensitive) == 0)
                    book.playsMovies = true;
                out.append(QJsonObject{{QStringLiteral("file"), QStringLiteral("files/scenes/") + OutputFiles::urlPath(file)},
                                       {QStringLiteral("position"), layer.position}});
            }
            return out;
        };
        scene.insert(QStringLiteral("background"), layers(selected.background));
        scene.insert(QStringLiteral("foreground"), layers(selected.foreground));
        if (QFileInfo(QDir(selected.folder).filePath(QStringLiteral("shot.jpg"))).isFile())
            scene.insert(QStringLiteral("shot"), QStringLiteral("files/scenes/shot.jpg"));
    }

    // The plug-in bundle: its element for the book configuration and the files the
    // settings editor saved for it (a bundle never edited has none). The viewer plays
    // its movie when the book received it, with the bundle's picture where it cannot.
    QJsonObject plugin;
    if (m_parts.hasPluginBundle()) {
        const PluginBundle bundle = PluginBundle::bundleNamed(m_parts.pluginBundleName());
        book.pluginXml = bundle.pluginXMLElement();
        const QString folder = book.path(QStringLiteral("files/plugin"));
        if (!bundle.isNone() && QFileInfo(bundle.saveFolder()).isDir() && !bundle.outputResourcesToFolder(folder))
            fail(loadAppString(QStringLiteral("BookOutput-The files of the plug-in \"%1\" cannot be copied."),
                               QStringLiteral("The files of the plug-in \"%1\" cannot be copied."))
                     .arg(m_parts.pluginBundleName()));
        const std::optional<PluginBundleSettings> settings = bundle.settings();
        const QString movie = QStringLiteral("files/plugin/") + bundle.movieFileName();
        if (settings && !book.pluginXml.isEmpty() && QFileInfo(book.path(movie)).isFile()) {
            QString shot;
            const QString shotProblem = SafeFiles::fileProblem(bundle.shotFilePath(), bundle.bgPath());
            if (shotProblem.isEmpty()) {
                shot = QStringLiteral("files/plugin/") + bundle.bgName() + QStringLiteral("1.jpg");
                OutputFiles::copyFile(bundle.shotFilePath(), book.path(shot), stopFlag());
            } else if (QFileInfo::exists(bundle.shotFilePath())) {
                AppLog::shared().error(QStringLiteral("The plug-in's picture is left out of the book: %1").arg(shotProblem));
            }
            plugin = QJsonObject{{QStringLiteral("movie"), OutputFiles::urlPath(movie)},
                                 {QStringLiteral("shot"), OutputFiles::urlPath(shot)},
                                 {QStringLiteral("left"), settings->left},
                                 {QStringLiteral("top"), settings->top},
                                 {QStringLiteral("right"), settings->right},
                                 {QStringLiteral("bottom"), settings->bottom},
                                 {QStringLiteral("opacity"), std::clamp(settings->opacity, 0.0, 100.0) / 100.0},
                                 {QStringLiteral("behind"), settings->isBehindBook()}};
            book.playsMovies = true;
        }
        checkStop();
    }

    // The preloader's movie plays while the first pages load (its picture where the
    // player cannot run).
    book.preloaderMovie = preloaderMovieFile();
    if (!book.preloaderMovie.isEmpty())
        book.playsMovies = true;

    // The pages' records are made once for the pages (a large book's take a while).
    if (book.desktopRecords.isUndefined())
        book.desktopRecords = ViewerConfig::pageRecordsValue(book.pages);
    ViewerConfig desktop(*m_template, *book.resources, QString(), book.work);
    book.desktopConfig = desktop.build(bookTitle(), book.pages, book.desktopRecords);
    const auto sources = [](const QList<PageCopy> &copies) {
        QStringList files;
        for (const PageCopy &copy : copies)
            files << copy.from;
        return files;
    };
    if (!book.commonPicture)
        book.commonPicture = ViewerConfig::commonPictureSize(sources(book.normal));
    ViewerConfig::fitPageSizeToPictures(book.desktopConfig, *m_template, *book.commonPicture);
    book.icons = desktop.extraIconItems();
    if (!scene.isEmpty())
        book.desktopConfig.insert(QStringLiteral("scene"), scene);
    if (!plugin.isEmpty())
        book.desktopConfig.insert(QStringLiteral("plugin"), plugin);
    if (!book.preloaderMovie.isEmpty())
        book.desktopConfig.insert(QStringLiteral("preloaderMovie"), QStringLiteral("files/book.swf"));
    if (book.playsMovies && hasSwfPlayer())
        book.desktopConfig.insert(QStringLiteral("swfPlayer"), QStringLiteral("files/lib/ruffle/ruffle.js"));
    if (!download.isEmpty())
        book.desktopConfig.insert(QStringLiteral("download"), download);

    if (book.mobile) {
        if (book.mobileRecords.isUndefined())
            book.mobileRecords = ViewerConfig::pageRecordsValue(book.mobilePages);
        ViewerConfig phone(mobileTemplate(), *book.resources, QStringLiteral("../"), book.work);
        book.mobileConfig = phone.build(bookTitle(), book.mobilePages, book.mobileRecords);
        if (!book.commonPhonePicture)
            book.commonPhonePicture = book.phone.isEmpty() ? *book.commonPicture : ViewerConfig::commonPictureSize(sources(book.phone));
        ViewerConfig::fitPageSizeToPictures(book.mobileConfig, mobileTemplate(), *book.commonPhonePicture);
        if (!download.isEmpty()) {
            // The phone version offers the desktop book's copies.
            QJsonObject mobileDownload = download;
            auto up = [](const QJsonValue &v) {
                const QString s = v.toString();
                return s.isEmpty() || isWebAddress(s) ? s : QStringLiteral("../") + s;
            };
            mobileDownload.insert(QStringLiteral("wholeFile"), up(download.value(QStringLiteral("wholeFile"))));
            QJsonArray pageFiles;
            for (const QJsonValue &v : download.value(QStringLiteral("pageFiles")).toArray())
                pageFiles.append(up(v));
            mobileDownload.insert(QStringLiteral("pageFiles"), pageFiles);
            QJsonArray attachments;
            for (const QJsonValue &v : download.value(QStringLiteral("attachments")).toArray()) {
                QJsonObject a = v.toObject();
                a.insert(QStringLiteral("file"), up(a.value(QStringLiteral("file"))));
                attachments.append(a);
            }
            mobileDownload.insert(QStringLiteral("attachments"), attachments);
            book.mobileConfig.insert(QStringLiteral("download"), mobileDownload);
        }
    }
    checkStop();
    post(ConvertStep::ExtendFiles, 1, 1);
}

QString FlashBookOutput::tabsScriptText() const
{
    const std::shared_ptr<BookMarkTabs> tabs = m_parts.bookmarkTabs();
    return tabs->hasTabs() ? tabs->bookmarkTabsJS() : QString();
}

void FlashBookOutput::writeDataScripts(const QString &filesFolder, const PDFSearch *search) const
{
    // The texts as the viewer searches them: blanks of the page's layout made one, each
    // line trimmed, empty lines dropped (a search matches words, which hold no blanks).
    static const QRegularExpression blanks(QStringLiteral("[ \\t\\f\\v\\r]+"));
    static const QRegularExpression emptyLines(QStringLiteral(" ?\\n[ \\n]*"));
    QJsonArray texts;
    qsizetype bytes = 0;
    if (search)
        for (const QString &text : search->pageTexts()) {
            QString compact = text;
            compact.replace(blanks, QStringLiteral(" ")).replace(emptyLines, QStringLiteral("\n"));
            compact = compact.trimmed();
            bytes += compact.size() + 4;
            texts.append(compact);
        }
    const QString searchFile = filesFolder + QStringLiteral("/search.js");
    if (bytes <= kSearchPartChars) {
        OutputFiles::writeText(searchFile, dataScript(QStringLiteral("bookSearch"), texts));
        return;
    }
    // A large book's texts in parts, the first result needing only the first of them.
    OutputFiles::makeFolder(filesFolder + QStringLiteral("/search"));
    QJsonArray parts;
    for (qsizetype first = 0; first < texts.size();) {
        QJsonArray part;
        qsizetype size = 0;
        while (first + part.size() < texts.size() && (part.isEmpty() || size < kSearchPartChars)) {
            const QString text = texts.at(first + part.size()).toString();
            size += text.size() + 4;
            part.append(text);
        }
        const QString name = QStringLiteral("search/%1.js").arg(parts.size() + 1);
        OutputFiles::writeText(filesFolder + QLatin1Char('/') + name,
                               QStringLiteral("var bookSearchPart = ")
                                   + QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("first"), int(first + 1)},
                                                                                 {QStringLiteral("texts"), part}})
                                                           .toJson(QJsonDocument::Compact))
                                   + QStringLiteral(";\n"));
        parts.append(QJsonObject{{QStringLiteral("first"), int(first + 1)}, {QStringLiteral("file"), name}});
        first += part.size();
    }
    const QJsonObject index{{QStringLiteral("pageCount"), int(texts.size())}, {QStringLiteral("parts"), parts}};
    OutputFiles::writeText(searchFile, QStringLiteral("var bookSearch = ")
                                           + QString::fromUtf8(QJsonDocument(index).toJson(QJsonDocument::Compact))
                                           + QStringLiteral(";\n"));
}

void FlashBookOutput::writeShareImage(Book &book)
{
    post(ConvertStep::BookCover, 0, 1);
    const QString given = m_html.extendKeyDict().value(QStringLiteral("meta.shareImage")).toString().trimmed();
    if (isWebAddress(given)) {
        book.shareImage = given;
    } else {
        const QString file =
            sharablePicture(!given.isEmpty() && OutputFiles::isPicture(given) ? given
                            : !m_shotFile.isEmpty()                            ? m_shotFile
                                                                               : m_parts.coverFile());
        if (!file.isEmpty() && OutputFiles::isPicture(file)) {
            const QString to = QStringLiteral("files/shot.") + OutputFiles::suffixFor(file, QStringLiteral("jpg"));
            OutputFiles::copyFile(file, book.path(to), stopFlag());
            book.shareImage = to;
        }
    }
    post(ConvertStep::BookCover, 1, 1);
}

void FlashBookOutput::writeMobilePages(Book &book)
{
    if (!book.mobile)
        return;
    const std::atomic_bool *stop = stopFlag();
    OutputFiles::makeFolder(book.path(QStringLiteral("mobile/files/page")));
    const int count = int(book.phone.size());
    post(ConvertStep::MobilePages, 0, count);
    const int step = qMax(1, count / 50);
    for (int i = 0; i < count; ++i) {
        checkStop();
        OutputFiles::copyFile(book.phone.at(i).from, book.path(book.phone.at(i).to), stop);
        if ((i + 1) % step == 0 || i + 1 == count)
            post(ConvertStep::MobilePages, i + 1, count);
    }
}

void FlashBookOutput::writeFirstPageSmall(Book &book)
{
    // Page 1 is what a reader sees first: it gets a picture half the page picture's
    // size as well, which the viewer takes when the cover is small on screen. Not for
    // a protected cover, whose picture is shown only once the book is open.
    if (book.pages.isEmpty() || book.normal.isEmpty() || book.normal.first().to != book.pages.first().normal
        || protectedPageList().contains(1))
        return;
    const QString from = book.normal.first().from;
    const QString to = QStringLiteral("files/small/1.jpg");
    OutputFiles::makeFolder(book.path(QStringLiteral("files/small")));
    OutputFiles::writeDerived(from, book.path(to), [&] {
        QImageReader reader(from);
        const QSize size = reader.size();
        if (!size.isValid())
            return QByteArray();
        reader.setScaledSize(PageImaging::smallSize(size)); // JPEG: decoded at half size directly
        return JpegEncoder::encode(reader.read(), PageImaging::kSmallJpeg);
    }, stopFlag());
    book.pages.first().small = to;
}

// What the home page shows first, before the viewer stands, as the JSON the
// "{{FIRST_PAGE}}" placeholder takes (escaped for HTML there): the preloader's picture
// when the book has a preloader (the author wants it shown first), else page 1; "" for
// a preloader without picture and for a protected cover.
QString FlashBookOutput::firstPageInfo(const Book &book) const
{
    const QString background = book.desktopConfig.value(QStringLiteral("backgroundColor")).toString();
    const QString preloader = book.desktopConfig.value(QStringLiteral("preloaderImage")).toString();
    if (!preloader.isEmpty())
        return QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("preloader"), preloader},
                                                           {QStringLiteral("background"), background}})
                                     .toJson(QJsonDocument::Compact));
    if (book.pages.isEmpty() || protectedPageList().contains(1)
        || !book.desktopConfig.value(QStringLiteral("preloaderMovie")).toString().isEmpty())
        return {};
    const ViewerPage &first = book.pages.first();
    QJsonObject info{{QStringLiteral("normal"), first.normal},
                     {QStringLiteral("width"), book.desktopConfig.value(QStringLiteral("pageWidth")).toDouble(1080)},
                     {QStringLiteral("height"), book.desktopConfig.value(QStringLiteral("pageHeight")).toDouble(1440)},
                     {QStringLiteral("background"), background}};
    if (!first.small.isEmpty())
        info.insert(QStringLiteral("small"), first.small);
    return QString::fromUtf8(QJsonDocument(info).toJson(QJsonDocument::Compact));
}

QString FlashBookOutput::fillHomePage(const QString &templateFile, const QString &shareImage, const QString &firstPage,
                                      const QString &library) const
{
    TextTemplate page(OutputFiles::readText(templateFile));
    page.setItem(QStringLiteral("FIRST_PAGE"), OutputFiles::escapeHtml(firstPage));
    page.setItem(QStringLiteral("TITLE"), OutputFiles::escapeHtml(m_html.HTMLTitle()));
    page.setItem(QStringLiteral("KEYWORDS"), OutputFiles::escapeHtml(m_html.HTMLKeywords()));
    page.setItem(QStringLiteral("DESCRIPTION"), OutputFiles::escapeHtml(m_html.HTMLDescription()));
    page.setItem(QStringLiteral("SHARE_IMAGE"), OutputFiles::escapeHtml(shareImage));
    page.setItem(QStringLiteral("LOAD_TYPE"), QString::number(m_html.loadType()));
    page.setItem(QStringLiteral("LIB"), library);
    // The author's own markup goes in as written: that is what the setting is for.
    QString script = m_html.HTMLScript();
    if (!m_html.otherScript().isEmpty())
        script += (script.isEmpty() ? QString() : QStringLiteral("\n")) + m_html.otherScript();
    page.setItem(QStringLiteral("EXTRA_SCRIPT"), script);
    return page.parse();
}

void FlashBookOutput::copyViewer(const FlashTemplate &tmpl, const QString &filesFolder, bool withPageFlip,
                                 bool withLibrary) const
{
    const std::atomic_bool *stop = stopFlag();
    OutputFiles::copyFolder(tmpl.templateFolder() + QStringLiteral("/viewer"), filesFolder + QStringLiteral("/viewer"), stop,
                            false, {QStringLiteral("index.html")});
    if (!withLibrary)
        return;
    const QString lib = AppResources::resourcePath(QStringLiteral("viewer-lib"));
    if (withPageFlip && !QFileInfo(lib + QStringLiteral("/page-flip.browser.js")).isFile())
        fail(loadAppString(QStringLiteral("BookOutput-The viewer files are incomplete: \"%1\" is missing."),
                           QStringLiteral("The viewer files are incomplete: \"%1\" is missing."))
                 .arg(QDir::toNativeSeparators(lib + QStringLiteral("/page-flip.browser.js"))));
    OutputFiles::copyFolder(lib, filesFolder + QStringLiteral("/lib"), stop, false,
                            withPageFlip ? QStringList() : QStringList{QStringLiteral("page-flip.browser.js")});
    // The modules of protected and narrated books come with every book; the viewer
    // starts them only when the configuration asks for them.
    OutputFiles::copyFolder(AppResources::resourcePath(QStringLiteral("viewer-common")), filesFolder + QStringLiteral("/lib"),
                            stop);
}

void FlashBookOutput::writeHomePage(Book &book)
{
    post(ConvertStep::HomePage, 0, 1);
    const QString index = m_template->templateFolder() + QStringLiteral("/viewer/index.html");
    if (!QFileInfo(index).isFile())
        fail(loadAppString(QStringLiteral("BookOutput-The template \"%1\" has no viewer."),
                           QStringLiteral("The template \"%1\" has no viewer."))
                 .arg(m_template->tmplName()));
    const QString homeFile = m_name + QStringLiteral(".html");
    OutputFiles::writeText(book.path(homeFile), fillHomePage(index, book.shareImage, firstPageInfo(book)));
    copyViewer(*m_template, book.path(kFiles), true);
    m_entries << homeFile << kFiles;
    post(ConvertStep::HomePage, 1, 1);
}

void FlashBookOutput::writeSettings(Book &book)
{
    post(ConvertStep::BookSettings, 0, 1);
    const QString tabsScript = tabsScriptText();
    OutputFiles::writeText(book.path(QStringLiteral("files/config.js")), ViewerConfig::script(book.desktopConfig, tabsScript));
    const QJsonArray outline = outlineItems(m_parts.outline()->items(), 1);
    OutputFiles::writeText(book.path(QStringLiteral("files/outline.js")), dataScript(QStringLiteral("bookOutline"), outline));

    BookXmlContent xml;
    xml.title = bookTitle();
    xml.pageCount = book.pageCount;
    xml.pageWidth = book.desktopConfig.value(QStringLiteral("pageWidth")).toDouble(1080);
    xml.pageHeight = book.desktopConfig.value(QStringLiteral("pageHeight")).toDouble(1440);
    xml.tabs = m_parts.bookmarkTabs().get();
    xml.icons = book.icons;
    xml.pluginXml = book.pluginXml;
    xml.annotations = m_parts.annotations().get();
    OutputFiles::writeText(book.path(QStringLiteral("files/book.xml")), bookXML(xml));
    post(ConvertStep::BookSettings, 1, 1);
}

void FlashBookOutput::copyScene(Book &book)
{
    post(ConvertStep::SceneFiles, 0, 1);
    // An empty folder names nothing: never fall back to the working folder.
    const BookScene &scene = m_parts.scene();
    if (hasSceneFolder(scene))
        OutputFiles::copyFolder(scene.folder, book.path(QStringLiteral("files/scenes")),
                                stopFlag());
    else if (!scene.isNone() && QFileInfo(scene.folder).isSymLink())
        AppLog::shared().error(QStringLiteral("The scene's files are left out of the book: \"%1\" is a link.")
                                   .arg(QDir::toNativeSeparators(scene.folder)));
    post(ConvertStep::SceneFiles, 1, 1);
}

bool FlashBookOutput::hasSwfPlayer()
{
    return QFileInfo(AppResources::resourcePath(QStringLiteral("ruffle/ruffle.js"))).isFile();
}

void FlashBookOutput::copySwfPlayer(Book &book)
{
    if (book.playsMovies && hasSwfPlayer())
        OutputFiles::copyFolder(AppResources::resourcePath(QStringLiteral("ruffle")),
                                book.path(QStringLiteral("files/lib/ruffle")), stopFlag(), false, {},
                                m_linksProgramFiles ? OutputFiles::FileCopy::LinkWhereAble : OutputFiles::FileCopy::Bytes);
}

QString FlashBookOutput::preloaderMovieFile() const
{
    const QString name = m_template->propertyValue(QStringLiteral("tmplPreloader"));
    if (name.isEmpty())
        return {};
    const QList<FlashTemlPreloaderItem> installed = FlashTemlPreloaderItem::installedPreloaders();
    const int index = FlashTemlPreloaderItem::indexOfPreloader(name, installed);
    const QString movie = index < 0 ? QString() : installed.at(index).prlFile();
    return QFileInfo(movie).isFile() ? movie : QString();
}

void FlashBookOutput::copyPreloaderMovie(Book &book)
{
    post(ConvertStep::BookSwf, 0, 1);
    if (!book.preloaderMovie.isEmpty())
        OutputFiles::copyFile(book.preloaderMovie, book.path(QStringLiteral("files/book.swf")), stopFlag());
    post(ConvertStep::BookSwf, 1, 1);
}

void FlashBookOutput::writeMobileHomePage(Book &book)
{
    if (!book.mobile)
        return;
    post(ConvertStep::MobileHomePage, 0, 1);
    const FlashTemplate &tmpl = mobileTemplate();
    const QString index = tmpl.templateFolder() + QStringLiteral("/viewer/index.html");
    if (!QFileInfo(index).isFile())
        fail(loadAppString(QStringLiteral("BookOutput-The template \"%1\" has no viewer."),
                           QStringLiteral("The template \"%1\" has no viewer."))
                 .arg(tmpl.tmplName()));
    const QString files = book.path(QStringLiteral("mobile/files"));
    OutputFiles::makeFolder(files);
    const QString share = book.shareImage.isEmpty() || isWebAddress(book.shareImage) ? book.shareImage
                                                                                      : QStringLiteral("../") + book.shareImage;
    // A home page that names the viewer library by "{{LIB}}" reads the desktop book's.
    const bool sharesLibrary = OutputFiles::readText(index).contains(QLatin1String("{{LIB}}"));
    OutputFiles::writeText(book.path(QStringLiteral("mobile/index.html")),
                           fillHomePage(index, share, {}, QStringLiteral("../files/lib/")));
    copyViewer(tmpl, files, false, !sharesLibrary);
    // The data files the desktop book has already, the same for the phone, are read
    // from there: its configuration says where.
    const PDFSearch *search = m_mobileSearch ? m_mobileSearch.get() : m_pdfSearch.get();
    const bool sameSearch = search == m_pdfSearch.get() || (search && m_pdfSearch && *search == *m_pdfSearch);
    if (sameSearch)
        book.mobileConfig.insert(QStringLiteral("dataFolder"), QStringLiteral("../files/"));
    const QString tabsScript = tabsScriptText();
    OutputFiles::writeText(files + QStringLiteral("/config.js"), ViewerConfig::script(book.mobileConfig, tabsScript));
    if (!sameSearch && !m_reusedPages) {
        const QJsonArray outline = outlineItems(m_parts.outline()->items(), 1);
        OutputFiles::writeText(files + QStringLiteral("/outline.js"), dataScript(QStringLiteral("bookOutline"), outline));
        OutputFiles::writeText(files + QStringLiteral("/annotations.js"), dataScript(QStringLiteral("bookAnnotations"), {}));
        writeDataScripts(files, search);
    }
    m_entries << kMobile;
    post(ConvertStep::MobileHomePage, 1, 1);
}

void FlashBookOutput::writeBasicPages(Book &book)
{
    if (!(m_basicHtml || m_html.hasBasicHtml()))
        return;
    BasicHtmlContent content;
    content.title = bookTitle();
    content.description = m_html.HTMLDescription();
    content.homePage = m_name + QStringLiteral(".html");
    for (const ViewerPage &page : book.pages)
        content.pictures << page.normal;
    for (int n = 1; n <= book.pageCount; ++n)
        content.texts << (m_pdfSearch ? m_pdfSearch->pageText(n) : QString());
    for (const QJsonValue &caption : book.desktopConfig.value(QStringLiteral("captions")).toArray())
        content.captions << caption.toString();
    leaveOutProtectedPages(content);
    post(ConvertStep::BasicWebPages, 0, book.pageCount);
    writeBasicHtml(book.path(QStringLiteral("files/basic")), content, stopFlag(),
                   [this](int n, int count) { post(ConvertStep::BasicWebPages, n, count); });
}

void FlashBookOutput::writeBookFolder(const QString &folder)
{
    if (!m_template || !m_template->isLoaded())
        fail(loadAppString(QStringLiteral("BookOutput-The book has no template."), QStringLiteral("The book has no template.")));
    m_entries.clear();
    Book book;
    book.folder = folder;
    book.mobile = wantsMobile();
    OutputFiles::makeFolder(folder);
    post(ConvertStep::Ready, 0, 1);

    // A rebuild for design settings alone takes the pages as the run before left them.
    const PagePlan *reused = m_previousPlan.get();
    if (!reused || isProtectedBook() || reused->folder != QDir::cleanPath(folder) || reused->mobile != book.mobile
        || !m_pageSource || reused->pageBox != m_pageSource->normalPageSize() || reused->pictures != pictureFiles(*m_pageSource))
        reused = nullptr;
    m_reusedPages = reused;
    m_plan.reset();
    m_configuration = {};
    if (reused) {
        book.pageCount = int(reused->pages.size());
        book.normal = reused->normal;
        book.large = reused->large;
        book.thumb = reused->thumb;
        book.swf = reused->swf;
        book.phone = reused->phone;
        book.pages = reused->pages;
        book.mobilePages = reused->mobilePages;
        book.commonPicture = reused->commonPicture;
        book.commonPhonePicture = reused->commonPhonePicture;
        book.desktopRecords = reused->desktopRecords;
        book.mobileRecords = reused->mobileRecords;
    } else {
        preparePages();
        copyPages(book);
        writeFirstPageSmall(book);
    }
    auto plan = std::make_shared<PagePlan>();
    plan->folder = QDir::cleanPath(folder);
    plan->pictures = pictureFiles(*m_pageSource);
    plan->pageBox = m_pageSource->normalPageSize();
    plan->mobile = book.mobile;
    plan->normal = book.normal;
    plan->large = book.large;
    plan->thumb = book.thumb;
    plan->swf = book.swf;
    plan->phone = book.phone;
    plan->pages = book.pages;
    plan->mobilePages = book.mobilePages;
    writeFurnishings(book);
    plan->commonPicture = book.commonPicture;
    plan->commonPhonePicture = book.commonPhonePicture;
    plan->desktopRecords = book.desktopRecords;
    plan->mobileRecords = book.mobileRecords;

    if (!reused) {
        post(ConvertStep::AnnotationFiles, 0, 1);
        OutputFiles::writeText(book.path(QStringLiteral("files/annotations.js")),
                               dataScript(QStringLiteral("bookAnnotations"), {}));
        post(ConvertStep::AnnotationFiles, 1, 1);
        checkStop();

        post(ConvertStep::SearchFiles, 0, 1);
        writeDataScripts(book.path(kFiles), m_pdfSearch.get());
        post(ConvertStep::SearchFiles, 1, 1);
        checkStop();
    }

    writeShareImage(book);
    if (!reused)
        writeMobilePages(book);
    post(ConvertStep::AssistantResource, 0, 1);
    plan->narration = reused ? reused->narration : writeNarration(folder);
    if (plan->narration) {
        book.desktopConfig.insert(QStringLiteral("narration"), true);
        if (book.mobile)
            book.mobileConfig.insert(QStringLiteral("narration"), true);
    }
    post(ConvertStep::AssistantResource, 1, 1);
    checkStop();
    writeHomePage(book);
    writeSettings(book);
    checkStop();
    copyScene(book); // a scene chosen reaches the book as a design setting does
    copySwfPlayer(book);
    copyPreloaderMovie(book);
    writeMobileHomePage(book);
    if (!reused)
        writeBasicPages(book);
    checkStop();
    protectStagedBook(folder);
    checkStop();
    // A protected book's pictures became payloads: the next rebuild writes them anew.
    if (!isProtectedBook()) {
        m_plan = plan;
        m_configuration = {book.desktopConfig, book.mobile ? book.mobileConfig : QJsonObject(), tabsScriptText()};
    }
}

QString FlashBookOutput::packedBook(OutputStage &stage)
{
    const QString archive = stage.path() + QStringLiteral("/book.zip");
    ZipWriter zip(archive);
    zip.setStopFlag(stopFlag());
    zip.setProgressHandler([this](double part) { post(ConvertStep::Complete, int(part * 100), 100); });
    // Pictures and sounds are compressed already: stored as they are, they pack in a
    // fraction of the time at almost the same size.
    static const QStringList stored{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
                                    QStringLiteral("gif"), QStringLiteral("webp"), QStringLiteral("mp3"),
                                    QStringLiteral("mp4"), QStringLiteral("zip")};
    const QDir root(stage.bookFolder());
    auto add = [&](const QString &path) {
        const QFileInfo info(path);
        const QString name = root.relativeFilePath(path);
        if (info.isDir())
            return zip.addDirectory(name + QLatin1Char('/'));
        return zip.addFile(name, path,
                           stored.contains(info.suffix().toLower()) ? ZipWriter::Method::Store : ZipWriter::Method::Deflate);
    };
    for (const QString &entry : std::as_const(m_entries)) {
        checkStop();
        const QString path = root.filePath(entry);
        bool added = add(path);
        if (QFileInfo(path).isDir()) {
            QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDirIterator::Subdirectories);
            while (added && it.hasNext())
                added = add(it.next());
        }
        if (!added) {
            checkStop();
            fail(zip.errorString());
        }
    }
    if (!zip.commit()) {
        checkStop();
        fail(zip.errorString());
    }
    return archive;
}

void FlashBookOutput::writeStagedBook(const OutputStage &stage, const QString &folder)
{
    m_stagePath = stage.path();
    const auto forgetStage = qScopeGuard([this] { m_stagePath.clear(); });
    writeBookFolder(folder);
}

void FlashBookOutput::convertBook()
{
    m_mainFile.clear();
    OutputStage stage(m_folder);
    writeStagedBook(stage, stage.bookFolder());
    stage.commit(m_entries);
    m_mainFile = stage.outputFolder() + QLatin1Char('/') + m_name + QStringLiteral(".html");
    post(ConvertStep::Complete, 1, 1);
}

void FlashBookOutput::updateBook()
{
    m_mainFile.clear();
    OutputFiles::makeFolder(m_folder);
    OutputFiles::FolderUpdate update(m_folder);
    writeBookFolder(m_folder);
    if (m_reusedPages) {
        // Only what design settings and the scene make was written: only that is cleaned
        // up (the pages, data scripts, sounds and the program's files stay as they are).
        QStringList entries{m_name + QStringLiteral(".html"), QStringLiteral("files/extfiles"),
                            QStringLiteral("files/viewer"), QStringLiteral("files/book.swf"), QStringLiteral("files/scenes"),
                            QStringLiteral("mobile/index.html"), QStringLiteral("mobile/files/viewer"),
                            QStringLiteral("mobile/files/extfiles")};
        for (const char *suffix : {"jpg", "jpeg", "png", "gif", "webp", "bmp", "ico", "svg"})
            entries << QStringLiteral("files/shot.") + QLatin1String(suffix);
        update.removeOthers(entries, stopFlag());
    } else {
        update.removeOthers({m_name + QStringLiteral(".html"), kFiles, kMobile}, stopFlag());
    }
    m_mainFile = m_folder + QLatin1Char('/') + m_name + QStringLiteral(".html");
    post(ConvertStep::Complete, 1, 1);
}

void FlashBookOutput::zipOutput()
{
    m_mainFile.clear();
    OutputStage stage(m_folder);
    writeStagedBook(stage, stage.bookFolder());
    post(ConvertStep::Complete, 0, 100);
    const QString archive = packedBook(stage);
    checkStop();
    stage.commitFile(archive, m_name + QStringLiteral(".zip"));
    m_mainFile = stage.outputFolder() + QLatin1Char('/') + m_name + QStringLiteral(".zip");
}

void FlashBookOutput::sealOutput(const QString &password)
{
    m_mainFile.clear();
    if (password.isEmpty())
        fail(loadAppString(QStringLiteral("SealedPackage-A password is needed to seal the book."),
                           QStringLiteral("A password is needed to seal the book.")));
    OutputStage stage(m_folder);
    writeStagedBook(stage, stage.bookFolder());
    post(ConvertStep::Complete, 0, 100);
    const QString archive = packedBook(stage);
    const QString sealed = stage.path() + QStringLiteral("/book.") + sealedPackageSuffix();
    QString error;
    const bool ok = SealedPackage::seal(archive, sealed, password, SealedPackage::kDefaultIterations, stopFlag(), &error);
    checkStop();
    if (!ok)
        fail(error);
    const QString name = m_name + QLatin1Char('.') + sealedPackageSuffix();
    stage.commitFile(sealed, name);
    m_mainFile = stage.outputFolder() + QLatin1Char('/') + name;
}
