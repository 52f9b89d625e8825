#include "publishing/ui/QvImageManageView.h"

#include "platform/ui/FMButton.h"
#include "publishing/ui/ImageBrowser.h"
#include "publishing/ui/ImageEditView.h"

QvImageManageView::QvImageManageView(const QRect &frame, QWidget *parent) : QWidget(parent)
{
    setGeometry(frame);
    // The thumbnail at the left, the buttons in a line beside it, vertically centred.
    m_imageView = new FittedImageView(this);
    m_imageView->setGeometry(2, 2, 90, 90);
    auto makeButton = [this](int x, const char *name) {
        auto *button = new FMButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setFlat(true);
        button->setGeometry(x, kSize.height() - 30 - 32, 32, 32);
        button->setIconSize(QSize(28, 28));
        return button;
    };
    m_btnPreview = makeButton(96, "btnPreview");
    m_btnRetry = makeButton(132, "btnRetry");
    m_btnReplace = makeButton(168, "btnReplace");
}

void QvImageManageView::setNeedsDisplay(bool flag)
{
    if (flag && m_owner) {
        const QString identifier = QString::number(m_rowIndex);
        const struct
        {
            FMButton *button;
            void (ImageBrowser::*action)();
        } actions[] = {{m_btnPreview, &ImageBrowser::onPreViewImage},
                       {m_btnRetry, &ImageBrowser::onRetryImage},
                       {m_btnReplace, &ImageBrowser::onReplaceImage}};
        for (const auto &a : actions) {
            if (!a.button->identifier().isEmpty())
                continue;
            a.button->setIdentifier(identifier);
            connect(a.button, &QPushButton::clicked, m_owner, a.action);
        }
    }
    update();
}
