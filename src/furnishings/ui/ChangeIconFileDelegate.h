#pragma once
// The window that replaces the viewer's toolbar icons with pictures of the user's own
// (the template setting "toolbarIconsFile", value source "icons_form"). Each toolbar
// button is a row with its built-in picture, description and replacement; a picture is
// chosen, dropped on a selected row, or taken from an imported archive, and the
// replacements can be exported as an archive. The work lies in a workspace folder
// (ToolbarIconWorkspace), which keeps the last choices for the next opening.
//
// inputFile(): in, the setting's value; out (after OK, code 1), an archive of the
// replacements made in the workspace, "" when none is left, or the replacement SWF
// file when that option is chosen.

#include "furnishings/ToolbarIconWorkspace.h"
#include "platform/ui/WindowController.h"

class DragFileImport;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class ChangeIconFileDelegate : public WindowController
{
    Q_OBJECT
public:
    explicit ChangeIconFileDelegate(QObject *parent = nullptr);

    QString inputFile() const { return m_inputFile; }
    void setInputFile(const QString &path) { m_inputFile = path; }
    QString workSpace() const { return m_icons.workSpace(); }
    void setWorkSpace(const QString &folder) { m_icons.setWorkSpace(folder); }
    const ToolbarIconWorkspace &icons() const { return m_icons; }

    // Where the help page lies.
    static QString helpPage();

public slots:
    void onChangeIcon();
    void onDefault();
    void onImport();
    void onExport();
    void onHelp();
    void onSelectSWFFile();
    void onCheckSWF();
    void onOK();
    void onCancel();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    void windowWillClose() override;

private:
    int selectedRow() const;
    void reloadTable();
    void onSelectedRow();
    void selectionChanged();
    void saveIconFile(const QString &source);
    void loadArchive(const QString &archive);
    void innerImportDragEnd();
    QString startFolder() const;

    ToolbarIconWorkspace m_icons;
    QString m_inputFile;
    DragFileImport *m_dragFileImport = nullptr;

    QTableWidget *tableView = nullptr;
    QLabel *imageView = nullptr;
    QLabel *lblWidth = nullptr;
    QLabel *lblHeight = nullptr;
    QPushButton *btnChangeIcon = nullptr;
    QPushButton *btnDefaultIcon = nullptr;
    QPushButton *btnImport = nullptr;
    QPushButton *btnExport = nullptr;
    QPushButton *btnHelp = nullptr;
    QCheckBox *btnCheckedSWF = nullptr;
    QPushButton *btnSelectSWF = nullptr;
    QLineEdit *lblSWFFile = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};
