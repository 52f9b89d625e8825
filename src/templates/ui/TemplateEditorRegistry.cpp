#include "templates/ui/TemplateEditorRegistry.h"

#include "foundation/AppStrings.h"
#include "foundation/ColorText.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ColorPanelDelegate.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateModel.h"
#include "templates/TemplateNotifications.h"
#include "templates/ui/FurnishingSettingEditors.h"

#include <QCursor>
#include <QDialog>
#include <QFileDialog>
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
    QString folder;
    if (request.flashTemplate) {
        const QString current = request.flashTemplate->resolveResourcePath(request.value);
        if (!current.isEmpty())
            folder = QFileInfo(current).absolutePath();
    }
    const QString path = QFileDialog::getOpenFileName(
        request.parent, loadAppString(QStringLiteral("FlashTmplOutlineD-Choose a file"), QStringLiteral("Choose a file")),
        folder);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

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
