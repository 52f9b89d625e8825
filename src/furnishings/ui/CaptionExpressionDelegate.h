#pragma once
// The sheet that builds one page-caption expression from a first and a last page, a
// caption and a macro menu ({N+}, {R+}, {r+} with or without an offset). The label
// shows the expression as it would be used ("" while it is not valid); OK takes it
// into expressionString() and ends with 1, Cancel ends with 0.

#include "platform/ui/WindowController.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class CaptionExpressionDelegate : public WindowController
{
    Q_OBJECT
public:
    explicit CaptionExpressionDelegate(QObject *parent = nullptr);
    ~CaptionExpressionDelegate() override;

    QString expressionString() const { return m_expressionString; }
    void setExpressionString(const QString &expression) { m_expressionString = expression; }
    QMenu *macroMenu() const { return m_macroMenu; }

public slots:
    void onOpenMacroMenu();
    void onAddMacro(const QString &macro);
    void onOK();
    void onCancel();
    void refreshExpression();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    void controlTextDidChange(QLineEdit *field);

    QString m_expressionString;
    QMenu *m_macroMenu = nullptr;

    QLineEdit *txtFromPage = nullptr;
    QLineEdit *txtToPage = nullptr;
    QLineEdit *txtCaption = nullptr;
    QLabel *lblExpression = nullptr;
    QPushButton *btnMacro = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};
