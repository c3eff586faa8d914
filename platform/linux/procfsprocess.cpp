#include "platform/linux/procfsprocess.h"

#include "platform/linux/procfsnames.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
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
        // EINVAL among them: a process outside this program's PID namespace.
        return TerminateResult::UnknownFailure;
    }
}

// Accepts a descriptor of a /proc/<pid> directory as well as a pidfd.
int pidfdSendSignal(int pidfd, int signal)
{
    return int(::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
}

} // namespace

ProcfsProcess::ProcfsProcess(std::shared_ptr<const UniqueFd> procDir, pid_t pid, std::string name)
    : m_procDir(std::move(procDir))
    , m_pid(pid)
    , m_name(std::move(name))
{}

TerminateResult ProcfsProcess::Terminate()
{
    if (m_pid == ::getpid())
        return TerminateResult::AccessDenied;

    // One handle from the name to the signal: a descriptor of /proc/<pid> stays bound to the process
    // it named when opened, so the name read through it and the signal sent through it reach that
    // process, or fail once it is gone, whoever takes the pid afterwards. The kernel also refuses to
    // signal through it a process outside this program's PID namespace.
    const UniqueFd process(
        ::openat(m_procDir->get(), std::to_string(m_pid).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!process.isValid())
        return errno == ENOENT ? TerminateResult::PathNotFound : resultFor(errno);
    if (imageName(process.get(), "") != m_name)
        return TerminateResult::PathNotFound;
    // A program that replaces itself by exec between the read and the signal keeps its pid and is
    // still ended: it is the process the query selected.
    if (pidfdSendSignal(process.get(), SIGKILL) == 0)
        return TerminateResult::Success;
    if (errno != ENOSYS)
        return resultFor(errno);
    return terminateByNumber();
}

// Kernels before 5.1 signal only by number. The name was read through the handle just before, but a
// process that exits and whose pid is taken between that read and the signal cannot be ruled out.
TerminateResult ProcfsProcess::terminateByNumber() const
{
    if (::kill(m_pid, SIGKILL) != 0)
        return resultFor(errno);
    return TerminateResult::Success;
}

} // namespace quellex::platform
