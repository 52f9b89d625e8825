#pragma once
// Where a publish run writes, and which existing items it would replace.
//
// The output folder F is the folder field's text standardised; N is the file name.
// The target T is F/N with the extension the kind writes, packed or not (OutputKind);
// a plug-in package keeps a name ending in ".zip" as it is. Besides T a run may replace:
//   - a web folder's companions F/files and F/mobile (the latter only when the book
//     gets a phone version, i.e. the load type is not 2);
//   - F/index.zip when a packed web folder is written: the engine writes the archive
//     as "index" and the run renames it to N.zip afterwards.

#include "output/OutputKind.h"

#include <QString>
#include <QStringList>

class PublishTargets
{
public:
    // The name the engine gives the book inside an archive of a packed web folder.
    static constexpr const char *kArchiveBookName = "index";

    PublishTargets(const QString &folder, const QString &name, OutputKind kind, bool compressToZip, int loadType);

    // The folder as typed, with a leading "~" expanded, made absolute and without
    // redundant parts ("." and ".." steps, doubled and trailing slashes).
    static QString standardizedFolder(const QString &typed);
    // Why name cannot name the book's file; empty when it can. An empty name is the
    // dialog's own question and passes here.
    static QString nameProblem(const QString &name);
    // The output folder made ready for a run: created with the folders above it when
    // missing, else checked to be a writable folder. On failure, reason is the
    // system's own word for it ("Permission denied", "Not a directory").
    struct FolderState
    {
        enum Outcome { Ready, Created, NotAFolder, CannotCreate, NotWritable };
        Outcome outcome = Ready;
        QString reason;
        bool ok() const { return outcome == Ready || outcome == Created; }
    };
    static FolderState prepareFolder(const QString &folder);

    QString folder() const { return m_folder; }
    QString name() const { return m_name; }
    OutputKind kind() const { return m_kind; }
    bool compressToZip() const { return m_zip; }
    // T.
    QString target() const;
    // True when the engine writes the book as "index" into F/index.zip, which the
    // run then renames to N.zip.
    bool packsWebFolder() const;
    // The name the engine is given: "index" for a packed web folder, else N.
    QString engineName() const;
    // F/index.zip for a packed web folder, empty otherwise.
    QString engineArchive() const;
    // T, then F/index.zip when it is not T: the files the run writes.
    QStringList targets() const;
    // F/files and F/mobile of an unpacked web folder (mobile only with a phone version).
    QStringList companions() const;

private:
    QString m_folder;
    QString m_name;
    OutputKind m_kind;
    bool m_zip;
    int m_loadType;
};
