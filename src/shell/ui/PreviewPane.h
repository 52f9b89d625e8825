#pragma once
// The preview area of the main window: the preview book in a web view, a placeholder
// while no book is shown, and a message bar for a rebuild that failed (the last good
// preview stays visible under it).
//
// The web view is made when the first book is shown. Its pages report through the
// script message handlers "connector" (bookConnector()) and "jsPrint" (logged).
//
// A rebuild that changed design settings alone is shown in place: applySettings() gives
// the book on show the configuration the rebuild wrote, and the viewer shows what changed
// without a new load (Quorvel.applySettings); it answers when it cannot, and the book is
// loaded again. Only the preview book's own page (its address on the preview server) is
// given a configuration.
//
// A protected book's preview is loaded again after every change; the answer that opened
// it (the viewer reports it through "connector" as {"type": "securityAnswer", "user",
// "password"}) is kept and given to every later load as window.quorvelAnswerKeeper, so the
// author gives the password once per open book. The viewer shows nothing of a protected
// page until it has tried that answer.
//
// The view shows only pages below the book's address on the preview server
// (PreviewPage: links elsewhere open in the user's browser); the bridge and the answer
// keeper exist only in those pages, and closing the book empties the view.

#include "shell/PreviewBuilder.h"

#include <QPointer>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <functional>

class DragFileImport;
class PreviewPage;
class QLabel;
class QStackedWidget;
class QvWebView;
class QWebEngineView;

class PreviewPane : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewPane(QWidget *parent = nullptr);

    void showPlaceholder(const QString &text);
    QString placeholderText() const;
    bool isShowingBook() const;

    // Loads the preview book from the server at base (the phone version when mobile),
    // on the page the reader is on now, or on its first page for another book.
    void showBook(const QUrl &base, bool mobile, int generation, bool samePage = true);
    // The viewer settings of the book the preview folder holds now (what the rebuild that
    // wrote it reported): showBook() loads a book with these.
    void setWrittenSettings(const PreviewSettings &settings) { m_written = settings; }
    // Brings the book on show up to the written settings without loading it again:
    // done(true) once the viewer shows them, done(false) when the book must be loaded
    // again instead (the view shows another page or a book whose viewer has not started
    // yet, the rebuild changed more than settings, or the viewer cannot show a change in
    // place). done is not called when the view loads the book again meanwhile (that
    // load shows them).
    void applySettings(const QUrl &base, std::function<void(bool applied)> done);

    // The address last loaded, and the one the view is at now (it follows the pages).
    QUrl requestedUrl() const { return m_requested; }
    QUrl currentUrl() const;
    // The page the reader is on (from the view's address); 0 when none is known.
    int currentPage() const;
    // Turns the preview to a page.
    void goToPage(int page);

    void showMessage(const QString &text);
    void clearMessage();
    QString message() const;

    // Forgets the answer that opened a protected preview (another book is opened).
    void forgetAnswer();
    // The book is closed: forgets the answer and empties the view.
    void closeBook();
    // Keeps the answer that opened the book, as if the reader had given it in the preview.
    void keepAnswer(const QString &user, const QString &password);
    bool hasAnswer() const { return !m_answer.isEmpty(); }

    // Files dropped on the web view go to target instead of opening in the view.
    void setDropTarget(DragFileImport *target) { m_dropTarget = target; }

    QvWebView *webView() const { return m_web; }
    QWebEngineView *webEngineView() const;

signals:
    void bookLoaded(bool ok);
    void bookConnector(const QVariant &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ensureWebView();
    void onConnector(const QVariant &message);
    void installAnswerKeeper();

    QLabel *m_message = nullptr;
    QStackedWidget *m_stack = nullptr;
    QLabel *m_placeholder = nullptr;
    QWidget *m_webHolder = nullptr;
    QvWebView *m_web = nullptr;
    PreviewPage *m_page = nullptr;
    QUrl m_base; // the book's address on the preview server
    QUrl m_requested;
    int m_loads = 0; // books loaded; an answer of the viewer of an earlier one is stale
    PreviewSettings m_written, m_shown;
    QPointer<DragFileImport> m_dropTarget;
    QVariantMap m_answer; // {"user", "password"} while one is kept
};
