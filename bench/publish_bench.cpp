// Measures publishing: imports a PDF, publishes it as a book into DIR (kept there),
// and prints the book's bytes per page and their ratio to the PDF's, the pictures' share
// of the book, the pairs of files holding the same bytes, how many page pictures come in
// progressive scans, pages per second, the ratio of the publish time to copying the
// finished book with `cp -r` beside it (the two taking turns, --runs times; medians), and
// the peak memory. Publish and copy are each timed to their end and to the disk (until
// the file system has written what they wrote: the two ratios); the file system is
// written out, untimed, before each, and the copy stays until it reached the disk.
//
//   publish_bench [--pdf FILE] --out DIR [--name N] [--kind K] [--zip] [--password P]
//                 [--pages N] [--title T] [--tabs FILE] [--load-type T] [--threads N]
//                 [--icon FILE] [--window-size S] [--version V] [--id I] [--hide-on-close]
//                 [--width W] [--height H]
//                 [--users FILE] [--except K] [--sound SPREAD=FILE ...] [--manual]
//                 [--delay MS] [--mute MS] [--script FILE] [--whole FILE]
//                 [--attach FILE ...] [--annotations FILE] [--runs N]
//
// Without --pdf the import benchmark's generated document of N pages (default 120) is
// used (import_bench --make-pdf, run from the same folder). --tabs names a bookmark
// tabs file (the Tabs XML); --script a file of markup for the head of the book's pages
// (the author's extra script).
//
// Desktop and plug-in kinds: 1 writes N.app, 3 N.exe, 6 (WordPress), 7 (Joomla) and
// 8 (Drupal) the package N.zip. --icon is the application's icon, --window-size its
// window ("MAX", "FULLSCREEN", "CUSTOM:w,h"), --hide-on-close its close mode (kind 1).
// --version and --id are the application's version and bundle identifier for kind 1,
// the system's version ("2.5", "1.5"; "7", "6") and the module id for kinds 7 and 8.
// --width and --height size the plug-in's frame ("100%", "600px").
//
// Protection and narration: --password seals kind 5 packages and protects the book of
// every other kind with that one password; --users protects it with a users list (a
// text file, one "user<TAB>password" line per user); --except K leaves the first K
// pages of a protected book readable. --sound gives a spread (0 the cover, i pages 2i
// and 2i+1) a narration sound, played automatically unless --manual, with the pauses
// --delay (after a sound) and --mute (on a spread without sound).
//
// Downloads and annotations: --whole offers FILE as the whole-book download, --attach
// adds an attachment (repeatable); both go through a download workspace as the download
// configuration makes it. --annotations names the page annotations (a pagesAnnotations
// XML file, as a project keeps them).

#include "BenchSupport.h"
#include "batch/ConvertParament.h"
#include "batch/ImportParament.h"
#include "annotations/FlashPagesAnnotations.h"
#include "furnishings/DownloadCfgItem.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/FlashOutline.h"
#include "output/security/BookSecurity.h"
#include "output/narration/GenerateAssistant.h"
#include "output/OutputOperation.h"
#include "output/packages/PublishPlugin.h"
#include "pages/FlashPageSource.h"
#include "pages/PDFSearch.h"
#include "pages/PageImport.h"
#include "templates/FlashTemplate.h"

#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Writes out what is waiting for the disk on the file system of the folder `path`
// (every file system's when that cannot be done), and waits until it is written.
void syncFileSystem(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::syncfs(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!synced)
        ::sync();
}

// Whether a JPEG file's frame is progressive (its SOF marker is SOF2).
bool isProgressiveJpeg(const QByteArray &jpeg)
{
    qsizetype at = 2;
    if (!jpeg.startsWith("\xFF\xD8"))
        return false;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const uchar marker = uchar(jpeg[at + 1]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return marker == 0xC2;
        at += 2 + (uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]));
    }
    return false;
}

int failWith(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 1;
}

qint64 folderBytes(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return info.size();
    qint64 total = 0;
    QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

// The users of a "user<TAB>password" file; false when a line has no tab.
bool readUsers(const QString &path, QList<QVariantMap> *users)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0)
            return false;
        users->append({{QStringLiteral("user"), line.left(tab)}, {QStringLiteral("password"), line.mid(tab + 1)}});
    }
    return !users->isEmpty();
}

} // namespace

int main(int argc, char **argv)
{
    BenchSupport::useOffscreenUnlessSet();
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("pdf"), QStringLiteral("PDF to import."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("out"), QStringLiteral("Folder to publish into."), QStringLiteral("folder")});
    parser.addOption({QStringLiteral("name"), QStringLiteral("File name of the book."), QStringLiteral("name"),
                      QStringLiteral("book")});
    parser.addOption({QStringLiteral("kind"),
                      QStringLiteral("Output kind (0 web folder, 1 application, 2 ZIP, 3 executable, 4, 5 sealed, "
                                     "6 WordPress, 7 Joomla, 8 Drupal)."),
                      QStringLiteral("kind"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("zip"), QStringLiteral("Compress the web folder into a ZIP archive.")});
    parser.addOption({QStringLiteral("password"), QStringLiteral("Password of a sealed package."), QStringLiteral("text")});
    parser.addOption({QStringLiteral("pages"), QStringLiteral("Pages of the generated PDF."), QStringLiteral("n"),
                      QStringLiteral("120")});
    parser.addOption({QStringLiteral("title"), QStringLiteral("Title of the book."), QStringLiteral("text"),
                      QStringLiteral("Benchmark book")});
    parser.addOption({QStringLiteral("tabs"), QStringLiteral("Bookmark tabs file (Tabs XML)."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("script"), QStringLiteral("Markup for the head of the book's pages (a file)."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("threads"), QStringLiteral("Import threads (0: one per core)."),
                      QStringLiteral("n"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("load-type"), QStringLiteral("Load type 0 to 3."), QStringLiteral("n"),
                      QStringLiteral("0")});
    parser.addOption({QStringLiteral("icon"), QStringLiteral("Icon of an application or executable."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("window-size"), QStringLiteral("Window: MAX, FULLSCREEN or CUSTOM:w,h."),
                      QStringLiteral("size")});
    parser.addOption({QStringLiteral("version"),
                      QStringLiteral("Application version (kind 1) or system version (kinds 7, 8)."),
                      QStringLiteral("text")});
    parser.addOption({QStringLiteral("id"), QStringLiteral("Bundle identifier (kind 1) or module id (kinds 7, 8)."),
                      QStringLiteral("text")});
    parser.addOption({QStringLiteral("hide-on-close"), QStringLiteral("Closing the application's window hides it.")});
    parser.addOption({QStringLiteral("width"), QStringLiteral("Width of the plug-in's frame."), QStringLiteral("size"),
                      QStringLiteral("100%")});
    parser.addOption({QStringLiteral("height"), QStringLiteral("Height of the plug-in's frame."), QStringLiteral("size"),
                      QStringLiteral("600px")});
    parser.addOption({QStringLiteral("users"), QStringLiteral("Users of a protected book (user<TAB>password lines)."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("except"), QStringLiteral("Front pages a protected book leaves readable."),
                      QStringLiteral("k")});
    parser.addOption({QStringLiteral("sound"), QStringLiteral("Narration sound of a spread (repeatable)."),
                      QStringLiteral("spread=file")});
    parser.addOption({QStringLiteral("manual"), QStringLiteral("Narration plays on request only.")});
    parser.addOption({QStringLiteral("delay"), QStringLiteral("Pause after a narration sound."), QStringLiteral("ms")});
    parser.addOption({QStringLiteral("mute"), QStringLiteral("Pause on a spread without sound."), QStringLiteral("ms")});
    parser.addOption({QStringLiteral("preloader"), QStringLiteral("Preloader of the book (an installed one)."),
                      QStringLiteral("name")});
    parser.addOption({QStringLiteral("whole"), QStringLiteral("Whole-book download."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("attach"), QStringLiteral("Attachment to download (repeatable)."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("annotations"), QStringLiteral("Page annotations (pagesAnnotations XML)."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Publishes, each followed by its cp -r."), QStringLiteral("n"),
                      QStringLiteral("1")});
    parser.process(app);

    const QString out = parser.value(QStringLiteral("out"));
    if (out.isEmpty())
        return failWith(QStringLiteral("--out DIR is needed"));
    const int kind = parser.value(QStringLiteral("kind")).toInt();
    const QString password = parser.value(QStringLiteral("password"));
    std::shared_ptr<BookSecurity> security;
    if (parser.isSet(QStringLiteral("users")) || (!password.isEmpty() && kind != 5)) {
        security = std::make_shared<BookSecurity>();
        if (parser.isSet(QStringLiteral("users"))) {
            security->setSecurityType(BookSecurity::UserList);
            if (!readUsers(parser.value(QStringLiteral("users")), &security->usersList()))
                return failWith(QStringLiteral("--users: cannot read users from %1").arg(parser.value(QStringLiteral("users"))));
        } else {
            security->setSecurityType(BookSecurity::SinglePassword);
            security->setPassword(password);
        }
        if (parser.isSet(QStringLiteral("except"))) {
            security->setPageProtectType(1);
            security->setExceptPages(parser.value(QStringLiteral("except")));
        }
    }
    std::shared_ptr<GenerateAssistant> assistant;
    if (parser.isSet(QStringLiteral("sound"))) {
        assistant = std::make_shared<GenerateAssistant>();
        for (const QString &item : parser.values(QStringLiteral("sound"))) {
            const qsizetype eq = item.indexOf(QLatin1Char('='));
            bool ok = false;
            const int spread = item.left(eq).toInt(&ok);
            if (eq <= 0 || !ok || spread < 0 || spread > 100000)
                return failWith(QStringLiteral("--sound is written SPREAD=FILE: %1").arg(item));
            QList<AssistantResourceItem> &list = assistant->resourceList();
            while (list.size() <= spread)
                list.append(AssistantResourceItem());
            list[spread].setType(AssistantResourceItem::ImportedMp3);
            list[spread].setImportmp3File(QFileInfo(item.mid(eq + 1)).absoluteFilePath());
        }
        AssistantSpeechItem &options = assistant->speechOptions();
        options.setPlayMode(parser.isSet(QStringLiteral("manual")) ? AssistantSpeechItem::Manual
                                                                   : AssistantSpeechItem::Automatic);
        if (parser.isSet(QStringLiteral("delay")))
            options.setDefaultPauseTimeWhenFinished(parser.value(QStringLiteral("delay")).toInt());
        if (parser.isSet(QStringLiteral("mute")))
            options.setDefaultPauseTimeWhenEmpty(parser.value(QStringLiteral("mute")).toInt());
    }

    QTemporaryDir work;
    // The download workspace as the download configuration leaves it: the files copied
    // in, ".cfg" naming them.
    QString downloads;
    if (parser.isSet(QStringLiteral("whole")) || parser.isSet(QStringLiteral("attach"))) {
        downloads = work.filePath(QStringLiteral("download"));
        DownloadSettings settings;
        const auto copyIn = [&](const QString &file, const QString &folder) {
            QDir().mkpath(downloads + folder);
            const QString to = downloads + folder + QLatin1Char('/') + QFileInfo(file).fileName();
            return QFile::copy(file, to) ? QStringLiteral(".") + folder + QLatin1Char('/') + QFileInfo(file).fileName()
                                         : QString();
        };
        if (parser.isSet(QStringLiteral("whole"))) {
            settings.hasPDF = true;
            settings.file = copyIn(parser.value(QStringLiteral("whole")), QString());
            if (settings.file.isEmpty())
                return failWith(QStringLiteral("--whole: cannot copy %1").arg(parser.value(QStringLiteral("whole"))));
        }
        for (const QString &file : parser.values(QStringLiteral("attach"))) {
            settings.attachs << copyIn(file, QStringLiteral("/attachments"));
            if (settings.attachs.last().isEmpty())
                return failWith(QStringLiteral("--attach: cannot copy %1").arg(file));
        }
        QString error;
        if (!DownloadCfgItem::writeSettings(downloads, settings, &error))
            return failWith(error);
    }
    FlashPagesAnnotations annotations;
    if (parser.isSet(QStringLiteral("annotations"))) {
        QString error;
        if (!annotations.loadFromFile(parser.value(QStringLiteral("annotations")), &error))
            return failWith(QStringLiteral("--annotations: %1").arg(error));
    }
    const QString pdf = BenchSupport::benchPdf(parser.value(QStringLiteral("pdf")), work.filePath(QStringLiteral("bench.pdf")),
                                               parser.value(QStringLiteral("pages")));
    if (pdf.isEmpty())
        return failWith(QStringLiteral("could not make the test PDF with import_bench"));

    ImportParament import;
    import.sourceFiles = {pdf};
    PageImport importer(import, work.filePath(QStringLiteral("pages")));
    importer.setThreadCount(parser.value(QStringLiteral("threads")).toInt());
    QElapsedTimer clock;
    clock.start();
    if (!importer.run())
        return failWith(QStringLiteral("import failed: %1").arg(importer.result().message));
    const double importSeconds = clock.nsecsElapsed() / 1e9;

    FlashTemplate tmpl;
    if (!tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(FlashTemplate::defaultTemplateName())))
        return failWith(tmpl.errorString());
    if (parser.isSet(QStringLiteral("preloader")))
        tmpl.setPropertyValue(QStringLiteral("tmplPreloader"), parser.value(QStringLiteral("preloader")));
    BookMarkTabs tabs;
    if (parser.isSet(QStringLiteral("tabs")) && !tabs.loadFromFile(parser.value(QStringLiteral("tabs"))))
        return failWith(QStringLiteral("cannot read the tabs file"));

    ConvertParament parament;
    parament.setIOutputType(kind);
    parament.setStrOutputFolder(out);
    parament.setStrOutputName(parser.value(QStringLiteral("name")));
    parament.setStrTitle(parser.value(QStringLiteral("title")));
    parament.setCompressToZip(parser.isSet(QStringLiteral("zip")));
    if (parser.isSet(QStringLiteral("script"))) {
        QFile script(parser.value(QStringLiteral("script")));
        if (!script.open(QIODevice::ReadOnly))
            return failWith(QStringLiteral("--script: cannot read %1").arg(script.fileName()));
        parament.setStrScripts(QString::fromUtf8(script.readAll()));
    }
    parament.setLoadType(parser.value(QStringLiteral("load-type")).toInt());
    const QString icon = parser.value(QStringLiteral("icon"));
    if (!icon.isEmpty() && !QFileInfo(icon).isFile())
        return failWith(QStringLiteral("--icon: no such file %1").arg(icon));
    parament.setStrAppIconFile(icon);
    parament.setStrExeIconFile(icon);
    parament.setStrWindowSize(parser.value(QStringLiteral("window-size")));
    parament.setStrExeSize(parser.value(QStringLiteral("window-size")));
    parament.setIAppWindowHide(parser.isSet(QStringLiteral("hide-on-close")) ? 2 : 1);
    std::shared_ptr<PublishPlugin> plugin;
    if (kind == 1) {
        parament.setStrAppVersion(parser.value(QStringLiteral("version")));
        parament.setStrAppIdentifier(parser.value(QStringLiteral("id")));
    } else if (kind >= 6 && kind <= 8) {
        plugin = std::make_shared<PublishPlugin>();
        plugin->setStrWidth(parser.value(QStringLiteral("width")));
        plugin->setStrHeight(parser.value(QStringLiteral("height")));
        plugin->setStrVersion(parser.isSet(QStringLiteral("version")) ? parser.value(QStringLiteral("version"))
                                           : kind == 8                 ? QStringLiteral("7")
                                                                       : QStringLiteral("2.5"));
        plugin->setStrID(parser.isSet(QStringLiteral("id")) ? parser.value(QStringLiteral("id")) : QStringLiteral("1"));
    }

    // Publish and copy take turns, so that what else the machine runs weighs on both.
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());
    std::vector<double> publishTimes, copyTimes, ratios, publishDiskTimes, copyDiskTimes, diskRatios;
    std::shared_ptr<OutputOperation> job;
    for (int run = 0; run < runs; ++run) {
        // Like the copy, every publish writes a new book: the runs before the last go
        // into a new folder beside DIR (a book written over an older one is another
        // measure), removed once timed.
        const QFileInfo outInfo(out);
        std::unique_ptr<QTemporaryDir> earlier;
        if (run + 1 < runs) {
            earlier = std::make_unique<QTemporaryDir>(outInfo.absolutePath() + QStringLiteral("/.") + outInfo.fileName()
                                                      + QStringLiteral(".run-XXXXXX"));
            if (!earlier->isValid())
                return failWith(QStringLiteral("cannot make a folder beside %1").arg(out));
        }
        parament.setStrOutputFolder(earlier ? earlier->path() : out);
        job = std::make_shared<OutputOperation>();
        job->setFlashPageSource(importer.pageSource().get());
        job->setFlashTmpl(&tmpl);
        job->setFlashOutline(importer.outline().get());
        job->setPdfSearch(importer.pdfSearch().get());
        job->setMobileSearch(importer.mobileSearch().get());
        job->setBookmarkTabs(&tabs);
        job->setConvertPara(parament);
        job->setFmappPassword(password);
        job->setConvertPlugin(plugin);
        job->setBookSecurity(security);
        job->setGenerateAssistant(assistant);
        job->setDownloadCfgWorkspace(downloads);
        if (parser.isSet(QStringLiteral("annotations")))
            job->setFlashPagesAnnotations(&annotations);

        OperationQueue queue;
        syncFileSystem(outInfo.absolutePath());
        clock.restart();
        queue.addOperation(job);
        queue.waitUntilAllOperationsAreFinished();
        publishTimes.push_back(clock.nsecsElapsed() / 1e9);
        syncFileSystem(outInfo.absolutePath());
        publishDiskTimes.push_back(clock.nsecsElapsed() / 1e9);
        if (job->status() != OutputOperation::StatusWritten)
            return failWith(QStringLiteral("publish failed: %1")
                                .arg(job->raiseException() ? job->raiseException()->reason() : QStringLiteral("cancelled")));

        // The copy goes beside the book (which may be the folder DIR itself), on the
        // same disk.
        const QFileInfo book(job->projectFilePath());
        const QString copy = book.absolutePath() + QStringLiteral("/.") + book.fileName() + QStringLiteral(".cp-copy");
        QDir(copy).removeRecursively();
        QFile::remove(copy);
        syncFileSystem(outInfo.absolutePath());
        clock.restart();
        const int cp = QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), job->projectFilePath(), copy});
        const double copied = clock.nsecsElapsed() / 1e9;
        syncFileSystem(outInfo.absolutePath());
        const double copiedToDisk = clock.nsecsElapsed() / 1e9;
        QDir(copy).removeRecursively();
        QFile::remove(copy);
        if (cp != 0)
            return failWith(QStringLiteral("cp -r %1 failed").arg(job->projectFilePath()));
        copyTimes.push_back(copied);
        copyDiskTimes.push_back(copiedToDisk);
        ratios.push_back(publishTimes.back() / copied);
        diskRatios.push_back(publishDiskTimes.back() / copiedToDisk);
        if (runs > 1)
            std::printf("run %d:                publish %.2f s (to disk %.2f s), cp -r %.2f s (to disk %.2f s)\n", run + 1,
                        publishTimes.back(), publishDiskTimes.back(), copied, copiedToDisk);
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };

    const QString result = job->projectFilePath();
    const int pages = importer.pageSource()->pageCount();
    std::printf("pages:                %d\n", pages);
    const qint64 bookBytes = folderBytes(result), pdfBytes = QFileInfo(pdf).size();
    std::printf("book bytes:           %.1f KiB per page, %.1f times the PDF (%.1f MiB; PDF %.2f MiB)\n",
                bookBytes / 1024.0 / std::max(1, pages), pdfBytes > 0 ? double(bookBytes) / pdfBytes : 0.0,
                bookBytes / 1048576.0, pdfBytes / 1048576.0);
    // The pictures' share of the book, each kind's, and files that hold the same bytes.
    if (QFileInfo(result).isDir()) {
        QMap<QString, qint64> kinds;
        QMap<QString, std::pair<int, int>> progressive; // of the JPEG pictures of page size: progressive, all
        QHash<QByteArray, QString> seen;
        qint64 pictures = 0, twinBytes = 0;
        int twins = 0;
        QDirIterator it(result, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const qint64 size = it.fileInfo().size();
            const QString relative = QDir(result).relativeFilePath(file);
            for (const char *kind : {"files/large/", "files/page/", "files/thumb/", "files/small/", "mobile/files/page/"})
                if (relative.startsWith(QLatin1String(kind))) {
                    kinds[QString::fromLatin1(kind)] += size;
                    pictures += size;
                }
            QFile f(file);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = f.readAll();
            for (const char *kind : {"files/large/", "files/page/", "mobile/files/page/"})
                if (relative.startsWith(QLatin1String(kind)) && bytes.startsWith("\xFF\xD8")) {
                    auto &[progressiveCount, all] = progressive[QString::fromLatin1(kind)];
                    progressiveCount += isProgressiveJpeg(bytes) ? 1 : 0;
                    ++all;
                }
            const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
            if (seen.contains(digest)) {
                ++twins;
                twinBytes += size;
            } else {
                seen.insert(digest, file);
            }
        }
        std::printf("pictures:             %.1f %% of the book", 100.0 * pictures / std::max<qint64>(1, bookBytes));
        for (auto k = kinds.cbegin(); k != kinds.cend(); ++k)
            std::printf("; %s %.1f %%", qPrintable(k.key()), 100.0 * k.value() / std::max<qint64>(1, bookBytes));
        std::printf("\nsame-bytes files:     %d (%.1f KiB beyond their first copy; target 0)\n", twins, twinBytes / 1024.0);
        std::printf("progressive:          ");
        for (auto k = progressive.cbegin(); k != progressive.cend(); ++k)
            std::printf("%s%s %d of %d", k == progressive.cbegin() ? "" : "; ", qPrintable(k.key()), k.value().first,
                        k.value().second);
        std::printf("%s (target: all)\n", progressive.isEmpty() ? "no JPEG page pictures" : "");
    }
    if (job->isFileInfoError())
        std::printf("note:                 some book files were left out of the executable\n");
    std::printf("result:               %s (%.1f MiB)\n", qPrintable(result), folderBytes(result) / 1048576.0);
    std::printf("import time:          %.2f s\n", importSeconds);
    std::printf("publish time:         %.2f s (median of %d)\n", median(publishTimes), runs);
    std::printf("pages per second:     %.1f\n", pages / median(publishTimes));
    std::printf("publish to disk:      %.2f s\n", median(publishDiskTimes));
    std::printf("cp -r time:           %.2f s, to disk %.2f s\n", median(copyTimes), median(copyDiskTimes));
    std::printf("time ratio:           %.2f (publish / cp -r, neither waiting for the disk; median of the pairs)\n",
                median(ratios));
    std::printf("time ratio to disk:   %.2f (publish / cp -r, each until its files are on the disk; median of the pairs)\n",
                median(diskRatios));
    std::printf("peak memory (VmHWM):  %.1f MiB\n", BenchSupport::peakMemoryKiB() / 1024.0);
    return 0;
}
