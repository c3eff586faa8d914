#pragma once

#include "process/processqueryservice.h"

namespace quellex::process {

// The process query service over the platform's processes. A termination searches afresh and lets
// go of everything before it returns; on Linux the running checks of one pass of the event loop
// share one walk over /proc, dropped before the next pass.
class SystemProcessQueryService final : public ProcessQueryService
{
public:
    bool IsProcessRunning(const QString &name) override;
    TerminationReport TerminateProcesses(const QString &name) override;
};

} // namespace quellex::process
