#pragma once

#include "platform/linux/procfsnames.h"
#include "platform/linux/uniquefd.h"

#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>

namespace quellex::platform {

// One walk over the processes of /proc in the order it lists them: every process but this program's
// own that runs a program, with its image name, read as the walk reaches it.
class ProcfsWalk
{
public:
    // Throws ProcessListError when /proc cannot be listed or belongs to another PID namespace.
    ProcfsWalk();

    // The next process's image name, nullopt past the last one. Throws ProcessListError.
    std::optional<std::string> next();
    // The pid of the process next() named last.
    pid_t pid() const { return m_pid; }
    const std::shared_ptr<const UniqueFd> &procDir() const { return m_procDir; }

private:
    std::shared_ptr<const UniqueFd> m_procDir;
    DirectoryListing m_listing;
    std::string m_ownPid;
    std::string m_prefix;
    pid_t m_pid = 0;
};

} // namespace quellex::platform
