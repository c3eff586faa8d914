#include "platform/windows/comsupport.h"

#include "platform/processes.h"

#include <cstdio>
#include <objbase.h>

namespace quellex::platform {

namespace {

class ComApartment
{
public:
    ComApartment()
        : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))
    {}
    ~ComApartment()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;

    // A thread already in the multithreaded apartment can still make the calls.
    bool usable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }
    HRESULT result() const { return m_result; }

private:
    HRESULT m_result;
};

} // namespace

void ensureComInitialised()
{
    static thread_local ComApartment apartment;
    if (!apartment.usable())
        throw ProcessListError(hresultText("CoInitializeEx", apartment.result()));
}

std::string hresultText(const char *what, HRESULT hr)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(hr));
    return std::string(what) + " failed (HRESULT " + code + ")";
}

std::wstring wideFromUtf8(const std::string &text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

} // namespace quellex::platform
