#include "platform/ui/WindowLoader.h"

#include "foundation/AppResources.h"
#include "foundation/AppStrings.h"
#include "platform/ui/DragFileImport.h"
#include "platform/ui/FMButton.h"
#include "platform/ui/PictureGridView.h"
#include "platform/ui/QvWindow.h"
#include "platform/ui/RoundView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QUiLoader>
#include <QVBoxLayout>

namespace {

struct Registry
{
    QMutex mutex;
    QHash<QString, WindowLoader::Factory> factories;
};

Registry &registry()
{
    static Registry r;
    static const bool builtIns = [] {
        r.factories.insert(QStringLiteral("RoundView"), [](QWidget *p) { return new RoundView(p); });
        r.factories.insert(QStringLiteral("FMButton"), [](QWidget *p) { return new FMButton(p); });
        r.factories.insert(QStringLiteral("DragFileImport"), [](QWidget *p) { return new DragFileImport(p); });
        r.factories.insert(QStringLiteral("PictureGridView"), [](QWidget *p) { return new PictureGridView(p); });
        return true;
    }();
    Q_UNUSED(builtIns);
    return r;
}

// Creates the top level as our window class and the registered classes by name.
class Loader : public QUiLoader
{
public:
    QWidget *createWidget(const QString &className, QWidget *parent, const QString &name) override
    {
        QWidget *widget = nullptr;
        if (!parent && className == QLatin1String("QDialog")) {
            widget = new QvWindow;
        } else {
            WindowLoader::Factory factory;
            {
                Registry &r = registry();
                QMutexLocker lock(&r.mutex);
                factory = r.factories.value(className);
            }
            if (factory)
                widget = factory(parent);
        }
        if (!widget)
            return QUiLoader::createWidget(className, parent, name);
        widget->setObjectName(name);
        return widget;
    }
};

QString withSuffix(const QString &name)
{
    return name.endsWith(QLatin1String(".ui")) ? name : name + QLatin1String(".ui");
}

} // namespace

QStringList WindowLoader::searchFolders(Lookup lookup)
{
    const QString base = AppResources::resourcePath();
    const QString english = base + QStringLiteral("/en.lproj");
    if (lookup == Lookup::ByName)
        return {base, english};
    QStringList folders;
    const QString language = currentLanguageCode();
    if (!language.isEmpty() && language != QLatin1String("en") && !language.contains(QLatin1Char('/'))
        && !language.contains(QLatin1String("..")))
        folders << base + QLatin1Char('/') + language + QStringLiteral(".lproj");
    folders << english << base;
    return folders;
}

QString WindowLoader::findDescription(const QString &name, Lookup lookup)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return {};
    const QString file = withSuffix(name);
    for (const QString &folder : searchFolders(lookup)) {
        const QString path = folder + QLatin1Char('/') + file;
        if (QFileInfo(path).isFile())
            return QDir::cleanPath(path);
    }
    return {};
}

QvWindow *WindowLoader::load(const QString &path, QString *errorMessage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorMessage)
            *errorMessage = file.errorString();
        return nullptr;
    }
    Loader loader;
    loader.setWorkingDirectory(QFileInfo(path).absoluteDir());
    QWidget *root = loader.load(&file, nullptr);
    if (!root) {
        if (errorMessage)
            *errorMessage = loader.errorString();
        return nullptr;
    }
    if (auto *window = qobject_cast<QvWindow *>(root))
        return window;
    // A main window or plain widget description: host it in a dialog window.
    auto *window = new QvWindow;
    window->setObjectName(root->objectName());
    window->setWindowTitle(root->windowTitle());
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    const QSize size = root->size();
    root->setParent(window);
    root->setWindowFlags(Qt::Widget);
    layout->addWidget(root);
    window->resize(size);
    return window;
}

void WindowLoader::registerWidgetClass(const QString &className, Factory factory)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    r.factories.insert(className, std::move(factory));
}

bool WindowLoader::isRegisteredWidgetClass(const QString &className)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    return r.factories.contains(className);
}
