#pragma once

#include "tests/windows/fakewbemobject.h"

#include <optional>

namespace quellex::test {

// The WMI service for Terminate: GetObject gives the Win32_Process class, ExecMethod records what it
// was asked and answers as told; it ends no process. Everything else is not implemented. Made with new
// and one reference, like FakeWbemObject.
class FakeWbemServices final : public FakeComObject<IWbemServices, IID_IWbemServices>
{
public:
    FakeWbemObject *processClass = new FakeWbemObject; // its methodResult says whether it has Terminate
    HRESULT execResult = WBEM_S_NO_ERROR;
    std::optional<LONG> returnValue = 0; // in the out-parameters; none: they lack it

    int execCalls = 0;
    std::wstring execPath;
    std::wstring execMethod;
    bool execInSpawned = false; // the in-parameters were an instance of the method's signature

    HRESULT STDMETHODCALLTYPE GetObject(const BSTR path, LONG, IWbemContext *, IWbemClassObject **object,
                                        IWbemCallResult **) override
    {
        if (std::wstring(path) != L"Win32_Process")
            return HRESULT(WBEM_E_NOT_FOUND);
        processClass->AddRef();
        *object = processClass;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR path, const BSTR method, LONG, IWbemContext *,
                                         IWbemClassObject *in, IWbemClassObject **out,
                                         IWbemCallResult **) override
    {
        ++execCalls;
        execPath = path;
        execMethod = method;
        execInSpawned = in && static_cast<FakeWbemObject *>(in)->spawned;
        if (FAILED(execResult))
            return execResult;
        auto *result = new FakeWbemObject;
        if (returnValue)
            result->set(L"ReturnValue", *returnValue);
        *out = result;
        return execResult;
    }

    QUELLEX_NOT_IMPLEMENTED(OpenNamespace, const BSTR, LONG, IWbemContext *, IWbemServices **,
                            IWbemCallResult **);
    QUELLEX_NOT_IMPLEMENTED(CancelAsyncCall, IWbemObjectSink *);
    QUELLEX_NOT_IMPLEMENTED(QueryObjectSink, LONG, IWbemObjectSink **);
    QUELLEX_NOT_IMPLEMENTED(GetObjectAsync, const BSTR, LONG, IWbemContext *, IWbemObjectSink *);
    QUELLEX_NOT_IMPLEMENTED(PutClass, IWbemClassObject *, LONG, IWbemContext *, IWbemCallResult **);
    QUELLEX_NOT_IMPLEMENTED(PutClassAsync, IWbemClassObject *, LONG, IWbemContext *, IWbemObjectSink *);
    QUELLEX_NOT_IMPLEMENTED(DeleteClass, const BSTR, LONG, IWbemContext *, IWbemCallResult **);
    QUELLEX_NOT_IMPLEMENTED(DeleteClassAsync, const BSTR, LONG, IWbemContext *, IWbemObjectSink *);
    QUELLEX_NOT_IMPLEMENTED(CreateClassEnum, const BSTR, LONG, IWbemContext *, IEnumWbemClassObject **);
    QUELLEX_NOT_IMPLEMENTED(CreateClassEnumAsync, const BSTR, LONG, IWbemContext *, IWbemObjectSink *);
    QUELLEX_NOT_IMPLEMENTED(PutInstance, IWbemClassObject *, LONG, IWbemContext *, IWbemCallResult **);
    QUELLEX_NOT_IMPLEMENTED(PutInstanceAsync, IWbemClassObject *, LONG, IWbemContext *, IWbemObjectSink *);
    QUELLEX_NOT_IMPLEMENTED(DeleteInstance, const BSTR, LONG, IWbemContext *, IWbemCallResult **);
    QUELLEX_NOT_IMPLEMENTED(DeleteInstanceAsync, const BSTR, LONG, IWbemContext *, IWbemObjectSink *);
    QUELLEX_NOT_IMPLEMENTED(CreateInstanceEnum, const BSTR, LONG, IWbemContext *, IEnumWbemClassObject **);
    QUELLEX_NOT_IMPLEMENTED(CreateInstanceEnumAsync, const BSTR, LONG, IWbemContext *, IWbemObjectSink *);
    QUELLEX_NOT_IMPLEMENTED(ExecQuery, const BSTR, const BSTR, LONG, IWbemContext *, IEnumWbemClassObject **);
    QUELLEX_NOT_IMPLEMENTED(ExecQueryAsync, const BSTR, const BSTR, LONG, IWbemContext *, IWbemObjectSink *);
    QUELLEX_NOT_IMPLEMENTED(ExecNotificationQuery, const BSTR, const BSTR, LONG, IWbemContext *,
                            IEnumWbemClassObject **);
    QUELLEX_NOT_IMPLEMENTED(ExecNotificationQueryAsync, const BSTR, const BSTR, LONG, IWbemContext *,
                            IWbemObjectSink *);
    QUELLEX_NOT_IMPLEMENTED(ExecMethodAsync, const BSTR, const BSTR, LONG, IWbemContext *, IWbemClassObject *,
                            IWbemObjectSink *);

private:
    ~FakeWbemServices() override { processClass->Release(); }
};

} // namespace quellex::test
