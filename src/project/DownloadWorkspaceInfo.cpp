#include "project/DownloadWorkspaceInfo.h"

#include "batch/ImportParament.h"
#include "foundation/AppLog.h"
#include "foundation/PropertyList.h"
#include "foundation/SafeFiles.h"

#include <QDir>
#include <QSaveFile>

namespace {
const QString kPdf = QStringLiteral("pdf");
const QString kPwd = QStringLiteral("pwd");
const QString kRange = QStringLiteral("range");
const QString kDetect = QStringLiteral("detect");
} // namespace

DownloadWorkspaceInfo DownloadWorkspaceInfo::fromImport(const ImportParament &parament)
{
    DownloadWorkspaceInfo info;
    if (parament.isPDFImport()) {
        info.pdf = parament.sourceFiles.value(0);
        info.pwd = parament.strPassword;
    }
    info.range = parament.strPageRange.isEmpty() ? QStringLiteral("ALL") : parament.strPageRange;
    info.detect = parament.iWidePageMode;
    return info;
}

bool DownloadWorkspaceInfo::writeToFolder(const QString &folder, QString *error) const
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const std::optional<QByteArray> xml =
        PropertyList::toXml(QVariantMap{{kPdf, pdf}, {kPwd, pwd}, {kRange, range}, {kDetect, detect}}, error);
    if (!xml)
        return false;
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("The folder \"%1\" cannot be made.").arg(folder));
    QSaveFile file(QDir(folder).filePath(fileName()));
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(*xml) != xml->size() || !file.commit())
        return fail(file.errorString());
    return true;
}

std::optional<DownloadWorkspaceInfo> DownloadWorkspaceInfo::readFromFolder(const QString &folder)
{
    const std::optional<QVariant> value = PropertyList::readFile(QDir(folder).filePath(fileName()));
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap map = value->toMap();
    DownloadWorkspaceInfo info;
    info.pdf = map.value(kPdf).toString();
    info.pwd = map.value(kPwd).toString();
    info.range = map.value(kRange, info.range).toString();
    info.detect = map.value(kDetect).toInt();
    return info;
}

std::optional<DownloadWorkspaceInfo> DownloadWorkspaceInfo::readForBook(const QString &folder, const QString &bookPdf)
{
    std::optional<DownloadWorkspaceInfo> info = readFromFolder(folder);
    if (!info || info->pdf.isEmpty())
        return info;
    if (bookPdf.isEmpty() || SafeFiles::resolvedPath(info->pdf) != SafeFiles::resolvedPath(bookPdf)) {
        AppLog::shared().error(QStringLiteral("The downloads' source PDF \"%1\" is not the book's own (\"%2\"): it is left out.")
                                   .arg(QDir::toNativeSeparators(info->pdf), QDir::toNativeSeparators(bookPdf)));
        info->pdf.clear();
        info->pwd.clear();
    }
    return info;
}
