// The processes of a name over /proc: one pass over the process entries, reading each one's
// executable link and nothing else unless that link cannot be read or shows no program.
#include "platform/imagename.h"
#include "platform/linux/procfsnames.h"
#include "platform/linux/procfsprocess.h"

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
        throw ProcessListError("/proc belongs to another PID namespace");
}

} // namespace

ProcessList findProcesses(const QString &name, ProcessQuery)
{
    UniqueFd opened(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!opened.isValid())
        throw ProcessListError(systemError("cannot open /proc"));
    const auto procDir = std::make_shared<const UniqueFd>(std::move(opened));
    // This program is never among the processes found: a name typed equal to its own must not make
    // it end itself.
    const std::string ownPid = std::to_string(::getpid());
    requireOwnProcessTable(procDir->get(), ownPid);
    auto matcher = std::make_shared<const ImageNameMatcher>(name.toStdString());
    if (matcher->matchesNothing())
        return {};

    // A descriptor of its own for the listing, so every search starts at the first entry.
    const int listFd = ::openat(procDir->get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        throw ProcessListError(systemError("cannot list the processes"));
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::fdopendir(listFd), ::closedir);
    if (!dir) {
        ::close(listFd);
        throw ProcessListError(systemError("cannot list the processes"));
    }

    ProcessList found;
    std::string prefix;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir.get());
        if (!entry)
            break;
        if (!isPidEntry(entry->d_name) || ownPid == entry->d_name)
            continue;
        prefix.assign(entry->d_name).push_back('/');
        std::optional<std::string> image = matchingImageName(procDir->get(), prefix, *matcher);
        if (!image)
            continue;
        pid_t pid = 0;
        std::from_chars(entry->d_name, entry->d_name + prefix.size() - 1, pid);
        found.push_back(std::make_unique<ProcfsProcess>(procDir, matcher, pid, std::move(*image)));
    }
    if (errno != 0)
        throw ProcessListError(systemError("cannot list the processes"));
    return found;
}

} // namespace quellex::platform
