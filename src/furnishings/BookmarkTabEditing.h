#pragma once
// One run of the tab dialog over a book's tabs: adding tabs one after another, or
// stepping through the existing ones to change them. The dialog moves its form in and
// out; the steps here decide which tab the form belongs to and what is proposed next.
//
// currentRow is the tab in the form; it equals the tab count while a new tab is being
// typed. Adding proposes every tab two pages after the one before (1, 3, 5, ...): a
// proposal one page past the book becomes its last page, one further past is asked
// about once per run.

#include <QColor>
#include <QString>

class BookMarkTabs;

class BookmarkTabEditing
{
public:
    enum Type { AddTabs = 0, ModifyTabs = 1 };

    struct Fields
    {
        QString caption;
        QString page; // as typed
        QColor color;
    };

    // Modifying begins at the last tab when currentRow lies past it; with no tabs at
    // all there is nothing to modify and the run adds tabs instead.
    BookmarkTabEditing(BookMarkTabs &tabs, int type, int currentRow, qint64 totalPage);

    int type() const { return m_type; }
    int currentRow() const { return m_currentRow; }
    qint64 totalPage() const { return m_totalPage; }
    // True while the form holds a tab not yet in the list.
    bool isNewRow() const;

    // The page of a new tab typed after the last one: its page plus 2 (1 without tabs).
    qint64 pageForNewTab() const;
    // The tab at currentRow as the form shows it (its colour with the tabs' opacity).
    Fields loadCurrentItem() const;
    // Writes the form into the tab at currentRow; true when its page, caption or colour
    // changed. An invalid colour is written as black.
    bool modifyCurrentItem(const Fields &fields);
    // Keeps the form (the tab at currentRow, or a new tab appended) and moves on: to the
    // next tab, or, when adding, to a further new one. True when the tabs changed.
    bool saveCurrentItem(const Fields &fields);
    // One tab back, not before the first.
    void stepBack();

    struct Proposal
    {
        qint64 page = 1;
        bool ask = false; // the page lies beyond the book: ask before using it
    };
    // The page offered for the new tab that follows a tab on page entered.
    Proposal proposeNextPage(qint64 entered) const;
    // The user agreed to tabs beyond the book; not asked again in this run.
    void acceptPagesBeyondBook() { m_pagesBeyondAccepted = true; }

    // A light colour for a tab (each channel 155 to 254 of 255) with the given opacity.
    static QColor generateColorByRand(double alpha);
    // The colour of a tab's text with the given opacity.
    static QColor HexToColor(const QString &text, double alpha);
    // The page number at the start of typed text (0 when there is none).
    static qint64 pageNumber(const QString &text);

private:
    BookMarkTabs &m_tabs;
    int m_type;
    int m_currentRow;
    qint64 m_totalPage;
    bool m_pagesBeyondAccepted = false;
};
