#pragma once
// The main window: the preview of the book beside the design-settings outline and the
// design tabs (the bookmark outline first), the display-mode control, the menus and
// the toolbar. It only shows things and offers commands: QuorvelAppDelegate owns the
// book and connects the actions (action(name)) to its commands.
//
// The design tabs carry these identifiers (tabPage(), isTabShown()):
//   "Bookmark" (the bookmark outline), "bookmarkTabs", "scene", "background", "theme",
//   "plugin", "assistant" (desktop book), "mobile theme", "mobile template" (phone book).
// The bookmark outline and the bookmark tabs have their pages; the furnishing tabs fill
// the others through tabPage(identifier). The display mode shows the tabs that apply
// to it: only those are in the tab bar, so its scroll arrows reach each of them.

#include <QHash>
#include <QMainWindow>
#include <QSet>
#include <QStringList>
#include <functional>

class BookmarkOutlineView;
class BookmarkTabsView;
class DragFileImport;
class FlashTemplateOutlineDelegate;
class PreviewPane;
class QAbstractButton;
class QAction;
class QButtonGroup;
class QLabel;
class QMenu;
class QSplitter;
class QTabWidget;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    enum class DisplayMode { Desktop = 0, Mobile = 1, Bookcase = 2 };

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    PreviewPane *previewPane() const { return m_preview; }
    FlashTemplateOutlineDelegate *designSettings() const { return m_designSettings; }
    BookmarkOutlineView *bookmarkOutline() const { return m_bookmarks; }
    BookmarkTabsView *bookmarkTabsView() const { return m_bookmarkTabs; }
    QTabWidget *designTabView() const { return m_tabs; }
    DragFileImport *dropTarget() const { return m_dropTarget; }

    // The page of a design tab by its identifier; null for an unknown one.
    QWidget *tabPage(const QString &identifier) const;
    bool isTabShown(const QString &identifier) const;
    static QStringList tabIdentifiers();
    // The tabs each display mode shows.
    static QStringList tabsForMode(DisplayMode mode);

    DisplayMode displayMode() const { return m_mode; }
    void setDisplayMode(DisplayMode mode); // emits displayModeChanged when it changes
    QAbstractButton *displayModeButton(DisplayMode mode) const;

    // Actions by name: "newFromPDF", "newFromPictures", "openProject", "save", "saveAs",
    // "closeBook", "quit", "undo", "redo", "publish", "publishPlugin", "previewInBrowser",
    // "about", and the "Additions" commands "scenesMaker", "manageRecords",
    // "phonePages", "importAssistant", "exportAssistant".
    QAction *action(const QString &name) const { return m_actions.value(name); }
    QMenu *fileMenu() const { return m_fileMenu; }
    QMenu *recentMenu() const { return m_recentMenu; }
    QMenu *editMenu() const { return m_editMenu; }
    QMenu *additionsMenu() const { return m_additionsMenu; }
    QMenu *bookMenu() const { return m_bookMenu; }
    // Names of the actions of the "Additions" menu, in menu order.
    static QStringList additionsActionNames();

    // Enables the commands that need an open book.
    void setBookOpen(bool open);
    void setStatusText(const QString &text);
    QString statusText() const;

    // Asked when the window is about to close (close box, Quit): false keeps it open.
    void setShouldClose(std::function<bool()> shouldClose) { m_shouldClose = std::move(shouldClose); }
    // While a worker of the window runs (a program it waits for, pictures being made),
    // the close box and Quit are refused; each worker says so for itself.
    void setWorkerRunning(const QObject *worker, bool running);
    bool isWorkerRunning() const { return !m_workers.isEmpty(); }

signals:
    void displayModeChanged(MainWindow::DisplayMode mode);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildPanes();
    QAction *makeAction(const QString &name, const QString &text, const QKeySequence &shortcut = {});
    void addTab(const QString &identifier, const QString &label, QWidget *page);
    void applyDisplayMode();

    PreviewPane *m_preview = nullptr;
    FlashTemplateOutlineDelegate *m_designSettings = nullptr;
    BookmarkOutlineView *m_bookmarks = nullptr;
    BookmarkTabsView *m_bookmarkTabs = nullptr;
    QTabWidget *m_tabs = nullptr;
    QSplitter *m_splitter = nullptr;
    DragFileImport *m_dropTarget = nullptr;
    QButtonGroup *m_modeGroup = nullptr;
    QLabel *m_status = nullptr;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QWidget *> m_tabPages;
    QHash<QString, QString> m_tabLabels;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    QMenu *m_additionsMenu = nullptr;
    QMenu *m_bookMenu = nullptr;
    DisplayMode m_mode = DisplayMode::Desktop;
    std::function<bool()> m_shouldClose;
    QSet<const QObject *> m_workers;
};
