#pragma once
// The dialog that adds bookmark tabs one after another (type 0) or steps through the
// existing tabs to change them (type 1): caption, page and colour of one tab at a
// time. Next (Return) keeps the tab in the form and moves on, Previous (Alt+Left) goes
// back, Close keeps the form and ends the run. The list is reloaded after every step;
// every change is posted as FlashTmplProValueChangedNotification with the dialog.
//
// Set bookmarkTabs, type, currentRow, outlineBookmarkTab and totalPage, in that order,
// before the window is first shown (runModal()).

#include "platform/ui/WindowController.h"

#include <QColor>
#include <QKeySequence>
#include <memory>

class BookMarkTabs;
class BookMarkTabsDelegate;
class BookmarkTabEditing;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class BookmarkTabSetting : public WindowController
{
    Q_OBJECT
public:
    explicit BookmarkTabSetting(QObject *parent = nullptr);
    ~BookmarkTabSetting() override;

    // The key of Previous: Alt+Left, as Ctrl+Left moves by words in the text fields.
    static QKeySequence previousShortcut() { return QKeySequence(Qt::ALT | Qt::Key_Left); }

    void setBookmarkTabs(std::shared_ptr<BookMarkTabs> tabs) { m_tabs = std::move(tabs); }
    std::shared_ptr<BookMarkTabs> bookmarkTabs() const { return m_tabs; }
    int type() const;
    void setType(int type) { m_type = type; }
    int currentRow() const;
    void setCurrentRow(int row) { m_currentRow = row; }
    void setOutlineBookmarkTab(BookMarkTabsDelegate *list) { m_list = list; }
    qint64 totalPage() const { return m_totalPage; }
    void setTotalPage(qint64 pages) { m_totalPage = pages; }

    void onClose();
    void onPrevious();
    void onNext();
    void onColorSelect();

    QColor buttonColor() const { return m_color; }

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    void loadCurrentItem();
    void prepareNewItem(qint64 page);
    bool saveCurrentItem();
    bool modifyCurrentItem();
    void autoChangeColor();
    void setButtonColor(const QColor &color);
    void reloadList();
    void posted(bool changed);

    std::shared_ptr<BookMarkTabs> m_tabs;
    std::unique_ptr<BookmarkTabEditing> m_editing;
    int m_type = 0;
    int m_currentRow = 0;
    qint64 m_totalPage = 1;
    BookMarkTabsDelegate *m_list = nullptr;
    QColor m_color;

    QLineEdit *m_txtCaption = nullptr;
    QLineEdit *m_txtPage = nullptr;
    QPushButton *m_btnColor = nullptr;
    QLabel *m_lblTip = nullptr;
    QPushButton *m_btnCancel = nullptr;
    QPushButton *m_btnPrevious = nullptr;
    QPushButton *m_btnNext = nullptr;
    QCheckBox *m_btnAutoChangeColor = nullptr;
};
