#pragma once
// The private folder a book is written in before it is moved into the output folder.
//
// The stage is a hidden folder inside the output folder (so moving out of it is a
// rename on one file system, never a copy). commit() replaces the items of an older
// book only once the new book is complete, and puts the older items back when any
// move fails; the stage, with whatever it still holds, is removed when the object
// goes. A job that fails or is cancelled before commit() leaves the output folder as
// it was, and an output folder that did not exist before is removed again.

#include <QString>
#include <QStringList>

class OutputStage
{
public:
    // Makes the stage inside outputFolder, making that folder when it is missing.
    // Throws WorkerException when the folder cannot be made or written.
    explicit OutputStage(const QString &outputFolder);
    ~OutputStage();
    OutputStage(const OutputStage &) = delete;
    OutputStage &operator=(const OutputStage &) = delete;

    QString outputFolder() const { return m_output; }
    // The stage itself, and the folder in it the book is written into.
    QString path() const { return m_path; }
    QString bookFolder() const { return m_path + QStringLiteral("/book"); }

    // Moves the named entries of bookFolder() into the output folder, each replacing
    // the entry of that name there: all of them, or (throwing) none.
    void commit(const QStringList &names);
    // Moves a file of the stage into the output folder as name, replacing a file there.
    void commitFile(const QString &stagedFile, const QString &name);

private:
    QString m_output;
    QString m_path;
    QString m_createdOutput; // the top folder made for the output, removed when nothing was committed
    bool m_committed = false;
};
