#include "furnishings/ui/PageNumberCaption.h"

#include "foundation/AppStrings.h"
#include "furnishings/PageCaptionUtility.h"
#include "furnishings/ui/CaptionExpressionDelegate.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvWindow.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>

namespace {

// The preview lists at most this many pages.
constexpr int kPreviewPages = 500;

// The last page a scheme names (ranges by their end), held to the preview's length.
int lastNamedPage(const QString &scheme)
{
    static const QRegularExpression pages(QStringLiteral("(?:^|;)\\s*(\\d{1,6})(?:\\s*-\\s*(\\d{1,6}))?\\s*:"));
    int last = 0;
    auto it = pages.globalMatch(QString(scheme).remove(QLatin1Char('\r')).remove(QLatin1Char('\n')));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        last = std::max({last, m.captured(1).toInt(), m.captured(2).toInt()});
    }
    return std::min(last, kPreviewPages);
}

} // namespace

PageNumberCaption::PageNumberCaption(QObject *parent)
    : WindowController(QStringLiteral("PageNumberCaption"), WindowLoader::Lookup::Localized, parent)
{
}

void PageNumberCaption::bindOutlets()
{
    outlet(txtExpression, "txtExpression");
    outlet(btnAddExpression, "btnAddExpression");
    outlet(btnApply, "btnApply");
    outlet(tblPreview, "tblPreview");
    outlet(btnOK, "btnOK");
    outlet(btnCancel, "btnCancel");
}

void PageNumberCaption::awakeFromNib()
{
    connect(btnAddExpression, &QPushButton::clicked, this, &PageNumberCaption::onAddExpression);
    connect(btnApply, &QPushButton::clicked, this, &PageNumberCaption::onApply);
    connect(btnOK, &QPushButton::clicked, this, &PageNumberCaption::onOK);
    connect(btnCancel, &QPushButton::clicked, this, &PageNumberCaption::onCancel);
    tblPreview->setHorizontalHeaderLabels({loadAppString("PageNumberCaptionD-Page", "Page"),
                                           loadAppString("PageNumberCaptionD-Caption", "Caption")});
    tblPreview->horizontalHeader()->setStretchLastSection(true);
    tblPreview->verticalHeader()->hide();
    txtExpression->setPlainText(m_expression);
    showPreview(m_expression);
}

void PageNumberCaption::onAddExpression()
{
    if (m_sheet)
        return;
    m_sheet = new CaptionExpressionDelegate(this);
    m_sheet->beginSheet(window(), [this](int code) { expressionSheetDidEnd(code); });
}

void PageNumberCaption::expressionSheetDidEnd(int code)
{
    CaptionExpressionDelegate *sheet = m_sheet;
    m_sheet = nullptr;
    if (!sheet)
        return;
    if (code != 0 && !sheet->expressionString().isEmpty()) {
        QString text = txtExpression->toPlainText().trimmed();
        if (!text.isEmpty() && !text.endsWith(QLatin1Char(';')))
            text += QLatin1Char(';');
        txtExpression->setPlainText(text + sheet->expressionString());
        onApply();
    }
    sheet->deleteLater();
}

bool PageNumberCaption::onApply()
{
    const QString scheme = txtExpression->toPlainText();
    const QStringList invalid = PageCaptionUtility::invalidExpressions(scheme);
    if (!invalid.isEmpty()) {
        LogAlert::alertMessage(loadAppString("PageNumberCaptionD-Invalid expression!", "Invalid expression!"),
                               loadAppString("PageNumberCaptionD-Please check the input string again!",
                                             "Please check the input string again!"),
                               invalid.join(QLatin1Char('\n')));
        return false;
    }
    showPreview(scheme);
    return true;
}

void PageNumberCaption::showPreview(const QString &scheme)
{
    const int pages = std::max(std::min(m_pageCount, kPreviewPages), lastNamedPage(scheme));
    const QStringList captions = PageCaptionUtility::captionsForPages(scheme, pages);
    tblPreview->setRowCount(captions.size());
    for (int i = 0; i < captions.size(); ++i) {
        tblPreview->setItem(i, 0, new QTableWidgetItem(QString::number(i + 1)));
        tblPreview->setItem(i, 1, new QTableWidgetItem(captions.at(i)));
    }
}

void PageNumberCaption::onOK()
{
    if (!onApply())
        return;
    QString scheme = txtExpression->toPlainText();
    scheme.remove(QLatin1Char('\r'));
    scheme.remove(QLatin1Char('\n'));
    // Empty expressions (a trailing ";") say nothing: the stored scheme leaves them out.
    m_expression = PageCaptionUtility::checkCaptionFormat(scheme).value_or(QString());
    closeWindowWithCode(1);
}

void PageNumberCaption::onCancel()
{
    closeWindowWithCode(0);
}
