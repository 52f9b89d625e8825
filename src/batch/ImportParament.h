#pragma once
// The settings of one page import: which files, how to open them and how to render
// them. The import dialog fills it, the page import reads it, and batch conversion
// keeps one per queued document (stored through toDictionary / fromDictionary).

#include <QString>
#include <QStringList>
#include <QVariantMap>

struct ImportParament
{
    // One PDF file, or a list of picture files in page order.
    QStringList sourceFiles;
    // Password of a protected PDF; empty when none is known.
    QString strPassword;
    // "ALL" or a range expression such as "1-3,5,8-".
    QString strPageRange = QStringLiteral("ALL");
    // Rendering quality 0 (best), 1 or 2; see ImageUtility::getImageDPIByLevel().
    int iQualityLevel = 0;
    // Wide pages: 0 kept whole, 1 pages wider than tall split in two, 2 every page split.
    int iWidePageMode = 0;

    // True when the source is a PDF document (by its extension).
    bool isPDFImport() const;

    QVariantMap toDictionary() const;
    // Missing or mistyped values keep their defaults.
    static ImportParament fromDictionary(const QVariantMap &dictionary);

    friend bool operator==(const ImportParament &, const ImportParament &) = default;
};
