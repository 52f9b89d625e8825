#include "output/packages/WinExePackager.h"

#include "foundation/AppLog.h"
#include "output/packages/AppWindowSize.h"
#include "output/web/BookFiles.h"
#include "output/packages/ExeBookPayload.h"
#include "output/packages/ExeIconResources.h"
#include "output/packages/IconPictures.h"
#include "output/packages/PackageTemplates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr qint64 kMaxStubSize = 64 * 1024 * 1024;
} // namespace

bool WinExePackager::fail(const QString &message)
{
    m_error = message;
    AppLog::shared().log(QStringLiteral("executable book: %1").arg(message));
    return false;
}

bool WinExePackager::writePackage(const QString &bookFolder, const QString &mainPage, const QString &exePath)
{
    m_error.clear();
    m_skipped.clear();

    const QString stubPath = m_stubFile.isEmpty() ? PackageTemplates::winExeStubPath() : m_stubFile;
    QFile stubFile(stubPath);
    if (!stubFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("the Windows program template %1 is missing").arg(stubPath));
    if (stubFile.size() > kMaxStubSize)
        return fail(QStringLiteral("the Windows program template %1 is too large").arg(stubPath));
    QByteArray stub = stubFile.readAll();
    stubFile.close();

    ExeIconResources resources;
    if (!resources.read(stub))
        return fail(QStringLiteral("the Windows program template is damaged: %1").arg(resources.errorString()));
    // Whatever was appended to the template (an earlier book) is not part of the program.
    stub.truncate(resources.imageEnd());

    if (!m_iconFile.isEmpty()) {
        QString error;
        const QList<QImage> pictures = IconPictures::read(m_iconFile, &error);
        if (pictures.isEmpty())
            return fail(error);
        if (!ExeIconResources::replaceIcons(stub, pictures, &error))
            return fail(QStringLiteral("cannot put the icon into the program: %1").arg(error));
    }

    if (!QFileInfo(bookFolder).isDir())
        return fail(QStringLiteral("the book folder %1 is missing").arg(bookFolder));
    if (!ExeBookPayload::isWindowsName(mainPage))
        return fail(QStringLiteral("the page name \"%1\" cannot be used on Windows").arg(mainPage));
    if (!QFileInfo(QDir(bookFolder).filePath(mainPage)).isFile())
        return fail(QStringLiteral("the book page %1 is missing").arg(mainPage));

    ExeBookPayload payload;
    // The main page goes first so that it always wins a clash of names.
    payload.addFile(mainPage, QDir(bookFolder).filePath(mainPage));
    for (const QString &name : BookFiles::relativeFileNames(bookFolder)) {
        if (name == mainPage)
            continue;
        if (!payload.addFile(name, QDir(bookFolder).filePath(name)))
            m_skipped << name;
    }
    if (!m_skipped.isEmpty())
        AppLog::shared().log(QStringLiteral("executable book: names left out: %1").arg(m_skipped.join(QLatin1String(", "))));

    ExeBookPayload::Info info;
    info.title = m_title.trimmed().isEmpty() ? QFileInfo(mainPage).completeBaseName() : m_title.trimmed();
    info.windowSize = AppWindowSize::fromString(m_windowSize).toString();
    info.mainPage = mainPage;

    QSaveFile out(exePath);
    if (!out.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot write %1: %2").arg(exePath, out.errorString()));
    if (out.write(stub) != stub.size()) {
        out.cancelWriting();
        return fail(QStringLiteral("cannot write %1: %2").arg(exePath, out.errorString()));
    }
    if (!payload.write(out, stub.size(), info, m_stop, m_progress)) {
        out.cancelWriting();
        return fail(payload.errorString());
    }
    if (m_stop && m_stop->load()) {
        out.cancelWriting();
        return fail(QStringLiteral("stopped"));
    }
    if (!out.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(exePath, out.errorString()));
    QFile::setPermissions(exePath, QFile::permissions(exePath) | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                       QFileDevice::ExeOther);
    return true;
}
