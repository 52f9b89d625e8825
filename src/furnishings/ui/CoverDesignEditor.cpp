#include "furnishings/ui/CoverDesignEditor.h"

#include "foundation/AppStrings.h"
#include "foundation/ColorText.h"
#include "furnishings/CoverRenderer.h"
#include "platform/WorkerPool.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QtConcurrent>

namespace {

constexpr int kPreviewSide = 420;

QSpinBox *spinBox(int low, int high, const QString &suffix = {})
{
    auto *box = new QSpinBox;
    box->setRange(low, high);
    box->setSuffix(suffix);
    return box;
}

QLineEdit *colorField()
{
    auto *field = new QLineEdit;
    field->setPlaceholderText(QStringLiteral("0xRRGGBB"));
    field->setMaxLength(8);
    return field;
}

// The colour a field holds, or fallback while its text is not a colour.
QColor fieldColor(const QLineEdit *field, const QColor &fallback)
{
    return hexRGBDigits(field->text()) ? colorFromHexRGB(field->text()) : fallback;
}

} // namespace

CoverDesignEditor::CoverDesignEditor(const CoverDesign &design, const QImage &source, QWidget *parent)
    : QDialog(parent)
    , m_design(design)
    , m_source(source)
    , m_renderer(std::make_shared<CoverRenderer>())
{
    setWindowTitle(loadAppString("CoverMaker-Book Cover Maker", "Book Cover Maker"));
    buildControls();
    showDesign();
    m_delay.setSingleShot(true);
    m_delay.setInterval(120);
    connect(&m_delay, &QTimer::timeout, this, &CoverDesignEditor::startDrawing);
    connect(&m_watcher, &QFutureWatcher<QImage>::finished, this, &CoverDesignEditor::drawingEnded);
    startDrawing();
}

CoverDesignEditor::~CoverDesignEditor()
{
    m_watcher.waitForFinished();
}

void CoverDesignEditor::buildControls()
{
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("coverPreview"));
    m_picture->setFixedSize(kPreviewSide, kPreviewSide);
    m_picture->setAlignment(Qt::AlignCenter);

    m_width = spinBox(CoverDesign::kMinSide, CoverDesign::kMaxSide, QStringLiteral(" px"));
    m_height = spinBox(CoverDesign::kMinSide, CoverDesign::kMaxSide, QStringLiteral(" px"));
    m_backgroundKind = new QComboBox;
    m_backgroundKind->addItems({loadAppString("CoverMaker-One colour", "One colour"),
                                loadAppString("CoverMaker-Gradient", "Gradient")});
    m_background = colorField();
    m_background2 = colorField();
    m_scale = spinBox(10, 100, QStringLiteral(" %"));
    m_centerX = spinBox(0, 100, QStringLiteral(" %"));
    m_centerY = spinBox(0, 100, QStringLiteral(" %"));
    m_turn = spinBox(-CoverDesign::kMaxTurn, CoverDesign::kMaxTurn, QStringLiteral("°"));
    m_frameWidth = spinBox(0, CoverDesign::kMaxFrame, QStringLiteral(" px"));
    m_frameColor = colorField();
    m_shadowBlur = spinBox(0, CoverDesign::kMaxBlur, QStringLiteral(" px"));
    m_shadowX = spinBox(-CoverDesign::kMaxOffset, CoverDesign::kMaxOffset, QStringLiteral(" px"));
    m_shadowY = spinBox(-CoverDesign::kMaxOffset, CoverDesign::kMaxOffset, QStringLiteral(" px"));
    m_shadowOpacity = spinBox(0, 100, QStringLiteral(" %"));
    m_shadowColor = colorField();
    m_title = new QLineEdit;
    m_title->setMaxLength(CoverDesign::kMaxTitleLength);
    m_titlePlace = new QComboBox;
    m_titlePlace->addItems({loadAppString("CoverMaker-No title", "No title"), loadAppString("CoverMaker-Top", "Top"),
                            loadAppString("CoverMaker-Bottom", "Bottom")});
    m_titleSize = spinBox(6, CoverDesign::kMaxTitleSize, QStringLiteral(" px"));
    m_titleColor = colorField();
    m_titleBold = new QCheckBox(loadAppString("CoverMaker-Bold", "Bold"));

    const QList<QPair<const char *, QWidget *>> named = {
        {"width", m_width},           {"height", m_height},           {"backgroundKind", m_backgroundKind},
        {"background", m_background}, {"background2", m_background2}, {"scale", m_scale},
        {"centerX", m_centerX},       {"centerY", m_centerY},         {"turn", m_turn},
        {"frameWidth", m_frameWidth}, {"frameColor", m_frameColor},   {"shadowBlur", m_shadowBlur},
        {"shadowX", m_shadowX},       {"shadowY", m_shadowY},         {"shadowOpacity", m_shadowOpacity},
        {"shadowColor", m_shadowColor}, {"title", m_title},           {"titlePlace", m_titlePlace},
        {"titleSize", m_titleSize},   {"titleColor", m_titleColor},   {"titleBold", m_titleBold}};
    for (const auto &[name, widget] : named)
        widget->setObjectName(QString::fromLatin1(name));

    auto *form = new QFormLayout;
    const auto pair = [](QWidget *a, QWidget *b) {
        auto *row = new QWidget;
        auto *layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(a);
        layout->addWidget(b);
        return row;
    };
    form->addRow(loadAppString("CoverMaker-Size:", "Size:"), pair(m_width, m_height));
    form->addRow(loadAppString("CoverMaker-Background:", "Background:"), m_backgroundKind);
    form->addRow(loadAppString("CoverMaker-Colours:", "Colours:"), pair(m_background, m_background2));
    form->addRow(loadAppString("CoverMaker-Picture height:", "Picture height:"), m_scale);
    form->addRow(loadAppString("CoverMaker-Picture centre:", "Picture centre:"), pair(m_centerX, m_centerY));
    form->addRow(loadAppString("CoverMaker-Turn:", "Turn:"), m_turn);
    form->addRow(loadAppString("CoverMaker-Frame:", "Frame:"), pair(m_frameWidth, m_frameColor));
    form->addRow(loadAppString("CoverMaker-Shadow blur:", "Shadow blur:"), m_shadowBlur);
    form->addRow(loadAppString("CoverMaker-Shadow offset:", "Shadow offset:"), pair(m_shadowX, m_shadowY));
    form->addRow(loadAppString("CoverMaker-Shadow:", "Shadow:"), pair(m_shadowOpacity, m_shadowColor));
    form->addRow(loadAppString("CoverMaker-Title:", "Title:"), m_title);
    form->addRow(loadAppString("CoverMaker-Title place:", "Title place:"), m_titlePlace);
    form->addRow(loadAppString("CoverMaker-Title size:", "Title size:"), pair(m_titleSize, m_titleBold));
    form->addRow(loadAppString("CoverMaker-Title colour:", "Title colour:"), m_titleColor);

    auto *settings = new QWidget;
    settings->setLayout(form);
    auto *scroll = new QScrollArea;
    scroll->setWidget(settings);
    scroll->setWidgetResizable(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->addWidget(m_picture);
    top->addWidget(scroll, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    for (QSpinBox *box : findChildren<QSpinBox *>())
        connect(box, &QSpinBox::valueChanged, this, &CoverDesignEditor::readControls);
    for (QLineEdit *field : findChildren<QLineEdit *>())
        connect(field, &QLineEdit::textChanged, this, &CoverDesignEditor::readControls);
    for (QComboBox *combo : findChildren<QComboBox *>())
        connect(combo, &QComboBox::currentIndexChanged, this, &CoverDesignEditor::readControls);
    connect(m_titleBold, &QCheckBox::toggled, this, &CoverDesignEditor::readControls);
}

void CoverDesignEditor::showDesign()
{
    m_showing = true;
    const CoverDesign &d = m_design;
    m_width->setValue(d.canvasSize().width());
    m_height->setValue(d.canvasSize().height());
    m_backgroundKind->setCurrentIndex(d.backgroundKind() == CoverDesign::BackgroundKind::Solid ? 0 : 1);
    m_background->setText(colorToHexRGB(d.backgroundColor()));
    m_background2->setText(colorToHexRGB(d.backgroundColor2()));
    m_scale->setValue(int(std::lround(d.pictureScale() * 100)));
    m_centerX->setValue(int(std::lround(d.pictureCenterX() * 100)));
    m_centerY->setValue(int(std::lround(d.pictureCenterY() * 100)));
    m_turn->setValue(d.turn());
    m_frameWidth->setValue(d.frameWidth());
    m_frameColor->setText(colorToHexRGB(d.frameColor()));
    m_shadowBlur->setValue(d.shadowBlur());
    m_shadowX->setValue(d.shadowOffsetX());
    m_shadowY->setValue(d.shadowOffsetY());
    m_shadowOpacity->setValue(int(std::lround(d.shadowOpacity() * 100)));
    m_shadowColor->setText(colorToHexRGB(d.shadowColor()));
    m_title->setText(d.title());
    m_titlePlace->setCurrentIndex(int(d.titlePlace()));
    m_titleSize->setValue(d.titleSize());
    m_titleColor->setText(colorToHexRGB(d.titleColor()));
    m_titleBold->setChecked(d.titleBold());
    m_showing = false;
}

void CoverDesignEditor::readControls()
{
    if (m_showing)
        return;
    CoverDesign &d = m_design;
    d.setCanvasSize(QSize(m_width->value(), m_height->value()));
    d.setBackgroundKind(m_backgroundKind->currentIndex() == 0 ? CoverDesign::BackgroundKind::Solid
                                                              : CoverDesign::BackgroundKind::Gradient);
    d.setBackgroundColor(fieldColor(m_background, d.backgroundColor()));
    d.setBackgroundColor2(fieldColor(m_background2, d.backgroundColor2()));
    d.setPictureScale(m_scale->value() / 100.0);
    d.setPictureCenterX(m_centerX->value() / 100.0);
    d.setPictureCenterY(m_centerY->value() / 100.0);
    d.setTurn(m_turn->value());
    d.setFrameWidth(m_frameWidth->value());
    d.setFrameColor(fieldColor(m_frameColor, d.frameColor()));
    d.setShadowBlur(m_shadowBlur->value());
    d.setShadowOffset(m_shadowX->value(), m_shadowY->value());
    d.setShadowOpacity(m_shadowOpacity->value() / 100.0);
    d.setShadowColor(fieldColor(m_shadowColor, d.shadowColor()));
    d.setTitle(m_title->text());
    d.setTitlePlace(CoverDesign::TitlePlace(m_titlePlace->currentIndex()));
    d.setTitleSize(m_titleSize->value());
    d.setTitleColor(fieldColor(m_titleColor, d.titleColor()));
    d.setTitleBold(m_titleBold->isChecked());
    scheduleDrawing();
}

void CoverDesignEditor::scheduleDrawing()
{
    m_delay.start();
}

void CoverDesignEditor::startDrawing()
{
    if (m_watcher.isRunning()) {
        m_pending = true; // drawn with every change so far once this drawing ends
        return;
    }
    m_pending = false;
    // The drawing gets its own copies; the renderer outlives the window if need be.
    m_watcher.setFuture(QtConcurrent::run(WorkerPool::pool(), [renderer = m_renderer, source = m_source,
                                                                design = m_design] {
        return renderer->render(source, design);
    }));
}

void CoverDesignEditor::drawingEnded()
{
    m_preview = m_watcher.result();
    m_picture->setPixmap(QPixmap::fromImage(
        m_preview.scaled(m_picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    emit previewUpdated();
    if (m_pending)
        startDrawing();
}
