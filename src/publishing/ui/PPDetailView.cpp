#include "publishing/ui/PPDetailView.h"

#include "foundation/AppStrings.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

QLabel *makeLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setAutoFillBackground(false);
    QFont font = label->font();
    font.setPixelSize(13);
    label->setFont(font);
    return label;
}

// A frame given from the lower-left corner of a view of height viewHeight, in the
// top-left coordinates widgets use.
QRect fromBottom(int x, int y, int width, int height, int viewHeight)
{
    return QRect(x, viewHeight - y - height, width, height);
}

} // namespace

PPDetailView::PPDetailView(const QRect &frame, QWidget *parent) : QWidget(parent)
{
    setGeometry(frame);
    m_lblVersion = makeLabel(loadAppString("PPDetailView-Version:", "Version:"), this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));

    m_comVersion = new QComboBox(this);
    m_comVersion->setObjectName(QStringLiteral("comVersion"));
    m_comVersion->setEditable(true);
    m_comVersion->setInsertPolicy(QComboBox::NoInsert);

    m_lblID = makeLabel(loadAppString("PPDetailView-flipBook ID:", "flipBook ID:"), this);
    m_lblID->setObjectName(QStringLiteral("lblID"));

    m_txtID = new QLineEdit(this);
    m_txtID->setObjectName(QStringLiteral("txtID"));

    m_lblURL = new QLabel(this);
    m_lblURL->setObjectName(QStringLiteral("lblURL"));
    m_lblURL->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lblURL->setTextInteractionFlags(Qt::TextSelectableByMouse);

    placeControls();
}

void PPDetailView::setEnabled(bool enabled)
{
    if (m_comVersion)
        m_comVersion->setEnabled(enabled);
    if (m_txtID)
        m_txtID->setEnabled(enabled);
}

void PPDetailView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeControls();
}

void PPDetailView::placeControls()
{
    const int h = height();
    if (m_lblVersion)
        m_lblVersion->setGeometry(fromBottom(137, 86, 116, 17, h));
    if (m_comVersion)
        m_comVersion->setGeometry(fromBottom(258, 83, 165, 26, h));
    if (m_lblID)
        m_lblID->setGeometry(fromBottom(137, 46, 116, 17, h));
    if (m_txtID)
        m_txtID->setGeometry(fromBottom(258, 43, 162, 22, h));
    if (m_lblURL)
        m_lblURL->setGeometry(fromBottom(250, 16, qMax(0, width() - 260), 17, h));
}
