#pragma once
// The colour panel: a window holding Qt's colour chooser, reporting every change of
// the colour at once (colorChanged and ColorPanelColorDidChangeNotification with the
// panel as object), with room below the chooser for an accessory view of the caller.
// A window controller makes one its window by returning it from createWindow().

#include "platform/ui/QvWindow.h"

#include <QColor>
#include <QPointer>

class QColorDialog;
class QVBoxLayout;

inline const QString ColorPanelColorDidChangeNotification = QStringLiteral("ColorPanelColorDidChangeNotification");

class ColorPanel : public QvWindow
{
    Q_OBJECT
public:
    explicit ColorPanel(QWidget *parent = nullptr);

    QColor color() const;
    void setColor(const QColor &color);

    bool showsAlpha() const;
    void setShowsAlpha(bool shows);
    // A floating panel stays above the other windows.
    bool isFloatingPanel() const;
    void setFloatingPanel(bool floating);

    // Placed below the chooser; the panel takes ownership. Null removes (and deletes) it.
    void setAccessoryView(QWidget *view);
    QWidget *accessoryView() const { return m_accessory; }

    QColorDialog *colorChooser() const { return m_chooser; }

signals:
    void colorChanged(const QColor &color);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QColorDialog *m_chooser;
    QVBoxLayout *m_layout;
    QPointer<QWidget> m_accessory;
};
