#include "templates/ui/TemplateEditorRegistry.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "foundation/ColorText.h"
#include "furnishings/OtherIconItem.h"
#include "furnishings/ShareLinksItem.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ColorPanelDelegate.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/TemplateNotifications.h"
#include "templates/ui/FurnishingSettingEditors.h"

#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace {

const QString ColorSource = QStringLiteral("color");
const QString FileSource = QStringLiteral("file");

std::optional<QString> chooseColor(const TemplateEditorRequest &request)
{
    const std::optional<QColor> chosen =
        ColorPanelDelegate::chooseColor(request.parent, TemplateEditorRun::colorFromValue(request.value), {});
    if (!chosen)
        return std::nullopt;
    return colorToHexRGB(*chosen);
}

std::optional<QString> chooseFile(const TemplateEditorRequest &request)
{
    QvPanel panel;
    panel.setTitle(loadAppString(QStringLiteral("FlashTmplOutlineD-Choose a file"), QStringLiteral("Choose a file")));
    const QString current = request.flashTemplate ? request.flashTemplate->resolveResourcePath(request.value) : QString();
    if (!current.isEmpty())
        panel.setDirectory(QFileInfo(current).absolutePath());
    panel.setOwer(request.parent);
    const QString path = panel.runAndWait().value(0);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

// Files an editor names by plain path are brought into the template's own folder, so
// the project carries them: a project names no file outside itself (it counts only
// what lies inside it when it is read again).
class FileCarrier
{
public:
    explicit FileCarrier(FlashTemplate &tmpl) : m_tmpl(tmpl) {}

    // The value to store for a file value: as it is when the project carries the file
    // already (the program's resources, the template's folders), the template-folder
    // form of a file inside its extern folder, else the value of a copy there.
    std::optional<QString> fileValue(const QString &value)
    {
        if (value.isEmpty() || !QDir::isAbsolutePath(value) || !QFileInfo(value).isFile())
            return value;
        const QString path = QDir::cleanPath(value);
        for (const QString &kept : {AppResources::resourcePath(), m_tmpl.templateFolder()})
            if (!kept.isEmpty() && path.startsWith(QDir::cleanPath(kept) + QLatin1Char('/')))
                return value;
        const QString folder = m_tmpl.externResourcePath();
        if (!folder.isEmpty() && path.startsWith(QDir::cleanPath(folder) + QLatin1Char('/')))
            return QStringLiteral("STYLE_EXTERN:") + QDir(folder).relativeFilePath(path);
        const TemplateEditorRegistry::FolderMaker &makeFolder = TemplateEditorRegistry::shared().resourceFolderMaker();
        if (folder.isEmpty() && makeFolder)
            makeFolder(m_tmpl);
        const QString adopted = m_tmpl.adoptFile(path, &m_error);
        if (adopted.isEmpty())
            return std::nullopt;
        return adopted;
    }

    // The same for every file a setting's value names, by the editor that made it.
    std::optional<QString> settingValue(const QString &source, bool isFile, const QString &value)
    {
        if (source == QLatin1String("setsocialsharelinks")) {
            QList<ShareLinksItem> links = ShareLinksItem::parseByXmlString(value);
            bool changed = false;
            for (ShareLinksItem &link : links) {
                const std::optional<QString> logo = fileValue(link.logo());
                if (!logo)
                    return std::nullopt;
                changed = changed || *logo != link.logo();
                link.setLogo(*logo);
            }
            return changed ? ShareLinksItem::generateShareLinksToXml(links) : value;
        }
        if (!isFile)
            return value;
        const std::optional<QString> carried = fileValue(value);
        if (!carried || *carried == value || source != QLatin1String("addIcons"))
            return carried;
        // The extra icons' list names its pictures by path too: the copy names copies.
        const QString list = m_tmpl.resolveResourcePath(*carried);
        std::optional<QList<OtherIconItem>> icons = OtherIconItem::iconListFromFile(list);
        if (!icons)
            return carried;
        for (OtherIconItem &icon : *icons) {
            const std::optional<QString> picture = fileValue(icon.file());
            if (!picture)
                return std::nullopt;
            icon.setFile(*picture);
        }
        if (OtherIconItem::saveIconList(*icons, list).isEmpty()) {
            m_error = QStringLiteral("\"%1\" cannot be written").arg(QDir::toNativeSeparators(list));
            return std::nullopt;
        }
        return carried;
    }

    QString errorString() const { return m_error; }

private:
    FlashTemplate &m_tmpl;
    QString m_error;
};

} // namespace

TemplateEditorRegistry &TemplateEditorRegistry::shared()
{
    static TemplateEditorRegistry *registry = [] {
        auto *r = new TemplateEditorRegistry;
        r->registerEditor(ColorSource, chooseColor);
        r->registerEditor(FileSource, chooseFile);
        // Page captions, the viewer menu, extra icons and toolbar icon files.
        FurnishingSettingEditors::registerEditors(*r);
        return r;
    }();
    return *registry;
}

void TemplateEditorRegistry::registerEditor(const QString &valueSource, Opener opener)
{
    if (valueSource.isEmpty() || !opener)
        return;
    m_openers.insert(valueSource, std::move(opener));
}

void TemplateEditorRegistry::unregisterEditor(const QString &valueSource)
{
    m_openers.remove(valueSource);
}

bool TemplateEditorRegistry::hasEditor(const QString &valueSource) const
{
    return m_openers.contains(valueSource);
}

TemplateEditorRegistry::Opener TemplateEditorRegistry::opener(const QString &valueSource) const
{
    return m_openers.value(valueSource);
}

QString TemplateEditorRegistry::editorSourceFor(const FlashTemplateProperty &property)
{
    if (!property.valueSource().isEmpty())
        return property.valueSource();
    if (property.kind() == FlashTemplateProperty::Kind::Color)
        return ColorSource;
    if (property.kind() == FlashTemplateProperty::Kind::File)
        return FileSource;
    return {};
}

void TemplateEditorRegistry::registerValueCheck(const QString &valueSource, ValueCheck check)
{
    if (!valueSource.isEmpty() && check)
        m_valueChecks.insert(valueSource, std::move(check));
}

std::optional<TemplateEditorRegistry::Refusal> TemplateEditorRegistry::checkTypedValue(const QModelIndex &index,
                                                                                       const QString &value) const
{
    const auto *model = qobject_cast<const FlashTemplateModel *>(index.model());
    FlashTemplateProperty *property = model ? model->propertyForIndex(index) : nullptr;
    if (!property || property->isCategory())
        return std::nullopt;
    const QString source = editorSourceFor(*property);
    const ValueCheck check = m_valueChecks.value(source);
    if (!check || value == property->value())
        return std::nullopt;
    return check({source, property->key(), value, model->flashTemplate(), nullptr});
}

void TemplateEditorRegistry::registerDisplayText(const QString &valueSource, DisplayText text)
{
    if (!valueSource.isEmpty() && text)
        m_displayTexts.insert(valueSource, std::move(text));
}

QString TemplateEditorRegistry::displayText(const QModelIndex &index) const
{
    const auto *model = qobject_cast<const FlashTemplateModel *>(index.model());
    FlashTemplateProperty *property = model ? model->propertyForIndex(index) : nullptr;
    if (!property || property->isCategory())
        return {};
    const QString source = editorSourceFor(*property);
    if (const DisplayText text = m_displayTexts.value(source))
        return text({source, property->key(), property->value(), model->flashTemplate(), nullptr});
    return FlashTemplate::displayFileName(property->value());
}

bool TemplateEditorRegistry::runEditor(const QModelIndex &index, QWidget *parent) const
{
    QPointer<FlashTemplateModel> model =
        qobject_cast<FlashTemplateModel *>(const_cast<QAbstractItemModel *>(index.model()));
    FlashTemplateProperty *property = model ? model->propertyForIndex(index) : nullptr;
    QPointer<FlashTemplate> tmpl = model ? model->flashTemplate() : nullptr;
    if (!property || property->isCategory() || !tmpl)
        return false;
    const QString source = editorSourceFor(*property);
    const Opener open = opener(source);
    if (!open)
        return false;

    const QPersistentModelIndex valueIndex = index.siblingAtColumn(FlashTemplateModel::ValueColumn);
    const QString key = property->key();
    const QString digestBefore = tmpl->settingsDigest();
    const std::optional<QString> result = open({source, key, property->value(), tmpl, parent});

    // The run is modal, but the template may have been reloaded or closed meanwhile;
    // then the answer belongs to a setting that is gone.
    if (!model || !tmpl || !valueIndex.isValid())
        return false;
    std::optional<QString> value = result;
    if (const FlashTemplateProperty *setting = tmpl->propertyForKey(key); value && setting) {
        FileCarrier carrier(*tmpl);
        value = carrier.settingValue(source, setting->kind() == FlashTemplateProperty::Kind::File, *value);
        if (!value)
            LogAlert::alertMessage(loadAppString(QStringLiteral("FlashTmplOutlineD-The file cannot be used."),
                                                 QStringLiteral("The file cannot be used.")),
                                   carrier.errorString());
    }
    if (value && *value != tmpl->propertyValue(key) && model->setData(valueIndex, *value))
        return true;
    if (tmpl->settingsDigest() != digestBefore) {
        NotificationCenter::defaultCenter()->postNotification(FlashTmplProValueChangedNotification, model.data(),
                                                              {{QStringLiteral("key"), key}});
        return true;
    }
    return false;
}

namespace TemplateEditorRun {

int runApplicationModal(QDialog *dialog)
{
    dialog->setWindowModality(Qt::ApplicationModal);
    return dialog->exec();
}

QPoint positionBesideCursor(const QPoint &cursor, const QSize &size, const QRect &available)
{
    int x = cursor.x() + 10;
    int y = cursor.y() - size.height() / 2;
    if (available.isValid()) {
        y = std::min(y, available.bottom() + 1 - 80 - size.height());
        y = std::max(y, available.top());
        x = std::min(x, available.right() + 1 - size.width());
        x = std::max(x, available.left());
    }
    return {x, y};
}

void placeBesideCursor(QWidget *window)
{
    const QPoint cursor = QCursor::pos();
    QScreen *screen = QGuiApplication::screenAt(cursor);
    const QRect available = screen ? screen->availableGeometry() : QRect();
    window->move(positionBesideCursor(cursor, window->frameGeometry().size(), available));
}

QColor colorFromValue(const QString &value)
{
    const auto digits = hexRGBDigits(value);
    return digits ? QColor(QLatin1Char('#') + *digits) : QColor();
}

} // namespace TemplateEditorRun
