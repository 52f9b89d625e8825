#include "FailingWrites.h"

#include "TestSupport.h"

#include <QFile>
#include <csignal>
#include <ftw.h>
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

namespace FailingWrites {

namespace {
constexpr uid_t kNobody = 65534;

int handOver(const char *path, const struct stat *, int, FTW *)
{
    return ::lchown(path, kNobody, kNobody) == 0 ? 0 : -1;
}
} // namespace

QString lockedFolder()
{
    return QStringLiteral("/proc/sys");
}

QString unmakeableFolder()
{
    return QStringLiteral("/proc/sys/quorvel-test/book");
}

DiskFull::DiskFull(qint64 bytes)
{
    // The limit is signalled too; the write itself then fails with EFBIG.
    m_signal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_soft = limit.rlim_cur;
    m_hard = limit.rlim_max;
    limit.rlim_cur = rlim_t(bytes);
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        qFatal("cannot limit the size of files");
}

DiskFull::~DiskFull()
{
    const rlimit limit {rlim_t(m_soft), rlim_t(m_hard)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_signal);
}

AsOrdinaryUser::AsOrdinaryUser()
{
    if (::geteuid() != 0)
        return;
    // Every thread of the process changes with it (the C library sees to that).
    const QByteArray home = QFile::encodeName(TestSupport::isolatedHome());
    if (home.isEmpty() || ::nftw(home.constData(), handOver, 32, FTW_PHYS) != 0)
        qFatal("cannot hand the test's folders to an ordinary user");
    m_groups.resize(size_t(qMax(0, ::getgroups(0, nullptr))));
    ::getgroups(int(m_groups.size()), m_groups.data());
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, 0) != 0 || ::setresuid(kNobody, kNobody, 0) != 0)
        qFatal("cannot run as an ordinary user");
    m_dropped = true;
}

AsOrdinaryUser::~AsOrdinaryUser()
{
    if (!m_dropped)
        return;
    if (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0
        || ::setgroups(m_groups.size(), m_groups.data()) != 0)
        qFatal("cannot return to the superuser");
}

} // namespace FailingWrites
