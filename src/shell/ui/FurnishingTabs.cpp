#include "shell/ui/FurnishingTabs.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/SafeFiles.h"
#include "foundation/SettingsStore.h"
#include "furnishings/BackgroundItem.h"
#include "furnishings/FlashScenesManagement.h"
#include "furnishings/PluginBundle.h"
#include "furnishings/ScenePackage.h"
#include "furnishings/ui/BackgroundSettingView.h"
#include "furnishings/ui/OnlineWebView.h"
#include "furnishings/ui/PluginBundleDelegate.h"
#include "furnishings/ui/ScenesMaker.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "project/BookDocument.h"
#include "shell/PreviewServer.h"
#include "shell/ui/MainWindow.h"
#include "templates/FlashTemplate.h"
#include "templates/TemplateNotifications.h"
#include "templates/TemplateStylePicture.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace {

// The value of the template's "backgroundImage" for a picture of the background picker.
const QString kBackgroundValue = QStringLiteral("STYLE_EXTERN:Background/");

QStringList choosePanel(QObject *owner, const QString &title, const QStringList &types)
{
    QvPanel panel;
    panel.setIsOpenPanel(true);
    panel.setTitle(title);
    panel.setDirectory(userDocumentsFolder());
    panel.setTypes(types);
    panel.setOwer(owner);
    return panel.runAndWait();
}

// The phone templates installed with the program, by name.
QStringList mobileTemplateNames()
{
    QStringList names;
    const QDir dir(AppResources::resourcePath(QStringLiteral("templates")));
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        FlashTemplate tmpl;
        if (tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(name)) && tmpl.isMobileTemplate())
            names << name;
    }
    return names;
}

} // namespace

FurnishingTabs::FurnishingTabs(MainWindow *window, QObject *parent) : QObject(parent), m_window(window)
{
    BackgroundSettingView *scene = addPicker(QStringLiteral("scene"), loadAppString("FurnishingTabs-scene", "scene"));
    connect(scene->btnNew(), &QPushButton::clicked, this, &FurnishingTabs::loadScenePackage);
    connect(scene->btnOnline(), &QPushButton::clicked, this, [this] { openGallery(true); });
    BackgroundSettingView *background = addPicker(QStringLiteral("background"), loadAppString("FurnishingTabs-background", "background"));
    connect(background->btnNew(), &QPushButton::clicked, this, &FurnishingTabs::loadBackgroundPicture);
    connect(background->btnOnline(), &QPushButton::clicked, this, [this] { openGallery(false); });
    // Plug-in bundles come as folders: nothing to load from a file or fetch here.
    BackgroundSettingView *plugin = addPicker(QStringLiteral("plugin"), loadAppString("FurnishingTabs-plug-in", "plug-in"),
                                              new PluginBundleDelegate);
    plugin->btnNew()->hide();
    plugin->btnOnline()->hide();
    for (BackgroundSettingView *view : {scene, background, plugin})
        connect(view->btnRemove(), &QPushButton::clicked, this, [this, view] { removeSelected(view); });
    // Themes and templates come with the program: nothing to load, remove or fetch.
    for (const QString &tab : {QStringLiteral("theme"), QStringLiteral("mobile theme"), QStringLiteral("mobile template")}) {
        BackgroundSettingView *view = addPicker(tab, tab == QLatin1String("mobile template")
                                                         ? loadAppString("FurnishingTabs-template", "template")
                                                         : loadAppString("FurnishingTabs-theme", "theme"));
        view->btnNew()->hide();
        view->btnOnline()->hide();
        view->btnRemove()->hide();
    }
    NotificationCenter::defaultCenter()->addObserver(this, FlashBackgroundApplayNotification, nullptr,
                                                     [this](const Notification &n) {
                                                         for (BackgroundSettingView *view : std::as_const(m_pickers))
                                                             if (n.object == view)
                                                                 onApply(view);
                                                     });
    reload();
    setDocument(nullptr);
}

FurnishingTabs::~FurnishingTabs()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

BackgroundSettingView *FurnishingTabs::addPicker(const QString &tab, const QString &noun, BackgroundSettingView *view)
{
    if (!view)
        view = new BackgroundSettingView;
    view->setObjectName(tab + QStringLiteral("Picker"));
    view->setTabID(noun);
    view->loadDispViewInf();
    if (QWidget *page = m_window ? m_window->tabPage(tab) : nullptr) {
        // The picker takes the place of the page's placeholder text.
        QLayout *layout = page->layout() ? page->layout() : new QVBoxLayout(page);
        while (QLayoutItem *item = layout->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        layout->addWidget(view);
    }
    m_pickers.insert(tab, view);
    return view;
}

void FurnishingTabs::setDocument(BookDocument *document)
{
    m_document = document;
    ++m_documentSerial;
    if (!m_window) // the pickers went with the window
        return;
    for (BackgroundSettingView *view : std::as_const(m_pickers))
        view->setEnabled(document != nullptr);
    showThemes();
    showChoices();
}

void FurnishingTabs::reload()
{
    if (!m_window)
        return;
    FlashScenesManagement *scenes = FlashScenesManagement::shareManager();
    scenes->reloadData();
    m_pickers.value(QStringLiteral("scene"))->setImageList(BackgroundSettingView::itemsOf(scenes->flashScenesList()));
    m_pickers.value(QStringLiteral("background"))
        ->setImageList(BackgroundSettingView::itemsOf(BackgroundItem::collectFlashBackgroundList()));
    QList<BackgroundSettingView::Item> bundles;
    for (const PluginBundle &bundle : PluginBundle::collectPluginList())
        bundles << BackgroundSettingView::Item{bundle.bgName(), bundle.shotFilePath(), bundle.isNone() ? QString() : bundle.bgPath()};
    m_pickers.value(QStringLiteral("plugin"))->setImageList(bundles);
    showChoices();
}

void FurnishingTabs::showThemes()
{
    const auto styles = [&](FlashTemplate *tmpl) {
        QList<BackgroundSettingView::Item> items;
        if (!tmpl || !tmpl->isLoaded())
            return items;
        items << BackgroundSettingView::Item{loadAppString("FurnishingTabs-Default", "Default"),
                                             TemplateStylePicture::writePicture(*tmpl, QString(), m_pictures.path()), QString()};
        for (const FlashTemplateStyle &style : tmpl->styles())
            items << BackgroundSettingView::Item{style.caption(),
                                                 TemplateStylePicture::writePicture(*tmpl, style.name(), m_pictures.path()),
                                                 style.name()};
        return items;
    };
    m_pickers.value(QStringLiteral("theme"))->setImageList(styles(m_document ? m_document->flashTmpl() : nullptr));
    m_pickers.value(QStringLiteral("mobile theme"))->setImageList(styles(m_document ? m_document->mobileTemplate() : nullptr));
    QList<BackgroundSettingView::Item> templates;
    for (const QString &name : mobileTemplateNames()) {
        FlashTemplate tmpl;
        tmpl.loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(name));
        tmpl.setTmplName(name);
        templates << BackgroundSettingView::Item{tmpl.tmplCaption().isEmpty() ? name : tmpl.tmplCaption(),
                                                 TemplateStylePicture::writePicture(tmpl, QString(), m_pictures.path()), name};
    }
    m_pickers.value(QStringLiteral("mobile template"))->setImageList(templates);
}

// Marks what the open book has chosen in each picker.
void FurnishingTabs::showChoices()
{
    FlashScenesManagement *scenes = FlashScenesManagement::shareManager();
    scenes->selectSceneNamed(m_document ? m_document->parts().scene().name : QString());
    m_pickers.value(QStringLiteral("scene"))->setSelectedItemIndex(scenes->selectedItemIndex());
    const auto indexOfKey = [](BackgroundSettingView *view, const QString &key) {
        for (int i = 0; i < view->imageList().size(); ++i)
            if (view->imageList().at(i).key == key)
                return i;
        return 0;
    };
    // The background picker marks the picture it put into the book; a background a
    // theme brought (or none) is none of its items.
    BackgroundSettingView *background = m_pickers.value(QStringLiteral("background"));
    const QString picture = m_document ? m_document->flashTmpl()->propertyValue(QStringLiteral("backgroundImage")) : QString();
    int backgroundRow = 0;
    if (picture.startsWith(kBackgroundValue))
        for (int i = 1; i < background->imageList().size(); ++i)
            if (QFileInfo(background->imageList().at(i).shotFilePath).fileName() == picture.mid(kBackgroundValue.size()))
                backgroundRow = i;
    background->setSelectedItemIndex(backgroundRow);
    BackgroundSettingView *plugin = m_pickers.value(QStringLiteral("plugin"));
    const QString bundle = m_document && m_document->parts().hasPluginBundle() ? m_document->parts().pluginBundleName() : QString();
    int bundleRow = 0;
    for (int i = 1; i < plugin->imageList().size() && !bundle.isEmpty(); ++i)
        if (plugin->imageList().at(i).bgName == bundle)
            bundleRow = i;
    plugin->setSelectedItemIndex(bundleRow);
    if (!m_document)
        return;
    m_pickers.value(QStringLiteral("theme"))->setSelectedItemIndex(
        indexOfKey(m_pickers.value(QStringLiteral("theme")), m_document->flashTmpl()->currentStyleName()));
    m_pickers.value(QStringLiteral("mobile theme"))->setSelectedItemIndex(
        indexOfKey(m_pickers.value(QStringLiteral("mobile theme")), m_document->mobileTemplate()->currentStyleName()));
    m_pickers.value(QStringLiteral("mobile template"))->setSelectedItemIndex(
        indexOfKey(m_pickers.value(QStringLiteral("mobile template")), m_document->mobileTemplate()->tmplName()));
}

void FurnishingTabs::onApply(BackgroundSettingView *view)
{
    if (!m_document)
        return;
    const QString tab = m_pickers.key(view);
    const int row = view->selectedItemIndex();
    if (tab == QLatin1String("scene"))
        applyScene(row);
    else if (tab == QLatin1String("background"))
        applyBackground(row);
    else if (tab == QLatin1String("theme") || tab == QLatin1String("mobile theme"))
        applyTheme(tab != QLatin1String("theme"), row);
    else if (tab == QLatin1String("mobile template"))
        applyMobileTemplate(row);
    else if (tab == QLatin1String("plugin"))
        applyPlugin(row);
}

void FurnishingTabs::changed()
{
    NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification, this, {});
}

void FurnishingTabs::applyScene(int row)
{
    FlashScenesManagement *scenes = FlashScenesManagement::shareManager();
    scenes->setSelectedItemIndex(row);
    m_document->parts().setScene(scenes->selectedItem().bookScene());
    changed();
}

void FurnishingTabs::applyBackground(int row)
{
    BackgroundSettingView *view = m_pickers.value(QStringLiteral("background"));
    FlashTemplate *tmpl = m_document->flashTmpl();
    const BackgroundSettingView::Item item = view->imageList().value(row);
    if (row <= 0) {
        tmpl->setPropertyValue(QStringLiteral("backgroundImage"), QString());
        changed();
        return;
    }
    // The picture goes beside the template, where the project keeps it.
    QString folder = tmpl->externResourcePath();
    if (folder.isEmpty()) {
        folder = m_document->createTemporaryWorkspace();
        tmpl->setExternResourcePath(folder);
    }
    const QString name = QFileInfo(item.shotFilePath).fileName();
    const QString target = QDir(folder).filePath(QStringLiteral("Background/") + name);
    QString why;
    if (folder.isEmpty() || !SafeFiles::copyFile(item.shotFilePath, target, &why)) {
        LogAlert::alertMessage(loadAppString("FurnishingTabs-The background cannot be applied.", "The background cannot be applied."),
                               QDir::toNativeSeparators(item.shotFilePath), why);
        view->setSelectedItemIndex(0);
        return;
    }
    tmpl->setPropertyValue(QStringLiteral("backgroundImage"), kBackgroundValue + name);
    changed();
}

void FurnishingTabs::applyTheme(bool mobile, int row)
{
    FlashTemplate *tmpl = mobile ? m_document->mobileTemplate() : m_document->flashTmpl();
    const QString style = m_pickers.value(mobile ? QStringLiteral("mobile theme") : QStringLiteral("theme"))->imageList().value(row).key;
    if (style.isEmpty())
        tmpl->resetToDefaults();
    else if (!tmpl->applyStyle(style))
        return;
    showChoices(); // a theme sets the background too
    changed();
}

void FurnishingTabs::applyMobileTemplate(int row)
{
    const QString name = m_pickers.value(QStringLiteral("mobile template"))->imageList().value(row).key;
    FlashTemplate *tmpl = m_document->mobileTemplate();
    if (name.isEmpty() || name == tmpl->tmplName())
        return;
    const QString extern_ = tmpl->externResourcePath();
    if (!tmpl->loadTemplateXmlFile(FlashTemplate::bundledTemplateFile(name))) {
        LogAlert::alertMessage(loadAppString("FurnishingTabs-The template cannot be read.", "The template cannot be read."),
                               tmpl->errorString());
        return;
    }
    tmpl->setTmplName(name);
    tmpl->setIsMobileTemplate(true);
    tmpl->setExternResourcePath(extern_);
    showThemes();
    showChoices();
    changed();
}

void FurnishingTabs::applyPlugin(int row)
{
    const BackgroundSettingView::Item item = m_pickers.value(QStringLiteral("plugin"))->imageList().value(row);
    if (row <= 0 || item.key.isEmpty()) {
        m_document->parts().setPluginBundleName(QString());
        changed();
        return;
    }
    if (m_editorRunning)
        return;
    PluginBundle bundle;
    bundle.loadBundleAtPath(item.key);
    // The editor is a program of its own: the window keeps drawing while it runs, but
    // takes no input and refuses to close until it has ended.
    setEditorRunning(true);
    const QString name = bundle.bgName();
    const quint64 serial = m_documentSerial;
    bundle.runSettingsEditor(this, [this, name, serial](int status, const QString &error) {
        setEditorRunning(false);
        if (!m_document || serial != m_documentSerial)
            return;
        if (status == 1) {
            m_document->parts().setPluginBundleName(name);
            changed();
            return;
        }
        if (status < 0)
            LogAlert::alertMessage(loadAppString("FurnishingTabs-The plug-in cannot be set up.", "The plug-in cannot be set up."),
                                   error);
        showChoices(); // the book keeps the plug-in it had
    });
}

void FurnishingTabs::setEditorRunning(bool running)
{
    m_editorRunning = running;
    if (!m_window)
        return;
    m_window->setEnabled(!running);
    m_window->setWorkerRunning(this, running);
}

void FurnishingTabs::loadScenePackage()
{
    const QStringList files = choosePanel(m_window, loadAppString("FurnishingTabs-Load Scene file", "Load Scene file"),
                                          {QStringLiteral("scp"), QStringLiteral("zip")});
    if (files.isEmpty())
        return;
    QString error;
    const QString name = QFileInfo(files.first()).completeBaseName();
    if (ScenePackage::installArchive(files.first(), FlashScenesItem::userScenesFolder(), name, &error).isEmpty()) {
        LogAlert::alertMessage(loadAppString("FurnishingTabs-The scene cannot be installed.", "The scene cannot be installed."), error);
        return;
    }
    reload();
}

void FurnishingTabs::loadBackgroundPicture()
{
    const QStringList files = choosePanel(m_window, loadAppString("FurnishingTabs-Load background picture", "Load background picture"),
                                          {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png")});
    if (files.isEmpty())
        return;
    QString error;
    if (BackgroundItem::importBackground(files.first(), &error).isEmpty()) {
        LogAlert::alertMessage(loadAppString("FurnishingTabs-The background cannot be installed.", "The background cannot be installed."),
                               error);
        return;
    }
    reload();
}

void FurnishingTabs::removeSelected(BackgroundSettingView *view)
{
    const bool scenes = view == m_pickers.value(QStringLiteral("scene"));
    const bool bundles = view == m_pickers.value(QStringLiteral("plugin"));
    // What goes: a scene's folder, a bundle's folder or a background picture.
    QStringList doomed;
    for (const int row : view->selectedRows()) {
        const BackgroundSettingView::Item item = view->imageList().value(row);
        if (row <= 0 || !BackgroundSettingView::isUserItem(item))
            continue;
        if (bundles && PluginBundle::isBundleFolder(item.key))
            doomed << item.key;
        else if (scenes)
            doomed << QFileInfo(item.shotFilePath).absolutePath();
        else if (!bundles)
            doomed << item.shotFilePath;
    }
    if (doomed.isEmpty()
        || !LogAlert::askOKCancel(loadAppString("FurnishingTabs-Are you sure to delete the selected item(s)?",
                                                "Are you sure to delete the selected item(s)?"),
                                  QString()))
        return;
    for (const QString &path : std::as_const(doomed)) {
        if (scenes || bundles)
            removeTree(path);
        else
            QFile::remove(path);
    }
    reload();
}

void FurnishingTabs::openGallery(bool scenes)
{
    const QString address = SettingsStore::value(scenes ? sceneGalleryKey() : backgroundGalleryKey()).toString().trimmed();
    if (address.isEmpty()) {
        LogAlert::alertMessage(
            loadAppString("FurnishingTabs-No online gallery is set up.", "No online gallery is set up."),
            loadAppString("FurnishingTabs-Set the address of a gallery page in the setting \"%1\" first.",
                          "Set the address of a gallery page in the setting \"%1\" first.")
                .arg(scenes ? sceneGalleryKey() : backgroundGalleryKey()));
        return;
    }
    OnlineWebView gallery(scenes ? OnlineWebView::Scenes : OnlineWebView::Backgrounds, QUrl(address));
    gallery.runModal();
    reload();
    if (gallery.appliedName().isEmpty() || !m_document)
        return;
    BackgroundSettingView *view = m_pickers.value(scenes ? QStringLiteral("scene") : QStringLiteral("background"));
    for (int i = 1; i < view->imageList().size(); ++i)
        if (view->imageList().at(i).bgName == gallery.appliedName())
            view->applyItemAt(i);
}

void FurnishingTabs::openScenesMaker()
{
    const QString workspace = createUniqueTempFolder();
    if (workspace.isEmpty())
        return;
    FlashScenesManagement *scenes = FlashScenesManagement::shareManager();
    ScenesMaker maker;
    const FlashScenesItem chosen = scenes->selectedItem();
    if (!chosen.isNone()) {
        AppUtility::copyFromPath(chosen.sceneFilePath(), workspace, true);
        maker.setTitle(chosen.isApplicationScene() ? chosen.sceneName() + QStringLiteral(" New") : chosen.sceneName());
    }
    maker.setWorkspace(workspace);
    // The preview plays its movies when it is served over http.
    PreviewServer server;
    maker.setPreviewHost([&server](const QString &folder) {
        server.setDocumentRoot(folder);
        return server.isListening() || server.start() ? server.baseUrl() : QUrl();
    });
    const int code = maker.runModal();
    server.stop();
    if (code == 1) {
        QString error;
        const QString target = QDir(FlashScenesItem::userScenesFolder()).filePath(maker.title());
        if (!ScenePackage::replaceFolder(workspace, target, &error)) {
            LogAlert::alertMessage(loadAppString("FurnishingTabs-The scene cannot be installed.", "The scene cannot be installed."),
                                   error);
        } else {
            reload();
            const int index = FlashScenesItem::sceneIndexIn(scenes->flashScenesList(), maker.title());
            if (index > 0 && m_document)
                m_pickers.value(QStringLiteral("scene"))->applyItemAt(index);
        }
    }
    removeTree(workspace);
}
