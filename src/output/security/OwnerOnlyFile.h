#pragma once
// Writing files that hold secrets (passwords, content keys).

#include <QByteArray>
#include <QString>

// Writes data to path atomically (a failed write leaves an older file untouched), with
// the permissions 0600 from the moment the data is written: no other user can read it.
bool writeOwnerOnlyFile(const QString &path, const QByteArray &data, QString *error = nullptr);
