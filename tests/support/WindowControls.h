#pragma once
// The controls of windows in the headless window tests, found by object name.

#include "platform/ui/QvWebView.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/WindowController.h"

#include <QAbstractButton>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

// The control called name below parent; a missing one ends the test run.
template <class T = QWidget>
T *control(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// The control called name in a controller's window.
template <class T = QWidget>
T *control(WindowController *controller, const char *name)
{
    return control<T>(controller->window(), name);
}

inline void clickControl(WindowController *controller, const char *name)
{
    control<QAbstractButton>(controller, name)->click();
}

// What a script answers in a window's web view; an invalid value when it gave no
// answer within ten seconds.
inline QVariant scriptAnswer(QWebEngineView *view, const QString &script)
{
    QVariant answer;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant &v) {
        answer = v;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        qWarning("no answer to the script %s", qPrintable(script));
    return answer;
}

inline QVariant scriptAnswer(QvWebView *view, const QString &script)
{
    QVariant answer;
    bool done = false;
    view->evaluateJavaScript(script, [&](const QVariant &v) {
        answer = v;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        qWarning("no answer to the script %s", qPrintable(script));
    return answer;
}
