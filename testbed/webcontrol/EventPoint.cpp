#include "EventPoint.h"

#include <exdispid.h>
#include <olectl.h>

namespace {

// A VARIANT that is cleared when it goes out of scope.
struct Variant : VARIANT {
    Variant() { VariantInit(this); }
    explicit Variant(const std::wstring& s) : Variant() {
        vt = VT_BSTR;
        bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    }
    explicit Variant(long n) : Variant() {
        vt = VT_I4;
        lVal = n;
    }
    ~Variant() { VariantClear(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

VARIANT byRef(VARIANT* target) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = target;
    return v;
}

VARIANT byRef(VARIANT_BOOL* flag) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_BOOL;
    v.pboolVal = flag;
    return v;
}

VARIANT dispatch(IDispatch* d) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = d;  // borrowed for the call, like the platform's control
    return v;
}

}  // namespace

// {34A715A0-6587-11D0-924A-0020AFC7AC4D}
const IID EventPoint::eventsIid = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};

EventPoint::~EventPoint() {
    for (auto& s : sinks_) s.dispatch->Release();
}

HRESULT EventPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG EventPoint::Release() {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

HRESULT EventPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = eventsIid;
    return S_OK;
}

HRESULT EventPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = owner_;
    if (!owner_) return E_UNEXPECTED;
    owner_->AddRef();
    return S_OK;
}

HRESULT EventPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    // A sink may answer only for IDispatch, as simple hosts' sinks do.
    IDispatch* d = nullptr;
    if (FAILED(sink->QueryInterface(eventsIid, reinterpret_cast<void**>(&d))) || !d)
        if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d))) || !d)
            return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks_.push_back({*cookie, d});
    return S_OK;
}

HRESULT EventPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie == cookie) {
            IDispatch* d = it->dispatch;
            sinks_.erase(it);
            d->Release();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT EventPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void EventPoint::fire(DISPID id, VARIANT* args, UINT count) {
    DISPPARAMS params{args, nullptr, count, 0};
    std::vector<DWORD> cookies;
    for (auto& s : sinks_) cookies.push_back(s.cookie);
    // A sink may unadvise (and free itself) from inside a call: look each one up afresh.
    for (DWORD c : cookies) {
        for (auto& s : sinks_) {
            if (s.cookie != c) continue;
            s.dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                               nullptr);
            break;
        }
    }
}

bool EventPoint::beforeNavigate2(IDispatch* browser, const std::wstring& url) {
    Variant address(url), flags(0L), frame{std::wstring()}, postData, headers{std::wstring()};
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[7] = {byRef(&cancel), byRef(&headers), byRef(&postData), byRef(&frame),
                       byRef(&flags),  byRef(&address), dispatch(browser)};
    fire(DISPID_BEFORENAVIGATE2, args, 7);
    return cancel != VARIANT_FALSE;
}

void EventPoint::navigateComplete2(IDispatch* browser, const std::wstring& url) {
    Variant address(url);
    VARIANT args[2] = {byRef(&address), dispatch(browser)};
    fire(DISPID_NAVIGATECOMPLETE2, args, 2);
}

void EventPoint::documentComplete(IDispatch* browser, const std::wstring& url) {
    Variant address(url);
    VARIANT args[2] = {byRef(&address), dispatch(browser)};
    fire(DISPID_DOCUMENTCOMPLETE, args, 2);
}

void EventPoint::navigateError(IDispatch* browser, const std::wstring& url, long status) {
    Variant address(url), frame{std::wstring()}, code(status);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[5] = {byRef(&cancel), byRef(&code), byRef(&frame), byRef(&address), dispatch(browser)};
    fire(DISPID_NAVIGATEERROR, args, 5);
}
