#pragma once

#include "platform/windows/comsupport.h"

#include <map>
#include <string>
#include <wbemidl.h>

// A COM method that no test calls.
#define QUELLEX_NOT_IMPLEMENTED(method, ...)                                                                 \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override                                                   \
    {                                                                                                        \
        return E_NOTIMPL;                                                                                    \
    }

namespace quellex::test {

// What every stand-in shares: made with new and one reference; the last Release deletes it.
template<typename Interface, const IID &kInterfaceId> class FakeComObject : public Interface
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        *object = iid == IID_IUnknown || iid == kInterfaceId ? static_cast<Interface *>(this) : nullptr;
        return *object ? (this->AddRef(), S_OK) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~FakeComObject() = default;

private:
    ULONG m_references = 1;
};

// A WMI object made of named values, for the service's stand-in: a found process, the Win32_Process
// class, a method's parameters or its result. Only Get, Put, GetMethod and SpawnInstance do anything.
class FakeWbemObject final : public FakeComObject<IWbemClassObject, IID_IWbemClassObject>
{
public:
    HRESULT methodResult = S_OK; // of GetMethod("Terminate"), which then gives a signature
    bool spawned = false;        // made by SpawnInstance

    void set(const wchar_t *name, const std::wstring &text)
    {
        VARIANT value{};
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
        Put(name, 0, &value, 0);
        VariantClear(&value);
    }
    void set(const wchar_t *name, LONG number)
    {
        VARIANT value{};
        value.vt = VT_I4;
        value.lVal = number;
        Put(name, 0, &value, 0);
    }

    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG, VARIANT *value, CIMTYPE *, LONG *) override
    {
        const auto it = m_values.find(name);
        return it == m_values.end() ? HRESULT(WBEM_E_NOT_FOUND) : VariantCopy(value, &it->second);
    }
    HRESULT STDMETHODCALLTYPE Put(LPCWSTR name, LONG, VARIANT *value, CIMTYPE) override
    {
        return VariantCopy(&m_values[name], value);
    }
    HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR name, LONG, IWbemClassObject **in,
                                        IWbemClassObject **out) override
    {
        if (std::wstring(name) != L"Terminate")
            return HRESULT(WBEM_E_NOT_FOUND);
        if (FAILED(methodResult))
            return methodResult;
        *in = new FakeWbemObject;
        if (out)
            *out = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject **instance) override
    {
        auto *made = new FakeWbemObject;
        made->spawned = true;
        *instance = made;
        return S_OK;
    }

    QUELLEX_NOT_IMPLEMENTED(GetQualifierSet, IWbemQualifierSet **);
    QUELLEX_NOT_IMPLEMENTED(Delete, LPCWSTR);
    QUELLEX_NOT_IMPLEMENTED(GetNames, LPCWSTR, LONG, VARIANT *, SAFEARRAY **);
    QUELLEX_NOT_IMPLEMENTED(BeginEnumeration, LONG);
    QUELLEX_NOT_IMPLEMENTED(Next, LONG, BSTR *, VARIANT *, CIMTYPE *, LONG *);
    QUELLEX_NOT_IMPLEMENTED(EndEnumeration);
    QUELLEX_NOT_IMPLEMENTED(GetPropertyQualifierSet, LPCWSTR, IWbemQualifierSet **);
    QUELLEX_NOT_IMPLEMENTED(Clone, IWbemClassObject **);
    QUELLEX_NOT_IMPLEMENTED(GetObjectText, LONG, BSTR *);
    QUELLEX_NOT_IMPLEMENTED(SpawnDerivedClass, LONG, IWbemClassObject **);
    QUELLEX_NOT_IMPLEMENTED(CompareTo, LONG, IWbemClassObject *);
    QUELLEX_NOT_IMPLEMENTED(GetPropertyOrigin, LPCWSTR, BSTR *);
    QUELLEX_NOT_IMPLEMENTED(InheritsFrom, LPCWSTR);
    QUELLEX_NOT_IMPLEMENTED(PutMethod, LPCWSTR, LONG, IWbemClassObject *, IWbemClassObject *);
    QUELLEX_NOT_IMPLEMENTED(DeleteMethod, LPCWSTR);
    QUELLEX_NOT_IMPLEMENTED(BeginMethodEnumeration, LONG);
    QUELLEX_NOT_IMPLEMENTED(NextMethod, LONG, BSTR *, IWbemClassObject **, IWbemClassObject **);
    QUELLEX_NOT_IMPLEMENTED(EndMethodEnumeration);
    QUELLEX_NOT_IMPLEMENTED(GetMethodQualifierSet, LPCWSTR, IWbemQualifierSet **);
    QUELLEX_NOT_IMPLEMENTED(GetMethodOrigin, LPCWSTR, BSTR *);

private:
    ~FakeWbemObject() override = default;

    std::map<std::wstring, platform::Variant, std::less<>> m_values;
};

} // namespace quellex::test
