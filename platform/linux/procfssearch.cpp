// The processes of a name over /proc: one pass over the process entries, reading each one's
// executable link and nothing else unless that link cannot be read or shows no program.
#include "platform/linux/procfssearch.h"

#include "platform/imagename.h"
#include "platform/linux/procfsprocess.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
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

ProcfsWalk::ProcfsWalk()
    : m_ownPid(std::to_string(::getpid()))
{
    UniqueFd opened(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!opened.isValid())
        throw ProcessListError(systemError("cannot open /proc"));
    m_procDir = std::make_shared<const UniqueFd>(std::move(opened));
    requireOwnProcessTable(m_procDir->get(), m_ownPid);
    // A listing of its own, so every walk starts at the first entry.
    m_listing = openListing(m_procDir->get(), ".");
    if (!m_listing)
        throw ProcessListError(systemError("cannot list the processes"));
}

std::optional<std::string> ProcfsWalk::next()
{
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(m_listing.get());
        if (!entry) {
            if (errno != 0)
                throw ProcessListError(systemError("cannot list the processes"));
            return std::nullopt;
        }
        // This program is never among the processes found: a name typed equal to its own must not
        // make it end itself.
        if (!isPidEntry(entry->d_name) || m_ownPid == entry->d_name)
            continue;
        m_prefix.assign(entry->d_name).push_back('/');
        std::optional<std::string> image = imageName(m_procDir->get(), m_prefix);
        if (!image)
            continue;
        std::from_chars(entry->d_name, entry->d_name + m_prefix.size() - 1, m_pid);
        return image;
    }
}

ProcessList findProcesses(const QString &name, ProcessQuery)
{
    ProcfsWalk walk;
    const ImageNameMatcher matcher(name.toStdString());
    ProcessList found;
    if (matcher.matchesNothing())
        return found;
    while (std::optional<std::string> image = walk.next()) {
        if (matcher.matches(*image))
            found.push_back(std::make_unique<ProcfsProcess>(walk.procDir(), walk.pid(), std::move(*image)));
    }
    return found;
}

} // namespace quellex::platform
