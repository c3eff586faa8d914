#pragma once

#include "platform/linux/uniquefd.h"
#include "platform/processes.h"

#include <memory>
#include <string>
#include <sys/types.h>

namespace quellex::platform {

// A process found under /proc, with the image name the query read for it. Terminate ends it only
// while it still runs that program, and never a process that took over its pid.
class ProcfsProcess final : public FoundProcess
{
public:
    ProcfsProcess(std::shared_ptr<const UniqueFd> procDir, pid_t pid, std::string name);

    TerminateResult Terminate() override;

    pid_t pid() const { return m_pid; }

private:
    TerminateResult terminateByNumber() const;

    std::shared_ptr<const UniqueFd> m_procDir;
    pid_t m_pid;
    std::string m_name;
};

} // namespace quellex::platform
