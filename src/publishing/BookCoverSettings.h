#pragma once
// What the book cover editor remembers between runs, and where its files lie.
//
// The settings file ".settings" (a property list dictionary in the data folder
// "BookCoverData" of the user's resources, never in the cover maker's install folder,
// which an upgrade replaces): "input" (the source picture last chosen), "output" (where
// the cover is written), "config" (where the cover design is written), "mode" and
// "index" (what the book does with the cover, below). A path not set is left out.
//
// The mode: 0 the cover is only the book's cover picture; 1 it also replaces the page
// at index; 2 it is also inserted as a new page at index (the page count: after the
// last page). Indexes count from 0.

#include <QString>

struct BookCoverSettings
{
    enum Mode { CoverOnly = 0, ReplacePage = 1, InsertPage = 2 };

    QString inputFile;
    QString outputFile;
    QString configFile;
    qint64 outputMode = CoverOnly;
    qint64 outputIndex = 0;

    // "BookCoverData" of the user's resources (made when missing).
    static QString dataFolder();
    // dataFolder() + "/Templates".
    static QString templatesFolder();
    static QString settingFile();
    static QString defaultOutputFile(); // dataFolder() + "/output.png"
    static QString defaultConfigFile(); // dataFolder() + "/config.plist"

    // The remembered settings; a missing or unreadable file reads as nothing remembered
    // (empty paths, mode 0, index 0). A mode outside 0-2 reads as 0, a negative index
    // as 0.
    static BookCoverSettings load(const QString &path = settingFile());
    // Written atomically; false when it could not be written.
    bool save(const QString &path = settingFile()) const;

    // The mode brought inside 0-2 (anything else is 0).
    static qint64 boundedMode(qint64 mode);
    // The 0-based index for a 1-based page number as typed: at least 0; at most the
    // last page in modes 0 and 1, at most the page count (after the last page) in mode 2.
    static qint64 indexForPageNumber(qint64 mode, qint64 pageNumber, qint64 pageCount);
    // An index brought inside the book for mode.
    static qint64 boundedIndex(qint64 mode, qint64 index, qint64 pageCount);
};
