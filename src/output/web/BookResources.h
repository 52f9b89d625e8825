#pragma once
// The furnishing files of a book being written (share logos, extra icons, the
// background and preloader pictures, downloads): copied into the book under names of
// our own, so no file name of the user's can break a path, and each source copied once.

#include <QHash>
#include <QSet>
#include <QString>
#include <atomic>

class BookResources
{
public:
    BookResources(const QString &bookFolder, const std::atomic_bool *stop);

    // Copies a picture into files/extfiles/<sub>/<base>.<suffix> (a free name) and
    // returns its URL path relative to the book folder ("files/extfiles/shares/1.png");
    // "" when the file is missing or is not a picture. Throws when the copy fails.
    QString addPicture(const QString &sourceFile, const QString &sub, const QString &base);
    // Copies any file into <folder>/ (relative to the book folder) under its own name
    // (a free one when taken); returns its URL path, "" when the file is missing.
    QString addFile(const QString &sourceFile, const QString &folder);

private:
    // A name in folder not given yet, taken now.
    QString freeName(const QString &folder, const QString &base, const QString &suffix);

    QString m_book;
    const std::atomic_bool *m_stop;
    QHash<QString, QString> m_copied; // source path + folder -> relative path
    QSet<QString> m_names;            // relative paths given
};
