#pragma once
// The book configuration, files/book.xml: a record of what the book carries for
// programs that read books back (the viewer itself reads the scripts).
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <book version="1" title="..." pageCount="12" pageWidth="1080" pageHeight="1440">
//     <Tabs .../>                      the bookmark tabs, when the book has any
//     <otherAnnos>...</otherAnnos>     the extra toolbar icons, when there are any
//     <PlugIns><PlugIn .../></PlugIns> the plug-in bundle, when one is chosen
//     <pagesAnnotations .../>          the page annotations, when there are pages
//   </book>

#include "furnishings/OtherIconItem.h"

#include <QList>
#include <QString>

class BookMarkTabs;
class FlashPagesAnnotations;

struct BookXmlContent
{
    QString title;
    int pageCount = 0;
    double pageWidth = 0;
    double pageHeight = 0;
    const BookMarkTabs *tabs = nullptr;
    QList<OtherIconItem> icons; // icon pictures named by their paths in the book
    QString pluginXml;          // the PlugIn element as text; "" for none
    const FlashPagesAnnotations *annotations = nullptr;
};

QString bookXML(const BookXmlContent &content);
