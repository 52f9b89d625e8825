#pragma once
// The window of an online gallery: the gallery page with its controller (BGWebView
// for backgrounds, SCWebView for scenes) and a Close button. It ends with code 1 when
// the user applied an installed item on the page (appliedName() names it), else 0.

#include "platform/ui/WindowController.h"

#include <QUrl>

class JSWebView;

class OnlineWebView : public WindowController
{
    Q_OBJECT
public:
    enum Kind { Backgrounds, Scenes };

    OnlineWebView(Kind kind, const QUrl &address, QObject *parent = nullptr);

    JSWebView *gallery() const { return m_gallery; }
    QString appliedName() const { return m_applied; }
    // Applies the gallery's chosen item: records it and closes with code 1.
    void onApply(const QString &name);

protected:
    QvWindow *createWindow() override;
    void awakeFromNib() override;

private:
    Kind m_kind;
    QUrl m_address;
    JSWebView *m_gallery = nullptr;
    QString m_applied;
};
