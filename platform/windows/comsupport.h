#pragma once

#include <memory>
#include <string>
#include <windows.h>
#include <wrl/client.h>

namespace quellex::platform {

using Microsoft::WRL::ComPtr;

// A VARIANT cleared when it goes.
struct Variant : VARIANT
{
    Variant() { VariantInit(this); }
    ~Variant() { VariantClear(this); }
    Variant(const Variant &) = delete;
    Variant &operator=(const Variant &) = delete;
};

struct BstrFree
{
    void operator()(BSTR text) const { SysFreeString(text); }
};
// A BSTR freed when it goes: Bstr(SysAllocString(L"...")).
using Bstr = std::unique_ptr<OLECHAR, BstrFree>;

// COM for the calling thread, apartment-threaded as the GUI thread needs it, set up on the first call
// and kept until the thread ends. Throws ProcessListError when COM cannot be used at all.
void ensureComInitialised();

// "<what> failed (HRESULT 0x8004100e)".
std::string hresultText(const char *what, HRESULT hr);

} // namespace quellex::platform
