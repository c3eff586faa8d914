#pragma once

#include "platform/processes.h"
#include "platform/windows/comsupport.h"

#include <wbemidl.h>

namespace quellex::platform {

// One Win32_Process object as a query returned it, with the creation time its process had then, so
// that Terminate can tell that process from a later one under the same id.
class WmiProcess : public FoundProcess
{
public:
    // object: one that carriesProcessId().
    WmiProcess(ComPtr<IWbemServices> services, IWbemClassObject &object);

    std::uint32_t pid() const { return m_pid; }
    const std::wstring &name() const { return m_name; }
    // Ends the process only while it is still the one the query found, and holds it open meanwhile.
    TerminateResult Terminate() override;

private:
    TerminateResult terminateThroughService();
    TerminateResult terminateThroughHandle();

    ComPtr<IWbemServices> m_services;
    std::uint32_t m_pid = 0;
    std::wstring m_name;
    std::wstring m_path;

protected:
    // Protected so that a test can stand for a process that replaced the found one under its id.
    ULONGLONG m_created = 0; // 0: could not be read when found
};

// Whether the object names its process, by ProcessId or by the key in its path; an object from a
// query that selected only some properties may not.
bool carriesProcessId(IWbemClassObject &object);

} // namespace quellex::platform
