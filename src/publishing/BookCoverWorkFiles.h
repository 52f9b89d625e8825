#pragma once
// The three working files of the book cover editor in its workspace folder: the source
// picture "inputFile.<ext>" (its extension follows the picture copied in), the cover
// "outputFile.<ext>" (its extension follows the cover's destination) and the design
// "configFile.plist". The cover maker works on these only; the user's files change
// when the editor's OK writes the cover and the design to their destinations.

#include <QString>

struct BookCoverSettings;

class BookCoverWorkFiles
{
public:
    explicit BookCoverWorkFiles(const QString &workspace);

    QString workspace() const { return m_workspace; }
    QString tmpinputFile() const { return m_input; }
    QString tmpoutputFile() const { return m_output; }
    QString tmpconfigFile() const { return m_config; }

    // Names the working files after the remembered destinations and copies the
    // remembered picture, cover and design in, each unless a working file of that
    // name is already there (the workspace lives as long as the program runs).
    void prepare(const BookCoverSettings &settings);

    // A new source picture: the working input takes its extension and its bytes
    // (nothing is copied when path is the working input itself). False when the file
    // does not exist or cannot be copied.
    bool takeSource(const QString &path);
    // A new cover shown in the result well: copied onto the working output under its
    // present name. False when the file does not exist or cannot be copied.
    bool takeResult(const QString &path);
    // A template's design becomes the working design.
    bool takeDesign(const QString &path);

    // Writes the working cover to outputFile and the working design to configFile
    // (each only when the working file exists), each through a temporary file. False,
    // with *error naming the file, when one cannot be written.
    bool commit(const QString &outputFile, const QString &configFile, QString *error) const;

private:
    static QString withSuffixOf(const QString &path, const QString &model);

    QString m_workspace;
    QString m_input;
    QString m_output;
    QString m_config;
};
