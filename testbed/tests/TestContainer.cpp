#include "TestContainer.h"

namespace {

const CLSID webBrowserClass = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
const IID browserEvents = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};

const wchar_t* containerClass() {
    static bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = L"TestbedContainer";
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    return L"TestbedContainer";
}

}  // namespace

TestContainer::TestContainer(int width, int height, bool activateNow, std::optional<DWORD> hostFlags)
    : hostFlags_(hostFlags) {
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    hwnd_ = CreateWindowExW(0, containerClass(), L"Testbed container", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    created_ = CoCreateInstance(webBrowserClass, nullptr, CLSCTX_INPROC_SERVER, IID_IWebBrowser2,
                                reinterpret_cast<void**>(&browser_));
    if (FAILED(created_)) return;
    IOleObject* ole = nullptr;
    created_ = browser_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole));
    if (FAILED(created_)) return;
    ole->SetClientSite(this);
    ole->Release();
    if (activateNow) created_ = activate();
}

HRESULT TestContainer::activate() {
    IOleObject* ole = nullptr;
    HRESULT hr = browser_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole));
    if (FAILED(hr)) return hr;
    RECT client;
    GetClientRect(hwnd_, &client);
    hr = ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, hwnd_, &client);
    ole->Release();
    return hr;
}

TestContainer::~TestContainer() {
    close();
    DestroyWindow(hwnd_);
}

ULONG TestContainer::close() {
    if (!browser_) return 0;
    if (point_) {
        point_->Unadvise(cookie_);
        point_->Release();
        point_ = nullptr;
    }
    IOleObject* ole = nullptr;
    if (SUCCEEDED(browser_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)))) {
        ole->Close(OLECLOSE_NOSAVE);
        ole->SetClientSite(nullptr);
        ole->Release();
    }
    ULONG left = browser_->Release();
    browser_ = nullptr;
    return left;
}

bool TestContainer::advise(IDispatch* sink) {
    IConnectionPointContainer* cpc = nullptr;
    if (FAILED(browser_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc)))) return false;
    HRESULT hr = cpc->FindConnectionPoint(browserEvents, &point_);
    cpc->Release();
    return SUCCEEDED(hr) && point_->Advise(sink, &cookie_) == S_OK;
}

void TestContainer::navigate(const std::wstring& url) {
    BSTR b = SysAllocString(url.c_str());
    browser_->Navigate(b, nullptr, nullptr, nullptr, nullptr);
    SysFreeString(b);
}

std::wstring TestContainer::location() const {
    BSTR b = nullptr;
    if (FAILED(browser_->get_LocationURL(&b))) return L"<failed>";
    std::wstring r = b ? b : L"";
    SysFreeString(b);
    return r;
}

void TestContainer::resize(int width, int height) {
    IOleInPlaceObject* ip = nullptr;
    if (FAILED(browser_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&ip)))) return;
    RECT r{0, 0, width, height};
    ip->SetObjectRects(&r, &r);
    ip->Release();
}

HRESULT TestContainer::QueryInterface(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *out = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
        *out = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(iid, IID_IDocHostUIHandler) && hostFlags_)
        *out = static_cast<IDocHostUIHandler*>(this);
    else
        *out = nullptr;
    return *out ? S_OK : E_NOINTERFACE;
}

HRESULT TestContainer::GetContainer(IOleContainer** out) {
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT TestContainer::GetWindow(HWND* hwnd) {
    *hwnd = hwnd_;
    return S_OK;
}

HRESULT TestContainer::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                        LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    *frame = nullptr;
    *doc = nullptr;
    GetClientRect(hwnd_, pos);
    *clip = *pos;
    info->fMDIApp = FALSE;
    info->hwndFrame = hwnd_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT TestContainer::OnInPlaceDeactivate() {
    ++deactivations_;
    return S_OK;
}

HRESULT TestContainer::GetHostInfo(DOCHOSTUIINFO* info) {
    ++hostInfoCalls_;
    info->dwFlags = *hostFlags_;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}
