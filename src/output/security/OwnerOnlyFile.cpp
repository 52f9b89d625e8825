#include "output/security/OwnerOnlyFile.h"

#include <QSaveFile>

bool writeOwnerOnlyFile(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    // The temporary file takes the target's permissions, or 0666 less the umask for
    // a new file; narrow them before anything is written into it.
    const bool ok = file.open(QIODevice::WriteOnly)
        && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        && file.write(data) == data.size() && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}
