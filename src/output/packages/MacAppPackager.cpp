#include "output/packages/MacAppPackager.h"

#include "foundation/AppLog.h"
#include "foundation/AppUtility.h"
#include "foundation/PropertyList.h"
#include "foundation/SafeFiles.h"
#include "output/packages/AppWindowSize.h"
#include "output/web/BookFiles.h"
#include "output/packages/IcnsFile.h"
#include "output/packages/IconPictures.h"
#include "output/packages/PackageTemplates.h"
#include "output/packages/AppBookDefaults.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>

namespace {

constexpr QFileDevice::Permissions kExecutable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                 QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                 QFileDevice::ExeOther;
constexpr int kMaxExecutableName = 64;
const QString kDefaultIconName = QStringLiteral("flipbookicons.icns");

// One line of book.conf: line breaks and other control characters would end the value
// early, so they become blanks.
QString confValue(const QString &text)
{
    QString value = text;
    for (QChar &c : value)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return value;
}

bool writeBytes(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

// Files copied from the installed template keep its read-only modes; the bundle being
// assembled must be ours to change.
void makeFilesWritable(const QString &folder)
{
    makeTreeWritable(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

} // namespace

QString MacAppPackager::bundleIdentifier(const QString &text)
{
    QString id = text.trimmed();
    for (QChar &c : id) {
        const bool ok = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                        (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                        (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
                        c == QLatin1Char('-');
        if (!ok)
            c = QLatin1Char('-');
    }
    while (id.startsWith(QLatin1Char('.')) || id.startsWith(QLatin1Char('-')))
        id.remove(0, 1);
    while (id.endsWith(QLatin1Char('.')) || id.endsWith(QLatin1Char('-')))
        id.chop(1);
    id.replace(QRegularExpression(QStringLiteral("\\.{2,}")), QStringLiteral("."));
    return id.isEmpty() ? defaultIdentifierName : id;
}

QString MacAppPackager::bundleVersion(const QString &text)
{
    static const QRegularExpression leading(QStringLiteral("^\\d+(\\.\\d+){0,2}"));
    const QRegularExpressionMatch match = leading.match(text.trimmed());
    return match.hasMatch() ? match.captured(0) : QStringLiteral("1.0");
}

QString MacAppPackager::executableName(const QString &title)
{
    QString name;
    for (const QChar c : title) {
        const bool ok = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                        (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                        (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char(' ') ||
                        c == QLatin1Char('-') || c == QLatin1Char('_');
        if (ok)
            name.append(c);
    }
    name = name.simplified().left(kMaxExecutableName).trimmed();
    return name.isEmpty() ? QStringLiteral("book") : name;
}

bool MacAppPackager::fail(const QString &message)
{
    m_error = message;
    AppLog::shared().log(QStringLiteral("application book: %1").arg(message));
    return false;
}

bool MacAppPackager::copyBook(const QString &from, const QString &to)
{
    const QStringList names = BookFiles::relativeFileNames(from);
    int done = 0;
    for (const QString &name : names) {
        if (m_stop && m_stop->load())
            return fail(QStringLiteral("stopped"));
        const QString target = QDir(to).filePath(name);
        if (!QDir().mkpath(QFileInfo(target).path()))
            return fail(QStringLiteral("cannot make the folder of %1").arg(target));
        if (!SafeFiles::copyFile(QDir(from).filePath(name), target))
            return fail(QStringLiteral("cannot copy %1 into the application").arg(name));
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
        if (m_progress)
            m_progress(++done, int(names.size()));
    }
    return true;
}

bool MacAppPackager::writeIcon(const QString &resources, const QString &iconName)
{
    const QString target = QDir(resources).filePath(iconName);
    if (m_iconFile.isEmpty())
        return QFileInfo(target).isFile() || fail(QStringLiteral("the template has no icon %1").arg(iconName));

    QFile file(m_iconFile);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read the icon file %1").arg(m_iconFile));
    const QByteArray head = file.peek(4);
    file.close();
    if (head == "icns") {
        // An icon file is taken as it is, once it is known to hold pictures.
        QString error;
        const auto entries = IcnsFile::readFile(m_iconFile, &error);
        if (!entries || entries->isEmpty())
            return fail(QStringLiteral("the icon file %1 cannot be read: %2").arg(m_iconFile, error));
        if (!SafeFiles::copyFile(m_iconFile, target))
            return fail(QStringLiteral("cannot copy the icon into the application"));
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
        return true;
    }

    QString error;
    const QList<QImage> pictures = IconPictures::read(m_iconFile, &error);
    if (pictures.isEmpty())
        return fail(error);
    QMap<int, QImage> images;
    for (int side : IcnsFile::writableSizes())
        images.insert(side, IconPictures::pictureForSize(pictures, QSize(side, side)));
    const std::optional<QByteArray> icns = IcnsFile::encode(images, &error);
    if (!icns)
        return fail(error);
    return writeBytes(target, *icns) || fail(QStringLiteral("cannot write the icon into the application"));
}

bool MacAppPackager::writePackage(const QString &bookFolder, const QString &mainPage, const QString &appPath)
{
    m_error.clear();
    const QString templateFolder = m_templateFolder.isEmpty() ? PackageTemplates::macAppTemplatePath()
                                                              : m_templateFolder;
    QString error;
    const std::optional<QVariant> templateInfo =
        PropertyList::readFile(QDir(templateFolder).filePath(QStringLiteral("Contents/Info.plist")), &error);
    if (!templateInfo || templateInfo->typeId() != QMetaType::QVariantMap)
        return fail(QStringLiteral("the application template %1 is missing or damaged").arg(templateFolder));
    QVariantMap info = templateInfo->toMap();
    const QString templateExe = info.value(QStringLiteral("CFBundleExecutable")).toString();
    if (templateExe.isEmpty() || templateExe.contains(QLatin1Char('/')) ||
        !QFileInfo(QDir(templateFolder).filePath(QStringLiteral("Contents/MacOS/") + templateExe)).isFile())
        return fail(QStringLiteral("the application template %1 has no launcher").arg(templateFolder));

    if (!QFileInfo(bookFolder).isDir())
        return fail(QStringLiteral("the book folder %1 is missing").arg(bookFolder));
    if (mainPage.isEmpty() || confValue(mainPage) != mainPage || mainPage.split(QLatin1Char('/')).contains(QStringLiteral("..")) ||
        !QFileInfo(QDir(bookFolder).filePath(mainPage)).isFile())
        return fail(QStringLiteral("the book page \"%1\" is missing").arg(mainPage));

    const QFileInfo target(appPath);
    const QString parent = target.absolutePath();
    if (!QDir().mkpath(parent))
        return fail(QStringLiteral("cannot make the folder %1").arg(parent));

    // Assembled beside the target, so the last step is a rename on one file system.
    QTemporaryDir stage(parent + QStringLiteral("/.quorvel-app-XXXXXX"));
    if (!stage.isValid())
        return fail(QStringLiteral("cannot write into %1").arg(parent));
    const QString bundle = stage.filePath(target.fileName());
    if (!AppUtility::copyFromPath(templateFolder, bundle, true))
        return fail(QStringLiteral("cannot copy the application template"));
    makeFilesWritable(bundle);

    const QString title = m_title.trimmed().isEmpty() ? QFileInfo(mainPage).completeBaseName() : m_title.trimmed();
    const QString exe = executableName(title);
    const QString macos = bundle + QStringLiteral("/Contents/MacOS/");
    if (exe != templateExe && !QFile::rename(macos + templateExe, macos + exe))
        return fail(QStringLiteral("cannot name the launcher %1").arg(exe));
    if (!QFile::setPermissions(macos + exe, kExecutable))
        return fail(QStringLiteral("cannot make the launcher executable"));

    const QString resources = bundle + QStringLiteral("/Contents/Resources");
    if (!QDir().mkpath(resources))
        return fail(QStringLiteral("cannot make the folder %1").arg(resources));
    const QString bookTarget = resources + QStringLiteral("/book");
    const bool moved = m_movesBook && !QFileInfo::exists(bookTarget) && QDir().rename(bookFolder, bookTarget);
    if (!moved && !copyBook(bookFolder, bookTarget))
        return m_error.isEmpty() ? fail(QStringLiteral("cannot copy the book")) : false;

    QString iconName = info.value(QStringLiteral("CFBundleIconFile")).toString();
    if (iconName.isEmpty() || iconName.contains(QLatin1Char('/')))
        iconName = kDefaultIconName;
    if (!writeIcon(resources, iconName))
        return false;

    const QString identifier = bundleIdentifier(m_identifier);
    const QString version = bundleVersion(m_version);
    info.insert(QStringLiteral("CFBundleName"), title);
    info.insert(QStringLiteral("CFBundleDisplayName"), title);
    info.insert(QStringLiteral("CFBundleIdentifier"), identifier);
    info.insert(QStringLiteral("CFBundleShortVersionString"), version);
    info.insert(QStringLiteral("CFBundleVersion"), version);
    info.insert(QStringLiteral("CFBundleExecutable"), exe);
    info.insert(QStringLiteral("CFBundleIconFile"), iconName);
    if (!PropertyList::writeFile(bundle + QStringLiteral("/Contents/Info.plist"), info, &error))
        return fail(QStringLiteral("cannot write Info.plist: %1").arg(error));

    const QString hide = m_hideMode.trimmed().compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0
                             ? QStringLiteral("YES")
                             : QStringLiteral("NO");
    const QString conf = QStringLiteral("page=book/%1\nwindow=%2\nhideOnClose=%3\nbookId=%4\ntitle=%5\n")
                             .arg(mainPage, AppWindowSize::fromString(m_windowSize).toString(), hide, identifier,
                                  confValue(title));
    if (!writeBytes(resources + QStringLiteral("/book.conf"), conf.toUtf8()))
        return fail(QStringLiteral("cannot write the launcher settings"));

    if (m_stop && m_stop->load())
        return fail(QStringLiteral("stopped"));

    // Swap the new bundle in; an older one is kept until the new one is in place.
    QString backup;
    if (target.exists() || target.isSymLink()) {
        backup = stage.filePath(QStringLiteral("previous"));
        if (!QDir().rename(appPath, backup))
            return fail(QStringLiteral("cannot replace %1").arg(appPath));
    }
    if (!QDir().rename(bundle, appPath)) {
        if (!backup.isEmpty())
            QDir().rename(backup, appPath);
        return fail(QStringLiteral("cannot move the application to %1").arg(appPath));
    }
    // The stage folder, with the previous bundle in it, goes when `stage` does; an
    // installed read-only copy needs to be made writable first.
    if (!backup.isEmpty())
        removeTree(backup);
    return true;
}
