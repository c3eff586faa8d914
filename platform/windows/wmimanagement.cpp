#include "platform/windows/wmimanagement.h"

#include "platform/asciicase.h"
#include "platform/windows/wmiprocess.h"

#include <vector>

namespace quellex::platform {

namespace {

// The same selection with the properties that name each process: "SELECT Handle, ProcessId, Name"
// and the query from its FROM on, literal unchanged.
std::string withProcessId(std::string_view query)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    for (std::size_t i = 1; i + 5 < query.size(); ++i) {
        if (blank(query[i - 1]) && blank(query[i + 4]) && equalsIgnoringAsciiCase(query.substr(i, 4), "from"))
            return "SELECT Handle, ProcessId, Name " + std::string(query.substr(i));
    }
    return std::string(query);
}

} // namespace

WmiManagementService::WmiManagementService()
{
    ensureComInitialised();
    ComPtr<IWbemLocator> locator;
    HRESULT hr =
        CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator, &locator);
    if (FAILED(hr))
        throw ProcessListError(hresultText("creating the WMI locator", hr));
    // What "winmgmts:" means: the local machine's default namespace, as the current user.
    const Bstr space(SysAllocString(L"root\\cimv2"));
    hr = locator->ConnectServer(space.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, &m_services);
    if (FAILED(hr))
        throw ProcessListError(hresultText("connecting to root\\cimv2", hr));
    // The moniker's default impersonation level; a proxy that has no blanket to set (an in-process
    // service) is used as it is.
    CoSetProxyBlanket(m_services.Get(), RPC_C_AUTHN_DEFAULT, RPC_C_AUTHZ_NONE, nullptr,
                      RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

std::string wqlQuery(const QString &name, ProcessQuery query)
{
    const QString literal =
        QString(name).replace(u'\\', QLatin1String("\\\\")).replace(u'\'', QLatin1String("\\'"));
    const char *prefix = query == ProcessQuery::RunningCheck
                             ? "SELECT Name FROM Win32_Process WHERE Name='"
                             : "Select Name from Win32_Process Where Name = '";
    return prefix + literal.toStdString() + '\'';
}

ProcessList findProcesses(const QString &name, ProcessQuery query)
{
    return WmiManagementService().ExecQuery(wqlQuery(name, query));
}

bool isProcessRunning(const QString &name)
{
    return !findProcesses(name, ProcessQuery::RunningCheck).empty();
}

ProcessList WmiManagementService::ExecQuery(std::string_view query)
{
    std::vector<ComPtr<IWbemClassObject>> objects = run(query);
    // Windows adds the key to every object a query returns; Wine returns only the selected
    // properties, which name no process, so there the same selection is made again with them.
    if (!objects.empty() && !carriesProcessId(*objects.front().Get()))
        objects = run(withProcessId(query));

    const DWORD ownPid = GetCurrentProcessId();
    ProcessList found;
    for (const ComPtr<IWbemClassObject> &object : objects) {
        if (!carriesProcessId(*object.Get()))
            throw ProcessListError("a Win32_Process object without a process id: " + std::string(query));
        auto process = std::make_unique<WmiProcess>(m_services, *object.Get());
        // A name typed equal to this program's own must not make it end itself. A process that
        // Wine is still creating has no image name yet: an empty name selects no process.
        if (process->pid() == ownPid || process->name().empty())
            continue;
        found.push_back(std::move(process));
    }
    return found;
}

std::vector<ComPtr<IWbemClassObject>> WmiManagementService::run(std::string_view query)
{
    const Bstr language(SysAllocString(L"WQL"));
    const std::wstring wide = QString::fromUtf8(query.data(), qsizetype(query.size())).toStdWString();
    const Bstr text(SysAllocStringLen(wide.data(), UINT(wide.size())));
    ComPtr<IEnumWbemClassObject> results;
    HRESULT hr = m_services->ExecQuery(
        language.get(), text.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, &results);
    if (FAILED(hr))
        throw ProcessListError(hresultText("ExecQuery", hr) + ": " + std::string(query));

    std::vector<ComPtr<IWbemClassObject>> objects;
    for (;;) {
        ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        hr = results->Next(LONG(WBEM_INFINITE), 1, &object, &returned);
        if (FAILED(hr))
            throw ProcessListError(hresultText("enumerating the query's result", hr));
        if (returned == 0)
            break;
        objects.push_back(object);
    }
    return objects;
}

} // namespace quellex::platform
