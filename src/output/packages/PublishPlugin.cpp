#include "output/packages/PublishPlugin.h"

#include "foundation/AppLog.h"
#include "foundation/TextTemplate.h"
#include "foundation/ZipExtractor.h"
#include "foundation/ZipWriter.h"
#include "online/UploadBookDelegate.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <memory>
#include <unicode/translit.h>

namespace {

constexpr int kMaxSlugLength = 40;
// The desktop viewer's toolbar and the margins around the book, in pixels: what a frame
// needs above the spread's own height. And the lowest frame that leaves room for a book.
constexpr int kViewerChrome = 102;
constexpr int kLeastFrameHeight = 300;
// Frames narrower than this show the book one page at a time (the phone version's shape).
constexpr int kNarrowFrameWidth = 600;

// Control characters have no place in a title and are not allowed in XML at all.
QString cleanTitle(const QString &text)
{
    QString title = text;
    for (QChar &c : title)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    title = title.simplified();
    return title.isEmpty() ? QStringLiteral("Flip book") : title;
}

// A PHP single-quoted string literal: only the backslash and the quote are special.
QString phpString(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

// Text inside a PHP block comment, which "*/" would end.
QString commentText(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1String("*/"), QLatin1String("* /"));
    return escaped;
}

// A value of a Drupal .info file, in double quotes. The format has no way to write a
// double quote inside one, and a backslash before the closing quote would hide it.
QString infoValue(const QString &text)
{
    QString value = text;
    value.replace(QLatin1Char('"'), QLatin1Char('\''));
    value.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QLatin1Char('"') + value + QLatin1Char('"');
}

QString fill(const char *templateText, const QList<QPair<QString, QString>> &items)
{
    TextTemplate text(QString::fromUtf8(templateText));
    for (const auto &[key, value] : items)
        text.setItem(key, value);
    return text.parse();
}

// The book's frame, the same in every system: a block that stands in the column like
// the site's own blocks, and in it the frame. A width in percent is of the column; a
// height in percent is of the height that shows the whole book above the viewer's
// toolbar at that width: the frame keeps the book's shape ({{spread}}, the spread's width
// by its height, and {{chrome}} pixels of toolbar and margins), never lower than
// {{least}} pixels. Narrower than kNarrowFrameWidth the book shows one page at a time, as
// on a phone, and the frame takes the shape of one page (a container query on the block;
// browsers without them keep the spread's shape). No frame is taller than the window,
// whose toolbar would otherwise fall below its bottom; a pixel height stays as given
// within that. A module shown twice in one page includes its file twice, hence the test
// before the function.
const char *kFrameFunction = R"PHP(if (!function_exists('{{prefix}}_frame')) {
    function {{prefix}}_frame($src, $title, $width, $height, $align)
    {
        $outer = $align === 'full' ? 'width:auto' : 'width:min(' . $width . ',100%);margin-left:auto;margin-right:auto';
        $inner = 'width:100%';
        if (substr($width, -1) === '%') {
            $outer = 'width:auto';
            $inner = 'width:min(' . $width . ',100%)';
        }
        $inner .= ';margin-left:auto;margin-right:auto;container-type:inline-size';
        $frame = 'position:relative;width:100%';
        $shape = '';
        if (substr($height, -1) === '%') {
            $scale = max(1, min(1000, (float) $height)) / 100;
            $chrome = {{chrome}} * $scale;
            $frame .= sprintf(';box-sizing:content-box;--quorvel-spread:%.4F;--quorvel-page:%.4F;padding-bottom:%.0Fpx;min-height:%.0Fpx'
                . ';max-height:calc(100vh - %.0Fpx);max-height:calc(100svh - %.0Fpx)',
                {{spread}} / $scale, {{spread}} / 2 / $scale, $chrome, max(0, {{least}} - $chrome), $chrome, $chrome);
            $shape = ' quorvel-book-shape';
        } else {
            $frame .= ';height:' . $height . ';max-height:100vh;max-height:100svh';
        }
        $class = 'quorvel-book' . ($align === '' ? '' : ' align' . $align);
        return '<style>.quorvel-book-shape{aspect-ratio:var(--quorvel-spread)}'
            . '@container (max-width:{{narrowBelow}}px){.quorvel-book-shape{aspect-ratio:var(--quorvel-page)}}</style>'
            . '<div class="' . htmlspecialchars($class, ENT_QUOTES, 'UTF-8') . '" style="' . htmlspecialchars($outer, ENT_QUOTES, 'UTF-8') . '">'
            . '<div style="' . htmlspecialchars($inner, ENT_QUOTES, 'UTF-8') . '">'
            . '<div class="quorvel-book-frame' . $shape . '" style="' . htmlspecialchars($frame, ENT_QUOTES, 'UTF-8') . '">'
            . '<iframe src="' . htmlspecialchars($src, ENT_QUOTES, 'UTF-8') . '" style="position:absolute;top:0;left:0;width:100%;height:100%;border:0"'
            . ' title="' . htmlspecialchars($title, ENT_QUOTES, 'UTF-8') . '" allowfullscreen></iframe></div></div></div>';
    }
}
)PHP";

// The shortcode prints the book's block, which themes align like their own blocks:
// centred in the text column, or, for a book wider than the column, with the theme's
// wide or full alignment (align="wide", "full" or "none" in the shortcode decides
// instead). "Update URI: false" keeps WordPress from offering the plug-in of the same
// folder name in its public directory as an update of this one.
const char *kWordPressPlugin = R"PHP(<?php
/*
Plugin Name: {{headerTitle}}
Description: Shows the flip book "{{headerTitle}}". Put the shortcode [{{tag}}] into a post or a page; [{{tag}} width="800px" height="600px"] sets its size, align="wide" or align="full" lets it leave the text column.
Version: {{version}}
Author: Quorvel
Update URI: false
*/

if (!defined('ABSPATH')) {
    exit;
}

function {{prefix}}_length($value, $fallback)
{
    $value = trim((string) $value);
    if (preg_match('/^\d+(\.\d+)?$/', $value)) {
        return $value . 'px';
    }
    return preg_match('/^\d+(\.\d+)?(%|px|em|rem|vw|vh|pt)$/', $value) ? $value : $fallback;
}

// A length from the layout settings of the theme, in pixels; 0 when not given in pixels.
function {{prefix}}_theme_pixels($key)
{
    $size = '';
    if (function_exists('wp_get_global_settings')) {
        $size = (string) wp_get_global_settings(array('layout', $key));
    }
    if ($size === '' && $key === 'contentSize' && !empty($GLOBALS['content_width'])) {
        $size = $GLOBALS['content_width'] . 'px';
    }
    return preg_match('/^(\d+(\.\d+)?)px$/', trim($size), $m) ? (float) $m[1] : 0;
}

// The theme alignment of a book this wide: "wide" or "full" when it would not fit the
// text column, "" when it does (or the theme does not say how wide the column is).
function {{prefix}}_align($align, $width)
{
    $align = strtolower(trim((string) $align));
    if (in_array($align, array('wide', 'full'), true)) {
        return $align;
    }
    if ($align === 'none' || !preg_match('/^(\d+(\.\d+)?)px$/', $width, $m)) {
        return '';
    }
    $content = {{prefix}}_theme_pixels('contentSize');
    if ($content <= 0 || (float) $m[1] <= $content) {
        return '';
    }
    $wide = {{prefix}}_theme_pixels('wideSize');
    return $wide > 0 && (float) $m[1] > $wide ? 'full' : 'wide';
}

{{frame}}
function {{prefix}}_shortcode($atts)
{
    $atts = shortcode_atts(array('width' => {{width}}, 'height' => {{height}}, 'align' => ''), $atts, {{tagPhp}});
    $width = {{prefix}}_length($atts['width'], {{width}});
    $height = {{prefix}}_length($atts['height'], {{height}});
    $align = {{prefix}}_align($atts['align'], $width);
    return {{prefix}}_frame(plugins_url({{page}}, __FILE__), {{title}}, $width, $height, $align);
}

add_shortcode({{tagPhp}}, '{{prefix}}_shortcode');
)PHP";

const char *kJoomlaModule = R"PHP(<?php
/* Joomla module showing the flip book "{{commentTitle}}", made with Quorvel. */
defined('_JEXEC') or die('Restricted access');
{{frame}}
echo {{prefix}}_frame(JURI::base(true) . {{path}}, {{title}}, {{width}}, {{height}}, '');
)PHP";

const char *kDrupal7Module = R"PHP(<?php
/**
 * @file
 * A block showing the flip book "{{commentTitle}}", made with Quorvel.
 */

{{frame}}
/**
 * Implements hook_block_info().
 */
function {{module}}_block_info() {
  $blocks['book'] = array('info' => 'Flip book: ' . {{title}});
  return $blocks;
}

/**
 * Implements hook_block_view().
 */
function {{module}}_block_view($delta = '') {
  $block = array();
  if ($delta == 'book') {
    $src = base_path() . drupal_get_path('module', '{{module}}') . {{page}};
    $block['subject'] = check_plain({{title}});
    $block['content'] = {{module}}_frame($src, {{title}}, {{width}}, {{height}}, '');
  }
  return $block;
}
)PHP";

const char *kDrupal6Module = R"PHP(<?php
/**
 * @file
 * A block showing the flip book "{{commentTitle}}", made with Quorvel.
 */

{{frame}}
/**
 * Implements hook_block().
 */
function {{module}}_block($op = 'list', $delta = 0, $edit = array()) {
  if ($op == 'list') {
    $blocks[0] = array('info' => 'Flip book: ' . check_plain({{title}}));
    return $blocks;
  }
  if ($op == 'view' && $delta == 0) {
    $src = base_path() . drupal_get_path('module', '{{module}}') . {{page}};
    return array(
      'subject' => check_plain({{title}}),
      'content' => {{module}}_frame($src, {{title}}, {{width}}, {{height}}, ''),
    );
  }
}
)PHP";

// Adds the book's files under prefix. Pictures and sounds are compressed already:
// stored as they are, they pack in a fraction of the time at almost the same size.
// Hidden files, linked folders and special files are left out.
bool addBook(ZipWriter &zip, const QString &folder, const QString &prefix)
{
    static const QStringList stored{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
                                    QStringLiteral("gif"), QStringLiteral("webp"), QStringLiteral("mp3"),
                                    QStringLiteral("mp4"), QStringLiteral("zip")};
    if (!QFileInfo(folder).isDir())
        return false;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString name = prefix + root.relativeFilePath(entry.filePath());
        bool added = true;
        if (entry.isSymLink() && entry.isDir())
            continue;
        if (entry.isDir())
            added = zip.addDirectory(name + QLatin1Char('/'));
        else if (entry.isFile())
            added = zip.addFile(name, entry.filePath(),
                                stored.contains(entry.suffix().toLower()) ? ZipWriter::Method::Store
                                                                          : ZipWriter::Method::Deflate);
        if (!added)
            return false;
    }
    return true;
}

QByteArray joomlaManifest(bool legacy, const QString &module, const QString &title)
{
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    if (legacy) {
        w.writeStartElement(QStringLiteral("install"));
        w.writeAttribute(QStringLiteral("type"), QStringLiteral("module"));
        w.writeAttribute(QStringLiteral("version"), QStringLiteral("1.5.0"));
    } else {
        w.writeStartElement(QStringLiteral("extension"));
        w.writeAttribute(QStringLiteral("type"), QStringLiteral("module"));
        w.writeAttribute(QStringLiteral("version"), QStringLiteral("2.5"));
        w.writeAttribute(QStringLiteral("client"), QStringLiteral("site"));
        w.writeAttribute(QStringLiteral("method"), QStringLiteral("upgrade"));
    }
    w.writeTextElement(QStringLiteral("name"), title);
    w.writeTextElement(QStringLiteral("author"), QStringLiteral("Quorvel"));
    w.writeTextElement(QStringLiteral("creationDate"), QDate::currentDate().toString(Qt::ISODate));
    w.writeTextElement(QStringLiteral("version"), QStringLiteral("1.0"));
    w.writeTextElement(QStringLiteral("description"), QStringLiteral("Shows the flip book \"%1\".").arg(title));
    w.writeStartElement(QStringLiteral("files"));
    w.writeStartElement(QStringLiteral("filename"));
    w.writeAttribute(QStringLiteral("module"), module);
    w.writeCharacters(module + QStringLiteral(".php"));
    w.writeEndElement();
    w.writeTextElement(QStringLiteral("filename"), QStringLiteral("index.html"));
    w.writeTextElement(QStringLiteral("folder"), QStringLiteral("book"));
    w.writeEndElement(); // files
    w.writeEndElement();
    w.writeEndDocument();
    return xml;
}

// The spread's width by its height: two pages of the size book.xml gives (the viewer's
// defaults when it is missing or says nothing usable).
double spreadShape(const QString &bookFolder)
{
    double width = 1080, height = 1440;
    QFile file(QDir(bookFolder).filePath(QStringLiteral("files/book.xml")));
    if (file.open(QIODevice::ReadOnly)) {
        QXmlStreamReader xml(&file);
        if (xml.readNextStartElement() && xml.name() == QLatin1String("book")) {
            bool okWidth = false, okHeight = false;
            const double w = xml.attributes().value(QLatin1String("pageWidth")).toDouble(&okWidth);
            const double h = xml.attributes().value(QLatin1String("pageHeight")).toDouble(&okHeight);
            if (okWidth && okHeight && w > 0 && h > 0 && w / h > 0.05 && w / h < 20) {
                width = w;
                height = h;
            }
        }
    }
    return 2 * width / height;
}

// The name in Latin letters: other scripts spelt out, accents and ligatures taken apart
// ("Ünïcödé" is "Unicode", "Οδύσσεια" "Odysseia", "猫" "mao"). Without the
// transliterator, letters with accents still lose them and the rest stays.
QString latinLetters(const QString &name)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::Transliterator> transliterator(icu::Transliterator::createInstance(
        icu::UnicodeString::fromUTF8("Any-Latin; Latin-ASCII"), UTRANS_FORWARD, status));
    if (transliterator && U_SUCCESS(status)) {
        icu::UnicodeString text(reinterpret_cast<const UChar *>(name.utf16()), int32_t(name.size()));
        transliterator->transliterate(text);
        return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
    }
    QString plain;
    for (const QChar c : name.normalized(QString::NormalizationForm_KD))
        if (c.category() != QChar::Mark_NonSpacing)
            plain.append(c);
    return plain;
}

// Whether a letter or digit of name belongs to a script other than Latin.
bool hasOtherScript(const QString &name)
{
    for (const uint c : name.toUcs4()) {
        const QChar::Script script = QChar::script(c);
        if (QChar::isLetterOrNumber(c) && script != QChar::Script_Latin && script != QChar::Script_Common
            && script != QChar::Script_Inherited)
            return true;
    }
    return false;
}

} // namespace

PublishPlugin::PublishPlugin() = default;

QString PublishPlugin::slugForName(const QString &outputName)
{
    QString name = outputName.trimmed().normalized(QString::NormalizationForm_C);
    if (name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        name.chop(4);
    QString slug;
    for (const QChar c : latinLetters(name).toLower()) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            slug.append(c);
        else if (!slug.isEmpty() && !slug.endsWith(QLatin1Char('-')))
            slug.append(QLatin1Char('-'));
    }
    // Other scripts spelt in Latin letters may spell two names alike (Chinese has many
    // words of one sound): such a name ends in a short mark of its exact letters, the
    // same at every publish.
    QString mark;
    if (hasOtherScript(name) || (slug.isEmpty() && !name.isEmpty()))
        mark = QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(6));
    slug = slug.left(kMaxSlugLength - (mark.isEmpty() ? 0 : mark.size() + 1));
    while (slug.endsWith(QLatin1Char('-')))
        slug.chop(1);
    if (slug.isEmpty())
        slug = QStringLiteral("flipbook");
    return mark.isEmpty() ? slug : slug + QLatin1Char('-') + mark;
}

QString PublishPlugin::installName(int kind, const QString &outputName, const QString &id)
{
    const QString slug = slugForName(outputName);
    const QString underscored = QString(slug).replace(QLatin1Char('-'), QLatin1Char('_'));
    const QString number = id.trimmed().isEmpty() ? QStringLiteral("1") : id.trimmed();
    if (kind == 7)
        return QStringLiteral("mod_%1_%2").arg(underscored, number);
    if (kind == 8) {
        const QString module = QStringLiteral("%1_%2").arg(underscored, number);
        return module.front().isDigit() ? QStringLiteral("book_") + module : module;
    }
    return slug;
}

QString PublishPlugin::otherPackageInstallingAs(const QString &target, const QString &name)
{
    const QFileInfo targetInfo(target);
    const QDir folder = targetInfo.dir();
    for (const QFileInfo &other : folder.entryInfoList({QStringLiteral("*.zip")}, QDir::Files)) {
        if (other.fileName() == targetInfo.fileName())
            continue;
        // A plug-in or Drupal module is the folder of that name; a Joomla module its manifest.
        for (const QString &entry : ZipExtractor::entryNames(other.filePath()))
            if (entry.startsWith(name + QLatin1Char('/')) || entry == name + QStringLiteral(".xml"))
                return other.fileName();
    }
    return {};
}

QString PublishPlugin::cssLength(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,6}(?:\\.\\d{1,4})?)(%|px|em|rem|vw|vh|pt)?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed().toLower());
    if (!match.hasMatch())
        return {};
    return match.captured(1) + (match.captured(2).isEmpty() ? QStringLiteral("px") : match.captured(2));
}

QString PublishPlugin::packagePath() const
{
    QString name = m_para.strOutputName().trimmed();
    if (QFileInfo(name).suffix().toUpper() != QLatin1String("ZIP"))
        name += QStringLiteral(".zip");
    return QDir(QDir::cleanPath(m_para.strOutputFolder())).filePath(name);
}

QString PublishPlugin::errorString() const
{
    QMutexLocker lock(&m_mutex);
    return m_error;
}

bool PublishPlugin::finish(bool ok, const QString &error)
{
    {
        QMutexLocker lock(&m_mutex);
        m_error = error;
    }
    if (!ok)
        AppLog::shared().log(QStringLiteral("plug-in package: %1").arg(error));
    m_status.store(ok ? kRunning | kFinished : kRunning | kFinished | kFailed);
    return ok;
}

bool PublishPlugin::publishWordPressPlugin()
{
    return publish(Kind::WordPress);
}

bool PublishPlugin::publishJoomlaPlugin()
{
    return publish(Kind::Joomla);
}

bool PublishPlugin::publishDrupalPlugin()
{
    return publish(Kind::Drupal);
}

bool PublishPlugin::publish(Kind kind)
{
    m_status.store(kRunning);
    {
        QMutexLocker lock(&m_mutex);
        m_error.clear();
    }

    const QString width = cssLength(m_width);
    const QString height = cssLength(m_height);
    if (width.isEmpty() || height.isEmpty())
        return finish(false, QStringLiteral("the size \"%1\" x \"%2\" is not a number with a unit").arg(m_width, m_height));
    const QString id = m_id.trimmed().isEmpty() ? QStringLiteral("1") : m_id.trimmed();
    static const QRegularExpression digits(QStringLiteral("^\\d{1,9}$"));
    if (kind != Kind::WordPress && !digits.match(id).hasMatch())
        return finish(false, QStringLiteral("the module id \"%1\" is not a number").arg(m_id));
    if (m_para.strOutputName().trimmed().isEmpty() || m_para.strOutputFolder().trimmed().isEmpty())
        return finish(false, QStringLiteral("no output folder or name"));

    const QString bookFolder = m_bookFolder.isEmpty() ? UploadBookDelegate::bookFolder(QStringLiteral("book"))
                                                      : m_bookFolder;
    const QString page = m_bookPage.isEmpty() ? QStringLiteral("book.html") : m_bookPage;
    if (page.split(QLatin1Char('/')).contains(QStringLiteral("..")) || page.startsWith(QLatin1Char('/')) ||
        cleanTitle(page) != page || !QFileInfo(QDir(bookFolder).filePath(page)).isFile())
        return finish(false, QStringLiteral("the converted book %1 is missing").arg(QDir(bookFolder).filePath(page)));

    const QString title = cleanTitle(m_para.strTitle());
    const QString slug = slugForName(m_para.strOutputName());
    const QString underscored = QString(slug).replace(QLatin1Char('-'), QLatin1Char('_'));
    const QString bookPath = QStringLiteral("book/") + page;

    const QString target = packagePath();
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return finish(false, QStringLiteral("cannot make the folder of %1").arg(target));
    ZipWriter zip(target);
    zip.setStopFlag(m_stop);
    if (m_progress)
        zip.setProgressHandler(m_progress);
    QString prefix;
    const QString spread = QString::number(spreadShape(bookFolder), 'f', 4);
    const auto frameFunction = [&](const QString &functionPrefix) {
        return fill(kFrameFunction, {{QStringLiteral("prefix"), functionPrefix},
                                     {QStringLiteral("spread"), spread},
                                     {QStringLiteral("chrome"), QString::number(kViewerChrome)},
                                     {QStringLiteral("least"), QString::number(kLeastFrameHeight)},
                                     {QStringLiteral("narrowBelow"), QString::number(kNarrowFrameWidth - 0.02, 'f', 2)}});
    };

    switch (kind) {
    case Kind::WordPress: {
        prefix = slug + QLatin1Char('/');
        static const QRegularExpression versionPattern(QStringLiteral("^\\d+(\\.\\d+){0,3}$"));
        const QString version = versionPattern.match(m_version.trimmed()).hasMatch() ? m_version.trimmed()
                                                                                     : QStringLiteral("1.0");
        const QString functionPrefix = QStringLiteral("quorvel_") + underscored;
        const QString php = fill(kWordPressPlugin, {{QStringLiteral("headerTitle"), commentText(title)},
                                                    {QStringLiteral("tag"), underscored},
                                                    {QStringLiteral("tagPhp"), phpString(underscored)},
                                                    {QStringLiteral("version"), version},
                                                    {QStringLiteral("prefix"), functionPrefix},
                                                    {QStringLiteral("frame"), frameFunction(functionPrefix)},
                                                    {QStringLiteral("width"), phpString(width)},
                                                    {QStringLiteral("height"), phpString(height)},
                                                    {QStringLiteral("page"), phpString(bookPath)},
                                                    {QStringLiteral("title"), phpString(title)}});
        zip.addData(prefix + slug + QStringLiteral(".php"), php.toUtf8());
        break;
    }
    case Kind::Joomla: {
        const bool legacy = m_version.trimmed().startsWith(QLatin1String("1.5"));
        const QString module = installName(7, m_para.strOutputName(), id);
        const QString functionPrefix = QStringLiteral("quorvel_") + module;
        const QString php = fill(kJoomlaModule, {{QStringLiteral("commentTitle"), commentText(title)},
                                                 {QStringLiteral("prefix"), functionPrefix},
                                                 {QStringLiteral("frame"), frameFunction(functionPrefix)},
                                                 {QStringLiteral("path"),
                                                  phpString(QStringLiteral("/modules/%1/%2").arg(module, bookPath))},
                                                 {QStringLiteral("width"), phpString(width)},
                                                 {QStringLiteral("height"), phpString(height)},
                                                 {QStringLiteral("title"), phpString(title)}});
        zip.addData(module + QStringLiteral(".php"), php.toUtf8());
        zip.addData(module + QStringLiteral(".xml"), joomlaManifest(legacy, module, title));
        zip.addData(QStringLiteral("index.html"), QByteArrayLiteral("<!DOCTYPE html><title></title>\n"));
        break;
    }
    case Kind::Drupal: {
        const bool legacy = m_version.trimmed().startsWith(QLatin1Char('6'));
        const QString module = installName(8, m_para.strOutputName(), id);
        prefix = module + QLatin1Char('/');
        const QString info = QStringLiteral("name = %1\ndescription = %2\ncore = %3\npackage = Quorvel\n")
                                 .arg(infoValue(title), infoValue(QStringLiteral("Shows the flip book in a block.")),
                                      legacy ? QStringLiteral("6.x") : QStringLiteral("7.x"));
        const QString php = fill(legacy ? kDrupal6Module : kDrupal7Module,
                                 {{QStringLiteral("commentTitle"), commentText(title)},
                                  {QStringLiteral("module"), module},
                                  {QStringLiteral("frame"), frameFunction(module)},
                                  {QStringLiteral("page"), phpString(QLatin1Char('/') + bookPath)},
                                  {QStringLiteral("width"), phpString(width)},
                                  {QStringLiteral("height"), phpString(height)},
                                  {QStringLiteral("title"), phpString(title)}});
        zip.addData(prefix + module + QStringLiteral(".info"), info.toUtf8());
        zip.addData(prefix + module + QStringLiteral(".module"), php.toUtf8());
        break;
    }
    }

    if (!addBook(zip, bookFolder, prefix + QStringLiteral("book/")))
        return finish(false, QStringLiteral("cannot add the book: %1").arg(zip.errorString()));
    if (!zip.commit())
        return finish(false, QStringLiteral("cannot write %1: %2").arg(target, zip.errorString()));
    return finish(true);
}
