// A protected book's "users.txt", read back into a users list.
#include "FuzzSupport.h"
#include "output/security/BookSecurity.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::init();
    const QString file = FuzzSupport::writeScratchFile(QStringLiteral("users.txt"), FuzzSupport::bytes(data, size));
    // (Checking a password against the codes read is left out: it costs 600,000
    // rounds of key derivation, by design, and reads nothing more.)
    BookSecurity security;
    if (security.importUsersListByFile(file)) {
        const QString written = FuzzSupport::writeScratchFile(QStringLiteral("written.txt"), security.usersListFileData());
        BookSecurity again;
        FuzzSupport::requireSame(again.importUsersListByFile(written) && again.usersList() == security.usersList(),
                                 "the users list");
    }
    return 0;
}
