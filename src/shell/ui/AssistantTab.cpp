#include "shell/ui/AssistantTab.h"

#include "foundation/AppStrings.h"
#include "output/narration/AssistantItem.h"
#include "output/narration/GenerateAssistant.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "project/BookDocument.h"
#include "publishing/ui/AssistantSettingView.h"
#include "publishing/ui/ManageRecordDelegate.h"
#include "publishing/ui/SimpleCell.h"
#include "shell/BookSession.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/QuorvelAppDelegate.h"
#include "templates/FlashTemplate.h"
#include "templates/TemplateNotifications.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

AssistantTab::AssistantTab(MainWindow *window, SessionSource session, QObject *parent)
    : QObject(parent), m_window(window), m_session(std::move(session))
{
    setupAssistantTab();
}

void AssistantTab::setupAssistantTab()
{
    QWidget *page = m_window ? m_window->tabPage(QStringLiteral("assistant")) : nullptr;
    if (!page)
        return;
    // The tab's page gets the picker in place of its placeholder.
    qDeleteAll(page->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly));
    delete page->layout();
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new AssistantSettingView(page);
    m_view->setTabID(loadAppString("AssistantSettingV-assistant", "assistant"));
    m_view->setImageList(AssistantItem::collectAssistantList());
    m_view->loadDispViewInf();
    layout->addWidget(m_view);
    connect(m_view, &AssistantSettingView::itemApplied, this, &AssistantTab::applyCharacter);
    connect(m_view->btnRecordManage(), &QAbstractButton::clicked, this,
            [this] { QTimer::singleShot(100, this, &AssistantTab::showRecordManager); });
    connect(m_view->btnMore(), &QAbstractButton::clicked, m_view, &AssistantSettingView::showPopMenu);
    connect(m_view->importAction(), &QAction::triggered, this, &AssistantTab::importAssistant);
    connect(m_view->exportAction(), &QAction::triggered, this, &AssistantTab::exportAssistant);
    bookChanged();
}

void AssistantTab::bookChanged()
{
    if (!m_view)
        return;
    BookSession *session = m_session();
    const std::shared_ptr<GenerateAssistant> assistant = session ? session->document().parts().assistant() : nullptr;
    m_view->setEnabled(session != nullptr);
    m_view->setSelectedItemIndex(
        assistant ? AssistantItem::indexOfCharacter(m_view->imageList(), assistant->assistantFilePath()) : 0);
}

std::shared_ptr<GenerateAssistant> AssistantTab::ensureAssistant()
{
    BookSession *session = m_session();
    if (!session)
        return nullptr;
    BookDocument &document = session->document();
    std::shared_ptr<GenerateAssistant> assistant = document.parts().assistant();
    if (!assistant) {
        assistant = std::make_shared<GenerateAssistant>();
        const QString folder = document.createTemporaryWorkspace();
        if (!folder.isEmpty())
            assistant->setWorkFolder(folder);
        assistant->speechOptions().loadSettings(); // the user's last play options
        document.parts().setAssistant(assistant);
    }
    assistant->setTotalPage(session->pageCount());
    return assistant;
}

void AssistantTab::changed()
{
    NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification, this);
}

void AssistantTab::applyCharacter(int index)
{
    BookSession *session = m_session();
    if (!session || !m_view)
        return;
    const AssistantItem item = m_view->imageList().value(index);
    std::shared_ptr<GenerateAssistant> assistant = session->document().parts().assistant();
    if (!assistant && item.isNone())
        return;
    assistant = ensureAssistant();
    if (assistant->assistantFilePath() == item.bgPath)
        return;
    assistant->setAssistantFilePath(item.bgPath);
    changed();
}

void AssistantTab::showRecordManager()
{
    BookSession *session = m_session();
    if (!session)
        return;
    const std::shared_ptr<GenerateAssistant> assistant = ensureAssistant();
    if (assistant->resourceList().size() != assistant->spreadCount()) {
        if (assistant->resourceList().isEmpty()
            || LogAlert::askOKCancel(loadAppString("QuorvelAppD-The book page have been changed!",
                                                   "The book page have been changed!"),
                                     loadAppString("QuorvelAppD-Press OK to change it.", "Press OK to change it.")))
            assistant->fitResourceListToPages();
    }
    ManageRecordDelegate manager;
    manager.setGenerateAssistant(assistant);
    if (const FlashTemplate *tmpl = session->document().flashTmpl())
        manager.setBookLanguage(tmpl->propertyValue(QStringLiteral("language"), QStringLiteral("English")));
    manager.center();
    const int result = manager.runModal();
    // Rows and files may have changed even without Apply: the book has changed either way.
    Q_UNUSED(result);
    changed();
}

void AssistantTab::exportAssistant()
{
    BookSession *session = m_session();
    const std::shared_ptr<GenerateAssistant> assistant = session ? session->document().parts().assistant() : nullptr;
    if (!assistant) {
        LogAlert::alertMessage(loadAppString("QuorvelAppD-The book has no assistant to export.",
                                             "The book has no assistant to export."),
                               QString());
        return;
    }
    QvPanel panel;
    panel.setIsOpenPanel(false);
    panel.setOwer(m_window);
    panel.setTitle(loadAppString("QuorvelAppD-Export Assistant", "Export Assistant"));
    panel.setTypes({QStringLiteral("zap")});
    panel.setNameFieldStringValue(session->displayName() + QStringLiteral(".zap"));
    panel.setDirectory(documentsFolder());
    const QString target = panel.runAndWait().value(0);
    if (target.isEmpty())
        return;
    QString error;
    if (!assistant->writePackage(target, &error))
        LogAlert::alertMessage(loadAppString("QuorvelAppD-The assistant could not be exported.",
                                             "The assistant could not be exported."),
                               error);
}

void AssistantTab::importAssistant()
{
    BookSession *session = m_session();
    if (!session)
        return;
    QvPanel panel;
    panel.setOwer(m_window);
    panel.setTitle(loadAppString("QuorvelAppD-Import Assistant", "Import Assistant"));
    panel.setTypes({QStringLiteral("zap")});
    panel.setDirectory(documentsFolder());
    const QString source = panel.runAndWait().value(0);
    if (source.isEmpty())
        return;
    BookDocument &document = session->document();
    const std::shared_ptr<GenerateAssistant> old = document.parts().assistant();
    if (old && !old->isEmpty()
        && !LogAlert::askOKCancel(loadAppString("QuorvelAppD-The book's narration will be replaced.",
                                                "The book's narration will be replaced."),
                                  loadAppString("QuorvelAppD-Press OK to import the assistant.",
                                                "Press OK to import the assistant.")))
        return;
    const QString folder = document.createTemporaryWorkspace();
    QString error;
    std::optional<GenerateAssistant> read =
        folder.isEmpty() ? std::nullopt : GenerateAssistant::readPackage(source, folder, &error);
    if (!read) {
        LogAlert::alertMessage(loadAppString("QuorvelAppD-The assistant could not be imported.",
                                             "The assistant could not be imported."),
                               error);
        return;
    }
    auto assistant = std::make_shared<GenerateAssistant>(*read);
    // The character is one of those installed here, found by its name.
    const QList<AssistantItem> characters = m_view ? m_view->imageList() : AssistantItem::collectAssistantList();
    const int index = AssistantItem::indexOfCharacter(characters, assistant->assistantFilePath());
    assistant->setAssistantFilePath(characters.value(index).bgPath);
    assistant->setTotalPage(session->pageCount());
    assistant->fitResourceListToPages();
    document.parts().setAssistant(assistant);
    bookChanged();
    changed();
}
