#include "shell/PreviewAddress.h"

#include <QRegularExpression>
#include <QUrlQuery>

namespace PreviewAddress {

QUrl bookUrl(const QUrl &base, bool mobile, int generation, int page)
{
    QUrl url = base;
    url.setPath(mobile ? QStringLiteral("/mobile/index.html") : QStringLiteral("/"));
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
    return url.path().startsWith(QLatin1String("/mobile/"));
}

} // namespace PreviewAddress
