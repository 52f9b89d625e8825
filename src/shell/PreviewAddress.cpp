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

} // namespace PreviewAddress
