#pragma once
// The web page settings of a published book: what goes into its home page.
//
// extendKeyDict holds extra page keys:
//   "loadType"         0 .. 3, which viewer a reader gets (docs/book-format.md); 0 when absent
//   "meta.shareImage"  the Open Graph picture: a web address, or a picture file that is
//                      copied into the book; when absent the engine's shot file is used

#include <QString>
#include <QVariantMap>

class ConvertParament;

class HTMLConfigInfo
{
public:
    HTMLConfigInfo() = default;
    // Title, keywords, description, extra script and load type of an output record.
    static HTMLConfigInfo fromConvertParament(const ConvertParament &parament);

    QString HTMLTitle() const { return m_title; }
    void setHTMLTitle(const QString &title) { m_title = title; }
    QString HTMLKeywords() const { return m_keywords; }
    void setHTMLKeywords(const QString &keywords) { m_keywords = keywords; }
    QString HTMLDescription() const { return m_description; }
    void setHTMLDescription(const QString &description) { m_description = description; }
    // Markup put at the end of the home page's head as written (never escaped).
    QString HTMLScript() const { return m_script; }
    void setHTMLScript(const QString &script) { m_script = script; }
    // Further markup of the program's own (e.g. a web content system's), after HTMLScript.
    QString otherScript() const { return m_otherScript; }
    void setOtherScript(const QString &script) { m_otherScript = script; }
    bool hasHtmlWindow() const { return m_hasHtmlWindow; }
    void setHasHtmlWindow(bool on) { m_hasHtmlWindow = on; }
    // Whether the book gets a phone version (also needs a load type other than 2).
    bool hasMobileVersion() const { return m_hasMobileVersion; }
    void setHasMobileVersion(bool on) { m_hasMobileVersion = on; }
    bool hasBasicHtml() const { return m_hasBasicHtml; }
    void setHasBasicHtml(bool on) { m_hasBasicHtml = on; }

    QVariantMap &extendKeyDict() { return m_extend; }
    const QVariantMap &extendKeyDict() const { return m_extend; }

    // The load type of "loadType": 0 .. 3, 0 for anything else.
    int loadType() const;
    void setLoadType(int type);

private:
    QString m_title;
    QString m_keywords;
    QString m_description;
    QString m_script;
    QString m_otherScript;
    bool m_hasHtmlWindow = true;
    bool m_hasMobileVersion = true;
    bool m_hasBasicHtml = false;
    QVariantMap m_extend;
};
