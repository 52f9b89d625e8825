#pragma once
// Writes a web content system package holding a converted book: a WordPress plug-in,
// a Joomla module (for Joomla 2.5 and later, or 1.5) or a Drupal module (7 or 6).
//
//   PublishPlugin plugin;
//   plugin.setConvertPara(para);            // output folder, output name, title
//   plugin.setStrWidth("100%");  plugin.setStrHeight("600px");
//   plugin.setStrVersion("2.5"); plugin.setStrID("3");
//   plugin.publishJoomlaPlugin();           // on a worker thread; poll convertStatus()
//
// The package is "<output folder>/<output name>" with ".zip" added unless the name
// already ends in it. What each holds (<slug> is made from the output name):
//   WordPress  <slug>/<slug>.php (plug-in header, shortcode [<slug with _>]) and
//              <slug>/book/ with the book
//   Joomla     mod_<slug>_<id>.xml (manifest), mod_<slug>_<id>.php, index.html, book/
//   Drupal     <slug>_<id>/<slug>_<id>.info, .module (a block showing the book), book/
// Each shows the book in the same block: a width in percent is of the column the block
// stands in, a height in percent keeps the book's shape (the spread of book.xml's page
// size above the viewer's toolbar), a pixel height stays as given. Texts that go into
// PHP, XML, HTML or the Drupal .info file are escaped for that place; a width or
// height that is not a number with a CSS unit is refused.

#include "batch/ConvertParament.h"

#include <QMutex>
#include <QString>
#include <atomic>
#include <functional>

class PublishPlugin
{
public:
    static constexpr int kRunning = 1;
    static constexpr int kFinished = 2;
    static constexpr int kFailed = 128;

    PublishPlugin();
    PublishPlugin(const PublishPlugin &) = delete;
    PublishPlugin &operator=(const PublishPlugin &) = delete;

    void setConvertPara(const ConvertParament &para) { m_para = para; }
    void setStrWidth(const QString &width) { m_width = width; }
    void setStrHeight(const QString &height) { m_height = height; }
    // The system's version: Joomla "2.5" (or any text starting "2.5") / "1.5";
    // Drupal "7" / "6". WordPress ignores it.
    void setStrVersion(const QString &version) { m_version = version; }
    // The module id (digits) of Joomla and Drupal modules; "1" when empty.
    void setStrID(const QString &id) { m_id = id; }

    // The converted book: folder and main page; the upload folder's "book" and
    // "book.html" unless set.
    void setBookFolder(const QString &folder) { m_bookFolder = folder; }
    void setBookPage(const QString &page) { m_bookPage = page; }

    // A flag that stops a running package (it then fails and leaves no file); set
    // from any thread. And a handler told the part of the archive written (0 to 1).
    void setStopFlag(const std::atomic_bool *stop) { m_stop = stop; }
    void setProgressHandler(std::function<void(double)> handler) { m_progress = std::move(handler); }

    // Each sets the status to 1, writes the package and ends with 3, or with
    // 1 + 2 + 128 on failure (errorString() says why). Returns whether it succeeded.
    bool publishWordPressPlugin();
    bool publishJoomlaPlugin();
    bool publishDrupalPlugin();

    int convertStatus() const { return m_status.load(); }
    void setConvertStatus(int status) { m_status.store(status); }

    QString packagePath() const;
    QString errorString() const;

    // Name pieces, public for the dialog and for checks: the slug is the output name
    // (".zip" removed) spelt in lower-case ASCII letters and digits joined by "-"
    // (accents dropped, other scripts transliterated), at most 40 characters. A name with
    // letters of other scripts, or one that leaves nothing, ends in six hexadecimal
    // digits of its own, so that two such names never meet ("flipbook" for no name).
    static QString slugForName(const QString &outputName);
    // The folder a package of kind (6, 7 or 8) installs as on its site: the plug-in
    // folder, "mod_<slug>_<id>", "<slug>_<id>".
    static QString installName(int kind, const QString &outputName, const QString &id);
    // Another package in the folder of target (a ".zip" other than target itself) that
    // installs as name: a site keeps only one of the two. Its file name, or empty.
    static QString otherPackageInstallingAs(const QString &target, const QString &name);
    // A width or height: a number with an optional unit (%, px, em, rem, vw, vh, pt);
    // a bare number gets "px". Empty when the text is none of these.
    static QString cssLength(const QString &text);

private:
    enum class Kind { WordPress, Joomla, Drupal };
    bool publish(Kind kind);
    bool finish(bool ok, const QString &error = QString());

    ConvertParament m_para;
    QString m_width = QStringLiteral("100%");
    QString m_height = QStringLiteral("100%");
    QString m_version;
    QString m_id;
    QString m_bookFolder;
    QString m_bookPage;
    const std::atomic_bool *m_stop = nullptr;
    std::function<void(double)> m_progress;
    std::atomic_int m_status{0};
    mutable QMutex m_mutex;
    QString m_error;
};
