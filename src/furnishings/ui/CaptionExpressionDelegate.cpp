#include "furnishings/ui/CaptionExpressionDelegate.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "furnishings/PageCaptionUtility.h"
#include "platform/ui/LogAlert.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

CaptionExpressionDelegate::CaptionExpressionDelegate(QObject *parent)
    : WindowController(QStringLiteral("CaptionExpressionDelegate"), WindowLoader::Lookup::Localized, parent),
      m_macroMenu(new QMenu(QStringLiteral("MACRO")))
{
    for (const QString &macro : PageCaptionUtility::captionMacros())
        connect(m_macroMenu->addAction(macro), &QAction::triggered, this, [this, macro] { onAddMacro(macro); });
}

CaptionExpressionDelegate::~CaptionExpressionDelegate()
{
    delete m_macroMenu;
}

void CaptionExpressionDelegate::bindOutlets()
{
    outlet(txtFromPage, "txtFromPage");
    outlet(txtToPage, "txtToPage");
    outlet(txtCaption, "txtCaption");
    outlet(lblExpression, "lblExpression");
    outlet(btnMacro, "btnMacro");
    outlet(btnOK, "btnOK");
    outlet(btnCancel, "btnCancel");
}

void CaptionExpressionDelegate::awakeFromNib()
{
    connect(btnMacro, &QPushButton::clicked, this, &CaptionExpressionDelegate::onOpenMacroMenu);
    connect(btnOK, &QPushButton::clicked, this, &CaptionExpressionDelegate::onOK);
    connect(btnCancel, &QPushButton::clicked, this, &CaptionExpressionDelegate::onCancel);
    for (QLineEdit *field : {txtFromPage, txtToPage, txtCaption})
        connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
}

void CaptionExpressionDelegate::controlTextDidChange(QLineEdit *field)
{
    if (field != txtCaption) {
        const QString digits = AppUtility::checkIntegerValueString(field->text());
        if (digits != field->text())
            field->setText(digits);
    }
    QMetaObject::invokeMethod(this, &CaptionExpressionDelegate::refreshExpression, Qt::QueuedConnection);
}

void CaptionExpressionDelegate::refreshExpression()
{
    if (!lblExpression)
        return;
    lblExpression->setText(
        PageCaptionUtility::expressionFromFields(txtFromPage->text(), txtToPage->text(), txtCaption->text()));
}

void CaptionExpressionDelegate::onOpenMacroMenu()
{
    m_macroMenu->popup(btnMacro->mapToGlobal(QPoint(0, btnMacro->height())));
}

void CaptionExpressionDelegate::onAddMacro(const QString &macro)
{
    window();
    if (PageCaptionUtility::hasCounterMacro(txtCaption->text())
        && !LogAlert::askOKCancel(loadAppString("CaptionExpressionD-Only the first macro is valid !", "Only the first macro is valid !"),
                                  loadAppString("CaptionExpressionD-Press OK to continue to add macro,otherwise not!",
                                                "Press OK to continue to add macro,otherwise not!")))
        return;
    txtCaption->setText(txtCaption->text() + macro);
    refreshExpression();
}

void CaptionExpressionDelegate::onOK()
{
    refreshExpression();
    if (lblExpression->text().isEmpty()) {
        LogAlert::alertMessage(loadAppString("CaptionExpressionD-Invalid expression!", "Invalid expression!"), QString());
        return;
    }
    m_expressionString = lblExpression->text();
    closeWindowWithCode(1);
}

void CaptionExpressionDelegate::onCancel()
{
    closeWindowWithCode(0);
}
