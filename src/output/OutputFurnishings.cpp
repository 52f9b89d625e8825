#include "output/OutputFurnishings.h"

#include <QMutex>

namespace {

QMutex &providerMutex()
{
    static QMutex mutex;
    return mutex;
}

std::shared_ptr<const OutputFurnishings> &provider()
{
    static std::shared_ptr<const OutputFurnishings> current = std::make_shared<OutputFurnishings>();
    return current;
}

} // namespace

OutputFurnishings::~OutputFurnishings() = default;

std::shared_ptr<const OutputFurnishings> OutputFurnishings::installed()
{
    QMutexLocker lock(&providerMutex());
    return provider();
}

void OutputFurnishings::setInstalled(std::shared_ptr<const OutputFurnishings> next)
{
    QMutexLocker lock(&providerMutex());
    provider() = next ? std::move(next) : std::make_shared<OutputFurnishings>();
}

QString OutputFurnishings::pluginXml(const QString &) const
{
    return {};
}

bool OutputFurnishings::outputPluginResources(const QString &, const QString &) const
{
    return true;
}

OutputPreloader OutputFurnishings::preloader(const QString &) const
{
    return {};
}

OutputDownloads OutputFurnishings::downloads(const QString &) const
{
    return {};
}

QJsonArray OutputFurnishings::menuItems(const QString &) const
{
    return {};
}

QMap<QString, QString> OutputFurnishings::toolbarIcons(const QString &, const QString &) const
{
    return {};
}
