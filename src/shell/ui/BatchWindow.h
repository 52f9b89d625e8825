#pragma once
// The batch window: a queue of documents (PDF files, folders of pictures, projects),
// added with a file chooser or by dropping them on the window, each with its own output
// settings. "Output Settings…" opens the output window (ConvertSettings) on the selected
// row as a sheet, "Advanced…" the advanced sheet (BatchAdvancedSetting) on its record;
// "Convert" converts every row one after another (BatchConversion), showing the row's and
// the whole run's progress; Cancel stops the run, leaving the books made before. A row
// that fails shows why and the others go on; at the end the failures are listed.
//
// The main window opens it from the File menu ("Batch Conversion…"); it is independent
// of the open book. While it converts, its close box is refused.

#include "batch/BatchList.h"
#include "platform/ui/WindowController.h"
#include "publishing/ui/ConvertSettings.h"
#include "shell/BatchConversion.h"

#include <QPointer>

class DragFileImport;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

class BatchWindow : public WindowController
{
    Q_OBJECT
public:
    explicit BatchWindow(QObject *parent = nullptr);
    ~BatchWindow() override;

    BatchList &list() { return m_list; }
    BatchConversion &conversion() { return m_conversion; }
    DragFileImport *dropTarget() const { return m_dropTarget; }
    // The output window open on a row, if any.
    ConvertSettings *outputSettings() const { return m_settings; }

    // Adds a row per path; what cannot be converted is named in one alert.
    void addPaths(const QStringList &paths);
    void selectRow(int row);

public slots:
    void onAdd();
    void onAddFolder();
    void onRemove();
    void onOutputSettings();
    void onAdvanced();
    void onConvert();
    void onCancel();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    int selectedRow() const;
    void updateButtons();
    bool askToReplace(const QString &path);
    void rowProgressed(int row, int percent, const QString &text);
    void conversionFinished(bool cancelled);

    BatchList m_list;
    BatchConversion m_conversion{&m_list};
    QPointer<ConvertSettings> m_settings;
    QPointer<WindowController> m_advanced;
    // The run started from the output window's Publish button converts that row only.
    bool m_publishFromSettings = false;
    QStringList m_failures;

    QTableView *tblRows = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnAddFolder = nullptr;
    QPushButton *btnRemove = nullptr;
    QPushButton *btnOutputSettings = nullptr;
    QPushButton *btnAdvanced = nullptr;
    QPushButton *btnConvert = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnClose = nullptr;
    QProgressBar *prgRow = nullptr;
    QProgressBar *prgOverall = nullptr;
    QLabel *lblInfo = nullptr;
    DragFileImport *m_dropTarget = nullptr;
};
