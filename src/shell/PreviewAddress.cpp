#include "shell/PreviewAddress.h"

#include <QRegularExpression>
#include <QUrlQuery>

namespace PreviewAddress {

QUrl bookUrl(const QUrl &base, bool mobile, int generation, int page)
{
    QUrl url = base;
    QString folder = base.path();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    url.setPath(mobile ? folder + QStringLiteral("mobile/index.html") : folder);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("r"), QString::number(generation));
    url.setQuery(query);
    url.setFragment(page > 0 ? QStringLiteral("p=%1").arg(page) : QString());
    return url;
}

int pageFromUrl(const QUrl &url)
{
    static const QRegularExpression pageItem(QStringLiteral("(?:^|&)p=(\\d+)"));
    const QRegularExpressionMatch match = pageItem.match(url.fragment());
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

bool isMobileUrl(const QUrl &url)
{
    return url.path().contains(QLatin1String("/mobile/"));
}

bool isBookUrl(const QUrl &base, const QUrl &url)
{
    const auto origin = [](const QUrl &u) { return u.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment); };
    if (!url.isValid() || !base.isValid() || origin(url) != origin(base))
        return false;
    return url.path() == bookUrl(base, false, 0, 0).path() || url.path() == bookUrl(base, true, 0, 0).path();
}

} // namespace PreviewAddress
