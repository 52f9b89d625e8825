#pragma once
// The "Assistant" tab of the main window and the narration commands: the character
// picker, the recordings manager ("Record Settings", "Narration Recordings…"), and the
// import and export of the book's assistant as a ".zap" file.
//
// A book gets its assistant the first time it needs one (a character chosen, the
// recordings manager opened, an assistant imported), with a work folder of its own in
// the book's temporary area, so that its project carries only the book's own files.
// Every change is posted as FlashTmplProValueChangedNotification: the book counts as
// changed and the preview is rebuilt.

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class AssistantSettingView;
class BookSession;
class GenerateAssistant;
class MainWindow;

class AssistantTab : public QObject
{
    Q_OBJECT
public:
    using SessionSource = std::function<BookSession *()>;

    AssistantTab(MainWindow *window, SessionSource session, QObject *parent = nullptr);

    AssistantSettingView *view() const { return m_view; }

    // The open book changed (opened, closed): the picker shows its character.
    void bookChanged();

    // The book's assistant, made when it has none (null without a book).
    std::shared_ptr<GenerateAssistant> ensureAssistant();

    void applyCharacter(int index);
    void showRecordManager();
    void importAssistant();
    void exportAssistant();

private:
    void setupAssistantTab();
    void changed();

    QPointer<MainWindow> m_window;
    SessionSource m_session;
    AssistantSettingView *m_view = nullptr;
};
