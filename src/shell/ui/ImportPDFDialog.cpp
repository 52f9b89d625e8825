#include "shell/ui/ImportPDFDialog.h"

#include "foundation/AppStrings.h"
#include "pages/PageRange.h"
#include "pages/PdfDocument.h"
#include "platform/ui/QvWindow.h"
#include "project/PreferencesSettings.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <poppler-qt6.h>

ImportPDFDialog::ImportPDFDialog(QObject *parent)
    : WindowController(QStringLiteral("ImportPDFWindow"), WindowLoader::Lookup::Localized, parent)
{
}

void ImportPDFDialog::bindOutlets()
{
    outlet(m_lblFile, "lblFile");
    outlet(m_lblMessage, "lblMessage");
    outlet(m_txtPassword, "txtPassword");
    outlet(m_rdAllPages, "rdAllPages");
    outlet(m_rdPageRange, "rdPageRange");
    outlet(m_txtPageRange, "txtPageRange");
    outlet(m_lblPageCount, "lblPageCount");
    outlet(m_cmbQuality, "cmbQuality");
    outlet(m_cmbWidePage, "cmbWidePage");
    outlet(m_btnCancel, "btnCancel");
    outlet(m_btnImport, "btnImport");
}

void ImportPDFDialog::awakeFromNib()
{
    const QString pdf = m_parament.sourceFiles.value(0);
    m_lblFile->setText(QDir::toNativeSeparators(QFileInfo(pdf).fileName()));
    m_lblFile->setToolTip(QDir::toNativeSeparators(pdf));
    showMessage(m_message);
    m_txtPassword->setText(m_parament.strPassword);

    const bool all = PageRange::isAll(m_parament.strPageRange);
    m_rdAllPages->setChecked(all);
    m_rdPageRange->setChecked(!all);
    m_txtPageRange->setText(all ? QString() : m_parament.strPageRange);
    m_txtPageRange->setEnabled(!all);
    connect(m_rdPageRange, &QRadioButton::toggled, m_txtPageRange, &QLineEdit::setEnabled);
    connect(m_txtPageRange, &QLineEdit::textEdited, this, [this] { m_rdPageRange->setChecked(true); });

    const QString levels[] = {
        loadAppString(QStringLiteral("ImportPDFD-Best (%1 dpi)"), QStringLiteral("Best (%1 dpi)")),
        loadAppString(QStringLiteral("ImportPDFD-Good (%1 dpi)"), QStringLiteral("Good (%1 dpi)")),
        loadAppString(QStringLiteral("ImportPDFD-Small (%1 dpi)"), QStringLiteral("Small (%1 dpi)")),
    };
    for (int level = 0; level < PreferencesSettings::QualityLevelCount; ++level)
        m_cmbQuality->addItem(levels[level].arg(PreferencesSettings::shareInstance()->imageDPILevel(level)));
    m_cmbQuality->setCurrentIndex(qBound(0, m_parament.iQualityLevel, PreferencesSettings::QualityLevelCount - 1));

    m_cmbWidePage->addItems({
        loadAppString(QStringLiteral("ImportPDFD-Keep wide pages whole"), QStringLiteral("Keep wide pages whole")),
        loadAppString(QStringLiteral("ImportPDFD-Split pages wider than tall in two"),
                      QStringLiteral("Split pages wider than tall in two")),
        loadAppString(QStringLiteral("ImportPDFD-Split every page in two"), QStringLiteral("Split every page in two")),
    });
    m_cmbWidePage->setCurrentIndex(qBound(0, m_parament.iWidePageMode, 2));

    connect(m_btnCancel, &QPushButton::clicked, this, [this] { closeWindowWithCode(0); });
    connect(m_btnImport, &QPushButton::clicked, this, &ImportPDFDialog::onImport);
    connect(m_txtPassword, &QLineEdit::editingFinished, this, &ImportPDFDialog::readPageCount);
    readPageCount();
    // The password field only matters for a protected PDF.
    if (m_pageCount < 0) {
        m_txtPassword->selectAll();
        m_txtPassword->setFocus();
    } else {
        m_btnImport->setFocus();
    }
}

void ImportPDFDialog::readPageCount()
{
    PageResult opened;
    const auto document = PdfDocument::open(m_parament.sourceFiles.value(0), m_txtPassword->text(), &opened);
    m_pageCount = document ? document->numPages() : -1;
    if (m_pageCount > 0)
        m_lblPageCount->setText(loadAppString(QStringLiteral("ImportPDFD-The PDF has %1 pages."),
                                              QStringLiteral("The PDF has %1 pages."))
                                    .arg(m_pageCount));
    else if (opened.error == PageError::PasswordNeeded || opened.error == PageError::WrongPassword)
        m_lblPageCount->setText(loadAppString(QStringLiteral("ImportPDFD-The PDF is protected: enter its password."),
                                              QStringLiteral("The PDF is protected: enter its password.")));
    else
        m_lblPageCount->setText(opened.message);
}

void ImportPDFDialog::showMessage(const QString &message)
{
    m_lblMessage->setText(message);
    m_lblMessage->setVisible(!message.isEmpty());
}

void ImportPDFDialog::onImport()
{
    QString range = QStringLiteral("ALL");
    if (m_rdPageRange->isChecked() && !m_txtPageRange->text().trimmed().isEmpty()) {
        range = m_txtPageRange->text().trimmed();
        // The range is checked here when the PDF can be read; otherwise the import
        // reports a bad range and the dialog comes back.
        readPageCount();
        PageResult checked;
        if (m_pageCount > 0 && !PageRange::parse(range, m_pageCount, &checked)) {
            showMessage(checked.message);
            m_txtPageRange->setFocus();
            m_txtPageRange->selectAll();
            return;
        }
    }
    m_parament.strPassword = m_txtPassword->text();
    m_parament.strPageRange = range;
    m_parament.iQualityLevel = m_cmbQuality->currentIndex();
    m_parament.iWidePageMode = m_cmbWidePage->currentIndex();
    closeWindowWithCode(1);
}
