#pragma once
// One extra toolbar icon of the viewer, and the icons list file that holds a book's
// icons (the path of that file is the template setting "otherIconsConfig"):
//   <iconsList>
//     <item caption="Shop" file="/home/ann/shop.png" type="1" content="https://..." target="Blank"/>
//   </iconsList>
// Types: 0 go to the page in content, 1 open the address in content (in target),
// 2 run the script in content.

#include <QList>
#include <QString>
#include <optional>

class QXmlStreamWriter;

// The address given to icons made from dropped pictures until the user sets their own.
inline const QString APP_HOME_PAGE = QStringLiteral("https://example.com/");

class OtherIconItem
{
public:
    enum Type { GoToPage = 0, OpenLink = 1, CallScript = 2 };

    OtherIconItem() = default;

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }
    QString file() const { return m_file; } // the icon picture
    void setFile(const QString &file) { m_file = file; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    QString content() const { return m_content; }
    void setContent(const QString &content) { m_content = content; }
    QString target() const { return m_target; }
    void setTarget(const QString &target) { m_target = target; }

    // The icons of a list file in order; nothing when the file is missing, is not XML
    // or its root is not iconsList. A child of another name than item gives an icon
    // with the initial values.
    static std::optional<QList<OtherIconItem>> iconListFromFile(const QString &path);
    // Writes the list to path, UTF-8, atomically; when path names no existing file the
    // list goes to "iconsList" in a new folder of newIconListFolder() instead. Returns
    // the path written, or "" when it could not be written (a file at path stays as
    // it was).
    static QString saveIconList(const QList<OtherIconItem> &icons, const QString &path);
    // The text saveIconList writes.
    static QByteArray iconListText(const QList<OtherIconItem> &icons);
    // A new empty temporary folder for a list file the editor makes ("" when it cannot
    // be made). The design settings keep a copy of their own of the lists they take,
    // so the lists of earlier runs go with the temporary folders.
    static QString newIconListFolder();
    // The list file that holds an edited list: inputFile itself when it exists and its
    // text, as read before the edit (inputDigest: MD5 of that text), is what the list
    // writes, so nothing changed; otherwise a new file "iconsList" in a new folder.
    // inputFile is never written: undo and other books may still name it. "" when no
    // file could be written.
    static QString fileForEditedList(const QList<OtherIconItem> &icons, const QString &inputFile,
                                     const QString &inputDigest);

    // The otherAnnos element of the book configuration: a toolbarLeftAnotations element
    // with one annotation per icon (gotoPageAnno, linkAnno or scriptAnno by type; an icon
    // of another type is left out). Nothing is written for an empty list.
    static void writeOtherAnnos(QXmlStreamWriter &writer, const QList<OtherIconItem> &icons);
    // The same as text; "" for an empty list.
    static QString otherAnnosXMLForIcons(const QList<OtherIconItem> &icons);

    bool operator==(const OtherIconItem &other) const = default;

private:
    QString m_caption;
    QString m_file;
    int m_type = GoToPage;
    QString m_content;
    QString m_target;
};
