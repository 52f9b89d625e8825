#pragma once
// Addresses of the preview book on the preview server, below its base address
// (http://127.0.0.1:<port>/<secret>/, see PreviewServer):
//   <base>?r=<generation>#p=<page>                   the desktop book
//   <base>mobile/index.html?r=<generation>#p=<page>  the phone version
// The generation changes with every rebuild, so the web view loads the new book
// instead of only moving to another page of the old one.

#include <QUrl>

namespace PreviewAddress {

QUrl bookUrl(const QUrl &base, bool mobile, int generation, int page);
// The page of a "#p=N" address (as the viewer keeps it while the reader turns pages);
// 0 when there is none.
int pageFromUrl(const QUrl &url);
// Whether an address is one of the phone version.
bool isMobileUrl(const QUrl &url);
// Whether url is the address of the desktop book or its phone version below base (any
// generation and page), and not of another page of the server or of another server.
bool isBookUrl(const QUrl &base, const QUrl &url);

} // namespace PreviewAddress
