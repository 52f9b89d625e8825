#pragma once
// The editor of the viewer menu's entries (the template setting "flashMenu"): a list
// of entries with their caption, action and, for "Go to Page" and "Open URL", the
// page or address (FlashMenuModel); entries are added, removed and moved with the
// buttons or by dragging rows, deleted by dragging rows out of the window, and the
// selected one is edited in the fields below the list. OK checks that every entry that
// needs a page or an address has one, puts the menus XML into settingXmlString() and
// ends with 1; Cancel ends with 0.

#include "furnishings/FlashMenuModel.h"
#include "platform/ui/WindowController.h"

class DragOutToDelete;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableView;

class FlashMenuDelegate : public WindowController
{
    Q_OBJECT
public:
    explicit FlashMenuDelegate(QObject *parent = nullptr);

    QString settingXmlString() const { return m_settingXmlString; }
    void setSettingXmlString(const QString &xml) { m_settingXmlString = xml; }
    const QList<FlashMenuItem> &menuItems() const { return m_model->items(); }

public slots:
    void onAdd();
    void onRemove();
    void onMoveUp();
    void onMoveDown();
    void onOK();
    void onCancel();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    int selectedRow() const;
    void selectRow(int row);
    void loadFields();
    void fieldsChanged();
    void checkButtonStatus();

    QString m_settingXmlString;
    FlashMenuModel *m_model;
    DragOutToDelete *m_dragOut = nullptr;
    bool m_loadingFields = false;

    QTableView *tableView = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnRemove = nullptr;
    QPushButton *btnMoveUp = nullptr;
    QPushButton *btnMoveDown = nullptr;
    QGroupBox *boxEntry = nullptr;
    QLineEdit *txtCaption = nullptr;
    QComboBox *popType = nullptr;
    QLineEdit *txtContent = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};
