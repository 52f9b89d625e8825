#pragma once
// The viewer's toolbar icons that a book may replace, and archives of replacements.
//
// The icons are listed in "dataFiles/resource/QuorvelIcons.txt" of the resources, one
// child element per icon with its "key" attribute and child elements that describe it:
//   <icons>
//     <icon key="next"><title>Next page</title><desc>Turns to the next page</desc></icon>
//   </icons>
// The built-in pictures lie below "dataFiles/resource/Icons", each named by its key.
// A replacement archive is a ZIP archive of pictures, each named by the key it replaces
// in any letter case ("NEXT.png" replaces "next").

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace ToolbarIconSet {

// "<resources>/dataFiles/resource".
QString getResourcePath();

// The icons of the icon list in order: "key" and one entry per child element (name to
// text). Empty when the list is missing or unreadable.
QList<QVariantMap> loadTableList(const QString &listFile = QString());
// The keys of the icon list, in lower case.
QStringList iconKeys();
// The built-in pictures: lower-case file name without extension -> path.
QHash<QString, QString> loadOrgPicDict();

// Whether path is a picture the viewer can show (read by its content, not its name).
bool isPicture(const QString &path);

// The replacement pictures of an archive, unpacked into folder: lower-case key -> path
// of the picture named by it. Files that name no key or are no pictures are left
// out. An archive that cannot be read, or that holds names leading out of the folder
// or links, is refused as a whole: false, with the reason in error.
bool picturesInArchive(const QString &archive, const QString &folder, const QStringList &keys,
                       QHash<QString, QString> *pictures, QString *error = nullptr);

// Why a value of the toolbar icon setting cannot take effect in a book ("" when it can:
// empty, or an archive holding at least one replacement picture).
QString problemWithIconArchive(const QString &path);

} // namespace ToolbarIconSet
