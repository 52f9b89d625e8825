#pragma once
// Names in the project file, shared by the reader and the writer (format:
// docs/project-format.md).

#include <QString>

namespace ProjectXml {

inline constexpr int kVersion = 1;

inline const QString Root = QStringLiteral("BookProject");
inline const QString Version = QStringLiteral("version");
inline const QString DataFolder = QStringLiteral("dataFolder");
inline const QString PageFolder = QStringLiteral("pageFolder");
inline const QString Template = QStringLiteral("Template");
inline const QString Kind = QStringLiteral("kind");
inline const QString Desktop = QStringLiteral("desktop");
inline const QString Mobile = QStringLiteral("mobile");
inline const QString Name = QStringLiteral("name");
inline const QString Style = QStringLiteral("style");
inline const QString Resources = QStringLiteral("resources");
inline const QString MobileSearch = QStringLiteral("MobileSearch");
inline const QString Annotations = QStringLiteral("pagesAnnotations");
inline const QString Parts = QStringLiteral("Parts");
inline const QString Part = QStringLiteral("Part");
inline const QString Folder = QStringLiteral("folder");

// Keys of the folders a project names, as kept in BookDocument.
inline const QString PagesKey = QStringLiteral("pages");
inline QString templateKey(bool mobile)
{
    return mobile ? QStringLiteral("template:mobile") : QStringLiteral("template:desktop");
}
inline QString partKey(const QString &name) { return QStringLiteral("part:") + name; }

// The folder names used inside a new data folder.
inline const QString PagesFolderName = QStringLiteral("pages");
inline const QString AddedPicturesFolderName = QStringLiteral("added");
inline QString templateFolderName(bool mobile)
{
    return mobile ? QStringLiteral("mobile-theme") : QStringLiteral("theme");
}
inline QString partFolderName(const QString &name) { return QStringLiteral("parts/") + name; }

} // namespace ProjectXml
