#pragma once
// Puts the speaking assistant's narration into a written web book: each spread's sound
// is copied to files/narration/<spread name>.mp3 and files/narration.js tells the
// viewer's player which sound belongs to which spread and how to play them
// (docs/book-security.md, "Narration"). The assistant's character, when it is one of the
// installed characters, goes with them as files/narration/character.png. The phone version, when present, gets its own
// mobile/files/narration.js naming the same sounds.

#include "output/narration/GenerateAssistant.h"

#include <QString>

class BookNarrationWriter
{
public:
    explicit BookNarrationWriter(const GenerateAssistant &assistant);

    // True when written, or when the assistant has no sound at all (nothing is written
    // then). False with errorString() when a sound cannot be copied or the script
    // cannot be written.
    bool writeToBook(const QString &bookFolder);
    QString errorString() const { return m_error; }

    // Spreads that got a sound by the last writeToBook().
    int soundCount() const { return m_soundCount; }

    static QString scriptPath() { return QStringLiteral("files/narration.js"); }
    static QString soundFolder() { return QStringLiteral("files/narration"); }

private:
    const GenerateAssistant &m_assistant;
    QString m_error;
    int m_soundCount = 0;
};
