#pragma once
// The picker of a furnishing tab (scenes, backgrounds, themes, phone templates): a
// picture grid of the installed items above a strip with a message and the buttons
// "<noun> online", "Load..." and "Remove". The first item is the none entry of its
// kind. Double-clicking an item applies it: selectedItemIndex() becomes its row and
// FlashBackgroundApplayNotification is posted with the view as object. A change of
// selection posts FlashBackgroundDidSelectNotification with "selectCount", the number
// of selected items the user installed (only those can be removed).
//
// The owner fills the list (setImageList()), connects the buttons it uses and
// hides the others.

#include <QList>
#include <QString>
#include <QWidget>

class PictureGridView;
class QLabel;
class QPushButton;

inline const QString FlashBackgroundApplayNotification = QStringLiteral("FlashBackgroundApplayNotification");
inline const QString FlashBackgroundDidSelectNotification = QStringLiteral("FlashBackgroundDidSelectNotification");

class BackgroundSettingView : public QWidget
{
    Q_OBJECT
public:
    struct Item
    {
        QString bgName;       // the title shown
        QString shotFilePath; // the picture shown
        QString key;          // the owner's own identifier (a name or a path)
    };
    template <class T>
    static QList<Item> itemsOf(const QList<T> &list)
    {
        QList<Item> items;
        for (const T &entry : list)
            items << Item{entry.bgName(), entry.shotFilePath(), entry.bgName()};
        return items;
    }

    explicit BackgroundSettingView(QWidget *parent = nullptr);

    // Builds the strip and the grid (once); set tabID() first.
    void loadDispViewInf();

    QString tabID() const { return m_tabID; }
    void setTabID(const QString &noun) { m_tabID = noun; }
    const QList<Item> &imageList() const { return m_items; }
    void setImageList(const QList<Item> &items);
    int selectedItemIndex() const { return m_selected; }
    // Marks an item as applied (without applying it): the grid highlights it and the
    // tips say so.
    void setSelectedItemIndex(int index);
    // Rows of the grid's selection.
    QList<int> selectedRows() const;

    QPushButton *btnOnline() const { return m_btnOnline; }
    QPushButton *btnNew() const { return m_btnNew; }
    QPushButton *btnRemove() const { return m_btnRemove; }
    QLabel *lblMessage() const { return m_lblMessage; }
    PictureGridView *imageView() const { return m_imageView; }

    // True when an item lies outside the program's resources (the user installed it).
    static bool isUserItem(const Item &item);

    // The tool tips of the items: the none entry says that it cancels the applied item
    // (cancelTip, only while another is applied), the applied item that it is selected
    // (selectedTip), the others that a double-click selects them (unselectTip). An owner
    // may preset them; a tip left empty is made from the tab's noun when first needed.
    QString cancelTip() const { return m_cancelTip; }
    void setCancelTip(const QString &tip) { m_cancelTip = tip; }
    QString selectedTip() const { return m_selectedTip; }
    void setSelectedTip(const QString &tip) { m_selectedTip = tip; }
    QString unselectTip() const { return m_unselectTip; }
    void setUnselectTip(const QString &tip) { m_unselectTip = tip; }
    void updateTips();
    // Simulates the double-click that applies row (also used by the grid).
    void applyItemAt(int row);

private:
    void onSelectionChanged(const QList<int> &rows);
    QString noun() const;

    QString m_tabID;
    QString m_cancelTip;
    QString m_selectedTip;
    QString m_unselectTip;
    QList<Item> m_items;
    int m_selected = 0;
    bool m_isAllocDisp = false;
    QWidget *m_tipView = nullptr;
    QLabel *m_lblMessage = nullptr;
    QPushButton *m_btnOnline = nullptr;
    QPushButton *m_btnNew = nullptr;
    QPushButton *m_btnRemove = nullptr;
    PictureGridView *m_imageView = nullptr;
};
