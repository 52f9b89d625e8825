#pragma once
// Page range expressions: "ALL" (any letter case; an empty text counts as ALL) or
// a list of items separated by "," or ";", each a page "5", a span "1-3", an open
// end "8-" (to the last page) or an open start "-3" (from the first page). Pages
// are counted from 1. The result is ascending and without repeats; pages past the
// end of the document are left out. A reversed span "5-3" means 3 to 5.

#include "pages/PageError.h"

#include <QList>
#include <QString>
#include <optional>

namespace PageRange {

// The selected page numbers of a document of pageCount pages, or nothing with a
// message (BadPageRange) when the text is not a range expression or selects no page.
std::optional<QList<int>> parse(const QString &expression, int pageCount, PageResult *result = nullptr);

// True when the expression selects every page ("ALL" or empty).
bool isAll(const QString &expression);

} // namespace PageRange
