#pragma once

#include "platform/linux/uniquefd.h"
#include "platform/management.h"

#include <memory>

namespace quellex::platform {

// The management service over /proc: a query is one pass over the process entries, reading each
// one's executable link and nothing else unless that link cannot be read or shows no program.
class ProcfsManagementService final : public ManagementService
{
public:
    // Throws ManagementError when /proc cannot be opened. A query throws it when /proc belongs to
    // another PID namespace.
    ProcfsManagementService();

    ProcessCollection ExecQuery(std::string_view query) override;

private:
    std::shared_ptr<const UniqueFd> m_procDir;
};

} // namespace quellex::platform
