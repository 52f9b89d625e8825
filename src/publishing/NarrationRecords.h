#pragma once
// The rows of the narration recordings manager over the book's assistant: one row per
// spread, its text file, its generated and imported sounds. The window shows and asks;
// this changes the assistant's resource list and the files in its work folder.

#include <QString>

class GenerateAssistant;

class NarrationRecords
{
public:
    explicit NarrationRecords(GenerateAssistant &assistant) : m_assistant(assistant) {}

    GenerateAssistant &assistant() const { return m_assistant; }
    int count() const;
    bool contains(int row) const { return row >= 0 && row < count(); }
    // "P" and the spread's name: "P1", "P2_3", ...
    QString title(int row) const;

    bool canMoveUp(int row) const { return row >= 1 && row < count(); }
    bool canMoveDown(int row) const { return row >= 0 && row <= count() - 2; }
    // While the rows are at most totalPage / 2 (one more row is allowed).
    bool canAdd() const;
    bool canRemove() const { return count() >= 2; }

    // The text saved for row: its text file read as UTF-8 without a byte-order mark;
    // empty when there is none.
    QString savedText(int row) const;
    static QString readText(const QString &path);

    // Writes text into row's text file (the row gets new text and sound paths when it
    // has no text file yet); an empty text also removes the row's generated sound.
    bool saveText(int row, const QString &text, QString *error = nullptr);

    // Takes the sound file path as row's imported sound: a copy in the assistant's work
    // folder (a file already there is taken as it is), so the book's project carries
    // it. False with *error when the file is missing or not a sound.
    bool importSound(int row, const QString &path, QString *error = nullptr);

    // A new empty row before row (at the end for row == count()); its index, or -1.
    int insertRow(int row);
    // Swaps row with its neighbour; the row's new index, or -1.
    int moveUp(int row);
    int moveDown(int row);
    // Removes row from the list (its files stay); the row to show next, or -1.
    int removeRow(int row);

private:
    GenerateAssistant &m_assistant;
};
