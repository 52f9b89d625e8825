#pragma once
// The colour chooser of the program: the colour panel with "Choose" and "Cancel"
// buttons and a "Value:" field for hexadecimal input below it. It runs
// application-modal and ends with closeMode() 1 after "Choose", 0 after "Cancel". Its
// close box (and Escape) asks "Change the color?" first, and ends the run with the
// answer.
//
// The opener sets, in this order, ower (who opened it), cell (shows every colour
// the panel takes, live), bkColor (the colour before) and color; after a cancelled
// run the cell shows bkColor again. chooseColor() does all of it.

#include "platform/ui/WindowController.h"

#include <QColor>
#include <QPointer>
#include <functional>
#include <optional>

class ColorPanel;
class QLineEdit;
class QPushButton;

class ColorPanelDelegate : public WindowController
{
    Q_OBJECT
public:
    using Cell = std::function<void(const QColor &color)>;

    explicit ColorPanelDelegate(QObject *parent = nullptr);
    ~ColorPanelDelegate() override;

    // Runs the chooser for owner starting at start; cell (may be empty) follows the
    // panel while it runs. The chosen colour, or nothing when cancelled (the cell then
    // shows start again).
    static std::optional<QColor> chooseColor(QObject *owner, const QColor &start, const Cell &cell,
                                             const QString &title = {});

    QObject *ower() const { return m_owner; }
    void setOwer(QObject *owner) { m_owner = owner; }
    void setCell(Cell cell) { m_cell = std::move(cell); }
    QColor bkColor() const { return m_bkColor; }
    void setBkColor(const QColor &color) { m_bkColor = color; }

    QColor color();
    void setColor(const QColor &color);
    QString title();
    void setTitle(const QString &title);
    bool isFloatingPanel();
    void setFloatingPanel(bool floating);
    bool showsAlpha();
    void setShowsAlpha(bool shows);

    ColorPanel *colorPanel();
    QLineEdit *valueField() const { return m_valueField; }
    bool isClosed() const { return m_closed; }

    void onOK();
    void onCancel();
    // Asks on the panel whether to take the colour; the answer closes it.
    void alert2Save();
    // The hexadecimal field changed: keep what it may hold and take its colour.
    void controlTextDidChange(const QString &text);

protected:
    QvWindow *createWindow() override;
    void awakeFromNib() override;
    bool windowShouldClose() override;
    void windowWillClose() override;

private:
    void endAlertProcess(int button);

    QPointer<QObject> m_owner;
    Cell m_cell;
    QColor m_bkColor;
    QLineEdit *m_valueField = nullptr;
    QPushButton *m_btnOK = nullptr;
    QPushButton *m_btnCancel = nullptr;
    bool m_closed = false;
    bool m_isClick = false;
    bool m_asking = false;
};
