#pragma once
// Turns a label into a link: it keeps its text, shown as a link to an address that
// opens in the browser when clicked.

#include <QUrl>

class QLabel;

class HyperLinkString
{
public:
    static void setHyperlinkToTextField(QLabel *field, const QUrl &url);
    // The rich text a label shows for text linked to url (text and address escaped).
    static QString linkHtml(const QString &text, const QUrl &url);
};
