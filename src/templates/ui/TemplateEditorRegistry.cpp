#include "templates/ui/TemplateEditorRegistry.h"

#include "foundation/AppStrings.h"
#include "foundation/ColorText.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ColorPanelDelegate.h"
#include "platform/ui/LogAlert.h"
#include "platform/ui/QvPanel.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/TemplateNotifications.h"

#include <QCursor>
#include <QDialog>
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
    FlashTemplate *tmpl = request.flashTemplate;
    if (!tmpl)
        return std::nullopt;
    QvPanel panel;
    panel.setTitle(loadAppString(QStringLiteral("FlashTmplOutlineD-Choose a file"), QStringLiteral("Choose a file")));
    const QString current = tmpl->resolveResourcePath(request.value);
    if (!current.isEmpty())
        panel.setDirectory(QFileInfo(current).absolutePath());
    panel.setOwer(request.parent);
    const QString path = panel.runAndWait().value(0);
    if (path.isEmpty())
        return std::nullopt;
    const TemplateEditorRegistry::FolderMaker &makeFolder = TemplateEditorRegistry::shared().resourceFolderMaker();
    if (tmpl->externResourcePath().isEmpty() && makeFolder)
        makeFolder(*tmpl);
    QString error;
    const QString value = tmpl->adoptFile(path, &error);
    if (value.isEmpty()) {
        LogAlert::alertMessage(loadAppString(QStringLiteral("FlashTmplOutlineD-The file cannot be used."),
                                             QStringLiteral("The file cannot be used.")),
                               error);
        return std::nullopt;
    }
    return value;
}

} // namespace

TemplateEditorRegistry &TemplateEditorRegistry::shared()
{
    static TemplateEditorRegistry *registry = [] {
        auto *r = new TemplateEditorRegistry;
        r->registerEditor(ColorSource, chooseColor);
        r->registerEditor(FileSource, chooseFile);
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
    if (result && *result != tmpl->propertyValue(key) && model->setData(valueIndex, *result))
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
