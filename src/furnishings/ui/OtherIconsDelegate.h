#pragma once
// The editor of a book's extra toolbar icons (the icons list file named by the template
// setting "otherIconsConfig"): a list of icons with their picture, caption, action and
// content, edited one at a time in OtherIconSettings; icons are added, removed,
// cleared, moved with the buttons or by dragging rows, deleted by dragging rows out of
// the window, and made from pictures dropped on the window.
//
// customIconsSettingFile(): in, the list file to edit; out (after OK, code 1), the file
// that holds the result: the given file when nothing changed, else a new file (the given
// one is never written, so undo and other books that name it keep their icons), or ""
// when no file could be written.

#include "furnishings/OtherIconItem.h"
#include "platform/ui/DragDeleteDelegate.h"
#include "platform/ui/WindowController.h"

#include <QPointer>

class DragFileImport;
#include "furnishings/ui/OtherIconSettings.h"
class OtherIconsTableModel;
class QPushButton;
class QTableView;

inline const QString OtherIconDataType = QStringLiteral("OtherIconDataType");

class OtherIconsDelegate : public WindowController, public DragDeleteReceiver
{
    Q_OBJECT
public:
    explicit OtherIconsDelegate(QObject *parent = nullptr);
    ~OtherIconsDelegate() override;

    QString customIconsSettingFile() const { return m_customIconsSettingFile; }
    void setCustomIconsSettingFile(const QString &path) { m_customIconsSettingFile = path; }
    const QList<OtherIconItem> &iconsList() const { return m_iconsList; }
    // The icon sheet while it is shown.
    OtherIconSettings *settingsDelegate() const { return m_settingsDelegate; }
    DragDeleteDelegate *dragDeleteController() const { return m_dragDeleteCtrl; }

    // Type name shown in the list: "Go To Page" for 0 and any unknown type.
    static QString typeName(int type);

    // Rows dragged within the list, dropped before dropRow.
    bool acceptDrop(const QList<int> &rows, int dropRow);
    // A drag of rows starts: the drag-out-to-delete controller for it.
    void rowDragStarted();
    void DeleteWindowDragEnd(const Notification &notification) override;

public slots:
    void onAddIcons();
    void onTableViewDoubleClick();
    void onRemoveSelectedIcons();
    void onClearAll();
    void onMoveUp();
    void onMoveDown();
    void onOK();
    void onCancel();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    void windowWillClose() override;

private:
    int selectedRow() const;
    void selectRow(int row);
    void reload();
    void readIconFromFile();
    void checkButtonStatus();
    void runSettingsSheet(OtherIconItem *item, bool isAddItem);
    void othersIconAddItemDragEnd();

    QString m_customIconsSettingFile;
    QList<OtherIconItem> m_iconsList;
    QString m_fileMD5;
    QPointer<OtherIconSettings> m_settingsDelegate;
    OtherIconItem m_newItem;
    bool m_isAddItem = false;
    OtherIconsTableModel *m_model = nullptr;
    DragFileImport *m_dragFileImport = nullptr;
    QPointer<DragDeleteDelegate> m_dragDeleteCtrl;

    QTableView *tableView = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnRemove = nullptr;
    QPushButton *btnClearAll = nullptr;
    QPushButton *btnMoveUp = nullptr;
    QPushButton *btnMoveDown = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};
