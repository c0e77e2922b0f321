#include "ClassFactory.h"

#include "WebBrowser.h"

// CLSID_WebBrowser
const CLSID ClassFactory::clsid = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

HRESULT ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG ClassFactory::Release() {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* browser = new WebBrowser;
    HRESULT hr = browser->QueryInterface(iid, out);
    browser->Release();
    return hr;
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    lock ? Module::lock() : Module::unlock();
    return S_OK;
}
