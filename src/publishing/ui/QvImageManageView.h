#pragma once
// One row of the phone page review: the page picture's thumbnail and three buttons,
// preview, make again and replace. The buttons carry the row number as identifier and
// call the owning review window, which tells the rows apart by it.

#include <QWidget>

class FittedImageView;
class FMButton;
class ImageBrowser;

class QvImageManageView : public QWidget
{
    Q_OBJECT
public:
    static constexpr QSize kSize{200, 94};

    explicit QvImageManageView(const QRect &frame, QWidget *parent = nullptr);

    FittedImageView *imageView() const { return m_imageView; }
    FMButton *btnPreview() const { return m_btnPreview; }
    FMButton *btnRetry() const { return m_btnRetry; }
    FMButton *btnReplace() const { return m_btnReplace; }

    ImageBrowser *ower() const { return m_owner; }
    void setOwer(ImageBrowser *owner) { m_owner = owner; }
    qint64 rowIndex() const { return m_rowIndex; }
    void setRowIndex(qint64 row) { m_rowIndex = row; }

    // With true, every button without an identifier yet gets the row number as its
    // identifier and sends its press to the owner.
    void setNeedsDisplay(bool flag);

private:
    FittedImageView *m_imageView = nullptr;
    FMButton *m_btnPreview = nullptr;
    FMButton *m_btnRetry = nullptr;
    FMButton *m_btnReplace = nullptr;
    ImageBrowser *m_owner = nullptr;
    qint64 m_rowIndex = 0;
};
