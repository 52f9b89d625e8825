#pragma once
// The share links editor: the user's collection of share buttons as a table with a
// check mark per button; the checked ones become the book's share links. The fields
// below the table show the selected button (after Edit, typing changes it) or, with no
// selection, hold a new button for Add. The collection is saved to ".shareLinks"
// whenever the window closes, Cancel included; OK answers the checked buttons in
// settingXmlString() and ends with 1.
//
// The design-settings outline opens it for the "setsocialsharelinks" settings
// (FurnishingSettingEditors).

#include "platform/ui/WindowController.h"

#include <functional>

class DragOutToDelete;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QvPanel;
class ShareLinksModel;

class ShareLinks : public WindowController
{
    Q_OBJECT
public:
    explicit ShareLinks(QObject *parent = nullptr);
    ~ShareLinks() override;

    // In: the book's share links; out, after OK: those of the checked buttons.
    QString settingXmlString() const { return m_settingXmlString; }
    void setSettingXmlString(const QString &xml) { m_settingXmlString = xml; }
    // Turns a logo value into a file (template values such as "STYLE_RESOURCE:...").
    void setLogoResolver(std::function<QString(const QString &)> resolver);

    ShareLinksModel *model() const { return m_model; }
    QMenu *macroMenu() const { return m_macroMenu; }
    int selectedRow() const { return _selectedRow; }

    void loadSettings();
    bool saveSettings();

public slots:
    void onAddIcons();
    void onRemoveSelectedIcons();
    void onClearAll();
    void onMoveUp();
    void onMoveDown();
    void onEditInformation();
    void onOpenMacroMenu();
    void onAddMacro(const QString &macro);
    void onBrowseLogo();
    void onDefault();
    void onOK();
    void onCancel();
    void setEditStatus(bool editing);
    void checkButtonStatus();
    void updateDispItem();
    void innerViewClick();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    void windowWillClose() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void selectionDidChange();
    void selectRow(int row);
    void clearSelection();
    void controlTextDidChange(QLineEdit *field);

    QString m_settingXmlString;
    std::function<QString(const QString &)> m_resolver;
    ShareLinksModel *m_model = nullptr;
    QMenu *m_macroMenu = nullptr;
    DragOutToDelete *m_dragOut = nullptr;
    std::unique_ptr<QvPanel> m_panel;
    int _selectedRow = -1;

    QTableView *tableView = nullptr;
    QLineEdit *txtCaption = nullptr;
    QLineEdit *txtUrlAddr = nullptr;
    QLineEdit *txtLogo = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnRemove = nullptr;
    QPushButton *btnClearAll = nullptr;
    QPushButton *btnMoveUp = nullptr;
    QPushButton *btnMoveDown = nullptr;
    QPushButton *btnEdit = nullptr;
    QPushButton *btnMacro = nullptr;
    QPushButton *btnBrose = nullptr;
    QPushButton *btnDefault = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};
