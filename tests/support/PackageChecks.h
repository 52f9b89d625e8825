#pragma once
// Reading back what the desktop and plug-in packagers wrote, for the package tests.

#include "TestFiles.h"
#include "foundation/PropertyList.h"
#include "output/packages/ExeBookPayload.h"
#include "output/packages/ExeIconResources.h"
#include "output/packages/IcnsFile.h"
#include "output/packages/IcoFile.h"

#include <QDirIterator>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariantMap>
#include <algorithm>

namespace PackageChecks {

// The Info.plist of an application bundle.
inline QVariantMap infoOf(const QString &app)
{
    const auto info = PropertyList::readFile(app + QStringLiteral("/Contents/Info.plist"));
    return info ? info->toMap() : QVariantMap();
}

// The launcher settings (book.conf) of an application bundle.
inline QMap<QString, QString> confOf(const QString &app)
{
    QMap<QString, QString> conf;
    const QList<QByteArray> lines =
        TestFiles::readFile(app + QStringLiteral("/Contents/Resources/book.conf")).split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            conf.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    return conf;
}

// The picture widths an .icns file holds, ascending.
inline QList<int> iconWidths(const QString &icns)
{
    QList<int> widths;
    if (const auto entries = IcnsFile::readFile(icns))
        for (const auto &e : *entries)
            if (!widths.contains(e.image.width()))
                widths << e.image.width();
    std::sort(widths.begin(), widths.end());
    return widths;
}

// The decoded icon pictures of an executable, by width.
inline QMap<int, QImage> iconsOf(const QByteArray &exe)
{
    ExeIconResources resources;
    if (!resources.read(exe))
        return {};
    QMap<int, QImage> icons;
    for (const auto &icon : resources.icons())
        icons.insert(icon.width, IcoFile::decodePicture(icon.data).convertToFormat(QImage::Format_ARGB32));
    return icons;
}

// Unpacks the book appended to an executable into folder, checking every file's CRC.
inline bool unpackExeBook(const QString &exe, const QString &folder)
{
    const auto contents = ExeBookPayload::read(exe);
    if (!contents)
        return false;
    for (const auto &entry : contents->entries) {
        const auto data = ExeBookPayload::readEntry(exe, *contents, entry);
        if (!data || !TestFiles::writeFile(folder + QLatin1Char('/') + entry.name, *data))
            return false;
    }
    return true;
}

// Runs a PHP script (when PHP is installed) and gives its output; a null string when
// PHP is missing, "FAILED" when the script did not run cleanly.
inline QString runPhp(const QString &harness, const QStringList &args)
{
    const QString php = QStandardPaths::findExecutable(QStringLiteral("php"));
    if (php.isEmpty())
        return {};
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("harness.php"));
    TestFiles::writeFile(script, harness.toUtf8());
    QProcess process;
    process.start(php, QStringList{QStringLiteral("-d"), QStringLiteral("display_errors=stderr"), script} + args);
    if (!process.waitForFinished(20000) || process.exitCode() != 0 || !process.readAllStandardError().isEmpty())
        return QStringLiteral("FAILED");
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The PHP files (".php", ".module") below folder that PHP's syntax check refuses, with
// its message; none when all pass or PHP is not installed.
inline QStringList phpLintFailures(const QString &folder)
{
    const QString php = QStandardPaths::findExecutable(QStringLiteral("php"));
    QStringList failures;
    if (php.isEmpty())
        return failures;
    QDirIterator it(folder, {QStringLiteral("*.php"), QStringLiteral("*.module")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QProcess lint;
        lint.start(php, {QStringLiteral("-l"), file});
        if (!lint.waitForFinished(20000) || lint.exitCode() != 0)
            failures << file + QStringLiteral(": ") + QString::fromUtf8(lint.readAllStandardOutput());
    }
    return failures;
}

// Stand-ins for the web content systems: each prints what the package shows in a page.
// WordPress: the shortcodes (arguments: the plug-in's .php, the WordPress stand-ins).
inline const char *kWordPressHarness = R"PHP(<?php
$pluginsBase = 'http://site/plugins/';
include $argv[2];
include $argv[1];
foreach ($codes as $tag => $fn) {
    echo $tag, "\n", call_user_func($fn, ''), "\n";
    echo call_user_func($fn, array('width' => '50%', 'height' => '1px;background:url(x)', 'align' => 'wide<b>')), "\n";
}
)PHP";

// Joomla: the module's output (argument: the module's .php).
inline const char *kJoomlaHarness = R"PHP(<?php
define('_JEXEC', 1);
class JURI { public static function base($pathOnly = false) { return '/site'; } }
include $argv[1];
)PHP";

// Drupal: the block's name, subject and content (arguments: the .module, the module's
// name, the Drupal version).
inline const char *kDrupalHarness = R"PHP(<?php
function base_path() { return '/'; }
function drupal_get_path($type, $name) { return 'sites/all/modules/' . $name; }
function check_plain($text) { return htmlspecialchars($text, ENT_QUOTES, 'UTF-8'); }
include $argv[1];
$m = $argv[2];
if ($argv[3] == '7') {
    $info = call_user_func($m . '_block_info');
    $block = call_user_func($m . '_block_view', 'book');
    echo $info['book']['info'], "\n", $block['subject'], "\n", $block['content'], "\n";
} else {
    $info = call_user_func($m . '_block', 'list');
    $block = call_user_func($m . '_block', 'view', 0);
    echo htmlspecialchars_decode($info[0]['info'], ENT_QUOTES), "\n", $block['subject'], "\n", $block['content'], "\n";
}
)PHP";

} // namespace PackageChecks
