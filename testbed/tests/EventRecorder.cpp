#include "EventRecorder.h"

HRESULT EventRecorder::QueryInterface(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    ++refusedQueries;
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventRecorder::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT EventRecorder::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    if (!params) return E_INVALIDARG;
    Event e;
    e.id = id;
    e.flags = flags;
    e.count = params->cArgs;
    e.thread = GetCurrentThreadId();
    for (UINT i = 0; i < params->cArgs; ++i) {
        const VARIANT& v = params->rgvarg[i];
        e.types.push_back(v.vt);
        e.refTypes.push_back(v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal ? v.pvarVal->vt : static_cast<VARTYPE>(VT_EMPTY));
    }
    auto url = [&](UINT index) {
        if (index >= params->cArgs) return;
        const VARIANT& v = params->rgvarg[index];
        if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal->vt == VT_BSTR && v.pvarVal->bstrVal)
            e.url = v.pvarVal->bstrVal;
    };
    auto browser = [&](UINT index) {
        if (index < params->cArgs && params->rgvarg[index].vt == VT_DISPATCH)
            e.browser = params->rgvarg[index].pdispVal;
    };
    switch (id) {
        case 250:
            url(5);
            browser(6);
            if (cancelNext && params->cArgs == 7 && params->rgvarg[0].vt == (VT_BYREF | VT_BOOL)) {
                *params->rgvarg[0].pboolVal = VARIANT_TRUE;
                cancelNext = false;
            }
            break;
        case 252:
        case 259:
            url(0);
            browser(1);
            break;
        case 271:
            url(3);
            browser(4);
            if (params->cArgs == 5 && params->rgvarg[1].vt == (VT_BYREF | VT_VARIANT) &&
                params->rgvarg[1].pvarVal->vt == VT_I4)
                e.status = params->rgvarg[1].pvarVal->lVal;
            break;
    }
    events.push_back(std::move(e));
    return S_OK;
}
