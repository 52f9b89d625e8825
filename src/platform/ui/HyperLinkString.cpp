#include "platform/ui/HyperLinkString.h"

#include "platform/ui/Workspace.h"

#include <QLabel>

QString HyperLinkString::linkHtml(const QString &text, const QUrl &url)
{
    const QString href = QString::fromUtf8(url.toEncoded()).toHtmlEscaped();
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text.toHtmlEscaped());
}

void HyperLinkString::setHyperlinkToTextField(QLabel *field, const QUrl &url)
{
    if (!field)
        return;
    QString text = field->property("qvLinkText").toString();
    if (text.isEmpty() || field->textFormat() != Qt::RichText)
        text = field->text();
    field->setProperty("qvLinkText", text);
    field->setTextFormat(Qt::RichText);
    field->setText(linkHtml(text, url));
    field->setTextInteractionFlags(Qt::TextBrowserInteraction);
    field->setOpenExternalLinks(false);
    field->setCursor(Qt::PointingHandCursor);
    field->setToolTip(url.toString());
    if (!field->property("qvLinkOpens").toBool()) {
        field->setProperty("qvLinkOpens", true);
        QObject::connect(field, &QLabel::linkActivated, field,
                         [](const QString &link) { Workspace::openURL(QUrl::fromEncoded(link.toUtf8())); });
    }
}
