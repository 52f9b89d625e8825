#pragma once
// One page of a book: the file that shows it (a picture, or a movie for the old
// viewer) and its page number counted from 1.
//
// A page made by an import also remembers where it came from: the page of the
// source document (or the picture, counted from 0) and which part of it (the whole
// page, or the left or right half of a split wide page), so that a lost picture can
// be made again from the source. Pages brought in from elsewhere have no origin
// (sourcePage() is -1).

#include <QString>
#include <memory>

class FlashPage
{
public:
    enum class Part { Whole, Left, Right };

    FlashPage() = default;
    virtual ~FlashPage() = default;

    QString pageFilePath() const { return m_pageFilePath; }
    void setPageFilePath(const QString &path) { m_pageFilePath = path; }
    int pageIndex() const { return m_pageIndex; }
    void setPageIndex(int index) { m_pageIndex = index; }

    int sourcePage() const { return m_sourcePage; }
    Part sourcePart() const { return m_sourcePart; }
    void setOrigin(int sourcePage, Part part = Part::Whole)
    {
        m_sourcePage = sourcePage;
        m_sourcePart = part;
    }
    bool hasOrigin() const { return m_sourcePage >= 0; }

    virtual bool isImage() const { return false; }
    // A new page of the same kind with the same values.
    virtual std::shared_ptr<FlashPage> clone() const { return std::make_shared<FlashPage>(*this); }

private:
    QString m_pageFilePath;
    int m_pageIndex = 0;
    int m_sourcePage = -1;
    Part m_sourcePart = Part::Whole;
};

// A page shown by a picture file.
class FlashPageImage : public FlashPage
{
public:
    bool isImage() const override { return true; }
    std::shared_ptr<FlashPage> clone() const override { return std::make_shared<FlashPageImage>(*this); }
};

using FlashPagePtr = std::shared_ptr<FlashPage>;
