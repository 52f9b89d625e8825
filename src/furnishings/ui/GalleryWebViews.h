#pragma once
// The two online galleries: BGWebView installs downloaded pictures into the user's
// "Background" folder, SCWebView downloaded scene packages into the user's "scenes".

#include "furnishings/ui/JSWebView.h"

class BGWebView : public JSWebView
{
    Q_OBJECT
public:
    using JSWebView::JSWebView;

protected:
    QStringList installedNames() override;
    bool installDownload(const QString &file, const QString &name, QString *error) override;
    QString templateNameFor(const QString &name) const override;
};

class SCWebView : public JSWebView
{
    Q_OBJECT
public:
    using JSWebView::JSWebView;

protected:
    QStringList installedNames() override;
    bool installDownload(const QString &file, const QString &name, QString *error) override;
    QString templateNameFor(const QString &name) const override;
};
