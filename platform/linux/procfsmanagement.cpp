#include "platform/linux/procfsmanagement.h"

#include "platform/imagename.h"
#include "platform/linux/procfsnames.h"
#include "platform/linux/procfsprocess.h"
#include "platform/wql.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace quellex::platform {

namespace {

std::string systemError(const char *what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

bool isPidEntry(const char *name)
{
    if (*name < '1' || *name > '9')
        return false;
    for (++name; *name; ++name) {
        if (*name < '0' || *name > '9')
            return false;
    }
    return true;
}

// The pids of a /proc mounted for another PID namespace (a sandbox that did not mount its own) name
// other processes here, or none: /proc/self must be this program.
void requireOwnProcessTable(int procDir, std::string_view ownPid)
{
    char self[32];
    const ssize_t length = ::readlinkat(procDir, "self", self, sizeof self);
    if (length < 0 || std::string_view(self, std::size_t(length)) != ownPid)
        throw ManagementError("/proc belongs to another PID namespace");
}

} // namespace

ProcfsManagementService::ProcfsManagementService()
{
    UniqueFd procDir(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!procDir.isValid())
        throw ManagementError(systemError("cannot open /proc"));
    m_procDir = std::make_shared<const UniqueFd>(std::move(procDir));
}

ProcessCollection ProcfsManagementService::ExecQuery(std::string_view query)
{
    const ProcessNameQuery parsed = parseProcessNameQuery(query);
    // This program is never among the processes a query selects: a name typed equal to its own must
    // not make it end itself.
    const std::string ownPid = std::to_string(::getpid());
    requireOwnProcessTable(m_procDir->get(), ownPid);
    auto matcher = std::make_shared<const ImageNameMatcher>(parsed.name);
    if (matcher->matchesNothing())
        return {};

    // A descriptor of its own for the listing, so every query starts at the first entry.
    const int listFd = ::openat(m_procDir->get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        throw ManagementError(systemError("cannot list the processes"));
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::fdopendir(listFd), ::closedir);
    if (!dir) {
        ::close(listFd);
        throw ManagementError(systemError("cannot list the processes"));
    }

    ProcessCollection::Objects found;
    std::string prefix;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir.get());
        if (!entry)
            break;
        if (!isPidEntry(entry->d_name) || ownPid == entry->d_name)
            continue;
        prefix.assign(entry->d_name).push_back('/');
        std::optional<std::string> name = matchingImageName(m_procDir->get(), prefix, *matcher);
        if (!name)
            continue;
        pid_t pid = 0;
        std::from_chars(entry->d_name, entry->d_name + prefix.size() - 1, pid);
        found.push_back(std::make_unique<ProcfsProcess>(m_procDir, matcher, pid, std::move(*name)));
    }
    if (errno != 0)
        throw ManagementError(systemError("cannot list the processes"));
    return ProcessCollection(std::move(found));
}

std::unique_ptr<ManagementService> bindManagementService(std::string_view moniker)
{
    requireDefaultMoniker(moniker);
    return std::make_unique<ProcfsManagementService>();
}

} // namespace quellex::platform
