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

#include "furnishings/OtherIconsModel.h"
#include "furnishings/ui/OtherIconSettings.h"
#include "platform/ui/WindowController.h"

#include <QPointer>

class DragFileImport;
class DragOutToDelete;
class QPushButton;
class QTableView;

class OtherIconsDelegate : public WindowController
{
    Q_OBJECT
public:
    explicit OtherIconsDelegate(QObject *parent = nullptr);
    ~OtherIconsDelegate() override;

    QString customIconsSettingFile() const { return m_customIconsSettingFile; }
    void setCustomIconsSettingFile(const QString &path) { m_customIconsSettingFile = path; }
    const QList<OtherIconItem> &iconsList() const { return m_model->items(); }
    // The icon sheet while it is shown.
    OtherIconSettings *settingsDelegate() const { return m_settingsDelegate; }

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
    void readIconFromFile();
    void checkButtonStatus();
    // Edits the icon at row (-1: a new one) in the sheet.
    void runSettingsSheet(int row);
    void othersIconAddItemDragEnd();

    QString m_customIconsSettingFile;
    OtherIconsModel *m_model;
    QString m_fileMD5;
    QPointer<OtherIconSettings> m_settingsDelegate;
    OtherIconItem m_editedItem; // the icon the sheet edits (a copy while it is open)
    int m_editedRow = -1;       // its row, -1 for a new icon
    DragFileImport *m_dragFileImport = nullptr;
    DragOutToDelete *m_dragOut = nullptr;

    QTableView *tableView = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnRemove = nullptr;
    QPushButton *btnClearAll = nullptr;
    QPushButton *btnMoveUp = nullptr;
    QPushButton *btnMoveDown = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};
