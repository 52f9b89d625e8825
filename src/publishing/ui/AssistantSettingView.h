#pragma once
// The "Assistant" tab of the main window: the narration characters in a picture grid
// (the first is the none entry), a message, the "Record Settings" button and a "more"
// button whose menu imports and exports the book's assistant. Double-clicking a
// character applies it (itemApplied); the owner connects the buttons and the menu.

#include "output/narration/AssistantItem.h"

#include <QList>
#include <QWidget>

class PictureGridView;
class QAction;
class QLabel;
class QMenu;
class SimpleCell;

class AssistantSettingView : public QWidget
{
    Q_OBJECT
public:
    explicit AssistantSettingView(QWidget *parent = nullptr);

    // Builds the grid, the message and the buttons.
    void loadDispViewInf();

    QString tabID() const { return m_tabID; }
    void setTabID(const QString &tabID) { m_tabID = tabID; }
    const QList<AssistantItem> &imageList() const { return m_imageList; }
    void setImageList(const QList<AssistantItem> &list);
    // The applied item (0: none).
    int selectedItemIndex() const { return m_selectedItemIndex; }
    void setSelectedItemIndex(int index);

    PictureGridView *imageView() const { return m_imageView; }
    QLabel *lblMessage() const { return m_lblMessage; }
    SimpleCell *btnRecordManage() const { return m_btnRecordManage; }
    SimpleCell *btnMore() const { return m_btnMore; }
    QMenu *PopMenu() const { return m_popMenu; }
    QAction *importAction() const { return m_importAction; }
    QAction *exportAction() const { return m_exportAction; }

    // Pops the menu up at the "more" button.
    void showPopMenu();

signals:
    void itemApplied(int index);

private:
    void reloadImages();
    void updateTips();

    QString m_tabID;
    QList<AssistantItem> m_imageList;
    int m_selectedItemIndex = 0;
    PictureGridView *m_imageView = nullptr;
    QLabel *m_lblMessage = nullptr;
    SimpleCell *m_btnRecordManage = nullptr;
    SimpleCell *m_btnMore = nullptr;
    QMenu *m_popMenu = nullptr;
    QAction *m_importAction = nullptr;
    QAction *m_exportAction = nullptr;
};
