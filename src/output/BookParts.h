#pragma once
// The parts of a book besides its pages, templates and search text: what the author
// adds with the editors and every book published from it carries.
//
//   outline          the bookmarks (FlashOutline)
//   annotations      the links and media of the pages (FlashPagesAnnotations)
//   bookmarkTabs     the coloured index tabs (BookMarkTabs)
//   security         the protection (BookSecurity; type 0 is none)
//   assistant        the narration (GenerateAssistant; none when null)
//   scene            the picture layers around the book (BookScene; none when empty)
//   pluginBundleName the plug-in bundle ("" or "none" for none; PluginBundle)
//   downloadWorkspace the download configuration's folder ("" for none; DownloadCfgItem)
//   coverFile        the book cover made for it, the share picture of its home page
//                    (it lies in a folder of its own, which a project keeps whole)
//   coverPages       the pages the cover shows (made from, or made into), so that a
//                    protected book never shows it when one of them is protected
//
// The furnishings that are settings of the viewer template — page captions, share
// links, the viewer menu, extra toolbar icons, toolbar icon files, the preloader — are
// kept by the template, and the engine reads them from there.
//
// The open book holds one value (BookDocument::parts()) whose models the editors change
// on the main thread; the project saves and restores it part by part. An output job or
// a preview rebuild takes copy(): its own models, so it reads nothing the editors go on
// changing.

#include "furnishings/BookScene.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

class BookMarkTabs;
class BookSecurity;
class FlashOutline;
class FlashPagesAnnotations;
class GenerateAssistant;

class BookParts
{
public:
    // Every model empty: no bookmarks, tabs, protection, narration, scene, bundle,
    // downloads or cover.
    BookParts();

    std::shared_ptr<FlashOutline> outline() const { return m_outline; }
    void setOutline(std::shared_ptr<FlashOutline> outline); // null: an empty outline
    std::shared_ptr<FlashPagesAnnotations> annotations() const { return m_annotations; }
    void setAnnotations(std::shared_ptr<FlashPagesAnnotations> annotations); // null: none
    std::shared_ptr<BookMarkTabs> bookmarkTabs() const { return m_tabs; }
    void setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs); // null: no tabs
    std::shared_ptr<BookSecurity> security() const { return m_security; }
    void setSecurity(std::shared_ptr<BookSecurity> security); // null: not protected
    std::shared_ptr<GenerateAssistant> assistant() const { return m_assistant; }
    void setAssistant(std::shared_ptr<GenerateAssistant> assistant) { m_assistant = std::move(assistant); }
    const BookScene &scene() const { return m_scene; }
    void setScene(const BookScene &scene) { m_scene = scene; }
    QString pluginBundleName() const { return m_pluginBundleName; }
    void setPluginBundleName(const QString &name) { m_pluginBundleName = name; }
    QString downloadWorkspace() const { return m_downloadWorkspace; }
    void setDownloadWorkspace(const QString &folder) { m_downloadWorkspace = folder; }
    QString coverFile() const { return m_coverFile; }
    void setCoverFile(const QString &file) { m_coverFile = file; }
    // The pages (from 1) the cover shows: the page its picture was taken from and the
    // page it was made into; nullopt when that is not known (a cover of an older
    // project, or one set without saying), which counts as showing every page.
    std::optional<QList<int>> coverPages() const { return m_coverPages; }
    void setCoverPages(std::optional<QList<int>> pages) { m_coverPages = std::move(pages); }
    // Whether the cover may show one of pages.
    bool coverShowsAnyOf(const QList<int> &pages) const;
    // A page was inserted before page (from 1): the cover's pages from there move on.
    void coverPageInserted(int page);

    bool isProtected() const;
    // True when the protection keeps a password or users (their passwords).
    bool holdsSecrets() const;
    bool hasPluginBundle() const;

    // A deep copy: new models holding the same data.
    BookParts copy() const;

private:
    std::shared_ptr<FlashOutline> m_outline;
    std::shared_ptr<FlashPagesAnnotations> m_annotations;
    std::shared_ptr<BookMarkTabs> m_tabs;
    std::shared_ptr<BookSecurity> m_security;
    std::shared_ptr<GenerateAssistant> m_assistant;
    BookScene m_scene;
    QString m_pluginBundleName;
    QString m_downloadWorkspace;
    QString m_coverFile;
    std::optional<QList<int>> m_coverPages;
};
