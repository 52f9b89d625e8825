#pragma once
// Pages taken from picture files, one page per picture in list order. Pictures are
// turned upright by their orientation tags, put on white where transparent, and
// made no larger than an A4 page at the quality level's resolution.

#include "pages/FlashPageSource.h"

#include <QStringList>

class FlashPageSourceImg : public FlashPageSource
{
public:
    FlashPageSourceImg() = default;

    QString sourceType() const override { return QStringLiteral("img"); }

    QStringList imageFiles() const { return m_imageFiles; }
    void setImageFiles(const QStringList &files) { m_imageFiles = files; }

    // Fails (UnreadablePicture, naming the file) when a picture is missing or is not
    // a picture format we read; the contents are read later, by the reader.
    PageResult pageUnits(QList<PageUnit> *units) const override;
    std::unique_ptr<PageReader> createReader(PageResult *result) const override;

protected:
    void writeSourceXml(QXmlStreamWriter &writer) const override;
    void readSourceXml(const QDomElement &source, const QString &workspace) override;

private:
    QStringList m_imageFiles;
};
