#include "platform/windows/wmiprocess.h"

#include <cwchar>
#include <memory>

namespace quellex::platform {

namespace {

// A property as text, or empty when the object does not carry it (a query selects only some).
std::wstring textProperty(IWbemClassObject &object, const wchar_t *name)
{
    Variant value;
    if (FAILED(object.Get(name, 0, &value, nullptr, nullptr)) || value.vt != VT_BSTR || !value.bstrVal)
        return {};
    return std::wstring(value.bstrVal, SysStringLen(value.bstrVal));
}

bool parsePid(const std::wstring &text, std::uint32_t *pid)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
    const unsigned long long value = std::wcstoull(text.c_str(), nullptr, 10);
    if (value > 0xffffffffull)
        return false;
    *pid = std::uint32_t(value);
    return true;
}

// The id from ProcessId where the query selected it, else from the key in the object's path.
bool readPid(IWbemClassObject &object, const std::wstring &relativePath, std::uint32_t *pid)
{
    Variant value;
    if (SUCCEEDED(object.Get(L"ProcessId", 0, &value, nullptr, nullptr)) &&
        (value.vt == VT_I4 || value.vt == VT_UI4)) {
        *pid = std::uint32_t(value.ulVal);
        return true;
    }
    if (parsePid(textProperty(object, L"Handle"), pid))
        return true;
    // Win32_Process.Handle="1234"
    const auto open = relativePath.find(L"Handle=\"");
    const auto close = relativePath.rfind(L'"');
    if (open == std::wstring::npos || close == std::wstring::npos || close < open + 8)
        return false;
    return parsePid(relativePath.substr(open + 8, close - open - 8), pid);
}

bool sameName(const std::wstring &a, const std::wstring &b)
{
    return CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) == CSTR_EQUAL;
}

TerminateResult openFailure()
{
    switch (GetLastError()) {
    case ERROR_INVALID_PARAMETER: // no process has that id any more
        return TerminateResult::PathNotFound;
    case ERROR_ACCESS_DENIED:
        return TerminateResult::AccessDenied;
    default:
        return TerminateResult::UnknownFailure;
    }
}

struct HandleClose
{
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// Closed when it goes; empty when the open failed.
using Handle = std::unique_ptr<void, HandleClose>;

// The process's creation time, or 0 when it cannot be opened or has exited.
ULONGLONG processCreationTime(HANDLE process)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

} // namespace

bool carriesProcessId(IWbemClassObject &object)
{
    std::uint32_t pid = 0;
    return readPid(object, textProperty(object, L"__RELPATH"), &pid);
}

WmiProcess::WmiProcess(ComPtr<IWbemServices> services, IWbemClassObject &object)
    : m_services(std::move(services))
    , m_name(textProperty(object, L"Name"))
    , m_path(textProperty(object, L"__RELPATH"))
{
    readPid(object, m_path, &m_pid);
    // Taken as near the query as can be: the process the query saw is the one alive now with this id.
    const Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, m_pid));
    m_created = processCreationTime(process.get());
}

TerminateResult WmiProcess::Terminate()
{
    if (m_pid == GetCurrentProcessId())
        return TerminateResult::AccessDenied;

    // While this handle is open the id cannot pass to another process, so the checks below hold for
    // the process that is then ended.
    const Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, m_pid));
    if (!process.get())
        return openFailure();
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0)
        return TerminateResult::PathNotFound; // exited, though someone still holds it open
    wchar_t image[MAX_PATH * 2];
    DWORD length = DWORD(std::size(image));
    if (!QueryFullProcessImageNameW(process.get(), 0, image, &length))
        return TerminateResult::PathNotFound;
    const std::wstring path(image, length);
    // The file name: all of the path where it has no separator (npos + 1 is 0).
    if (!sameName(path.substr(path.find_last_of(L"\\/") + 1), m_name) || m_created == 0 ||
        processCreationTime(process.get()) != m_created)
        return TerminateResult::PathNotFound;

    return terminateThroughService();
}

TerminateResult WmiProcess::terminateThroughService()
{
    if (m_path.empty())
        return terminateThroughHandle();
    // The method's parameters as the class declares them, all left at their defaults. A class without
    // the method (Wine's) says so here already.
    ComPtr<IWbemClassObject> processClass;
    ComPtr<IWbemClassObject> signature;
    ComPtr<IWbemClassObject> in;
    const Bstr className(SysAllocString(L"Win32_Process"));
    if (SUCCEEDED(m_services->GetObject(className.get(), 0, nullptr, &processClass, nullptr))) {
        if (FAILED(processClass->GetMethod(L"Terminate", 0, &signature, nullptr)))
            return terminateThroughHandle();
        if (signature)
            signature->SpawnInstance(0, &in);
    }
    const Bstr path(SysAllocStringLen(m_path.data(), UINT(m_path.size())));
    const Bstr method(SysAllocString(L"Terminate"));
    ComPtr<IWbemClassObject> out;
    const HRESULT hr = m_services->ExecMethod(path.get(), method.get(), 0, nullptr, in.Get(), &out, nullptr);
    switch (static_cast<unsigned long>(hr)) {
    case WBEM_S_NO_ERROR:
        break;
    case WBEM_E_INVALID_METHOD: // Wine has no Terminate
    case WBEM_E_METHOD_NOT_IMPLEMENTED:
    case WBEM_E_NOT_SUPPORTED:
    case static_cast<unsigned long>(E_NOTIMPL):
        return terminateThroughHandle();
    case WBEM_E_NOT_FOUND:
        return TerminateResult::PathNotFound;
    case WBEM_E_ACCESS_DENIED:
    case static_cast<unsigned long>(E_ACCESSDENIED):
        return TerminateResult::AccessDenied;
    default:
        throw ProcessListError(hresultText("Win32_Process.Terminate", hr));
    }
    Variant value;
    if (!out || FAILED(out->Get(L"ReturnValue", 0, &value, nullptr, nullptr)) ||
        (value.vt != VT_I4 && value.vt != VT_UI4))
        return TerminateResult::Success;
    // The method's return values are those of TerminateResult.
    switch (const auto result = TerminateResult(value.lVal)) {
    case TerminateResult::Success:
    case TerminateResult::AccessDenied:
    case TerminateResult::InsufficientPrivilege:
    case TerminateResult::PathNotFound:
        return result;
    default:
        return TerminateResult::UnknownFailure;
    }
}

TerminateResult WmiProcess::terminateThroughHandle()
{
    const Handle process(OpenProcess(PROCESS_TERMINATE, FALSE, m_pid));
    if (!process.get())
        return openFailure();
    if (!TerminateProcess(process.get(), 1))
        return GetLastError() == ERROR_ACCESS_DENIED ? TerminateResult::AccessDenied
                                                     : TerminateResult::UnknownFailure;
    return TerminateResult::Success;
}

} // namespace quellex::platform
