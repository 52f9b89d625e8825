#include "platform/ui/ColorPanelDelegate.h"

#include "foundation/AppStrings.h"
#include "foundation/ColorText.h"
#include "platform/ui/ColorPanel.h"
#include "platform/ui/LogAlert.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ColorPanelDelegate::ColorPanelDelegate(QObject *parent) : WindowController(parent) {}

ColorPanelDelegate::~ColorPanelDelegate() = default;

std::optional<QColor> ColorPanelDelegate::chooseColor(QObject *owner, const QColor &start, const Cell &cell,
                                                      const QString &title)
{
    ColorPanelDelegate chooser;
    chooser.setOwer(owner);
    chooser.setCell(cell);
    chooser.setBkColor(start);
    chooser.setColor(start.isValid() ? start : QColor(Qt::white));
    if (!title.isEmpty())
        chooser.setTitle(title);
    chooser.center();
    const bool chosen = chooser.runModal() == 1;
    const QColor result = chosen ? chooser.color() : chooser.bkColor();
    if (cell && result.isValid())
        cell(result);
    return chosen ? std::optional<QColor>(result) : std::nullopt;
}

QvWindow *ColorPanelDelegate::createWindow()
{
    auto *panel = new ColorPanel;
    panel->setWindowTitle(loadAppString("ColorPanelC-Colors", "Colors"));

    auto *accessory = new QWidget;
    accessory->setObjectName(QStringLiteral("colorPanelAccessory"));
    auto *grid = new QGridLayout(accessory);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(loadAppString("ColorPanelC-Value:", "Value:"), accessory);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_valueField = new QLineEdit(accessory);
    m_valueField->setObjectName(QStringLiteral("txtValue"));
    m_valueField->setToolTip(loadAppString("ColorPanelC-input hexadecimal(0~9,A~F)", "input hexadecimal(0~9,A~F)"));
    m_valueField->setPlaceholderText(QStringLiteral("0x??????"));
    label->setBuddy(m_valueField);
    m_btnCancel = new QPushButton(loadAppString("ColorPanelC-Cancel", "Cancel"), accessory);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    m_btnCancel->setAutoDefault(false);
    m_btnOK = new QPushButton(loadAppString("ColorPanelC-Choose", "Choose"), accessory);
    m_btnOK->setObjectName(QStringLiteral("btnOK"));
    m_btnOK->setDefault(true); // Return chooses
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_valueField, 0, 1, 1, 2);
    grid->addWidget(m_btnCancel, 1, 1);
    grid->addWidget(m_btnOK, 1, 2);
    grid->setColumnStretch(0, 1);
    panel->setAccessoryView(accessory);
    // Return anywhere in the panel chooses: none of the chooser's own buttons may take it.
    for (QPushButton *inner : panel->colorChooser()->findChildren<QPushButton *>()) {
        inner->setAutoDefault(false);
        inner->setDefault(false);
    }
    return panel;
}

void ColorPanelDelegate::awakeFromNib()
{
    connect(m_btnOK, &QPushButton::clicked, this, &ColorPanelDelegate::onOK);
    connect(m_btnCancel, &QPushButton::clicked, this, &ColorPanelDelegate::onCancel);
    connect(m_valueField, &QLineEdit::textEdited, this, &ColorPanelDelegate::controlTextDidChange);
    connect(colorPanel(), &ColorPanel::colorChanged, this, [this](const QColor &color) {
        if (m_cell && color.isValid() && !m_closed)
            m_cell(color);
    });
}

ColorPanel *ColorPanelDelegate::colorPanel()
{
    return static_cast<ColorPanel *>(window());
}

QColor ColorPanelDelegate::color()
{
    return colorPanel()->color();
}

void ColorPanelDelegate::setColor(const QColor &color)
{
    colorPanel()->setColor(color);
}

QString ColorPanelDelegate::title()
{
    return colorPanel()->windowTitle();
}

void ColorPanelDelegate::setTitle(const QString &title)
{
    colorPanel()->setWindowTitle(title);
}

bool ColorPanelDelegate::isFloatingPanel()
{
    return colorPanel()->isFloatingPanel();
}

void ColorPanelDelegate::setFloatingPanel(bool floating)
{
    colorPanel()->setFloatingPanel(floating);
}

bool ColorPanelDelegate::showsAlpha()
{
    return colorPanel()->showsAlpha();
}

void ColorPanelDelegate::setShowsAlpha(bool shows)
{
    colorPanel()->setShowsAlpha(shows);
}

void ColorPanelDelegate::onOK()
{
    m_isClick = true;
    closeWindowWithCode(1);
}

void ColorPanelDelegate::onCancel()
{
    m_isClick = true;
    closeWindowWithCode(0);
}

bool ColorPanelDelegate::windowShouldClose()
{
    if (m_isClick)
        return true;
    alert2Save();
    return false;
}

void ColorPanelDelegate::alert2Save()
{
    if (m_asking)
        return;
    m_asking = true;
    AlertRequest request;
    request.messageText = loadAppString("ColorPanelC-Change the color?", "Change the color?");
    request.informativeText =
        loadAppString("ColorPanelC-Press OK to change now,otherwise not!", "Press OK to change now,otherwise not!");
    request.buttons = {loadAppString("ColorPanelC-OK", "OK"), loadAppString("ColorPanelC-Cancel", "Cancel")};
    request.escapeButton = 1;
    QPointer<ColorPanelDelegate> self(this);
    LogAlert::beginAlertSheet(request, colorPanel(), [self](int button) {
        if (self)
            self->endAlertProcess(button);
    });
}

void ColorPanelDelegate::endAlertProcess(int button)
{
    m_asking = false;
    m_isClick = true;
    closeWindowWithCode(button == 0 ? 1 : 0);
}

void ColorPanelDelegate::controlTextDidChange(const QString &text)
{
    const QString kept = filterHexColorInput(text);
    if (kept != text)
        m_valueField->setText(kept);
    setColor(colorFromHexRGB(hexColorInputText(kept)));
}

void ColorPanelDelegate::windowWillClose()
{
    m_closed = true;
}
