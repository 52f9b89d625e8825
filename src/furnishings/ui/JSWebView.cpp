#include "furnishings/ui/JSWebView.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "platform/DownloadOperation.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvWebView.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Reports every click with the id of the nearest element that has one.
const char *const kClickReporter = R"JS(
(function () {
  if (window.__qvGalleryClicks) return;
  window.__qvGalleryClicks = true;
  document.addEventListener('click', function (e) {
    var el = e.target;
    while (el && el !== document && !el.id) el = el.parentElement;
    if (el && el.id && window.qvCallBack) window.qvCallBack('click', String(el.id));
  }, true);
})();
)JS";

// One query for every entry the page offers, instead of one per entry number.
const char *const kEntriesQuery = R"JS(
(function () {
  var ok = typeof getDownloadTemplateName === 'function' && typeof getDownloadStyleName === 'function' &&
           typeof setInstalled === 'function' && typeof setDownloadPercent === 'function' &&
           typeof cancelDownload === 'function';
  var entries = {};
  if (!ok) return { ok: false, entries: entries };
  for (var n = 1; n <= 1000; n++) {
    var id = 'btnStyle' + n;
    if (!document.getElementById(id)) continue;
    try {
      entries[n] = { template: String(getDownloadTemplateName(id) || ''), style: String(getDownloadStyleName(id) || '') };
    } catch (e) {}
  }
  return { ok: true, entries: entries };
})()
)JS";

} // namespace

JSWebView::JSWebView(QWidget *placeholder, QObject *owner, QObject *parent) : QObject(parent), m_owner(owner)
{
    m_web = QvWebView::instanceWith(placeholder);
    m_web->setCallBack(QStringLiteral("click"), [this](const QVariant &body) { buttonOnClick(body.toString()); });
    connect(m_web, &QvWebView::loadFinished, this, &JSWebView::onLoadFinished);
    m_timer.setInterval(300);
    connect(&m_timer, &QTimer::timeout, this, &JSWebView::onRepeatTimer);
    NotificationCenter::defaultCenter()->addObserver(this, TemplateDownloadNotification, nullptr,
                                                     [this](const Notification &n) {
                                                         const bool mine = std::any_of(
                                                             m_queue.cbegin(), m_queue.cend(),
                                                             [&](const DownloadOperation *o) { return o == n.object; });
                                                         if (mine)
                                                             onReceiveDownloadMessage(n.userInfo);
                                                     });
}

JSWebView::~JSWebView()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    for (DownloadOperation *operation : std::as_const(m_queue)) {
        operation->setIsMSG(false);
        operation->cancel();
        delete operation;
    }
}

void JSWebView::loadURL(const QUrl &url)
{
    m_scriptAvailable = m_pageLoaded = m_initialPage = false;
    m_countdown = 120;
    m_entries.clear();
    m_web->loadURL(url);
    m_timer.start();
}

int JSWebView::runningDownloads() const
{
    return int(std::count_if(m_queue.cbegin(), m_queue.cend(), [](DownloadOperation *o) { return !o->isFinished(); }));
}

void JSWebView::onLoadFinished(bool ok)
{
    m_pageLoaded = ok;
    if (!ok)
        return;
    m_web->evaluateJavaScript(QString::fromUtf8(kClickReporter));
    queryEntries();
}

void JSWebView::queryEntries()
{
    m_web->evaluateJavaScript(QString::fromUtf8(kEntriesQuery), [this](const QVariant &result) {
        const QVariantMap answer = result.toMap();
        m_scriptAvailable = answer.value(QStringLiteral("ok")).toBool();
        m_entries.clear();
        m_styleTemplates.clear();
        const QVariantMap entries = answer.value(QStringLiteral("entries")).toMap();
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            const QVariantMap e = it.value().toMap();
            const Entry entry{e.value(QStringLiteral("template")).toString(), e.value(QStringLiteral("style")).toString()};
            m_entries.insert(it.key().toInt(), entry);
            if (!entry.styleName.isEmpty())
                m_styleTemplates.insert(entry.styleName, entry.templateName);
        }
    });
}

void JSWebView::call(const QString &function, const QVariantList &arguments)
{
    // Only functions the page has are called, so a page without them raises nothing.
    m_web->evaluateJavaScript(QStringLiteral("if (typeof %1 === 'function') { %2; }")
                                  .arg(function, QvWebView::scriptCall(function, arguments)));
}

void JSWebView::selectEntry(int n)
{
    if (n > 0)
        call(QStringLiteral("onStyleSelected"), {QString::number(n)});
}

void JSWebView::cancelOnPage(const QString &id)
{
    m_percent.insert(id, 0);
    call(QStringLiteral("cancelDownload"), {id});
}

int JSWebView::entryNumber(const QString &id, const QString &after)
{
    const int at = id.indexOf(after);
    if (at < 0)
        return -1;
    bool ok = false;
    const int n = id.mid(at + after.size()).toInt(&ok);
    return ok && n >= 1 && n <= 1000 ? n : -1;
}

void JSWebView::buttonOnClick(const QString &id)
{
    if (!m_scriptAvailable)
        return;
    if (id.contains(QLatin1String("bg-kuangID"))) {
        selectEntry(entryNumber(id, QStringLiteral("bg-kuangID")));
    } else if (id.contains(QLatin1String("btnApply"))) {
        const int n = entryNumber(id, QStringLiteral("btnApply"));
        selectEntry(n);
        if (!id.startsWith(QLatin1String("btnApply")))
            return;
        const QString name = m_entries.value(n).styleName;
        const int index = name.isEmpty() ? -1 : int(installedNames().indexOf(name));
        if (index < 0) {
            m_changed = true;
            return;
        }
        m_selectedIndex = index;
        m_appliedName = name;
        emit applied(name);
    } else if (id.contains(QLatin1String("btnCancel"))) {
        const int n = entryNumber(id, QStringLiteral("btnCancel"));
        selectEntry(n);
        if (!id.startsWith(QLatin1String("btnCancel")) || n < 0)
            return;
        const QString request = QStringLiteral("btnStyle%1").arg(n);
        for (DownloadOperation *operation : m_queue)
            if (operation->identifier() == request && !operation->isFinished()) {
                operation->setIsMSG(false);
                operation->cancel();
            }
        for (int i = int(m_pending.size()) - 1; i >= 0; --i)
            if (m_pending.at(i).value(QStringLiteral("id")).toString() == request) {
                m_pending.removeAt(i);
                break;
            }
        cancelOnPage(request);
    } else if (id.contains(QLatin1String("btnStyle")) && !id.startsWith(QLatin1String("btnStyle"))) {
        QString rest = id;
        for (const char *prefix : {"normal_", "downloading_", "installed_"})
            rest.remove(QLatin1String(prefix));
        selectEntry(entryNumber(rest, QStringLiteral("btnStyle")));
    } else if (id.startsWith(QLatin1String("btnStyle"))) {
        if (!m_initialPage) {
            LogAlert::alertMessage(loadAppString("JSWebView-Page loading...", "Page loading..."),
                                   loadAppString("JSWebView-Please wait a moment, the page is loading.",
                                                 "Please wait a moment, the page is loading."));
            if (m_scriptAvailable && m_pageLoaded)
                setOnlineBackgroundStatus();
            return;
        }
        const int n = entryNumber(id, QStringLiteral("btnStyle"));
        if (n < 0 || id != QStringLiteral("btnStyle%1").arg(n))
            return;
        selectEntry(n);
        // The request is made of the button's attributes.
        const QString script = QStringLiteral("(function (id) { var e = document.getElementById(id); var r = {};"
                                              " if (e) for (var i = 0; i < e.attributes.length; i++)"
                                              " r[e.attributes[i].name] = String(e.attributes[i].value); return r; })")
                               + QvWebView::scriptCall(QString(), {id});
        m_web->evaluateJavaScript(script, [this, id](const QVariant &result) {
            QVariantMap request = result.toMap();
            if (request.isEmpty())
                return;
            request.insert(QStringLiteral("id"), id);
            m_pending.append(request);
        });
    }
}

QString JSWebView::nameForRequest(const QString &id) const
{
    const QVariantMap request = m_requests.value(id);
    const QString style = request.value(QStringLiteral("stylename")).toString();
    return style.isEmpty() ? m_entries.value(entryNumber(id, QStringLiteral("btnStyle"))).styleName : style;
}

void JSWebView::onRepeatTimer()
{
    // The requests the page made since the last tick, the newest first.
    while (!m_pending.isEmpty()) {
        const QVariantMap request = m_pending.takeLast();
        const QString id = request.value(QStringLiteral("id")).toString();
        const QString name = request.value(QStringLiteral("stylename")).toString();
        const QUrl address(request.value(QStringLiteral("styleurl")).toString());
        m_percent.insert(id, 0);
        const bool downloading = std::any_of(m_queue.cbegin(), m_queue.cend(), [&](DownloadOperation *o) {
            return !o->isFinished() && o->fileUrl() == address;
        });
        if ((!name.isEmpty() && installedNames().contains(name)) || downloading) {
            m_percent.insert(id, 100);
            m_changed = true;
            continue;
        }
        // A file downloaded before in the version asked for is installed from there.
        const QString kept =
            DownloadOperation::keptDownload(address, request.value(QStringLiteral("tmplversion")).toString());
        QString error;
        if (!kept.isEmpty() && installDownload(kept, name, &error)
            && (name.isEmpty() || installedNames().contains(name))) {
            m_percent.insert(id, 100);
            call(QStringLiteral("setDownloadPercent"), {100, id});
            m_changed = true;
            continue;
        }
        m_requests.insert(id, request);
        auto *operation = new DownloadOperation(address, id, 1, this);
        m_queue.append(operation);
        connect(operation, &DownloadOperation::finished, this, [this, operation] {
            QTimer::singleShot(0, this, [this, operation] { dropOperation(operation); });
        });
        operation->start(&m_network);
    }
    if (m_countdown > 0 && !m_scriptAvailable) {
        --m_countdown;
        if (m_pageLoaded && m_countdown % 10 == 0)
            queryEntries(); // a page whose script arrives late
    } else if (!m_initialPage && m_scriptAvailable && m_pageLoaded) {
        setOnlineBackgroundStatus();
    }
    if (m_changed && m_scriptAvailable && m_pageLoaded) {
        m_changed = false;
        call(QStringLiteral("resetApplyStatus"), {});
        setOnlineBackgroundStatus();
    }
}

void JSWebView::dropOperation(DownloadOperation *operation)
{
    if (m_queue.removeOne(operation))
        operation->deleteLater();
}

void JSWebView::onReceiveDownloadMessage(const QVariantMap &info)
{
    const QString id = info.value(QStringLiteral("id")).toString();
    const QString file = info.value(QStringLiteral("fileName")).toString();
    switch (info.value(QStringLiteral("status")).toInt()) {
    case DownloadOperation::Progress:
        m_percent.insert(id, info.value(QStringLiteral("percent")).toInt());
        call(QStringLiteral("setDownloadPercent"), {m_percent.value(id), id});
        break;
    case DownloadOperation::Finished:
        finishDownload(id, file);
        break;
    case DownloadOperation::Failed: {
        cancelOnPage(id);
        const QString name = nameForRequest(id);
        LogAlert::alertMessage(loadAppString("JSWebView-\"%1\" Download failed!", "\"%1\" Download failed!").arg(name),
                               info.value(QStringLiteral("msg")).toString());
        break;
    }
    default:
        break;
    }
}

void JSWebView::finishDownload(const QString &id, const QString &file)
{
    const QString name = nameForRequest(id);
    const QString folder = QFileInfo(file).absolutePath();
    if (!name.isEmpty() && installedNames().contains(name)) {
        removeTree(folder);
        m_changed = true;
        return;
    }
    if (!QFileInfo(file).isFile()) {
        cancelOnPage(id);
        LogAlert::alertMessage(loadAppString("JSWebView-\"%1\" not found!", "\"%1\" not found!").arg(QFileInfo(file).fileName()),
                               loadAppString("JSWebView-Download the file again!", "Download the file again!"));
        return;
    }
    QString error;
    if (!installDownload(file, name, &error)) {
        // The page learns that nothing was installed, and so does the user.
        cancelOnPage(id);
        LogAlert::alertMessage(loadAppString("JSWebView-\"%1\" cannot be installed.", "\"%1\" cannot be installed.")
                                   .arg(name.isEmpty() ? QFileInfo(file).fileName() : name),
                               error);
        return;
    }
    // Kept for a later request of the same file in the same version.
    const QVariantMap request = m_requests.value(id);
    DownloadOperation::keepDownload(file, QUrl(request.value(QStringLiteral("styleurl")).toString()),
                                    request.value(QStringLiteral("tmplversion")).toString());
    removeTree(folder);
    m_percent.insert(id, 100);
    call(QStringLiteral("setDownloadPercent"), {100, id});
    const Entry entry = m_entries.value(entryNumber(id, QStringLiteral("btnStyle")));
    if (entry.styleName.compare(QLatin1String("NONE"), Qt::CaseInsensitive) != 0)
        call(QStringLiteral("setInstalled"), {entry.templateName, entry.styleName});
    m_changed = true;
}

void JSWebView::setOnlineBackgroundStatus()
{
    m_initialPage = true;
    for (const QString &name : installedNames()) {
        if (name.compare(QLatin1String("NONE"), Qt::CaseInsensitive) == 0)
            continue;
        call(QStringLiteral("setInstalled"), {m_styleTemplates.value(name, templateNameFor(name)), name});
    }
}
