#pragma once
// One share button of the viewer, and the share-links XML that lists a book's buttons
// (the value of the template setting "socialShareLinks"):
//   <shareLinks>
//     <shareLink title="E-mail" link="mailto:?subject=${title}&amp;body=${url}" logo="STYLE_RESOURCE:shares/email.png"/>
//   </shareLinks>
// The viewer fills the macros ${title}, ${url}, ${url_no_page}, ${url_parent} and
// ${url_top} in the link. A button without a logo of its own shows the program's logo
// for its link's site (iconFileForURL), drawn by tools/shares into "dataFiles/Shares/"
// beside the default collection "sharelinks.xml".

#include <QList>
#include <QString>

class ShareLinksItem
{
public:
    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    QString links() const { return m_links; }
    void setLinks(const QString &links) { m_links = links; }
    QString logo() const { return m_logo; } // picture file (a template file value)
    void setLogo(const QString &logo) { m_logo = logo; }
    bool isSelected() const { return m_selected; }
    void setIsSelected(bool selected) { m_selected = selected; }

    // The buttons of a share-links text, in order; empty for empty or unreadable text.
    static QList<ShareLinksItem> parseByXmlString(const QString &xml);
    // The share-links text of buttons (the check marks are not part of it); "" for none.
    static QString generateShareLinksToXml(const QList<ShareLinksItem> &items);

    // The program's folder of share logos and the default collection.
    static QString shareLinsLogoInAppPath();
    // The site part of a link: after "://" (when there is one), before the next "/".
    static QString hostOfLink(const QString &link);
    // The program's logo for a link: the first part of its site (split at "." and ":")
    // that names a "<part>.ico" in shareLinsLogoInAppPath(); "" when none does.
    // "mailto:..." finds "mailto.ico".
    static QString iconFileForURL(const QString &link);

    bool operator==(const ShareLinksItem &other) const = default;

private:
    QString m_title;
    QString m_links;
    QString m_logo;
    bool m_selected = false;
};
