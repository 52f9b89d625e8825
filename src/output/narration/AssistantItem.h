#pragma once
// One narration character the assistant tab offers: its name, its picture (the
// character's file) and the preview the picker shows. The first item of a list is the
// none entry: a book whose assistant has no character.
//
// Characters are PNG pictures: those of the program in resources/assistants/ and
// those of the user in the per-user resource folder "Assistants".

#include <QList>
#include <QString>

class AssistantItem
{
public:
    QString bgName;       // the name shown
    QString bgPath;       // the character's file ("" for the none entry)
    QString shotFilePath; // the picture the picker shows

    bool isNone() const { return bgPath.isEmpty(); }

    // The none entry.
    static AssistantItem defaultSetting();
    // The none entry, then the program's characters, then the user's (and those of
    // extraFolder when given), each folder by name.
    static QList<AssistantItem> collectAssistantList(const QString &extraFolder = QString());
    // The index of the item whose file has the last path component of path; 0 (none)
    // when there is none or path is empty.
    static int indexOfCharacter(const QList<AssistantItem> &list, const QString &path);

    static QString applicationFolder();
    static QString userFolder();
};
