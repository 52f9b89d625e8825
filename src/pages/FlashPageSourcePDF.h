#pragma once
// Pages taken from a PDF document: the pages picked by the page range, wide pages
// split as the wide-page mode says, each rendered with poppler at the quality
// level's resolution.

#include "pages/FlashPageSource.h"

class FlashPageSourcePDF : public FlashPageSource
{
public:
    FlashPageSourcePDF() = default;

    QString sourceType() const override { return QStringLiteral("pdf"); }

    QString pdfFile() const { return m_pdfFile; }
    void setPdfFile(const QString &file) { m_pdfFile = file; }
    // Kept in memory only, never saved with the project.
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    QString pageRange() const { return m_pageRange; }
    void setPageRange(const QString &range) { m_pageRange = range; }
    int widePageMode() const { return m_widePageMode; }
    void setWidePageMode(int mode) { m_widePageMode = mode; }

    // The number of pages of the PDF; -1 when it cannot be opened (missing, damaged,
    // or protected by a password not given).
    int documentPageCount() const;

    PageResult pageUnits(QList<PageUnit> *units) const override;
    std::unique_ptr<PageReader> createReader(PageResult *result) const override;

protected:
    void writeSourceXml(QXmlStreamWriter &writer) const override;
    void readSourceXml(const QDomElement &source, const QString &workspace) override;

private:
    QString m_pdfFile;
    QString m_password;
    QString m_pageRange = QStringLiteral("ALL");
    int m_widePageMode = 0;
};
