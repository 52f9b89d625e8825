#pragma once
// The speaking assistant of a book: a narrating character, one narration per spread
// (AssistantResourceItem) and the play options. The narration windows edit it; the
// project keeps it (toXmlElement / fromXmlElement); the output engine copies its
// sounds into the published book (BookNarrationWriter).
//
// Texts and sounds live in the assistant's work folder. saveAssistantConfig() writes
// there "Config.xml" (the spreads and options, paths relative to the folder) and the
// package "Assistant.zip": Config.xml with the texts under "texts/" and the sounds
// under "sounds/", named after their spreads, so it can be carried elsewhere.

#include "output/narration/AssistantResourceItem.h"
#include "output/narration/AssistantSpeechItem.h"

#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

class GenerateAssistant
{
public:
    GenerateAssistant() = default;

    QList<AssistantResourceItem> &resourceList() { return m_resourceList; }
    const QList<AssistantResourceItem> &resourceList() const { return m_resourceList; }
    void setResourceList(const QList<AssistantResourceItem> &list) { m_resourceList = list; }

    // True when no spread has a text or a sound and no character is chosen.
    bool isEmpty() const;

    int totalPage() const { return m_totalPage; }
    void setTotalPage(int pages) { m_totalPage = pages; }

    AssistantSpeechItem &speechOptions() { return m_speechOptions; }
    const AssistantSpeechItem &speechOptions() const { return m_speechOptions; }
    void setSpeechOptions(const AssistantSpeechItem &options) { m_speechOptions = options; }

    // The chosen character's file; its last path component names the character.
    QString assistantFilePath() const { return m_assistantFilePath; }
    void setAssistantFilePath(const QString &path) { m_assistantFilePath = path; }

    // Where new texts and sounds are made; "Assistant" in the user's extra-data folder
    // unless the project sets its own.
    QString workFolder() const;
    void setWorkFolder(const QString &folder) { m_workFolder = folder; }
    // True when a folder was set (a book's own), not the shared default.
    bool hasOwnWorkFolder() const { return !m_workFolder.isEmpty(); }

    // Makes the list hold exactly totalPage / 2 + 1 spreads: surplus ones at the end
    // are removed, missing ones appended empty.
    void fitResourceListToPages();
    int spreadCount() const { return m_totalPage / 2 + 1; }

    // New unique paths of a ".lrc" / ".mp3" file named after the current time in the
    // work folder (created when missing). A path is never handed out twice, even
    // before its file is written (sounds are written later by a worker).
    QString newLrcFilePath();
    QString newMp3FilePath();

    // Writes Config.xml and Assistant.zip into the work folder. False with error
    // when something could not be written (an older package is then kept).
    bool saveAssistantConfig(QString *error = nullptr) const;
    // Writes the package (see above) to path, atomically.
    bool writePackage(const QString &path, QString *error = nullptr) const;
    // Reads a package written by writePackage() into folder (which becomes the work
    // folder of the result). Texts and sounds come only from inside the package; an
    // archive that is not a package, too large or unsafe is refused with *error.
    static std::optional<GenerateAssistant> readPackage(const QString &path, const QString &folder,
                                                        QString *error = nullptr);
    static constexpr qint64 kMaximumPackageSize = qint64(1) << 30;
    QString configFilePath() const;
    QString packageFilePath() const;

    // The project's form: an "Assistant" element. Paths inside baseFolder are written
    // relative to it (all paths absolute for an empty baseFolder).
    QDomElement toXmlElement(QDomDocument &document, const QString &baseFolder = QString()) const;
    // Reads that element; relative paths are resolved against baseFolder.
    static GenerateAssistant fromXmlElement(const QDomElement &element, const QString &baseFolder = QString());

private:
    QString newFilePath(const QString &extension);

    QList<AssistantResourceItem> m_resourceList;
    int m_totalPage = 0;
    AssistantSpeechItem m_speechOptions;
    QString m_assistantFilePath;
    QString m_workFolder;
    QSet<QString> m_handedOut;
};
