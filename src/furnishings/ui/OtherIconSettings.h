#pragma once
// The sheet that edits one extra toolbar icon in place: its picture, caption and
// action (go to a page, open a link in a target, or call a script). OK is enabled
// only while the picture file exists; it refuses an empty address or a page below 1
// and otherwise saves into the icon and ends with 1. Cancel ends with 0.

#include "furnishings/OtherIconItem.h"
#include "platform/ui/WindowController.h"

#include <QIcon>

class DragFileImport;
class QAbstractButton;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QWidget;

class OtherIconSettings : public WindowController
{
    Q_OBJECT
public:
    explicit OtherIconSettings(QObject *parent = nullptr);

    // The icon edited; set before the window loads. Without one a new icon is edited.
    OtherIconItem *iconItem() const { return m_item; }
    void setIconItem(OtherIconItem *item) { m_item = item; }

    // The drawn images of OK (a green disc with a tick) and Cancel (a red one with a cross).
    static QIcon logoForConfirm();
    static QIcon logoForClose();

public slots:
    void onOK();
    void onCancel();
    void onTypeChange(int type);
    void onBrowse();
    void onOpenFile();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int selectedType() const;
    void loadDispInfo();
    void loadInfoByType();
    void saveInfoByType();
    void updateOKState();
    void pageIndexEdited();
    void chooseTargetTypedInCombo();
    void takeChosenPicture(const QString &path);
    void othersIconDragEnd();

    OtherIconItem *m_item = nullptr;
    OtherIconItem m_ownItem;
    DragFileImport *m_dragFileImport = nullptr;

    QLineEdit *txtFilePath = nullptr;
    QPushButton *btnBrowse = nullptr;
    QPushButton *btnOpenFile = nullptr;
    QLineEdit *txtCaption = nullptr;
    QWidget *matType = nullptr;
    QStackedWidget *tabView = nullptr;
    QLineEdit *txtPageIndex = nullptr;
    QLineEdit *txtUrlAddr = nullptr;
    QComboBox *comLinkTarget = nullptr;
    QPlainTextEdit *txtJSCode = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};
