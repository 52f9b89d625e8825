#pragma once
// The book appended to the Windows program stub of an executable book.
//
// Layout after the program's own bytes (all numbers little-endian):
//   file data    the book's files one after the other, stored as they are
//   index        "QVIX", u32 version (1), u32 file count, then four texts (u16 byte
//                count + UTF-8): title, window size ("MAX", "FULLSCREEN",
//                "CUSTOM:w,h"), main page (book-relative, "/"-separated), book id;
//                then per file: its name (text as above), u64 offset from the start
//                of the file data, u64 size, u32 CRC-32 of its bytes
//   footer       32 bytes at the very end: "QVBOOKX1", u64 file offset of the file
//                data, u64 file offset of the index, u32 index size, u32 CRC-32 of
//                the index
// The stub finds the footer at the end of its own file, checks both checksums and
// unpacks the files into %LOCALAPPDATA%\Quorvel\Books\<book id>.
//
// Windows cannot hold every name a Linux folder can, so a file is only written when
// its name is valid there (see isWindowsName) and differs, ignoring case, from every
// name already written.

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>

class ExeBookPayload
{
public:
    static constexpr int kFooterSize = 32;
    static constexpr int kMaxNameLength = 200; // UTF-16 units of the book-relative name

    struct Info
    {
        QString title;
        QString windowSize;
        QString mainPage;
        QString bookId;
    };

    struct Entry
    {
        QString name;
        qint64 offset = 0; // from the start of the file data
        qint64 size = 0;
        quint32 crc = 0;
    };

    // A book-relative "/"-separated name Windows can create below a folder: parts not
    // empty, no control characters or any of < > : " \ | ? *, no part ending in a dot
    // or a blank, no "." or "..", no device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9,
    // with or without extension), parts of at most 255 and the whole of at most
    // kMaxNameLength characters.
    static bool isWindowsName(const QString &name);

    // Adds a file; false (file left out) when the name is not a Windows name or is the
    // same, ignoring case, as one added before.
    bool addFile(const QString &name, const QString &path);
    int fileCount() const { return int(m_files.size()); }

    // Writes file data, index and footer to out, whose current position is payloadStart
    // in the final file. info.bookId is filled in when empty. progress gets bytes
    // written and bytes in all. False with errorString() when a file cannot be read,
    // out cannot be written or the stop flag is raised.
    bool write(QIODevice &out, qint64 payloadStart, Info info, const std::atomic_bool *stop = nullptr,
               const std::function<void(qint64, qint64)> &progress = {});

    QString errorString() const { return m_error; }

    // Reading, for checks and tools: the index of a finished executable.
    struct Contents
    {
        Info info;
        qint64 dataStart = 0;
        QList<Entry> entries;
    };
    static std::optional<Contents> read(const QString &exePath, QString *error = nullptr);
    // The bytes of one entry, checked against its CRC; nullopt when damaged.
    static std::optional<QByteArray> readEntry(const QString &exePath, const Contents &contents,
                                               const Entry &entry);

private:
    struct Source
    {
        QString name;
        QString path;
    };
    QList<Source> m_files;
    QStringList m_foldedNames;
    QString m_error;
};
