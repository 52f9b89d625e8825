#pragma once
// The narration of one spread of the book: a text spoken by a system voice into an
// MP3 file (type 0), or an MP3 file the user imported (type 1).
//
// Spread 0 is page 1 alone; spread i (i >= 1) holds pages 2i and 2i+1, or page 2i
// alone when it is the last page of a book with an even page count.

#include <QList>
#include <QString>
#include <QVariantMap>

class AssistantResourceItem
{
public:
    enum Type { TextToSpeech = 0, ImportedMp3 = 1 };

    QString lrcFile() const { return m_lrcFile; } // the narration text (UTF-8)
    void setLrcFile(const QString &path) { m_lrcFile = path; }
    QString mp3File() const { return m_mp3File; } // the sound generated from the text
    void setMp3File(const QString &path) { m_mp3File = path; }
    QString importmp3File() const { return m_importmp3File; }
    void setImportmp3File(const QString &path) { m_importmp3File = path; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }

    // The sound the spread plays: the generated one for type 0, else the imported one.
    QString soundFile() const { return m_type == TextToSpeech ? m_mp3File : m_importmp3File; }
    bool isEmpty() const;

    // The name of spread index of a book of totalPage pages: "1", "2_3", ..., "6".
    static QString resourceNameForPage(int index, int totalPage);
    // "%i" of the page that is not -1 when one is -1, else "left_right".
    static QString resourceNameWithLeftPage(int leftPage, int rightPage);
    // The pages (from 1) spread index shows, those past the book's end left out.
    static QList<int> pagesOfSpread(int index, int totalPage);

    // The project's form: "lrcFile", "mp3File", "importmp3File", "type".
    QVariantMap toDictionary() const;
    static AssistantResourceItem fromDictionary(const QVariantMap &dictionary);

    bool operator==(const AssistantResourceItem &other) const = default;

private:
    static std::pair<int, int> spreadPages(int index, int totalPage);

    QString m_lrcFile;
    QString m_mp3File;
    QString m_importmp3File;
    int m_type = TextToSpeech;
};
