#include "procfsmanagement.h"

#include "platform/imagename.h"
#include "platform/wql.h"
#include "procfsnames.h"
#include "procfsprocess.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <dirent.h>
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

class DirCloser
{
public:
    explicit DirCloser(DIR *dir)
        : m_dir(dir)
    {}
    ~DirCloser() { ::closedir(m_dir); }
    DirCloser(const DirCloser &) = delete;
    DirCloser &operator=(const DirCloser &) = delete;

private:
    DIR *m_dir;
};

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
    auto matcher = std::make_shared<const ImageNameMatcher>(parsed.name);
    if (matcher->matchesNothing())
        return {};

    // A descriptor of its own for the listing, so every query starts at the first entry.
    const int listFd = ::openat(m_procDir->get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        throw ManagementError(systemError("cannot list the processes"));
    DIR *dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        throw ManagementError(systemError("cannot list the processes"));
    }
    const DirCloser closer(dir);

    // This program is never among the processes a query selects: a name typed equal to its own must
    // not make it end itself.
    const std::string ownPid = std::to_string(::getpid());
    ProcessCollection::Objects found;
    std::string name;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry)
            break;
        if (!isPidEntry(entry->d_name) || ownPid == entry->d_name)
            continue;
        const std::string_view pidText(entry->d_name);
        if (!processNameMatches(m_procDir->get(), pidText, *matcher, &name))
            continue;
        pid_t pid = 0;
        std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid);
        found.push_back(std::make_unique<ProcfsProcess>(m_procDir, matcher, pid, name));
    }
    if (errno != 0)
        throw ManagementError(systemError("cannot list the processes"));
    return ProcessCollection(std::move(found));
}

std::unique_ptr<ManagementService> bindManagementService(std::string_view moniker)
{
    if (!isDefaultMoniker(moniker))
        throw ManagementError("cannot bind to \"" + std::string(moniker) +
                              "\": only \"winmgmts:\" is served");
    return std::make_unique<ProcfsManagementService>();
}

} // namespace quellex::platform
