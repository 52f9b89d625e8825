#pragma once
// The user's collection of share buttons, from which the share links editor picks the
// buttons of a book. It is kept in ".shareLinks" of the user's data folder; before the
// first save the program's default collection "sharelinks.xml" stands in for it. The
// collection keeps no check marks: the marks say which buttons the book has.

#include "furnishings/ShareLinksItem.h"

#include <QList>
#include <QString>

namespace ShareLinksCollection {

QString collectionFile();
QString defaultCollectionFile();
QList<ShareLinksItem> defaultCollection();
// The user's collection, or the default one when the user has none yet.
QList<ShareLinksItem> userCollection();

// The editor's list for a book whose share links are bookXml: the collection with the
// book's buttons checked. A book button checks the collection's button with the same
// link text (the last of several); a button the collection lacks is appended, checked.
QList<ShareLinksItem> collectionForBook(const QString &bookXml);

// Writes the collection to collectionFile(), atomically.
bool saveCollection(const QList<ShareLinksItem> &items, QString *error = nullptr);

// The share links of the checked buttons, in collection order; "" when none is checked.
QString checkedLinksXml(const QList<ShareLinksItem> &items);

} // namespace ShareLinksCollection
