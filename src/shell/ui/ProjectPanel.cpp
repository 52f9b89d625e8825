#include "shell/ui/ProjectPanel.h"

#include "foundation/AppStrings.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/QvWindow.h"
#include "project/RecentProjectItem.h"
#include "shell/BookFileRequest.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>

ProjectPanel::ProjectPanel(QObject *parent)
    : WindowController(QStringLiteral("ProjectPanel"), WindowLoader::Lookup::Localized, parent)
{
}

void ProjectPanel::bindOutlets()
{
    outlet(m_btnNewFromPDF, "btnNewFromPDF");
    outlet(m_btnNewFromPictures, "btnNewFromPictures");
    outlet(m_btnOpenProject, "btnOpenProject");
    outlet(m_btnDemo, "btnDemo");
    outlet(m_btnQuit, "btnQuit");
    outlet(m_btnOpenRecent, "btnOpenRecent");
    outlet(m_recent, "lstRecent");
}

void ProjectPanel::awakeFromNib()
{
    const auto choose = [this](QPushButton *button, Choice choice) {
        connect(button, &QPushButton::clicked, this, [this, choice] { closeWindowWithCode(choice); });
    };
    choose(m_btnNewFromPDF, NewFromPDF);
    choose(m_btnNewFromPictures, NewFromPictures);
    choose(m_btnOpenProject, OpenProject);
    choose(m_btnDemo, OpenDemo);
    choose(m_btnQuit, Quit);
    connect(m_btnOpenRecent, &QPushButton::clicked, this, [this] { chooseRecent(m_recent->currentRow()); });
    connect(m_recent, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { chooseRecent(m_recent->row(item)); });
    connect(m_recent, &QListWidget::currentRowChanged, this,
            [this](int row) { m_btnOpenRecent->setEnabled(row >= 0); });
    fillRecentList();

    m_dropTarget = DragFileImport::coverWidget(window(), BookFileRequest::acceptedExtensions());
    NotificationCenter::defaultCenter()->addObserver(this, DragReportNotification, m_dropTarget,
                                                     [this](const Notification &) {
                                                         m_dropped = m_dropTarget->dragResult();
                                                         closeWindowWithCode(DroppedFiles);
                                                     });
}

void ProjectPanel::fillRecentList()
{
    m_recent->clear();
    m_items = RecentProjectItem::recentProjects();
    for (const RecentProjectItem &item : std::as_const(m_items)) {
        auto *row = new QListWidgetItem(item.displayTitle());
        row->setToolTip(QDir::toNativeSeparators(item.path()));
        m_recent->addItem(row);
    }
    if (m_recent->count() == 0) {
        auto *hint = new QListWidgetItem(loadAppString("ProjectPanel-Projects you save appear here.",
                                                       "Projects you save appear here."));
        hint->setFlags(Qt::NoItemFlags);
        m_recent->addItem(hint);
    }
    m_btnOpenRecent->setEnabled(false);
}

void ProjectPanel::chooseRecent(int row)
{
    if (row < 0 || row >= m_items.size())
        return;
    m_recentItem = m_items.at(row);
    closeWindowWithCode(OpenRecent);
}

QPushButton *ProjectPanel::button(Choice choice) const
{
    switch (choice) {
    case NewFromPDF: return m_btnNewFromPDF;
    case NewFromPictures: return m_btnNewFromPictures;
    case OpenProject: return m_btnOpenProject;
    case OpenDemo: return m_btnDemo;
    case Quit: return m_btnQuit;
    case OpenRecent: return m_btnOpenRecent;
    case DroppedFiles: return nullptr;
    }
    return nullptr;
}
