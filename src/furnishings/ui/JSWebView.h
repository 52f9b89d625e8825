#pragma once
// The controller of an online gallery page (backgrounds, scenes) in a web view: it
// loads the page, learns which items the page offers in one query once it has
// loaded, reports clicks on the page's elements, downloads what the page's buttons
// ask for, installs it, and keeps the page's buttons in step with what is installed.
//
// The page (ours or anyone's) follows this contract, n being an entry number:
//   element ids  "btnStyle<n>" (download button; its attributes "stylename",
//                "styleurl", "tmplversion", "tmplurl" form the download request),
//                "btnApply<n>", "btnCancel<n>", "bg-kuangID<n>" (the entry's frame),
//                "normal_btnStyle<n>", "downloading_btnStyle<n>", "installed_btnStyle<n>"
//   functions    getDownloadTemplateName(id), getDownloadStyleName(id),
//                setInstalled(template, style), setDownloadPercent(percent, id),
//                cancelDownload(id), resetApplyStatus(), onStyleSelected(n)
// Every value put into the page's script is JSON-encoded. A download that fails, or
// whose file cannot be installed, is cancelled on the page and reported to the user.
// A file installed from a download is kept (DownloadOperation::keepDownload) with the
// request's "tmplversion": a later request of it in that version installs it again
// without downloading.

#include <QHash>
#include <QList>
#include <QObject>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

class DownloadOperation;
class QvWebView;
class QWidget;

class JSWebView : public QObject
{
    Q_OBJECT
public:
    // The web view takes placeholder's place.
    JSWebView(QWidget *placeholder, QObject *owner, QObject *parent = nullptr);
    ~JSWebView() override;

    void loadURL(const QUrl &url);
    QvWebView *webView() const { return m_web; }
    // The installed item the user applied on the page (see appliedName()).
    int selectedIndex() const { return m_selectedIndex; }
    QString appliedName() const { return m_appliedName; }

    // Whether the installed states were sent to the page, and how many downloads run.
    bool hasSentStates() const { return m_initialPage; }
    int runningDownloads() const;

    // What a click on the page's element id does (the page reports clicks itself).
    void buttonOnClick(const QString &id);

signals:
    // The user chose to apply an installed item.
    void applied(const QString &name);

protected:
    // The installed items' names, found again on disk; the none item excluded.
    virtual QStringList installedNames() = 0;
    // Installs a downloaded file as the item name; false with *error.
    virtual bool installDownload(const QString &file, const QString &name, QString *error) = 0;
    // The gallery's template name of an installed item the page does not name.
    virtual QString templateNameFor(const QString &name) const = 0;

    void onRepeatTimer();
    void onReceiveDownloadMessage(const QVariantMap &info);
    // Sends the installed states to the page.
    void setOnlineBackgroundStatus();

private:
    struct Entry
    {
        QString templateName;
        QString styleName;
    };
    void onLoadFinished(bool ok);
    void queryEntries();
    void call(const QString &function, const QVariantList &arguments);
    void selectEntry(int n);
    void cancelOnPage(const QString &id);
    void finishDownload(const QString &id, const QString &file);
    void dropOperation(DownloadOperation *operation);
    static int entryNumber(const QString &id, const QString &after);
    QString nameForRequest(const QString &id) const;

    QvWebView *m_web = nullptr;
    QPointer<QObject> m_owner;
    QNetworkAccessManager m_network;
    QTimer m_timer;
    QList<QVariantMap> m_pending;
    QList<DownloadOperation *> m_queue;
    QHash<QString, QVariantMap> m_requests; // by button id, the request being downloaded
    QHash<QString, int> m_percent;
    QHash<int, Entry> m_entries;
    QHash<QString, QString> m_styleTemplates; // style name -> template name
    int m_selectedIndex = -1;
    QString m_appliedName;
    int m_countdown = 120;
    bool m_scriptAvailable = false;
    bool m_pageLoaded = false;
    bool m_initialPage = false;
    bool m_changed = false;
};
