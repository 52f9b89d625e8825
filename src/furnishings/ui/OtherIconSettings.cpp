#include "furnishings/ui/OtherIconSettings.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "platform/DrawObject.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/RadioMatrix.h"
#include "platform/ui/Workspace.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>

namespace {

const QStringList kPictureTypes{QStringLiteral("jpg"), QStringLiteral("gif"), QStringLiteral("png")};

QIcon drawnLogo(const QColor &fill, bool tick)
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(16, 16);
    DrawObject::strokeDrawCircle(painter, centre, 16, 0, 360, 2, QColor(0xD0, 0xD0, 0xD0));
    DrawObject::fillDrawCircle(painter, centre, 14, 0, 360, fill);
    const qreal half = 14 * 0.9 * 0.7071063120935576;
    const QRectF sign(centre.x() - half, centre.y() - half, 2 * half, 2 * half);
    if (tick)
        DrawObject::drawConfirmSign(painter, sign, Qt::white);
    else
        DrawObject::drawErrorSign(painter, sign, Qt::white);
    painter.end();
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

OtherIconSettings::OtherIconSettings(QObject *parent)
    : WindowController(QStringLiteral("OtherIconSettings"), WindowLoader::Lookup::Localized, parent)
{
}

QIcon OtherIconSettings::logoForConfirm()
{
    return drawnLogo(QColor(0x2E, 0xA0, 0x43), true);
}

QIcon OtherIconSettings::logoForClose()
{
    return drawnLogo(QColor(0xD9, 0x35, 0x35), false);
}

void OtherIconSettings::bindOutlets()
{
    outlet(txtFilePath, "txtFilePath");
    outlet(btnBrowse, "btnBrowse");
    outlet(btnOpenFile, "btnOpenFile");
    outlet(txtCaption, "txtCaption");
    outlet(matType, "matType");
    outlet(tabView, "tabView");
    outlet(txtPageIndex, "txtPageIndex");
    outlet(txtUrlAddr, "txtUrlAddr");
    outlet(comLinkTarget, "comLinkTarget");
    outlet(txtJSCode, "txtJSCode");
    outlet(btnOK, "btnOK");
    outlet(btnCancel, "btnCancel");
}

void OtherIconSettings::awakeFromNib()
{
    connect(btnCancel, &QPushButton::clicked, this, &OtherIconSettings::onCancel);
    connect(btnOK, &QPushButton::clicked, this, &OtherIconSettings::onOK);
    connect(btnBrowse, &QPushButton::clicked, this, &OtherIconSettings::onBrowse);
    connect(btnOpenFile, &QPushButton::clicked, this, &OtherIconSettings::onOpenFile);
    for (QAbstractButton *cell : RadioMatrix::cells(matType)) {
        const int tag = cell->property("tag").toInt();
        connect(cell, &QAbstractButton::toggled, this, [this, tag](bool on) {
            if (on)
                onTypeChange(tag);
        });
    }
    connect(txtFilePath, &QLineEdit::textChanged, this, &OtherIconSettings::updateOKState);
    connect(txtPageIndex, &QLineEdit::textEdited, this, &OtherIconSettings::pageIndexEdited);
    comLinkTarget->setInsertPolicy(QComboBox::NoInsert);
    comLinkTarget->installEventFilter(this);
    if (comLinkTarget->lineEdit())
        comLinkTarget->lineEdit()->installEventFilter(this);
    txtFilePath->clear();
    txtPageIndex->clear();
    txtUrlAddr->clear();
    comLinkTarget->setCurrentIndex(0);
    txtJSCode->clear();
    btnOK->setText(QString());
    btnCancel->setText(QString());
    btnOK->setIcon(logoForConfirm());
    btnCancel->setIcon(logoForClose());
    btnOK->setIconSize(QSize(32, 32));
    btnCancel->setIconSize(QSize(32, 32));
    btnOK->setToolTip(loadAppString("OtherIconSettings-OK", "OK"));
    btnCancel->setToolTip(loadAppString("OtherIconSettings-Cancel", "Cancel"));
    btnOK->setAccessibleName(btnOK->toolTip());
    btnCancel->setAccessibleName(btnCancel->toolTip());
    loadDispInfo();

    m_dragFileImport = DragFileImport::coverWidget(window(), kPictureTypes);
    NotificationCenter::defaultCenter()->addObserver(this, DragReportNotification, m_dragFileImport, [this](const Notification &) {
        QMetaObject::invokeMethod(this, &OtherIconSettings::othersIconDragEnd, Qt::QueuedConnection);
    });
}

int OtherIconSettings::selectedType() const
{
    return RadioMatrix::selectedTag(matType);
}

void OtherIconSettings::loadDispInfo()
{
    if (!m_item)
        m_item = &m_ownItem;
    RadioMatrix::selectCellWithTag(matType, m_item->type());
    loadInfoByType();
    tabView->setCurrentIndex(std::clamp(m_item->type(), 0, tabView->count() - 1));
    updateOKState();
}

void OtherIconSettings::loadInfoByType()
{
    txtFilePath->setText(m_item->file());
    txtCaption->setText(m_item->caption());
    switch (m_item->type()) {
    case OtherIconItem::GoToPage:
        txtPageIndex->setText(m_item->content());
        break;
    case OtherIconItem::OpenLink:
        txtUrlAddr->setText(m_item->content());
        if (!m_item->target().isEmpty())
            comLinkTarget->setEditText(m_item->target());
        break;
    case OtherIconItem::CallScript:
        txtJSCode->setPlainText(m_item->content());
        break;
    default:
        break;
    }
}

void OtherIconSettings::updateOKState()
{
    btnOK->setEnabled(QFileInfo(txtFilePath->text()).isFile());
}

void OtherIconSettings::onTypeChange(int type)
{
    if (type >= 0 && type < tabView->count())
        tabView->setCurrentIndex(type);
}

void OtherIconSettings::pageIndexEdited()
{
    QString text = txtPageIndex->text();
    if (!text.isEmpty() && !text.back().isDigit()) {
        text.chop(1);
        txtPageIndex->setText(text);
    }
}

bool OtherIconSettings::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == comLinkTarget || watched == comLinkTarget->lineEdit()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseTargetTypedInCombo();
            return true; // the Enter ends here, not on the OK button
        }
    }
    return WindowController::eventFilter(watched, event);
}

void OtherIconSettings::chooseTargetTypedInCombo()
{
    const QString typed = comLinkTarget->currentText();
    for (int i = 0; i < comLinkTarget->count(); ++i) {
        if (comLinkTarget->itemText(i).compare(typed, Qt::CaseInsensitive) == 0) {
            comLinkTarget->setCurrentIndex(i);
            comLinkTarget->setEditText(comLinkTarget->itemText(i));
            return;
        }
    }
}

void OtherIconSettings::onBrowse()
{
    QvPanelOptions options;
    options.types = kPictureTypes;
    const QString current = txtFilePath->text();
    options.directory = QFileInfo::exists(current) ? QFileInfo(current).absolutePath() : userDocumentsFolder();
    QvPanel::runForPath(this, options, [this](const QString &path) {
        const QSize size = QImageReader(path).size();
        if ((size.width() > 64 || size.height() > 64)
            && !LogAlert::askYesNo(loadAppString("OtherIconSettings-The image is used as a icon is too large!",
                                                 "The image is used as a icon is too large!"),
                                   loadAppString("OtherIconSettings-The image size is %.1fX%.1f. A image 32.0X32.0 is recommended.\nDo you  insist choose it and ignore the size?",
                                                 "The image size is %.1fX%.1f. A image 32.0X32.0 is recommended.\nDo you  insist choose it and ignore the size?")
                                       .replace(QLatin1String("%.1fX%.1f"), QStringLiteral("%1X%2"))
                                       .arg(double(size.width()), 0, 'f', 1)
                                       .arg(double(size.height()), 0, 'f', 1)))
            return;
        takeChosenPicture(path);
    });
}

void OtherIconSettings::takeChosenPicture(const QString &path)
{
    txtFilePath->setText(path);
    updateOKState();
}

void OtherIconSettings::othersIconDragEnd()
{
    const QStringList dropped = m_dragFileImport ? m_dragFileImport->dragResult() : QStringList();
    if (!dropped.isEmpty())
        takeChosenPicture(dropped.first());
}

void OtherIconSettings::onOpenFile()
{
    if (QFileInfo(txtFilePath->text()).isFile())
        Workspace::openFile(txtFilePath->text());
}

void OtherIconSettings::onOK()
{
    switch (selectedType()) {
    case OtherIconItem::OpenLink:
        if (txtUrlAddr->text().trimmed().isEmpty()) {
            LogAlert::alertMessage(loadAppString("OtherIconSettings-Please input the web address!", "Please input the web address!"),
                                   QString());
            return;
        }
        break;
    case OtherIconItem::GoToPage:
        if (txtPageIndex->text().toLongLong() < 1) {
            LogAlert::alertMessage(loadAppString("OtherIconSettings-Please input the page index!", "Please input the page index!"),
                                   QString());
            return;
        }
        break;
    case OtherIconItem::CallScript:
        break;
    default:
        return;
    }
    saveInfoByType();
    closeWindowWithCode(1);
}

void OtherIconSettings::saveInfoByType()
{
    m_item->setFile(txtFilePath->text());
    m_item->setCaption(txtCaption->text());
    const int type = selectedType();
    m_item->setType(type);
    switch (type) {
    case OtherIconItem::GoToPage:
        m_item->setContent(QString::number(std::min<qint64>(txtPageIndex->text().toLongLong(), std::numeric_limits<int>::max())));
        m_item->setTarget(QString());
        break;
    case OtherIconItem::OpenLink:
        m_item->setContent(txtUrlAddr->text().trimmed());
        m_item->setTarget(comLinkTarget->currentText());
        break;
    case OtherIconItem::CallScript:
        m_item->setContent(txtJSCode->toPlainText());
        m_item->setTarget(QString());
        break;
    default:
        break;
    }
}

void OtherIconSettings::onCancel()
{
    closeWindowWithCode(0);
}
