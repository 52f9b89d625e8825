#pragma once
// The open/save panel of the program: its settings, a run as a sheet on the owner's
// window (application-modal without owner), and the end call with the chosen items.
//
// The end call is made on the main thread, after the panel closed, only when the user
// chose something; Cancel calls nothing. When an owner is set and is destroyed before
// the end call, the call is dropped. A save panel with types and no other file types
// allowed always answers a name ending with one of its types.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QFileDialog;
class QWidget;

struct QvPanelOptions
{
    bool isOpenPanel = true;
    QString title;
    QString prompt; // title of the OK button
    bool allowsMultipleSelection = false;
    bool allowsOtherFileTypes = false;
    bool canChooseFiles = true;
    bool canChooseDirectories = false;
    QString directory;            // start folder, used when it exists
    QString nameFieldStringValue; // proposed name of a save panel
    QStringList types;            // allowed extensions without dot ("*" for any)
};

class QvPanel : public QObject
{
    Q_OBJECT
public:
    using EndCall = std::function<void(QvPanel *panel)>;

    explicit QvPanel(QObject *parent = nullptr);
    ~QvPanel() override;

    void setIsOpenPanel(bool open) { m_options.isOpenPanel = open; }
    void setTitle(const QString &title) { m_options.title = title; }
    void setPrompt(const QString &prompt) { m_options.prompt = prompt; }
    // The owner's window hosts the sheet (a WindowController's window or a widget's window).
    void setOwer(QObject *owner) { m_owner = owner; m_hasOwner = owner != nullptr; }
    QObject *ower() const { return m_owner; }
    void setAllowsMultipleSelection(bool on) { m_options.allowsMultipleSelection = on; }
    void setAllowsOtherFileTypes(bool on) { m_options.allowsOtherFileTypes = on; }
    void setCanChooseFiles(bool on) { m_options.canChooseFiles = on; }
    void setCanChooseDirectories(bool on) { m_options.canChooseDirectories = on; }
    void setDirectory(const QString &folder) { m_options.directory = folder; }
    void setNameFieldStringValue(const QString &name) { m_options.nameFieldStringValue = name; }
    void setTypes(const QStringList &types) { m_options.types = types; }
    void setEndPanelSelector(EndCall endCall) { m_endCall = std::move(endCall); }

    const QvPanelOptions &options() const { return m_options; }

    // Shows the panel; returns at once. Ignored while the panel is already shown.
    void runModel();
    // Shows the panel application-modal and returns its answer: the chosen paths,
    // empty when cancelled. No end call is made.
    QStringList runAndWait();
    // Shows a panel with options, owned by owner, and hands the first chosen path to
    // chosen (on the main thread, after OK). The panel goes once it has answered, or
    // with its owner.
    static void runForPath(QObject *owner, const QvPanelOptions &options, std::function<void(const QString &path)> chosen);
    bool isRunning() const { return m_running; }

    // The chosen item (the first when several were chosen); empty before a choice.
    QUrl URL() const { return m_urls.value(0); }
    QList<QUrl> URLs() const { return m_urls; }

    // Applies the settings to a file dialog (used by runModel).
    void configureDialog(QFileDialog &dialog) const;
    // The folder the panel starts in: directory when it exists, else empty.
    QString startDirectory() const;
    // The chosen paths as answered (a save name gets its extension when needed).
    QList<QUrl> acceptedUrls(const QList<QUrl> &chosen) const;

private:
    QWidget *hostWindow() const;
    void finish(const QList<QUrl> &urls);

    QvPanelOptions m_options;
    QPointer<QObject> m_owner;
    bool m_hasOwner = false;
    EndCall m_endCall;
    QList<QUrl> m_urls;
    bool m_running = false;
    QPointer<QFileDialog> m_dialog;
};
