#pragma once
// The "Bookmark Tabs" page of the main window: the list of the open book's tabs
// (BookMarkTabsDelegate) and its commands: add and edit (the tab dialog,
// BookmarkTabSetting), new random colours for every tab, delete the selected tabs,
// the edge the tabs stand on, page numbers and texture on the tabs, their opacity,
// and saving and opening tab files (".xml"). Every change is posted as
// FlashTmplProValueChangedNotification, which marks the book changed and rebuilds the
// preview.

#include <QWidget>
#include <functional>
#include <memory>

class BookMarkTabs;
class BookMarkTabsDelegate;
class QCheckBox;
class QvPanel;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTreeView;

class BookmarkTabsView : public QWidget
{
    Q_OBJECT
public:
    explicit BookmarkTabsView(QWidget *parent = nullptr);
    ~BookmarkTabsView() override;

    // The open book's tabs and how many pages it has (null: no book).
    void setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs, std::function<int()> pageCount = {});
    std::shared_ptr<BookMarkTabs> bookmarkTabs() const;
    BookMarkTabsDelegate *tabsDelegate() const { return m_delegate; }
    QTreeView *tabList() const { return m_list; }

    void onAddBookmarkTab();
    void onEditBookmarkTab();
    void onRandomizeTabColors();
    void onDeleteBookmarkTabs();
    void onSaveTabs();
    void onOpenTabs();

private:
    void openTabDialog(int type, int row);
    void showSettings();
    void updateButtons();
    void changed();
    QList<int> selectedRows() const;

    BookMarkTabsDelegate *m_delegate = nullptr;
    std::function<int()> m_pageCount;
    QTreeView *m_list = nullptr;
    QPushButton *m_btnAdd = nullptr;
    QPushButton *m_btnEdit = nullptr;
    QPushButton *m_btnRandom = nullptr;
    QPushButton *m_btnDelete = nullptr;
    QRadioButton *m_rdTop = nullptr;
    QRadioButton *m_rdSide = nullptr;
    QCheckBox *m_chkShowPage = nullptr;
    QCheckBox *m_chkTexture = nullptr;
    QSlider *m_sldOpacity = nullptr;
    QLabel *m_lblOpacity = nullptr;
    QPushButton *m_btnSave = nullptr;
    QPushButton *m_btnOpen = nullptr;
    std::unique_ptr<QvPanel> m_panel; // the save or open panel shown
    bool m_showing = false; // controls being filled from the model, not changed by the user
};
