#pragma once

#include "platform/management.h"
#include "platform/windows/comsupport.h"

#include <vector>
#include <wbemidl.h>

namespace quellex::platform {

// The management service over WMI: one connection to root\cimv2 for as long as the object lives,
// which is one call of the process query service.
class WmiManagementService final : public ManagementService
{
public:
    // Throws ManagementError when the service cannot be reached.
    WmiManagementService();

    // Enumerates the whole result at once, so Count is the number of objects the query yielded.
    ProcessCollection ExecQuery(std::string_view query) override;

private:
    // Every object the query yields, in the service's order.
    std::vector<ComPtr<IWbemClassObject>> run(std::string_view query);

    ComPtr<IWbemServices> m_services;
};

} // namespace quellex::platform
