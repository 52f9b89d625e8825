#include "project/BookPartsStore.h"

#include "foundation/AppLog.h"
#include "foundation/SafeFiles.h"
#include "foundation/XmlUtility.h"
#include "furnishings/BookMarkTabs.h"
#include "furnishings/PluginBundle.h"
#include "output/BookParts.h"
#include "output/narration/GenerateAssistant.h"
#include "output/security/BookSecurity.h"
#include "project/ProjectFiles.h"
#include "project/ProjectMessages.h"

#include <QDir>
#include <QFileInfo>

namespace {

// path moved from folder from to folder to (paths elsewhere stay as they are).
QString rebased(const QString &path, const QString &from, const QString &to)
{
    if (path.isEmpty() || from.isEmpty() || !ProjectFiles::isInside(path, from))
        return path;
    return QDir::cleanPath(to + QLatin1Char('/') + QDir(from).relativeFilePath(path));
}

// Whether a path of a part (by its name inside folder) stays there when its links are
// followed, and is no file with another name that may lie anywhere; one that does
// not is noted in the log and not used.
bool staysInPart(const QString &path, const QString &folder)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (!SafeFiles::liesInside(path, folder)) {
        AppLog::shared().error(ProjectMessages::leadsOutOfProject(path));
        return false;
    }
    if (SafeFiles::hasOtherNames(path)) {
        AppLog::shared().error(ProjectMessages::hasOtherNames(path));
        return false;
    }
    return true;
}

// A relative path read from a project, inside folder; "" when it would leave it (by
// its name or through a link).
QString inside(const QString &folder, const QString &relative)
{
    if (folder.isEmpty() || !ProjectFiles::isSafeRelativePath(relative))
        return {};
    const QString path = QDir::cleanPath(folder + QLatin1Char('/') + relative);
    return staysInPart(path, folder) ? path : QString();
}

class TabsPart : public BookProjectPart
{
public:
    explicit TabsPart(BookParts &parts) : m_parts(parts) {}
    QString partName() const override { return BookPartName::Tabs; }
    QDomElement projectElement(QDomDocument &document) const override
    {
        const BookMarkTabs &tabs = *m_parts.bookmarkTabs();
        return tabs == BookMarkTabs() ? QDomElement() : tabs.tabsXMLElement(document);
    }
    bool loadProjectElement(const QDomElement &element, QString *error) override
    {
        if (element.tagName() != QLatin1String("Tabs")) {
            if (error)
                *error = QStringLiteral("<%1> is not a Tabs element.").arg(element.tagName());
            return false;
        }
        auto tabs = std::make_shared<BookMarkTabs>();
        tabs->loadFromTabsXML(element);
        m_parts.setBookmarkTabs(tabs);
        return true;
    }

private:
    BookParts &m_parts;
};

// The plug-in bundle is kept as the book configuration's PlugIn element; opening the
// project writes the bundle's settings back into its save folder.
class PlugInPart : public BookProjectPart
{
public:
    explicit PlugInPart(BookParts &parts) : m_parts(parts) {}
    QString partName() const override { return BookPartName::PlugIn; }
    QDomElement projectElement(QDomDocument &document) const override
    {
        if (!m_parts.hasPluginBundle())
            return {};
        QDomDocument element;
        if (!parseXmlDocument(element, PluginBundle::bundleNamed(m_parts.pluginBundleName()).pluginXMLElement()))
            return {};
        return document.importNode(element.documentElement(), true).toElement();
    }
    bool loadProjectElement(const QDomElement &element, QString *error) override
    {
        const QString name = PluginBundle::restoreSettingsFromPluginXML(element);
        if (name.isEmpty()) {
            if (error)
                *error = QStringLiteral("The plug-in \"%1\" is not installed.")
                             .arg(element.firstChildElement(QStringLiteral("Swf")).text());
            return false;
        }
        m_parts.setPluginBundleName(name);
        return true;
    }

private:
    BookParts &m_parts;
};

class SecurityPart : public BookProjectPart
{
public:
    explicit SecurityPart(BookParts &parts) : m_parts(parts) {}
    QString partName() const override { return BookPartName::Security; }
    QDomElement projectElement(QDomDocument &document) const override
    {
        // A book never protected keeps nothing; one whose protection was turned off
        // keeps its choices (the pages left free) for when it is turned on again.
        const BookSecurity &security = *m_parts.security();
        if (security.toDictionary() == BookSecurity().toDictionary())
            return {};
        return propertyListElement(document, partName(), security.toDictionary());
    }
    bool loadProjectElement(const QDomElement &element, QString *error) override
    {
        const std::optional<QVariant> value = propertyListFromElement(element, error);
        if (!value)
            return false;
        auto security = std::make_shared<BookSecurity>();
        security->readDictionary(value->toMap());
        m_parts.setSecurity(security);
        return true;
    }

private:
    BookParts &m_parts;
};

class AssistantPart : public BookProjectPart
{
public:
    explicit AssistantPart(BookParts &parts) : m_parts(parts) {}
    QString partName() const override { return BookPartName::Assistant; }
    QDomElement projectElement(QDomDocument &document) const override
    {
        const std::shared_ptr<GenerateAssistant> assistant = m_parts.assistant();
        if (!assistant)
            return {};
        return assistant->toXmlElement(document, filesFolder());
    }
    bool loadProjectElement(const QDomElement &element, QString *error) override
    {
        Q_UNUSED(error);
        auto assistant = std::make_shared<GenerateAssistant>(GenerateAssistant::fromXmlElement(element, m_folder));
        // Texts and sounds come only from the part's own folder.
        for (AssistantResourceItem &item : assistant->resourceList()) {
            const auto keep = [&](const QString &path) {
                return !m_folder.isEmpty() && ProjectFiles::isInside(path, m_folder) && staysInPart(path, m_folder)
                           ? path
                           : QString();
            };
            item.setLrcFile(keep(item.lrcFile()));
            item.setMp3File(keep(item.mp3File()));
            item.setImportmp3File(keep(item.importmp3File()));
        }
        if (!m_folder.isEmpty())
            assistant->setWorkFolder(m_folder);
        m_parts.setAssistant(assistant);
        return true;
    }
    QString filesFolder() const override
    {
        const std::shared_ptr<GenerateAssistant> assistant = m_parts.assistant();
        return assistant && assistant->hasOwnWorkFolder() ? assistant->workFolder() : QString();
    }
    void setFilesFolder(const QString &folder) override
    {
        const QString old = filesFolder();
        m_folder = folder;
        const std::shared_ptr<GenerateAssistant> assistant = m_parts.assistant();
        if (!assistant || old.isEmpty() || folder.isEmpty())
            return;
        for (AssistantResourceItem &item : assistant->resourceList()) {
            item.setLrcFile(rebased(item.lrcFile(), old, folder));
            item.setMp3File(rebased(item.mp3File(), old, folder));
            item.setImportmp3File(rebased(item.importmp3File(), old, folder));
        }
        assistant->setWorkFolder(folder);
    }

private:
    BookParts &m_parts;
    QString m_folder; // where the project keeps the files, once it has read or saved them
};

class ScenePart : public BookProjectPart
{
public:
    explicit ScenePart(BookParts &parts) : m_parts(parts) {}
    QString partName() const override { return BookPartName::Scene; }
    QDomElement projectElement(QDomDocument &document) const override
    {
        const BookScene &scene = m_parts.scene();
        if (scene.isNone())
            return {};
        QDomElement element = document.createElement(partName());
        element.setAttribute(QStringLiteral("name"), scene.name);
        element.setAttribute(QStringLiteral("xml"), QDir(scene.folder).relativeFilePath(scene.xmlFilePath));
        const auto addLayers = [&](const QList<BookScene::Layer> &layers, const QString &place) {
            for (const BookScene::Layer &layer : layers) {
                QDomElement e = document.createElement(QStringLiteral("Layer"));
                e.setAttribute(QStringLiteral("place"), place);
                e.setAttribute(QStringLiteral("file"), layer.file);
                e.setAttribute(QStringLiteral("position"), layer.position);
                element.appendChild(e);
            }
        };
        addLayers(scene.background, QStringLiteral("background"));
        addLayers(scene.foreground, QStringLiteral("foreground"));
        return element;
    }
    bool loadProjectElement(const QDomElement &element, QString *error) override
    {
        BookScene scene;
        scene.name = element.attribute(QStringLiteral("name"));
        scene.folder = m_folder;
        scene.xmlFilePath = inside(m_folder, element.attribute(QStringLiteral("xml")));
        if (scene.xmlFilePath.isEmpty()) {
            if (error)
                *error = QStringLiteral("The scene's files are not in the project.");
            return false;
        }
        for (QDomElement e = element.firstChildElement(QStringLiteral("Layer")); !e.isNull();
             e = e.nextSiblingElement(QStringLiteral("Layer"))) {
            const QString file = e.attribute(QStringLiteral("file"));
            if (inside(m_folder, file).isEmpty())
                continue;
            const BookScene::Layer layer{file, e.attribute(QStringLiteral("position"))};
            (e.attribute(QStringLiteral("place")) == QLatin1String("foreground") ? scene.foreground : scene.background)
                << layer;
        }
        m_parts.setScene(scene);
        return true;
    }
    QString filesFolder() const override
    {
        return m_parts.scene().isNone() ? QString() : m_parts.scene().folder;
    }
    void setFilesFolder(const QString &folder) override
    {
        m_folder = folder;
        BookScene scene = m_parts.scene();
        if (scene.isNone() || folder.isEmpty())
            return;
        scene.xmlFilePath = rebased(scene.xmlFilePath, scene.folder, folder);
        scene.folder = folder;
        m_parts.setScene(scene);
    }

private:
    BookParts &m_parts;
    QString m_folder;
};

class DownloadPart : public BookProjectPart
{
public:
    explicit DownloadPart(BookParts &parts) : m_parts(parts) {}
    QString partName() const override { return BookPartName::Download; }
    QDomElement projectElement(QDomDocument &document) const override
    {
        return filesFolder().isEmpty() ? QDomElement() : document.createElement(partName());
    }
    bool loadProjectElement(const QDomElement &, QString *) override { return true; }
    QString filesFolder() const override { return m_parts.downloadWorkspace(); }
    void setFilesFolder(const QString &folder) override { m_parts.setDownloadWorkspace(folder); }

private:
    BookParts &m_parts;
};

class CoverPart : public BookProjectPart
{
public:
    explicit CoverPart(BookParts &parts) : m_parts(parts) {}
    QString partName() const override { return BookPartName::Cover; }
    QDomElement projectElement(QDomDocument &document) const override
    {
        if (m_parts.coverFile().isEmpty())
            return {};
        QDomElement element = document.createElement(partName());
        element.setAttribute(QStringLiteral("file"), QFileInfo(m_parts.coverFile()).fileName());
        // The pages the cover shows; left out when they are not known.
        if (const auto pages = m_parts.coverPages()) {
            QStringList numbers;
            for (int page : *pages)
                numbers << QString::number(page);
            element.setAttribute(QStringLiteral("pages"), numbers.join(QLatin1Char(' ')));
        }
        return element;
    }
    bool loadProjectElement(const QDomElement &element, QString *) override
    {
        const QString name = element.attribute(QStringLiteral("file"));
        m_parts.setCoverFile(name.contains(QLatin1Char('/')) ? QString() : inside(m_folder, name));
        std::optional<QList<int>> pages;
        if (element.hasAttribute(QStringLiteral("pages"))) {
            pages = QList<int>();
            for (const QString &number : element.attribute(QStringLiteral("pages")).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                bool ok = false;
                const int page = number.toInt(&ok);
                if (!ok || page < 1) { // a cover of unknown pages shows every page
                    pages.reset();
                    break;
                }
                pages->append(page);
            }
        }
        m_parts.setCoverPages(pages);
        return true;
    }
    QString filesFolder() const override
    {
        return m_parts.coverFile().isEmpty() ? QString() : QFileInfo(m_parts.coverFile()).absolutePath();
    }
    void setFilesFolder(const QString &folder) override
    {
        m_folder = folder;
        if (!m_parts.coverFile().isEmpty() && !folder.isEmpty())
            m_parts.setCoverFile(QDir(folder).filePath(QFileInfo(m_parts.coverFile()).fileName()));
    }

private:
    BookParts &m_parts;
    QString m_folder;
};

} // namespace

namespace BookPartsStore {

QList<BookProjectPartPtr> projectParts(BookParts &parts)
{
    return {std::make_shared<TabsPart>(parts),      std::make_shared<PlugInPart>(parts),
            std::make_shared<SecurityPart>(parts),
            std::make_shared<AssistantPart>(parts), std::make_shared<ScenePart>(parts),
            std::make_shared<DownloadPart>(parts),  std::make_shared<CoverPart>(parts)};
}

} // namespace BookPartsStore
