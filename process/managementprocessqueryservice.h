#pragma once

#include "platform/management.h"
#include "process/processqueryservice.h"

#include <functional>
#include <memory>
#include <string_view>

namespace quellex::process {

// The process query service over the platform's management service: every call binds afresh, runs
// one query and lets go of everything before it returns.
class ManagementProcessQueryService final : public ProcessQueryService
{
public:
    using Binder = std::function<std::unique_ptr<platform::ManagementService>(std::string_view moniker)>;

    // Binds through platform::bindManagementService.
    ManagementProcessQueryService();
    explicit ManagementProcessQueryService(Binder binder);

    bool IsProcessRunning(const QString &name) override;
    void TerminateProcesses(const QString &name) override;

private:
    Binder m_bind;
};

} // namespace quellex::process
