#pragma once
// The pickers of the main window's furnishing tabs and what choosing in them does to
// the open book:
//   "scene"           the installed scenes; applying one makes it the book's scene
//   "background"      the background pictures; applying one copies it beside the book's
//                     template (its extern resources, kept by the project) and makes it
//                     the "backgroundImage" setting
//   "theme"           the desktop template's styles; "mobile theme" the phone template's
//   "mobile template" the phone templates installed with the program
//   "plugin"          the plug-in bundles; applying one runs the settings editor on it
//                     (the window waits for its process without taking input and
//                     refuses to close) and, when the user accepts there, makes it the
//                     book's plug-in
// "Load..." installs a scene package or a background picture for the user, "Remove"
// deletes the user's own, and "... online" opens the galleries. Every change to the
// book posts FlashTmplProValueChangedNotification (the book is changed, the preview
// rebuilt).

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>

class BackgroundSettingView;
class BookDocument;
class MainWindow;

class FurnishingTabs : public QObject
{
    Q_OBJECT
public:
    explicit FurnishingTabs(MainWindow *window, QObject *parent = nullptr);
    ~FurnishingTabs() override;

    // The open book (null when none); the pickers show its choices.
    void setDocument(BookDocument *document);
    // Finds the installed scenes and backgrounds again.
    void reload();
    // Runs the scenes maker on a copy of the chosen scene; a scene made there is
    // installed for the user and applied to the open book.
    void openScenesMaker();

    // The plug-in settings editor runs (the window takes no input and stays open).
    bool isSettingsEditorRunning() const { return m_editorRunning; }

    // The picker of a tab ("scene", "background", "theme", "mobile theme", "mobile template",
    // "plugin").
    BackgroundSettingView *picker(const QString &tab) const { return m_pickers.value(tab); }

    // Settings keys of the gallery pages' addresses ("" when none is set).
    static QString backgroundGalleryKey() { return QStringLiteral("BackgroundGalleryURL"); }
    static QString sceneGalleryKey() { return QStringLiteral("SceneGalleryURL"); }

private:
    BackgroundSettingView *addPicker(const QString &tab, const QString &noun, BackgroundSettingView *view = nullptr);
    void onApply(BackgroundSettingView *view);
    void applyScene(int row);
    void applyBackground(int row);
    void applyTheme(bool mobile, int row);
    void applyMobileTemplate(int row);
    void applyPlugin(int row);
    void loadScenePackage();
    void loadBackgroundPicture();
    void removeSelected(BackgroundSettingView *view);
    void openGallery(bool scenes);
    void showThemes();
    void showChoices();
    void changed();
    void setEditorRunning(bool running);

    QPointer<MainWindow> m_window;
    BookDocument *m_document = nullptr;
    quint64 m_documentSerial = 0; // counts the books shown; an editor's answer is for its own
    bool m_editorRunning = false;
    QHash<QString, BackgroundSettingView *> m_pickers;
    QTemporaryDir m_pictures; // the theme pictures
};
