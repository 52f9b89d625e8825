#pragma once
// Writes that fail for the superuser too. The tests of failure paths run as root in CI
// and on developers' machines, where the mode of a folder stops nothing; these make
// the failures happen all the same:
// - lockedFolder(): a folder that exists and that no one may make anything in, and
//   unmakeableFolder(): one that cannot be made (both under /proc/sys);
// - DiskFull: for its lifetime no write may grow a file past a few bytes (the
//   file-size limit binds root too; a write past it fails as on a full disk);
// - AsOrdinaryUser: for its lifetime a test started as root runs as an ordinary user,
//   so that read-only folders are read-only for it (the isolated home is handed over
//   to that user first). For other users it changes nothing.

#include <QString>
#include <QtGlobal>
#include <sys/types.h>
#include <vector>

namespace FailingWrites {

QString lockedFolder();
QString unmakeableFolder();

class DiskFull
{
public:
    explicit DiskFull(qint64 bytes = 512);
    ~DiskFull();
    DiskFull(const DiskFull &) = delete;
    DiskFull &operator=(const DiskFull &) = delete;

private:
    unsigned long long m_soft = 0, m_hard = 0;
    void (*m_signal)(int) = nullptr;
};

class AsOrdinaryUser
{
public:
    AsOrdinaryUser();
    ~AsOrdinaryUser();
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

private:
    bool m_dropped = false;
    std::vector<gid_t> m_groups;
};

} // namespace FailingWrites
