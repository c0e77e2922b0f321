#include "browser/ax_host.h"

#include <exdisp.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <oleidl.h>

#include <cstddef>
#include <new>

#include "browser/com_ptr.h"

namespace {

UINT atlGetHostMessage = 0;
UINT atlGetControlMessage = 0;

// Posted to itself after creation: the window's creator gets the control
// (and connects to its events) before the first page is asked for, since
// some controls raise the first navigation's events inside the call.
constexpr UINT navigateMessage = WM_USER + 1;

// The documented "nothing to give" answer of a method with one output
// pointer: the pointer cleared, whatever the result says.
template <class T>
HRESULT giveNothing(T** out, HRESULT result) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return result;
}

// The client site of one container window. One object, one count: the
// window holds a reference from creation to WM_NCDESTROY, the control holds
// its own through SetClientSite.
class AxSite final : public IOleClientSite,
                     public IOleInPlaceSite,
                     public IOleInPlaceFrame,
                     public IDocHostUIHandler {
public:
    explicit AxSite(HWND window) noexcept : window_(window) {}
    AxSite(const AxSite&) = delete;
    AxSite& operator=(const AxSite&) = delete;

    void createControl(const wchar_t* text) noexcept;
    void navigate() noexcept;
    void resize(int width, int height) noexcept;
    void closeControl() noexcept;
    void detachWindow() noexcept { window_ = nullptr; }

    IUnknown* control() const noexcept { return control_.get(); }
    // A control with a view draws every pixel of the container itself.
    bool hasView() const noexcept { return static_cast<bool>(view_); }
    IUnknown* unknown() noexcept { return static_cast<IOleClientSite*>(this); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override
    {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override
    {
        if (container)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, shared by the site and the frame.
    STDMETHODIMP GetWindow(HWND* window) override
    {
        if (!window)
            return E_POINTER;
        *window = window_;
        return window_ ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return window_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                  RECT* clip, OLEINPLACEFRAMEINFO* frameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override
    {
        inPlaceObject_.reset();
        return S_OK;
    }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(const RECT* position) override;

    // IOleInPlaceUIWindow: the container offers no tool space.
    STDMETHODIMP GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(const BORDERWIDTHS*) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(const BORDERWIDTHS*) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, const OLECHAR*) override { return S_OK; }

    // IOleInPlaceFrame: no menus, no status bar, no accelerators of ours.
    // EnableModeless answers IDocHostUIHandler's call of the same shape too.
    STDMETHODIMP InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(const OLECHAR*) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(MSG*, WORD) override { return S_FALSE; }

    // IDocHostUIHandler, answered as the platform's container answers by
    // default: no 3-D border, the control's own context menu and double-click,
    // no menus or toolbars of the control (S_OK from ShowUI: "the host shows
    // its UI", and ours has none), and nothing else to add or replace.
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_FALSE; }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override
    {
        return S_OK;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override { return giveNothing(key, S_FALSE); }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override { return giveNothing(target, E_NOTIMPL); }
    STDMETHODIMP GetExternal(IDispatch** external) override { return giveNothing(external, S_FALSE); }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* address) override { return giveNothing(address, S_FALSE); }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** data) override { return giveNothing(data, S_FALSE); }

private:
    ~AxSite() = default;

    RECT clientRect() const noexcept
    {
        RECT rect = {};
        if (window_)
            GetClientRect(window_, &rect);
        return rect;
    }

    LONG references_ = 1;
    HWND window_;
    ComPtr<IUnknown> control_;
    ComPtr<IOleObject> oleObject_;
    ComPtr<IOleInPlaceObject> inPlaceObject_;
    ComPtr<IViewObject> view_;
    UniqueBstr address_;
};

STDMETHODIMP AxSite::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *object = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IDocHostUIHandler)
        *object = static_cast<IDocHostUIHandler*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP AxSite::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info)
        return E_POINTER;
    // An older caller's structure is shorter. Ours are the two fields after
    // cbSize, measured to their own end: the padding after them differs
    // between pointer sizes. No host style sheet or namespaces: the caller's
    // null option strings stay null.
    if (info->cbSize < offsetof(DOCHOSTUIINFO, dwDoubleClick) + sizeof info->dwDoubleClick)
        return E_INVALIDARG;
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

STDMETHODIMP AxSite::OnInPlaceActivate()
{
    inPlaceObject_ = control_.query<IOleInPlaceObject>(IID_IOleInPlaceObject);
    return S_OK;
}

STDMETHODIMP AxSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                      RECT* clip, OLEINPLACEFRAMEINFO* frameInfo)
{
    if (!frame || !document || !position || !clip || !frameInfo)
        return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    *position = *clip = clientRect();
    // The caller sets cb; the rest is ours to fill.
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = window_ ? GetAncestor(window_, GA_ROOT) : nullptr;
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP AxSite::OnPosRectChange(const RECT* position)
{
    if (!position)
        return E_POINTER;
    if (inPlaceObject_)
        inPlaceObject_->SetObjectRects(position, position);
    return S_OK;
}

void AxSite::createControl(const wchar_t* text) noexcept
{
    if (!text || !*text)
        return;
    CLSID clsid = CLSID_WebBrowser;
    const bool isAddress = text[0] != L'{';
    if (!isAddress && FAILED(CLSIDFromString(text, &clsid)))
        return;

    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control_.putVoid()))) {
        control_.detach();
        return;
    }
    view_ = control_.query<IViewObject>(IID_IViewObject);
    oleObject_ = control_.query<IOleObject>(IID_IOleObject);
    if (oleObject_) {
        DWORD status = 0;
        oleObject_->GetMiscStatus(DVASPECT_CONTENT, &status);
        const bool siteFirst = (status & OLEMISC_SETCLIENTSITEFIRST) != 0;
        if (siteFirst)
            oleObject_->SetClientSite(this);
        if (ComPtr<IPersistStreamInit> persist = control_.query<IPersistStreamInit>(IID_IPersistStreamInit))
            persist->InitNew();
        if (!siteFirst)
            oleObject_->SetClientSite(this);
        RECT rect = clientRect();
        oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &rect);
    }
    if (isAddress) {
        address_.reset(SysAllocString(text));
        PostMessageW(window_, navigateMessage, 0, 0);
    }
}

void AxSite::navigate() noexcept
{
    if (!address_)
        return;
    const UniqueBstr address = std::move(address_);
    if (ComPtr<IWebBrowser2> browser = control_.query<IWebBrowser2>(IID_IWebBrowser2)) {
        VARIANT empty;
        VariantInit(&empty);
        browser->Navigate(address.get(), &empty, &empty, &empty, &empty);
    }
}

void AxSite::resize(int width, int height) noexcept
{
    const RECT rect = {0, 0, width, height};
    if (inPlaceObject_)
        inPlaceObject_->SetObjectRects(&rect, &rect);
}

void AxSite::closeControl() noexcept
{
    address_.reset();
    if (inPlaceObject_)
        inPlaceObject_->InPlaceDeactivate();
    inPlaceObject_.reset();
    if (oleObject_) {
        oleObject_->Close(OLECLOSE_NOSAVE);
        oleObject_->SetClientSite(nullptr);
    }
    oleObject_.reset();
    view_.reset();
    control_.reset();
}

AxSite* siteOf(HWND window) noexcept
{
    return reinterpret_cast<AxSite*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT onCreate(HWND window, const CREATESTRUCTW& create) noexcept
{
    auto* site = new (std::nothrow) AxSite(window);
    if (!site)
        return -1;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(site));
    site->createControl(create.lpszName);
    return 0;  // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks): the window owns its site until WM_NCDESTROY
}

void onNcDestroy(HWND window, AxSite* site) noexcept
{
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    site->detachWindow();
    site->Release();
}

}  // namespace

bool AtlAxWinInit()
{
    atlGetHostMessage = RegisterWindowMessageW(atlGetHostMessageName);
    atlGetControlMessage = RegisterWindowMessageW(atlGetControlMessageName);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_GLOBALCLASS | CS_DBLCLKS;
    windowClass.lpfnWndProc = axWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    bool registered = true;
    // Licences are not used here; the licensed class hosts the same way.
    for (const wchar_t* name : {axWindowClassName, axLicensedWindowClassName}) {
        windowClass.lpszClassName = name;
        if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            registered = false;
    }
    return registered && atlGetHostMessage && atlGetControlMessage;
}

void axNavigatePending(HWND container)
{
    SendMessageW(container, navigateMessage, 0, 0);
}

LRESULT CALLBACK axWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return onCreate(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
    AxSite* site = siteOf(window);
    if (!site)
        return DefWindowProcW(window, message, wParam, lParam);
    if (atlGetControlMessage && message == atlGetControlMessage)
        return reinterpret_cast<LRESULT>(site->control());
    if (atlGetHostMessage && message == atlGetHostMessage)
        return reinterpret_cast<LRESULT>(site->unknown());

    switch (message) {
    case navigateMessage: site->navigate(); return 0;
    case WM_SIZE: site->resize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ERASEBKGND:
        // As the platform's container: under a control that draws itself
        // nothing is erased, or each new page and each resize would fill the
        // whole area with the class brush just before the control paints it.
        if (site->hasView())
            return 1;
        break;
    case WM_DESTROY: site->closeControl(); return 0;
    case WM_NCDESTROY: onNcDestroy(window, site); break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
