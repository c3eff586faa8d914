#pragma once

#include <string>
#include <utility>
#include <windows.h>

namespace quellex::platform {

// Owns one reference to a COM interface.
template<typename T> class ComPtr
{
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr &other)
        : m_p(other.m_p)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr &operator=(ComPtr other)
    {
        std::swap(m_p, other.m_p);
        return *this;
    }

    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For the calls that hand out a new reference.
    T **put()
    {
        reset();
        return &m_p;
    }
    void reset()
    {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }

private:
    T *m_p = nullptr;
};

// A VARIANT cleared when it goes.
class Variant
{
public:
    Variant() { VariantInit(&m_value); }
    ~Variant() { VariantClear(&m_value); }
    Variant(const Variant &) = delete;
    Variant &operator=(const Variant &) = delete;

    VARIANT *get() { return &m_value; }
    const VARIANT &value() const { return m_value; }

private:
    VARIANT m_value;
};

// A BSTR freed when it goes.
class Bstr
{
public:
    explicit Bstr(const wchar_t *text)
        : m_text(SysAllocString(text))
    {}
    explicit Bstr(const std::wstring &text)
        : m_text(SysAllocStringLen(text.data(), UINT(text.size())))
    {}
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr &) = delete;
    Bstr &operator=(const Bstr &) = delete;

    BSTR get() const { return m_text; }

private:
    BSTR m_text;
};

// COM for the calling thread, apartment-threaded as the GUI thread needs it, set up on the first call
// and kept until the thread ends. Throws ProcessListError when COM cannot be used at all.
void ensureComInitialised();

// "<what> failed (HRESULT 0x8004100e)".
std::string hresultText(const char *what, HRESULT hr);

std::wstring wideFromUtf8(const std::string &text);

} // namespace quellex::platform
