#include "WebBrowser.h"

#include <mshtmhst.h>
#include <olectl.h>
#include <urlmon.h>

#include "ClassFactory.h"
#include "FetchThread.h"

namespace {

const UINT fetchDone = WM_APP + 1;
const UINT_PTR refreshTimer = 1;
// WinINet gives up after this many redirects of one request.
const int maxRedirects = 20;

std::string utf8(const std::wstring& s) {
    if (s.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string r(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), r.data(), n, nullptr, nullptr);
    return r;
}

std::wstring widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring r(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), r.data(), n);
    return r;
}

// The test prefix says where the stand-in site listens; every host goes there.
unsigned short sitePort() {
    wchar_t buf[16];
    DWORD n = GetEnvironmentVariableW(L"ZELVARA_TESTBED_PORT", buf, 16);
    return n > 0 && n < 16 ? static_cast<unsigned short>(_wtoi(buf)) : 80;
}

// Sent as the page request's User-Agent, so the site sees what the process set.
std::string userAgent() {
    char buf[512] = {};
    DWORD len = 0;
    HRESULT hr = UrlMkGetSessionOption(URLMON_OPTION_USERAGENT, buf, sizeof buf, &len, 0);
    // Wine fills the buffer yet answers E_OUTOFMEMORY; a length that fits means the text is there.
    if ((FAILED(hr) && hr != E_OUTOFMEMORY) || len == 0 || len > sizeof buf) return {};
    return std::string(buf, strnlen(buf, len));
}

// The real control asks a new site for its UI handler and, unless the host's
// flags turn it off (or there is no handler to ask), draws a sunken edge
// around the page.
bool pageEdgeFor(IOleClientSite* site) {
    ComPtr<IDocHostUIHandler> handler = ComPtr<IOleClientSite>(site).query<IDocHostUIHandler>(IID_IDocHostUIHandler);
    if (!handler) return true;
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(handler->GetHostInfo(&info))) return true;
    // Any style sheet or namespace list the host gave is the caller's to free.
    CoTaskMemFree(info.pchHostCss);
    CoTaskMemFree(info.pchHostNS);
    return (info.dwFlags & (DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER)) == 0;
}

// Keeps the control alive while a sink called from it might release it.
class SelfRef {
public:
    explicit SelfRef(IUnknown* u) : u_(u) { u_->AddRef(); }
    ~SelfRef() { u_->Release(); }
    SelfRef(const SelfRef&) = delete;
    SelfRef& operator=(const SelfRef&) = delete;

private:
    IUnknown* u_;
};

}  // namespace

WebBrowser::WebBrowser()
    : events_(new EventPoint(this)), notify_([this](UINT m, WPARAM w, LPARAM l) { onNotify(m, w, l); }) {}

WebBrowser::~WebBrowser() {
    KillTimer(notify_.hwnd(), refreshTimer);
    MSG m;
    while (PeekMessageW(&m, notify_.hwnd(), fetchDone, fetchDone, PM_REMOVE))
        delete reinterpret_cast<FetchThread::Done*>(m.lParam);
    view_.reset();
    events_->detach();
    events_->Release();
}

HRESULT WebBrowser::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    void* p = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IWebBrowser) ||
        IsEqualIID(iid, IID_IWebBrowserApp) || IsEqualIID(iid, IID_IWebBrowser2))
        p = static_cast<IWebBrowser2*>(this);
    else if (IsEqualIID(iid, IID_IOleObject))
        p = static_cast<IOleObject*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject))
        p = static_cast<IOleInPlaceObject*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        p = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit))
        p = static_cast<IPersistStreamInit*>(this);
    else if (IsEqualIID(iid, IID_IOleControl))
        p = static_cast<IOleControl*>(this);
    else if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2))
        p = static_cast<IViewObject2*>(this);
    *out = p;
    if (!p) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG WebBrowser::Release() {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

HRESULT WebBrowser::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT WebBrowser::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT WebBrowser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    navigate(url ? std::wstring(url, SysStringLen(url)) : std::wstring());
    return S_OK;
}

HRESULT WebBrowser::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    if (url && url->vt == (VT_BYREF | VT_VARIANT)) url = url->pvarVal;
    if (!url || url->vt != VT_BSTR) return E_INVALIDARG;
    return Navigate(url->bstrVal, nullptr, nullptr, nullptr, nullptr);
}

HRESULT WebBrowser::get_LocationURL(BSTR* url) {
    if (!url) return E_POINTER;
    *url = SysAllocStringLen(location_.data(), static_cast<UINT>(location_.size()));
    return S_OK;
}

void WebBrowser::navigate(const std::wstring& requested) {
    SelfRef keep(self());
    // The real control reports every address in the parser's canonical form.
    const std::wstring address = canonicalAddress(requested);
    unsigned serial = ++serial_;  // results of earlier navigations are dropped
    KillTimer(notify_.hwnd(), refreshTimer);
    if (events_->beforeNavigate2(self(), address) || serial != serial_) return;
    // The old page's plug-ins go as soon as the new page starts loading.
    if (view_) view_->clearPlugins();
    if (address == L"about:blank") {
        location_ = address;
        page_ = PageMarkup();
        events_->navigateComplete2(self(), address);
        if (serial == serial_) events_->documentComplete(self(), address);
        return;
    }
    pending_ = Url::parse(address);
    redirects_ = 0;
    if (!pending_.valid || pending_.scheme != L"http") {
        events_->navigateError(self(), address, INET_E_UNKNOWN_PROTOCOL);
        return;
    }
    fetch(serial);
}

void WebBrowser::fetch(unsigned serial) {
    if (!FetchThread::start(notify_.hwnd(), fetchDone, serial, sitePort(), utf8(pending_.hostPort),
                            utf8(pending_.path), userAgent()))
        events_->navigateError(self(), pending_.text(), INET_E_DOWNLOAD_FAILURE);
}

// A server redirect is followed inside the same navigation: no second
// BeforeNavigate2, and the completion events name the final address.
bool WebBrowser::followRedirect(const std::string& location) {
    if (location.empty()) return false;
    const Url target = pending_.resolve(widen(location));
    if (!target.valid || target.scheme != L"http" || ++redirects_ > maxRedirects) {
        events_->navigateError(self(), pending_.text(), INET_E_REDIRECT_FAILED);
        return true;
    }
    pending_ = target;
    fetch(serial_);
    return true;
}

void WebBrowser::onNotify(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == refreshTimer) {
        KillTimer(notify_.hwnd(), refreshTimer);
        Url target = pending_;
        if (page_.refresh && !page_.refresh->url.empty()) target = pending_.resolve(page_.refresh->url);
        navigate(target.text());
        return;
    }
    if (message != fetchDone) return;
    std::unique_ptr<FetchThread::Done> done(reinterpret_cast<FetchThread::Done*>(lParam));
    if (done->serial != serial_) return;
    SelfRef keep(self());
    const auto& r = done->result;
    if (r.error == 0 && r.status >= 300 && r.status < 400 && followRedirect(r.location)) return;
    if (r.error != 0 || r.status < 200 || r.status >= 400)
        events_->navigateError(self(), pending_.text(), r.error != 0 ? r.error : r.status);
    else
        pageLoaded(pending_, r.body);
}

void WebBrowser::pageLoaded(const Url& url, const std::string& body) {
    unsigned serial = serial_;
    std::wstring address = url.text();
    location_ = address;
    page_ = PageMarkup::parse(body);
    events_->navigateComplete2(self(), address);
    if (serial != serial_) return;  // a sink navigated elsewhere
    if (view_) view_->showPlugins(page_.embeds);
    events_->documentComplete(self(), address);
    if (serial == serial_ && page_.refresh)
        SetTimer(notify_.hwnd(), refreshTimer, std::max(1, page_.refresh->seconds * 1000), nullptr);
}

HRESULT WebBrowser::SetClientSite(IOleClientSite* site) {
    clientSite_ = ComPtr<IOleClientSite>(site);
    if (site) pageEdge_ = pageEdgeFor(site);
    return S_OK;
}

HRESULT WebBrowser::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = clientSite_.get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

HRESULT WebBrowser::Close(DWORD) {
    ++serial_;
    KillTimer(notify_.hwnd(), refreshTimer);
    InPlaceDeactivate();
    return S_OK;
}

HRESULT WebBrowser::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_OPEN:
        case OLEIVERB_UIACTIVATE:
        case OLEIVERB_INPLACEACTIVATE:
            activate(site ? site : clientSite_.get(), parent, position);
            if (!view_ || !view_->outer()) return E_FAIL;
            ShowWindow(view_->outer(), SW_SHOW);
            return S_OK;
        case OLEIVERB_HIDE:
            if (view_) ShowWindow(view_->outer(), SW_HIDE);
            return S_OK;
        default:
            return E_NOTIMPL;
    }
}

void WebBrowser::activate(IOleClientSite* site, HWND parent, LPCRECT position) {
    if (view_) return;
    RECT rect = position ? *position : RECT{};
    if (site) inPlaceSite_ = ComPtr<IOleClientSite>(site).query<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (inPlaceSite_) {
        if (inPlaceSite_->CanInPlaceActivate() != S_OK) {
            inPlaceSite_.reset();
            return;
        }
        inPlaceSite_->OnInPlaceActivate();
        HWND siteWindow = nullptr;
        if (SUCCEEDED(inPlaceSite_->GetWindow(&siteWindow)) && siteWindow) parent = siteWindow;
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> doc;
        RECT pos{}, clip{};
        OLEINPLACEFRAMEINFO info{};
        info.cb = sizeof info;
        if (SUCCEEDED(inPlaceSite_->GetWindowContext(frame.put(), doc.put(), &pos, &clip, &info))) rect = pos;
    }
    if (!parent) return;
    view_ = std::make_unique<ViewWindows>(parent, rect, pageEdge_);
    if (!location_.empty()) view_->showPlugins(page_.embeds);
}

HRESULT WebBrowser::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return E_NOTIMPL;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

HRESULT WebBrowser::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return E_NOTIMPL;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

// No palette of its own: S_FALSE, and the set is null.
HRESULT WebBrowser::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours) {
    if (!colours) return E_POINTER;
    *colours = nullptr;
    return S_FALSE;
}

HRESULT WebBrowser::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
              OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
    return S_OK;
}

HRESULT WebBrowser::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = view_ ? view_->outer() : nullptr;
    return *hwnd ? S_OK : E_FAIL;
}

HRESULT WebBrowser::InPlaceDeactivate() {
    view_.reset();
    if (inPlaceSite_) {
        inPlaceSite_->OnInPlaceDeactivate();
        inPlaceSite_.reset();
    }
    return S_OK;
}

HRESULT WebBrowser::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    if (view_) view_->move(*position);
    return S_OK;
}

HRESULT WebBrowser::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT WebBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, EventPoint::eventsIid)) return CONNECT_E_NOCONNECTION;
    events_->AddRef();
    *out = events_;
    return S_OK;
}

HRESULT WebBrowser::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = ClassFactory::clsid;
    return S_OK;
}
