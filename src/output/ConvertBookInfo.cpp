#include "output/ConvertBookInfo.h"

#include "foundation/AppStrings.h"

const char *const ConvertBookInfo[ConvertBookMessageCount] = {
    "Ready to publish...",
    "Preparing normal page...",
    "Preparing zoom page...",
    "Preparing thumbnail page...",
    "Preparing extend files...",
    "Preparing annotation files...",
    "Preparing search files...",
    "Preparing book cover...",
    "Preparing mobile pages...",
    "Preparing Assistant Resource..",
    "Preparing home page of book...",
    "Preparing book settings...",
    "Copying scene files...",
    "Copying book.swf...",
    "Preparing home page for mobile version...",
    "Preparing basic web pages...",
    "Publish the book completely!",
};

QString convertBookInfoText(int type)
{
    // One literal call per text, so the language table tool finds every key.
    switch (type) {
    case 0: return loadAppString(QStringLiteral("Ready to publish..."));
    case 1: return loadAppString(QStringLiteral("Preparing normal page..."));
    case 2: return loadAppString(QStringLiteral("Preparing zoom page..."));
    case 3: return loadAppString(QStringLiteral("Preparing thumbnail page..."));
    case 4: return loadAppString(QStringLiteral("Preparing extend files..."));
    case 5: return loadAppString(QStringLiteral("Preparing annotation files..."));
    case 6: return loadAppString(QStringLiteral("Preparing search files..."));
    case 7: return loadAppString(QStringLiteral("Preparing book cover..."));
    case 8: return loadAppString(QStringLiteral("Preparing mobile pages..."));
    case 9: return loadAppString(QStringLiteral("Preparing Assistant Resource.."));
    case 10: return loadAppString(QStringLiteral("Preparing home page of book..."));
    case 11: return loadAppString(QStringLiteral("Preparing book settings..."));
    case 12: return loadAppString(QStringLiteral("Copying scene files..."));
    case 13: return loadAppString(QStringLiteral("Copying book.swf..."));
    case 14: return loadAppString(QStringLiteral("Preparing home page for mobile version..."));
    case 15: return loadAppString(QStringLiteral("Preparing basic web pages..."));
    case 16: return loadAppString(QStringLiteral("Publish the book completely!"));
    default: return {};
    }
}
