// A protected book's "users.txt", read back into a users list.
#include "FuzzSupport.h"
#include "output/security/BookSecurity.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString file = FuzzSupport::writeScratchFile(QStringLiteral("users.txt"), FuzzSupport::bytes(data, size));
    // Each code read is checked once against an empty password: a code asking for
    // fewer rounds costs less (the seeds ask for the fewest a reader takes).
    BookSecurity security;
    if (security.importUsersListByFile(file)) {
        // Written again as "user code" lines, the users come back the same. (The book's
        // own users file names only the users who can open it: none of these, whose
        // earlier book's key is not known.)
        QByteArray lines;
        for (const QVariantMap &entry : security.usersList())
            lines += entry.value(QStringLiteral("user")).toString().toUtf8() + ' '
                + entry.value(QStringLiteral("encode")).toString().toUtf8() + "\r\n";
        const QString written = FuzzSupport::writeScratchFile(QStringLiteral("written.txt"), lines);
        BookSecurity again;
        FuzzSupport::requireSame(again.importUsersListByFile(written) && again.usersList() == security.usersList(),
                                 "the users list");
    }
    return 0;
}
