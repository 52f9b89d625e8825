#pragma once
// The viewer configuration of a book (bookConfig in files/config.js, keys in
// docs/book-format.md) made from a template's settings: booleans become true/false,
// colours "#RRGGBB", numbers numbers; file settings are copied into the book; the
// XML-valued settings become the viewer's lists. Settings the template lacks are left
// out, so the viewer uses its own defaults for them. The furnishings kept as settings
// (captions, share links, the viewer menu, extra icons, toolbar icon archives) are read
// through their models; every file they name that is copied into the book is a picture.

#include "furnishings/OtherIconItem.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>

class BookResources;
class FlashTemplate;

struct ViewerPage
{
    QString normal, large, thumb, small, swf; // URL paths relative to the home page, "" for none
};

class ViewerConfig
{
public:
    // prefix leads from the home page's folder to the book folder ("" for the desktop
    // book, "../" for the phone version); workFolder is for unpacked archives.
    ViewerConfig(const FlashTemplate &tmpl, BookResources &resources, const QString &prefix, const QString &workFolder);

    // The configuration object. Copies the files the settings name into the book.
    // records: the pages' records as pageRecordsValue() makes them from pages, when the
    // caller has them already (the same pages written again); made here when undefined.
    QJsonObject build(const QString &title, const QList<ViewerPage> &pages, const QJsonValue &records = QJsonValue::Undefined);
    // The "pages" value of the configuration: the pages' records, as patterns for a large book.
    static QJsonValue pageRecordsValue(const QList<ViewerPage> &pages);

    // The extra toolbar icons of the last build, their pictures named by their paths
    // in the book; empty when the template has none.
    QList<OtherIconItem> extraIconItems() const { return m_icons; }

    // Where the template leaves the page size to the book (pageWidth and pageHeight at
    // their defaults, or not settings of it at all), the configuration's page height is
    // made to fit the pictures: the template's width, and the height that gives the
    // ratio of the most common picture size among pictureFiles (commonPictureSize).
    // Pictures are then shown whole, without bands around them. False when the template
    // sets the size or no picture can be read.
    static bool fitPageSizeToPictures(QJsonObject &config, const FlashTemplate &tmpl, const QSize &commonPicture);
    // The most common size of the pictures (a cover or a fold-out of another size does
    // not decide); empty when none can be read. Reads every picture's header.
    static QSize commonPictureSize(const QStringList &pictureFiles);
    // The page records of a configuration's "pages" as a list, whether written as one
    // or, for a large book, as patterns with the records that differ (docs/book-format.md).
    static QJsonArray pageRecords(const QJsonValue &pages);

    // Text of the configuration script: "var bookConfig = {...};\n", followed by the
    // bookmark tabs script and a line break when tabsScript is not empty.
    static QString script(const QJsonObject &config, const QString &tabsScript);

private:
    void addPlainSettings(QJsonObject &config);
    QJsonArray shareButtons();
    QJsonArray extraIcons();
    QJsonArray menuItems() const;
    QJsonObject toolbarIcons();
    QString picture(const QString &file, const QString &sub, const QString &base);

    const FlashTemplate &m_tmpl;
    BookResources &m_resources;
    QString m_prefix;
    QString m_workFolder;
    QList<OtherIconItem> m_icons;
};
