#pragma once
// A part of a book that keeps its own data in the project file: bookmark tabs, the
// plug-in bundle, security, the assistant, the scene, the download workspace, the book
// cover (BookPartsStore.h has those of the book's parts).
//
// The project knows nothing of a part's insides. On save it asks the part for one XML
// element and stores it as it is; on open it hands the element back. A part that
// owns files (a folder of them) names the folder, and the project keeps a copy of it
// in the project's data folder, telling the part where the copy lies once the
// project was opened or saved to a place of its own.
//
// Parts kept as a property list store it through propertyListElement() and read it
// back with propertyListFromElement().

#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

// Names of the parts the program has; a book holds at most one part of each name.
namespace BookPartName {
inline const QString Tabs = QStringLiteral("Tabs");
inline const QString PlugIn = QStringLiteral("PlugIn");
inline const QString Security = QStringLiteral("Security");
inline const QString Assistant = QStringLiteral("Assistant");
inline const QString Download = QStringLiteral("Download");
inline const QString Cover = QStringLiteral("Cover");
inline const QString Scene = QStringLiteral("Scene");
} // namespace BookPartName

class BookProjectPart
{
public:
    virtual ~BookProjectPart();

    virtual QString partName() const = 0;

    // The element to store, made in document; a null element stores none.
    virtual QDomElement projectElement(QDomDocument &document) const = 0;
    // Restores the part from the element it stored (a null element when it stored
    // none). False, with *error saying why, when the element cannot be used.
    virtual bool loadProjectElement(const QDomElement &element, QString *error) = 0;

    // The folder of files that belong to the part; empty when it has none.
    virtual QString filesFolder() const { return {}; }
    // Where the part's files are now (after an open, or a save to a new place).
    virtual void setFilesFolder(const QString &folder) { Q_UNUSED(folder); }

    // <name><plist version="1.0">...</plist></name>: a property list inside an element.
    // A null element, with *error, when value cannot be a property list. A text made
    // of blanks only (the tab of an unknown password) is kept as a CDATA section, which
    // the project's reader keeps (it drops plain text of blanks only).
    static QDomElement propertyListElement(QDomDocument &document, const QString &name, const QVariant &value,
                                           QString *error = nullptr);
    static std::optional<QVariant> propertyListFromElement(const QDomElement &element, QString *error = nullptr);
};

using BookProjectPartPtr = std::shared_ptr<BookProjectPart>;
