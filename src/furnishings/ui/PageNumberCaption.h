#pragma once
// The editor of a book's page captions (the template setting "pageCaption"): the
// caption scheme as text, a sheet that builds one expression at a time
// (CaptionExpressionDelegate), and a preview of the caption of every page the scheme
// names. Apply and OK refuse a scheme holding an expression that is not valid, naming
// it, so nothing the user wrote is dropped unnoticed. OK ends with 1 and the scheme in
// expression(); Cancel ends with 0.

#include "platform/ui/WindowController.h"

#include <QPointer>

#include "furnishings/ui/CaptionExpressionDelegate.h"
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

class PageNumberCaption : public WindowController
{
    Q_OBJECT
public:
    explicit PageNumberCaption(QObject *parent = nullptr);

    // The scheme: in, the setting's value; out, the scheme after OK.
    QString expression() const { return m_expression; }
    void setExpression(const QString &scheme) { m_expression = scheme; }
    // Pages the preview shows at least (the book's page count when known).
    void setPageCount(int pages) { m_pageCount = pages; }

    // The expression sheet while it is shown.
    CaptionExpressionDelegate *expressionSheet() const { return m_sheet; }

public slots:
    void onAddExpression();
    // Checks the text and shows its captions; false (with an alert) when it is refused.
    bool onApply();
    void onOK();
    void onCancel();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    void expressionSheetDidEnd(int code);
    void showPreview(const QString &scheme);

    QString m_expression;
    int m_pageCount = 0;
    QPointer<CaptionExpressionDelegate> m_sheet;

    QPlainTextEdit *txtExpression = nullptr;
    QPushButton *btnAddExpression = nullptr;
    QPushButton *btnApply = nullptr;
    QTableWidget *tblPreview = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};
