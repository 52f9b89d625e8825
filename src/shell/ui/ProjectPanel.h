#pragma once
// The project panel shown at start and after a book was closed: it asks what to open.
// It runs application-modal and ends with the choice as its close code; the recent
// project or the dropped files that go with a choice are read afterwards.

#include "platform/ui/WindowController.h"
#include "project/RecentProjectItem.h"

#include <QStringList>

class QListWidget;
class QPushButton;
class DragFileImport;

class ProjectPanel : public WindowController
{
    Q_OBJECT
public:
    enum Choice {
        Quit = 0,
        NewFromPDF = 1,
        NewFromPictures = 2,
        OpenProject = 3,
        OpenRecent = 4,
        OpenDemo = 5,
        DroppedFiles = 6,
    };

    explicit ProjectPanel(QObject *parent = nullptr);

    // The project or published book chosen in the recent list (OpenRecent).
    QString recentProjectPath() const { return m_recentItem.path(); }
    RecentProjectItem recentItem() const { return m_recentItem; }
    // The files dropped on the panel (DroppedFiles).
    QStringList droppedFiles() const { return m_dropped; }

    // Controls, for tests.
    QPushButton *button(Choice choice) const;
    QListWidget *recentList() const { return m_recent; }
    DragFileImport *dropTarget() const { return m_dropTarget; }

    void chooseRecent(int row);

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    void fillRecentList();

    QPushButton *m_btnNewFromPDF = nullptr;
    QPushButton *m_btnNewFromPictures = nullptr;
    QPushButton *m_btnOpenProject = nullptr;
    QPushButton *m_btnDemo = nullptr;
    QPushButton *m_btnQuit = nullptr;
    QPushButton *m_btnOpenRecent = nullptr;
    QListWidget *m_recent = nullptr;
    DragFileImport *m_dropTarget = nullptr;
    QList<RecentProjectItem> m_items; // the rows of the recent list
    RecentProjectItem m_recentItem;
    QStringList m_dropped;
};
