#pragma once

#include "process/processqueryservice.h"

namespace quellex::process {

// The process query service over the platform's processes: every call searches afresh and lets go
// of everything before it returns.
class SystemProcessQueryService final : public ProcessQueryService
{
public:
    bool IsProcessRunning(const QString &name) override;
    TerminationReport TerminateProcesses(const QString &name) override;
};

} // namespace quellex::process
