#include "publishing/ui/MobileSettingView.h"

#include "foundation/AppStrings.h"
#include "platform/ui/ColorPanelDelegate.h"
#include "platform/ui/QvPanel.h"
#include "publishing/ui/DrawSingleLine.h"
#include "publishing/ui/RoundButtonCell.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

MobileSettingView::MobileSettingView(QWidget *parent) : QWidget(parent)
{
    setupView();
}

MobileSettingView::MobileSettingView(const QRect &frame, QWidget *parent) : QWidget(parent)
{
    setGeometry(frame);
    setupView();
}

QLabel *MobileSettingView::labelOne(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setAutoFillBackground(false);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

QComboBox *MobileSettingView::popUpWithItems(const QStringList &items, QWidget *parent)
{
    auto *popUp = new QComboBox(parent);
    popUp->addItems(items);
    return popUp;
}

void MobileSettingView::setupView()
{
    for (int i = 0; i < 8; ++i) {
        auto *line = new DrawSingleLine(this);
        line->setBackgroundColor(Qt::gray);
        line->setPosition(i == 0 || i == 1 ? 1 : 0);
        m_lines << line;
    }
    _lblTitle = labelOne(this);
    _lblTitle->setText(loadAppString("MobileSettingV-Mobile Setting", "Mobile Setting"));
    _lblBGColor = labelOne(this);
    _lblBGColor->setText(loadAppString("MobileSettingV-Mobile background color:", "Mobile background color:"));
    _btnColor = new RoundButtonCell(this);
    _btnColor->setToolTip(loadAppString("MobileSettingV-click to change the color", "click to change the color"));
    _btnColor->setBackgroundColor(Qt::gray);
    connect(_btnColor, &QPushButton::clicked, this, &MobileSettingView::onChangeColor);

    _lblFlipStyle = labelOne(this);
    _lblFlipStyle->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    _lblFlipStyle->setText(loadAppString("MobileSettingV-Flip Style:", "Flip Style:"));
    _popFlipStyle = popUpWithItems({QStringLiteral("Flip"), QStringLiteral("Slide")}, this);
    connect(_popFlipStyle, &QComboBox::activated, this, &MobileSettingView::onFlipStyleChange);

    _lblDoubleSlide = labelOne(this);
    _lblDoubleSlide->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    _lblDoubleSlide->setText(loadAppString("MobileSettingV-Double page slide:", "Double page slide:"));
    _popDoubleSlide = popUpWithItems({QStringLiteral("Yes"), QStringLiteral("No")}, this);
    connect(_popDoubleSlide, &QComboBox::activated, this, &MobileSettingView::onDoubleSlideChange);

    _btnMore = new QPushButton(loadAppString("MobileSettingV-Setting File(*.txt)", "Setting File(*.txt)"), this);
    _btnMore->setToolTip(loadAppString("MobileSettingV-Load mobile setting from file.", "Load mobile setting from file."));
    connect(_btnMore, &QPushButton::clicked, this, &MobileSettingView::onOpenMobileTextSettings);
    setMinimumSize(221, 150);
    layoutControls();
}

QRect MobileSettingView::fromBottom(double x, double y, double w, double h) const
{
    return QRect(qRound(x), qRound(height() - y - h), qRound(w), qRound(h));
}

void MobileSettingView::layoutControls()
{
    const double W = width();
    const double H = height();
    m_lines[0]->setGeometry(fromBottom(0, 0, 2, H));
    m_lines[1]->setGeometry(fromBottom(W - 2, 0, 2, H));
    m_lines[2]->setGeometry(fromBottom(0, H - 2, W, 2));
    m_lines[3]->setGeometry(fromBottom(0, 0, W, 2));

    const double y0 = H - 27;
    _lblTitle->setGeometry(fromBottom(10, y0 + 5, 174, 17));
    m_lines[4]->setGeometry(fromBottom(5, y0, W - 10, 1));

    const double y1 = y0 - 22;
    const double c = (W - 221) / 2;
    _lblBGColor->setGeometry(fromBottom(c + 5, y1, 174, 17));
    _btnColor->setGeometry(fromBottom(c + 5 + 174 + 5, y1, 32, 17));
    m_lines[5]->setGeometry(fromBottom(5, y1 - 5, W - 10, 1));

    const double y2 = y1 - 29;
    _lblFlipStyle->setGeometry(fromBottom(c + 5, y2 + 2, 116, 17));
    _popFlipStyle->setGeometry(fromBottom(c + 5 + 116, y2, 100, 22));
    m_lines[6]->setGeometry(fromBottom(5, y2 - 5, W - 10, 1));

    const double y3 = y2 - 29;
    _lblDoubleSlide->setGeometry(fromBottom(c + 5, y3 + 2, 116, 17));
    _popDoubleSlide->setGeometry(fromBottom(c + 5 + 116, y3, 100, 22));
    m_lines[7]->setGeometry(fromBottom(5, y3 - 5, W - 10, 1));

    const double y4 = y3 - 33;
    _btnMore->setGeometry(fromBottom(c, y4, 200, 24));
}

void MobileSettingView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}

void MobileSettingView::setNeedsDisplay(bool flag)
{
    if (flag) {
        if (m_mainColor.isValid())
            _btnColor->setBackgroundColor(m_mainColor);
        if (!m_mbFlipStyle.isNull()) {
            const int index = _popFlipStyle->findText(m_mbFlipStyle);
            _popFlipStyle->setCurrentIndex(std::max(0, index));
            if (index < 0)
                m_mbFlipStyle = _popFlipStyle->itemText(0);
        }
        if (!m_mbDoubleSlide.isNull()) {
            const int index = _popDoubleSlide->findText(m_mbDoubleSlide);
            if (index >= 0)
                _popDoubleSlide->setCurrentIndex(index);
        }
    }
    update();
}

void MobileSettingView::onChangeColor()
{
    // The swatch follows the chooser while it runs, and gets its colour back on Cancel.
    QPointer<RoundButtonCell> swatch = _btnColor;
    const std::optional<QColor> chosen =
        ColorPanelDelegate::chooseColor(this, _btnColor->backgroundColor(), [swatch](const QColor &color) {
            if (swatch && color.isValid())
                swatch->setBackgroundColor(color);
        });
    if (chosen && chosen->isValid())
        m_mainColor = *chosen;
}

void MobileSettingView::onFlipStyleChange()
{
    m_mbFlipStyle = _popFlipStyle->currentText();
}

void MobileSettingView::onDoubleSlideChange()
{
    m_mbDoubleSlide = _popDoubleSlide->currentText();
}

void MobileSettingView::onOpenMobileTextSettings()
{
    QvPanelOptions options;
    options.types = {QStringLiteral("txt")};
    QvPanel::runForPath(this, options, [this](const QString &path) {
        m_mbSettingFile = path;
        emit settingFileChosen(path);
    });
}
