#pragma once
// The import dialog of a PDF: password, page range, quality level and wide-page mode.
// It starts from a record (the last choices, or those of an import that failed) and
// shows why the last attempt failed (a wrong password, a bad page range). Import ends
// it with code 1 once the page range reads; parament() then holds the choices.

#include "batch/ImportParament.h"
#include "platform/ui/WindowController.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class ImportPDFDialog : public WindowController
{
    Q_OBJECT
public:
    explicit ImportPDFDialog(QObject *parent = nullptr);

    // The record to start from; its first source file is the PDF.
    void setParament(const ImportParament &parament) { m_parament = parament; }
    ImportParament parament() const { return m_parament; }
    // A message shown above the fields (why the dialog is asked again).
    void setMessage(const QString &message) { m_message = message; }

    // The PDF's page count as far as it can be read without the right password (-1).
    int pageCount() const { return m_pageCount; }

    // Controls, for tests.
    QLineEdit *passwordField() const { return m_txtPassword; }
    QLineEdit *pageRangeField() const { return m_txtPageRange; }
    QRadioButton *allPagesButton() const { return m_rdAllPages; }
    QRadioButton *pageRangeButton() const { return m_rdPageRange; }
    QComboBox *qualityBox() const { return m_cmbQuality; }
    QComboBox *widePageBox() const { return m_cmbWidePage; }
    QLabel *messageLabel() const { return m_lblMessage; }
    QPushButton *importButton() const { return m_btnImport; }

public slots:
    void onImport();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    void readPageCount();
    void showMessage(const QString &message);

    ImportParament m_parament;
    QString m_message;
    int m_pageCount = -1;

    QLabel *m_lblFile = nullptr;
    QLabel *m_lblMessage = nullptr;
    QLineEdit *m_txtPassword = nullptr;
    QRadioButton *m_rdAllPages = nullptr;
    QRadioButton *m_rdPageRange = nullptr;
    QLineEdit *m_txtPageRange = nullptr;
    QLabel *m_lblPageCount = nullptr;
    QComboBox *m_cmbQuality = nullptr;
    QComboBox *m_cmbWidePage = nullptr;
    QPushButton *m_btnCancel = nullptr;
    QPushButton *m_btnImport = nullptr;
};
