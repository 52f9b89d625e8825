#include "output/BookParts.h"

#include "annotations/FlashPagesAnnotations.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/FlashOutline.h"
#include "output/narration/GenerateAssistant.h"
#include "output/security/BookSecurity.h"

BookParts::BookParts()
    : m_outline(std::make_shared<FlashOutline>()),
      m_annotations(std::make_shared<FlashPagesAnnotations>()),
      m_tabs(std::make_shared<BookMarkTabs>()),
      m_security(std::make_shared<BookSecurity>())
{
}

void BookParts::setOutline(std::shared_ptr<FlashOutline> outline)
{
    m_outline = outline ? std::move(outline) : std::make_shared<FlashOutline>();
}

void BookParts::setAnnotations(std::shared_ptr<FlashPagesAnnotations> annotations)
{
    m_annotations = annotations ? std::move(annotations) : std::make_shared<FlashPagesAnnotations>();
}

void BookParts::setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs)
{
    m_tabs = tabs ? std::move(tabs) : std::make_shared<BookMarkTabs>();
}

void BookParts::setSecurity(std::shared_ptr<BookSecurity> security)
{
    m_security = security ? std::move(security) : std::make_shared<BookSecurity>();
}

bool BookParts::isProtected() const
{
    return m_security->securityType() != BookSecurity::NoSecurity;
}

bool BookParts::holdsSecrets() const
{
    return !m_security->password().isEmpty() || !m_security->usersList().isEmpty();
}

bool BookParts::hasPluginBundle() const
{
    return !m_pluginBundleName.isEmpty() && m_pluginBundleName.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0;
}

bool BookParts::coverShowsAnyOf(const QList<int> &pages) const
{
    if (m_coverFile.isEmpty() || pages.isEmpty())
        return false;
    if (!m_coverPages)
        return true;
    return std::any_of(m_coverPages->cbegin(), m_coverPages->cend(), [&pages](int page) { return pages.contains(page); });
}

void BookParts::coverPageInserted(int page)
{
    if (!m_coverPages)
        return;
    for (int &shown : *m_coverPages)
        if (shown >= page)
            ++shown;
}

BookParts BookParts::copy() const
{
    BookParts c = *this;
    c.m_outline = m_outline->deepCopy();
    c.m_annotations = std::make_shared<FlashPagesAnnotations>(*m_annotations);
    c.m_tabs = std::make_shared<BookMarkTabs>(*m_tabs);
    c.m_security = std::make_shared<BookSecurity>(*m_security);
    c.m_assistant = m_assistant ? std::make_shared<GenerateAssistant>(*m_assistant) : nullptr;
    return c;
}
