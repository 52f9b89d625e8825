#include "output/packages/PublishPlugin.h"

#include "foundation/AppLog.h"
#include "foundation/TextTemplate.h"
#include "foundation/ZipWriter.h"
#include "online/UploadBookDelegate.h"

#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamWriter>

namespace {

constexpr int kMaxSlugLength = 40;

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

// Text and double- or single-quoted attribute values of HTML.
QString htmlText(const QString &text)
{
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QLatin1Char('\''), QLatin1String("&#39;"));
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

// The shortcode prints a block of its own that themes align like their own blocks:
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

function {{prefix}}_shortcode($atts)
{
    $atts = shortcode_atts(array('width' => {{width}}, 'height' => {{height}}, 'align' => ''), $atts, {{tagPhp}});
    $width = {{prefix}}_length($atts['width'], {{width}});
    $height = {{prefix}}_length($atts['height'], {{height}});
    $align = {{prefix}}_align($atts['align'], $width);
    $src = plugins_url({{page}}, __FILE__);
    $class = 'quorvel-book' . ($align === '' ? '' : ' align' . $align);
    // Never wider than the space it stands in; the theme narrows it further to its column.
    $box = $align === 'full' ? 'width:auto' : 'width:min(' . $width . ',100%);margin-left:auto;margin-right:auto';
    return '<div class="' . esc_attr($class) . '" style="' . esc_attr($box) . '">'
        . '<iframe src="' . esc_url($src) . '" style="display:block;width:100%;height:' . esc_attr($height)
        . ';border:0" title="' . esc_attr({{title}}) . '" allowfullscreen></iframe></div>';
}

add_shortcode({{tagPhp}}, '{{prefix}}_shortcode');
)PHP";

const char *kJoomlaModule = R"PHP(<?php
/* Joomla module showing the flip book "{{commentTitle}}", made with Quorvel. */
defined('_JEXEC') or die('Restricted access');
$bookUrl = JURI::base(true) . {{path}};
?>
<iframe src="<?php echo htmlspecialchars($bookUrl, ENT_QUOTES, 'UTF-8'); ?>" style="width:{{width}};height:{{height}};border:0" title="{{htmlTitle}}" allowfullscreen></iframe>
)PHP";

const char *kDrupal7Module = R"PHP(<?php
/**
 * @file
 * A block showing the flip book "{{commentTitle}}", made with Quorvel.
 */

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
    $block['content'] = '<iframe src="' . check_plain($src) . '" style="width:{{width}};height:{{height}};border:0" title="' . check_plain({{title}}) . '" allowfullscreen></iframe>';
  }
  return $block;
}
)PHP";

const char *kDrupal6Module = R"PHP(<?php
/**
 * @file
 * A block showing the flip book "{{commentTitle}}", made with Quorvel.
 */

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
      'content' => '<iframe src="' . check_plain($src) . '" style="width:{{width}};height:{{height}};border:0" title="' . check_plain({{title}}) . '" allowfullscreen></iframe>',
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

} // namespace

PublishPlugin::PublishPlugin() = default;

QString PublishPlugin::slugForName(const QString &outputName)
{
    QString name = outputName.trimmed();
    if (name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        name.chop(4);
    QString slug;
    for (const QChar c : name.toLower()) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            slug.append(c);
        else if (!slug.isEmpty() && !slug.endsWith(QLatin1Char('-')))
            slug.append(QLatin1Char('-'));
    }
    slug = slug.left(kMaxSlugLength);
    while (slug.endsWith(QLatin1Char('-')))
        slug.chop(1);
    return slug.isEmpty() ? QStringLiteral("flipbook") : slug;
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

    switch (kind) {
    case Kind::WordPress: {
        prefix = slug + QLatin1Char('/');
        static const QRegularExpression versionPattern(QStringLiteral("^\\d+(\\.\\d+){0,3}$"));
        const QString version = versionPattern.match(m_version.trimmed()).hasMatch() ? m_version.trimmed()
                                                                                     : QStringLiteral("1.0");
        const QString php = fill(kWordPressPlugin, {{QStringLiteral("headerTitle"), commentText(title)},
                                                    {QStringLiteral("tag"), underscored},
                                                    {QStringLiteral("tagPhp"), phpString(underscored)},
                                                    {QStringLiteral("version"), version},
                                                    {QStringLiteral("prefix"), QStringLiteral("quorvel_") + underscored},
                                                    {QStringLiteral("width"), phpString(width)},
                                                    {QStringLiteral("height"), phpString(height)},
                                                    {QStringLiteral("page"), phpString(bookPath)},
                                                    {QStringLiteral("title"), phpString(title)}});
        zip.addData(prefix + slug + QStringLiteral(".php"), php.toUtf8());
        break;
    }
    case Kind::Joomla: {
        const bool legacy = m_version.trimmed().startsWith(QLatin1String("1.5"));
        const QString module = QStringLiteral("mod_%1_%2").arg(underscored, id);
        const QString php = fill(kJoomlaModule, {{QStringLiteral("commentTitle"), commentText(title)},
                                                 {QStringLiteral("path"),
                                                  phpString(QStringLiteral("/modules/%1/%2").arg(module, bookPath))},
                                                 {QStringLiteral("width"), width},
                                                 {QStringLiteral("height"), height},
                                                 {QStringLiteral("htmlTitle"), htmlText(title)}});
        zip.addData(module + QStringLiteral(".php"), php.toUtf8());
        zip.addData(module + QStringLiteral(".xml"), joomlaManifest(legacy, module, title));
        zip.addData(QStringLiteral("index.html"), QByteArrayLiteral("<!DOCTYPE html><title></title>\n"));
        break;
    }
    case Kind::Drupal: {
        const bool legacy = m_version.trimmed().startsWith(QLatin1Char('6'));
        QString module = QStringLiteral("%1_%2").arg(underscored, id);
        if (module.front().isDigit())
            module.prepend(QStringLiteral("book_"));
        prefix = module + QLatin1Char('/');
        const QString info = QStringLiteral("name = %1\ndescription = %2\ncore = %3\npackage = Quorvel\n")
                                 .arg(infoValue(title), infoValue(QStringLiteral("Shows the flip book in a block.")),
                                      legacy ? QStringLiteral("6.x") : QStringLiteral("7.x"));
        const QString php = fill(legacy ? kDrupal6Module : kDrupal7Module,
                                 {{QStringLiteral("commentTitle"), commentText(title)},
                                  {QStringLiteral("module"), module},
                                  {QStringLiteral("page"), phpString(QLatin1Char('/') + bookPath)},
                                  {QStringLiteral("width"), width},
                                  {QStringLiteral("height"), height},
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
