#include "pages/PageRange.h"

#include "foundation/AppStrings.h"

#include <QRegularExpression>
#include <algorithm>

namespace PageRange {

bool isAll(const QString &expression)
{
    const QString e = expression.trimmed();
    return e.isEmpty() || e.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0;
}

std::optional<QList<int>> parse(const QString &expression, int pageCount, PageResult *result)
{
    const auto fail = [&](const QString &message) -> std::optional<QList<int>> {
        if (result)
            *result = PageResult::failure(PageError::BadPageRange, message);
        return std::nullopt;
    };
    if (result)
        *result = PageResult::success();

    QList<int> pages;
    if (isAll(expression)) {
        for (int p = 1; p <= pageCount; ++p)
            pages << p;
    } else {
        static const QRegularExpression item(QStringLiteral(R"(^\s*(\d*)\s*(-?)\s*(\d*)\s*$)"));
        const QStringList parts = expression.split(QRegularExpression(QStringLiteral("[,;]")));
        for (const QString &part : parts) {
            if (part.trimmed().isEmpty())
                continue;
            const auto m = item.match(part);
            const bool span = m.hasMatch() && !m.captured(2).isEmpty();
            if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(3).isEmpty())
                || (!span && !m.captured(3).isEmpty()))
                return fail(
                    loadAppString(
                        QStringLiteral("PageImport-\"%1\" is not a valid page range. Use \"ALL\" or a list such "
                                       "as \"1-3,5,8-\"."),
                        QStringLiteral("\"%1\" is not a valid page range. Use \"ALL\" or a list such as "
                                       "\"1-3,5,8-\"."))
                        .arg(expression.trimmed()));
            bool ok1 = true, ok2 = true;
            qint64 first = m.captured(1).isEmpty() ? 1 : m.captured(1).toLongLong(&ok1);
            qint64 last = !span ? first : (m.captured(3).isEmpty() ? pageCount : m.captured(3).toLongLong(&ok2));
            if (!ok1 || !ok2 || first < 1 || last < 1)
                return fail(loadAppString(QStringLiteral(
                                              "PageImport-\"%1\" is not a valid page range: pages are counted from 1."),
                                          QStringLiteral("\"%1\" is not a valid page range: pages are counted from 1."))
                                .arg(expression.trimmed()));
            if (first > last && !m.captured(3).isEmpty())
                std::swap(first, last); // "5-3" written backwards
            last = std::min<qint64>(last, pageCount);
            for (qint64 p = first; p <= last; ++p)
                pages << int(p);
        }
        std::sort(pages.begin(), pages.end());
        pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    }
    if (pages.isEmpty())
        return fail(
            loadAppString(QStringLiteral(
                              "PageImport-The page range \"%1\" selects no page of this document, which has %2 pages."),
                          QStringLiteral("The page range \"%1\" selects no page of this document, which has %2 pages."))
                .arg(expression.trimmed())
                .arg(pageCount));
    return pages;
}

} // namespace PageRange
