#pragma once
// The open book: its pages, its desktop and mobile templates, the search data of the
// desktop and mobile book, and its parts (BookParts: bookmarks, annotations, bookmark
// tabs, protection, narration, scene, plug-in bundle, downloads, cover). The
// application shell owns one; the project code (BookProject) reads it from and writes
// it to a project file, the parts through their project parts (BookPartsStore.h).
//
// A new document has empty models and no templates loaded. A book made by an import
// gets its pages in a temporary folder (createTemporaryWorkspace()); saving it as a
// project moves the pictures into the project's data folder and the temporary
// folder goes away.
//
// Parts that a project holds but no code here knows are kept and written back
// unchanged.
//
// A plain model: use it from one thread at a time.

#include "output/BookParts.h"
#include "project/BookProjectPart.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class FlashOutline;
class FlashPageSource;
class FlashPagesAnnotations;
class FlashTemplate;
class PDFSearch;
class PageImport;

class BookDocument
{
public:
    BookDocument();
    ~BookDocument();
    BookDocument(const BookDocument &) = delete;
    BookDocument &operator=(const BookDocument &) = delete;

    // The project file; empty while the book was never saved.
    QString projectFilePath() const { return m_projectFile; }
    // The folder beside the project file that holds its pages and part files.
    QString dataFolder() const { return m_dataFolder; }
    bool isUntitled() const { return m_projectFile.isEmpty(); }
    // The project file's name without extension, or "Untitled".
    QString title() const;

    std::shared_ptr<FlashPageSource> pageSource() const { return m_pageSource; }
    void setPageSource(const std::shared_ptr<FlashPageSource> &source);
    // A new empty folder to import pages into (null string when it cannot be made).
    // It belongs to this document and is removed when the book is saved as a project
    // or when the document goes away unsaved.
    QString createTemporaryWorkspace();
    // True when folder lies in one of the temporary folders of this document.
    bool isTemporaryFolder(const QString &folder) const;
    // Takes the pages, outline and search data of a finished import; the annotations
    // become one blank entry per page.
    void adoptImport(const PageImport &import);

    FlashTemplate *flashTmpl() const { return m_template.get(); }
    FlashTemplate *mobileTemplate() const { return m_mobileTemplate.get(); }
    // Loads the program's default desktop and mobile templates.
    bool loadDefaultTemplates(QString *error = nullptr);

    // The book's parts; the editors change its models in place.
    BookParts &parts() { return m_bookParts; }
    const BookParts &parts() const { return m_bookParts; }
    // The user and password that opened a protected project (empty user for a book of
    // one password); none for a book that asked nothing. Not saved: it lasts while the
    // book is open, so the preview does not ask for it again.
    struct AccessAnswer
    {
        QString user;
        QString password;
    };
    const std::optional<AccessAnswer> &accessAnswer() const { return m_accessAnswer; }
    void setAccessAnswer(const std::optional<AccessAnswer> &answer) { m_accessAnswer = answer; }

    std::shared_ptr<FlashOutline> flashOutline() const { return m_bookParts.outline(); }
    void setFlashOutline(const std::shared_ptr<FlashOutline> &outline) { m_bookParts.setOutline(outline); }
    std::shared_ptr<PDFSearch> pdfSearch() const { return m_pdfSearch; }
    void setPdfSearch(const std::shared_ptr<PDFSearch> &search);
    std::shared_ptr<PDFSearch> mobileSearch() const { return m_mobileSearch; }
    void setMobileSearch(const std::shared_ptr<PDFSearch> &search);
    std::shared_ptr<FlashPagesAnnotations> pagesAnnotations() const { return m_bookParts.annotations(); }
    void setPagesAnnotations(const std::shared_ptr<FlashPagesAnnotations> &annotations)
    {
        m_bookParts.setAnnotations(annotations);
    }

    // The project parts that keep the book's parts in a project.
    BookProjectPartPtr projectPart(const QString &name) const;
    QList<BookProjectPartPtr> projectParts() const { return m_projectParts; }

private:
    friend class BookProjectReader;
    friend class BookProjectWriter;
    friend class ProjectBackup;

    // A part stored in the project that no code of this document knows.
    struct KeptPart
    {
        QString name;
        QString elementXml;
        QString folder; // absolute; empty when it has no files
    };

    void removeTemporaryFolders();
    // Leaves a part out of the saved project (its element is kept as it was read).
    void removeProjectPart(const QString &name);
    // Makes the document untitled again (its files stay where they are).
    void detachFromProject();

    QString m_projectFile;
    QString m_dataFolder;
    QStringList m_temporaryRoots;
    // The folders the project on disk names (pages, part files, template resources),
    // by their key in the project, as absolute paths.
    QHash<QString, QString> m_storedFolders;
    QList<KeptPart> m_keptParts;

    std::shared_ptr<FlashPageSource> m_pageSource;
    std::unique_ptr<FlashTemplate> m_template;
    std::unique_ptr<FlashTemplate> m_mobileTemplate;
    std::shared_ptr<PDFSearch> m_pdfSearch;
    std::shared_ptr<PDFSearch> m_mobileSearch;
    BookParts m_bookParts;
    std::optional<AccessAnswer> m_accessAnswer;
    QList<BookProjectPartPtr> m_projectParts;
};
