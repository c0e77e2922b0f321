#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

// An event sink shaped like the program's: it answers QueryInterface only
// for IUnknown and IDispatch, and its AddRef and Release do nothing. It
// records what each Invoke carried.
class EventRecorder : public IDispatch {
public:
    struct Event {
        DISPID id = 0;
        WORD flags = 0;
        UINT count = 0;
        std::vector<VARTYPE> types;     // rgvarg order (reversed arguments)
        std::vector<VARTYPE> refTypes;  // type of the VARIANT a by-ref VARIANT points to
        std::wstring url;
        long status = 0;                // NavigateError's status code
        IDispatch* browser = nullptr;   // pDisp, not counted
        DWORD thread = 0;               // the thread that raised it
    };

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    std::vector<Event> events;
    bool cancelNext = false;  // answer the next BeforeNavigate2 with Cancel
    int refusedQueries = 0;   // QueryInterface calls for other interfaces
    virtual ~EventRecorder() = default;
};
