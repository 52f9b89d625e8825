#include "project/ProjectMessages.h"

#include "foundation/AppStrings.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace ProjectMessages {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// "a, b, c and 4 more": the first few of a long list.
QString someOf(const QStringList &items)
{
    constexpr int kShown = 5;
    QString text = QStringList(items.mid(0, kShown)).join(QStringLiteral(", "));
    if (items.size() > kShown)
        text += loadAppString(QStringLiteral("BookProject- and %1 more"), QStringLiteral(" and %1 more"))
                    .arg(items.size() - kShown);
    return text;
}

} // namespace

QString fileNotFound(const QString &file)
{
    return loadAppString(QStringLiteral("BookProject-The project \"%1\" does not exist."),
                         QStringLiteral("The project \"%1\" does not exist."))
        .arg(shown(file));
}

QString cannotRead(const QString &file, const QString &reason)
{
    return loadAppString(QStringLiteral("BookProject-The project \"%1\" cannot be read: %2"),
                         QStringLiteral("The project \"%1\" cannot be read: %2"))
        .arg(shown(file), reason);
}

QString notAProject(const QString &file)
{
    return loadAppString(QStringLiteral("BookProject-\"%1\" is not a book project."),
                         QStringLiteral("\"%1\" is not a book project."))
        .arg(QFileInfo(file).fileName());
}

QString damaged(const QString &file, const QString &detail)
{
    return loadAppString(QStringLiteral("BookProject-The project \"%1\" is damaged: %2"),
                         QStringLiteral("The project \"%1\" is damaged: %2"))
        .arg(QFileInfo(file).fileName(), detail);
}

QString damagedPart(const QString &file, const QString &part, const QString &detail)
{
    return loadAppString(QStringLiteral("BookProject-The %2 of the project \"%1\" cannot be read: %3"),
                         QStringLiteral("The %2 of the project \"%1\" cannot be read: %3"))
        .arg(QFileInfo(file).fileName(), part, detail);
}

QString newerVersion(const QString &file)
{
    return loadAppString(QStringLiteral("BookProject-The project \"%1\" was made by a newer version of the program."),
                         QStringLiteral("The project \"%1\" was made by a newer version of the program."))
        .arg(QFileInfo(file).fileName());
}

QString dataFolderMissing(const QString &file, const QString &folderName)
{
    return loadAppString(
               QStringLiteral("BookProject-The folder \"%2\" with the pages of the project \"%1\" is missing. "
                              "It must stay next to the project file."),
               QStringLiteral("The folder \"%2\" with the pages of the project \"%1\" is missing. "
                              "It must stay next to the project file."))
        .arg(QFileInfo(file).fileName(), folderName);
}

QString picturesMissing(const QStringList &pictures)
{
    return loadAppString(QStringLiteral("BookProject-Page pictures of the project are missing: %1"),
                         QStringLiteral("Page pictures of the project are missing: %1"))
        .arg(someOf(pictures));
}

QString picturesWillBeMade(const QStringList &pictures)
{
    return loadAppString(QStringLiteral("BookProject-Missing page pictures will be made again: %1"),
                         QStringLiteral("Missing page pictures will be made again: %1"))
        .arg(someOf(pictures));
}

QString templateMissing(const QString &name, const QString &replacement)
{
    return loadAppString(QStringLiteral("BookProject-The template \"%1\" is not installed; the book uses \"%2\"."),
                         QStringLiteral("The template \"%1\" is not installed; the book uses \"%2\"."))
        .arg(name, replacement);
}

QString partNotRestored(const QString &part, const QString &detail)
{
    return loadAppString(QStringLiteral("BookProject-The %1 of the book could not be restored: %2"),
                         QStringLiteral("The %1 of the book could not be restored: %2"))
        .arg(part, detail);
}

QString partFilesMissing(const QString &part, const QString &folder)
{
    return loadAppString(QStringLiteral("BookProject-The files of the %1 are missing (\"%2\")."),
                         QStringLiteral("The files of the %1 are missing (\"%2\")."))
        .arg(part, folder);
}

QString filesOutsideProject(const QString &templateName, const QStringList &settings)
{
    return loadAppString(QStringLiteral("BookProject-The settings %1 of the template \"%2\" name files outside the "
                                        "project; they are not used. Choose the files again to bring them into the project."),
                         QStringLiteral("The settings %1 of the template \"%2\" name files outside the project; they are "
                                        "not used. Choose the files again to bring them into the project."))
        .arg(settings.join(QStringLiteral(", ")), templateName);
}

QString pictureOutsideProject(const QString &picture)
{
    return loadAppString(QStringLiteral("BookProject-the page picture \"%1\" lies outside the project"),
                         QStringLiteral("the page picture \"%1\" lies outside the project"))
        .arg(QDir::toNativeSeparators(picture));
}

QString leadsOutOfProject(const QString &path)
{
    return loadAppString(QStringLiteral("BookProject-\"%1\" leads out of the project through a link; it is left out."),
                         QStringLiteral("\"%1\" leads out of the project through a link; it is left out."))
        .arg(QDir::toNativeSeparators(path));
}

QString hasOtherNames(const QString &path)
{
    return loadAppString(
               QStringLiteral("BookProject-\"%1\" has more than one name (a hard link), and another may lie outside the project; it is left out."),
               QStringLiteral("\"%1\" has more than one name (a hard link), and another may lie outside the project; it is left out."))
        .arg(QDir::toNativeSeparators(path));
}

QString accessRefused()
{
    return loadAppString(QStringLiteral("BookProject-Import Project failed..."),
                         QStringLiteral("Import Project failed..."));
}

QString untitled()
{
    return loadAppString(QStringLiteral("BookProject-The book has not been saved as a project yet."),
                         QStringLiteral("The book has not been saved as a project yet."));
}

QString folderMissing(const QString &folder)
{
    return loadAppString(QStringLiteral("BookProject-The folder \"%1\" does not exist."),
                         QStringLiteral("The folder \"%1\" does not exist."))
        .arg(shown(folder));
}

QString readOnlyPlace(const QString &folder)
{
    return loadAppString(QStringLiteral("BookProject-The project cannot be saved in \"%1\" because that place is "
                                        "read-only. Use Save As to save it in another place."),
                         QStringLiteral("The project cannot be saved in \"%1\" because that place is read-only. "
                                        "Use Save As to save it in another place."))
        .arg(shown(folder));
}

QString cannotWrite(const QString &file, const QString &reason)
{
    return loadAppString(QStringLiteral("BookProject-The project \"%1\" could not be saved: %2"),
                         QStringLiteral("The project \"%1\" could not be saved: %2"))
        .arg(QFileInfo(file).fileName(), reason);
}

QString savedWithMissingPictures(const QStringList &pictures)
{
    return loadAppString(QStringLiteral("BookProject-The project was saved, but these page pictures were missing: %1"),
                         QStringLiteral("The project was saved, but these page pictures were missing: %1"))
        .arg(someOf(pictures));
}

} // namespace ProjectMessages
