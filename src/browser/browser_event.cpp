#include "browser/browser_event.h"

#include <exdisp.h>
#include <ocidl.h>

#include <algorithm>
#include <new>
#include <string>

#include "browser/browser_host.h"
#include "browser/com_ptr.h"

namespace {

HWND eventWindow = nullptr;

// The one connected sink and its cookie; only connectEvents touches them.
BrowserEvent* sink = nullptr;
DWORD sinkCookie = 0;

// Numbers events across every sink of the run, so one of an earlier page
// never matches a later page's event.
std::uint32_t lastEventNumber = 0;

// Position of the address in the (reversed) argument array, or -1 for
// events that are not passed on.
int addressIndex(DISPID id) noexcept
{
    switch (id) {
    case browserEventBeforeNavigate2: return 5;
    case browserEventNavigateComplete2:
    case browserEventDocumentComplete: return 0;
    case browserEventNavigateError: return 3;
    default: return -1;
    }
}

// The control passes the address as a reference to a VARIANT holding a BSTR.
// Anything else, or too few arguments, reads as no address rather than
// as whatever memory lies there.
const wchar_t* addressArgument(const DISPPARAMS& parameters, int index) noexcept
{
    if (!parameters.rgvarg || static_cast<UINT>(index) >= parameters.cArgs)
        return nullptr;
    const VARIANT* argument = &parameters.rgvarg[index];
    if (V_VT(argument) == (VT_BYREF | VT_VARIANT)) {
        argument = V_VARIANTREF(argument);
        if (!argument)
            return nullptr;
    }
    if (V_VT(argument) == VT_BSTR)
        return V_BSTR(argument);
    if (V_VT(argument) == (VT_BYREF | VT_BSTR) && V_BSTRREF(argument))
        return *V_BSTRREF(argument);
    return nullptr;
}

}  // namespace

void setBrowserEventWindow(HWND window) noexcept
{
    eventWindow = window;
}

HWND browserEventWindow() noexcept
{
    return eventWindow;
}

STDMETHODIMP BrowserEvent::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BrowserEvent::GetTypeInfoCount(UINT* count)
{
    if (count)
        *count = 0;
    return S_OK;
}

STDMETHODIMP BrowserEvent::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return S_OK;
}

STDMETHODIMP BrowserEvent::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                  UINT*)
{
    if (!parameters)
        return E_INVALIDARG;
    const int index = addressIndex(id);
    if (index < 0)
        return S_OK;
    const wchar_t* address = addressArgument(*parameters, index);
    const auto number = static_cast<LPARAM>(++lastEventNumber);
    try {
        pending_.push_back({number, id, address ? address : L""});
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    // An event whose message was never queued would wait here for ever.
    if (!PostMessageW(eventWindow, WM_BROWSER_EVENT, static_cast<WPARAM>(id), number))
        pending_.pop_back();
    return S_OK;
}

std::optional<std::wstring> BrowserEvent::take(WPARAM id, LPARAM number)
{
    const auto found = std::find_if(pending_.begin(), pending_.end(),
                                    [number](const Pending& event) { return event.number == number; });
    if (found == pending_.end() || static_cast<WPARAM>(found->id) != id)
        return std::nullopt;
    std::wstring address = std::move(found->address);
    pending_.erase(found);
    return address;
}

std::optional<std::wstring> takeBrowserEvent(WPARAM id, LPARAM number)
{
    return sink ? sink->take(id, number) : std::nullopt;
}

bool WebBrowserRef::connectEvents(bool connect)
{
    const ComPtr<IConnectionPointContainer> container =
        browser_.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container)
        return false;
    ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()))) {
        point.detach();
        return false;
    }
    if (!point)
        return false;

    if (connect) {
        sink = new (std::nothrow) BrowserEvent;
        if (!sink)
            return false;
        if (point->Advise(sink, &sinkCookie) == S_OK)
            return true;
        sinkCookie = 0;
        return false;
    }
    const bool disconnected = point->Unadvise(sinkCookie) == S_OK;
    delete sink;
    sink = nullptr;
    sinkCookie = 0;
    return disconnected;
}
