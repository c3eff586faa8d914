#include "platform/windows/comsupport.h"

#include "platform/processes.h"

#include <objbase.h>

namespace quellex::platform {

namespace {

struct ComApartment
{
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComApartment()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
};

} // namespace

void ensureComInitialised()
{
    static thread_local const ComApartment apartment;
    // A thread already in the multithreaded apartment can still make the calls.
    if (FAILED(apartment.result) && apartment.result != RPC_E_CHANGED_MODE)
        throw ProcessListError(hresultText("CoInitializeEx", apartment.result));
}

std::string hresultText(const char *what, HRESULT hr)
{
    return QString::asprintf("%s failed (HRESULT 0x%08lx)", what, static_cast<unsigned long>(hr))
        .toStdString();
}

} // namespace quellex::platform
