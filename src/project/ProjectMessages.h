#pragma once
// The user-visible texts of the project code, through the UI-string lookup.

#include <QString>
#include <QStringList>

namespace ProjectMessages {
QString fileNotFound(const QString &file);
QString cannotRead(const QString &file, const QString &reason);
QString notAProject(const QString &file);
QString damaged(const QString &file, const QString &detail);
QString damagedPart(const QString &file, const QString &part, const QString &detail);
QString newerVersion(const QString &file);
QString dataFolderMissing(const QString &file, const QString &folderName);
QString picturesMissing(const QStringList &pictures);
QString picturesWillBeMade(const QStringList &pictures);
QString templateMissing(const QString &name, const QString &replacement);
QString partNotRestored(const QString &part, const QString &detail);
QString partFilesMissing(const QString &part, const QString &folder);
QString filesOutsideProject(const QString &templateName, const QStringList &settings);
QString pictureOutsideProject(const QString &picture);
// A file or folder of the project that leads out of it through a link.
QString leadsOutOfProject(const QString &path);
// A file of the project with more than one name: another may lie outside it.
QString hasOtherNames(const QString &path);
QString accessRefused();
QString untitled();
QString folderMissing(const QString &folder);
QString readOnlyPlace(const QString &folder);
QString cannotWrite(const QString &file, const QString &reason);
QString savedWithMissingPictures(const QStringList &pictures);
} // namespace ProjectMessages
