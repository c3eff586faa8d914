#include "procfsprocess.h"

#include "procfsnames.h"

#include <cerrno>
#include <csignal>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace quellex::platform {

namespace {

TerminateResult resultFor(int error)
{
    switch (error) {
    case ESRCH:
        return TerminateResult::PathNotFound;
    case EPERM:
        return TerminateResult::AccessDenied;
    default:
        return TerminateResult::UnknownFailure;
    }
}

int pidfdOpen(pid_t pid)
{
    return int(::syscall(SYS_pidfd_open, pid, 0));
}

int pidfdSendSignal(int pidfd, int signal)
{
    return int(::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
}

} // namespace

ProcfsProcess::ProcfsProcess(std::shared_ptr<const UniqueFd> procDir,
                             std::shared_ptr<const ImageNameMatcher> matcher, pid_t pid, std::string name)
    : m_procDir(std::move(procDir))
    , m_matcher(std::move(matcher))
    , m_pid(pid)
    , m_name(std::move(name))
{}

TerminateResult ProcfsProcess::Terminate()
{
    if (m_pid == ::getpid())
        return TerminateResult::AccessDenied;

    // The pidfd pins the process the pid named when it was opened. Its name is then read through
    // /proc/<pid>, which names the same process only if no other has taken the pid meanwhile; a
    // process still alive after the read proves that none has, since its pid cannot be reused
    // while it exists. Only then is it signalled, and through the pidfd, never by number.
    const UniqueFd pidfd(pidfdOpen(m_pid));
    if (!pidfd.isValid()) {
        if (errno == ENOSYS)
            return terminateWithoutPidfd();
        // EINVAL: the number now names a thread of another process.
        return errno == ESRCH || errno == EINVAL ? TerminateResult::PathNotFound : resultFor(errno);
    }
    if (!stillMatches())
        return TerminateResult::PathNotFound;
    if (pidfdSendSignal(pidfd.get(), 0) != 0)
        return resultFor(errno);
    if (pidfdSendSignal(pidfd.get(), SIGKILL) != 0)
        return resultFor(errno);
    return TerminateResult::Success;
}

bool ProcfsProcess::stillMatches() const
{
    return processNameMatches(m_procDir->get(), std::to_string(m_pid), *m_matcher);
}

// Kernels before 5.3: the same check, but a pid reused between it and the signal cannot be ruled out.
TerminateResult ProcfsProcess::terminateWithoutPidfd() const
{
    if (!stillMatches())
        return TerminateResult::PathNotFound;
    if (::kill(m_pid, SIGKILL) != 0)
        return resultFor(errno);
    return TerminateResult::Success;
}

} // namespace quellex::platform
