#pragma once

#include "platform/processes.h"
#include "platform/windows/comsupport.h"

#include <string>
#include <vector>
#include <wbemidl.h>

namespace quellex::platform {

// The WQL text of the question, UTF-8: "SELECT Name FROM Win32_Process WHERE Name='" + name + "'"
// for the running check and "Select Name from Win32_Process Where Name = '" + name + "'" for the
// termination, with backslash and single quote escaped in the name, so that no name can end the
// literal and add conditions of its own.
std::string wqlQuery(const QString &name, ProcessQuery query);

// The management service over WMI: one connection to root\cimv2 for as long as the object lives,
// which is one search for processes.
class WmiManagementService final
{
public:
    // Throws ProcessListError when the service cannot be reached.
    WmiManagementService();

    // Every process the query yields but this program's own. Throws ProcessListError for a query the
    // service rejects.
    ProcessList ExecQuery(std::string_view query);

private:
    // Every object the query yields, in the service's order.
    std::vector<ComPtr<IWbemClassObject>> run(std::string_view query);

    ComPtr<IWbemServices> m_services;
};

} // namespace quellex::platform
