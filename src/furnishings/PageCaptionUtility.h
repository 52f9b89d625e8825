#pragma once
// Page-number captions: a scheme of expressions separated by ";", each "pages:caption",
// where pages is one page number or a range "from-to" and the caption may hold one
// macro counting with the page: {N+k} decimal, {R+k} upper-case Roman, {r+k}
// lower-case Roman numerals of page + k (k optional, 0 when absent).
//   "1:Cover;2-4:{r+-1};5-30:{N+-4}"   Cover, i, ii, iii, 1, 2, ... 26
//   "1-30:3001+"                        a range without a macro counts up from the
//                                       caption's number: 3001 ... 3030

#include <QString>
#include <QStringList>
#include <optional>

namespace PageCaptionUtility {

// The macros offered by the caption sheet, in menu order.
QStringList captionMacros();

// Upper-case Roman numeral of n: "" for 0 (and below), "--" above 3999.
QString romaStringForNumber(int n);

// Whether one expression is valid: a single page number with any caption, or a
// rising range whose caption carries a counter (a macro, or a "+" form with digits).
bool isExpressionForPageCaption(const QString &expression);

// The scheme made of the valid expressions only, joined by ";"; nothing when none is.
std::optional<QString> checkCaptionFormat(const QString &scheme);

// The expressions of a scheme (line breaks removed) that are not valid, empty ones
// left out: what a typed scheme would lose.
QStringList invalidExpressions(const QString &scheme);

// The expression the caption sheet builds from its fields: "from:caption" when the
// two pages are equal, "from-to:caption" otherwise; "" when the from page or the
// caption is empty, the from page lies after the to page (an empty to page counts as
// 0) or the expression is not valid.
QString expressionFromFields(const QString &fromPage, const QString &toPage, const QString &caption);

// Whether caption already holds a counting macro ({N+..}, {R+..}, {r+..}) in its first
// brace span; only that first macro counts.
bool hasCounterMacro(const QString &caption);

// One caption per page (pageCount entries) from a scheme; line breaks are ignored,
// invalid expressions skipped, a later expression wins over an earlier one, and
// pages no expression names get "". Empty when the scheme names no page.
QStringList captionsForPages(const QString &scheme, int pageCount);

} // namespace PageCaptionUtility
