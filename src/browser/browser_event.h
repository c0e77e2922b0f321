// The sink for the web browser control's navigation events: each of the
// four events below becomes one WM_BROWSER_EVENT posted to the main window.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

// wParam: the event's dispatch identifier (one of the four below).
// lParam: the event's number. The address stays with the sink until the
// receiver takes it by that number (takeBrowserEvent), so the message
// carries nothing the receiver has to trust: any program can post it.
inline constexpr UINT WM_BROWSER_EVENT = WM_USER + 51;

inline constexpr DISPID browserEventBeforeNavigate2 = 250;
inline constexpr DISPID browserEventNavigateComplete2 = 252;
inline constexpr DISPID browserEventDocumentComplete = 259;
inline constexpr DISPID browserEventNavigateError = 271;

// The window WM_BROWSER_EVENT goes to. BrowserHost sets it to the main
// window it is given; it stays until the next host sets it again.
void setBrowserEventWindow(HWND window) noexcept;
HWND browserEventWindow() noexcept;

// At most one exists, made and deleted by WebBrowserRef::connectEvents;
// reference counting plays no part in its life. It keeps the events it has
// posted and not yet seen taken, so those of a page since replaced go with
// it, unread.
class BrowserEvent : public IDispatch {
public:
    BrowserEvent() = default;
    BrowserEvent(const BrowserEvent&) = delete;
    BrowserEvent& operator=(const BrowserEvent&) = delete;

    // Only IUnknown and IDispatch, without taking a count.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    // No type information and no name mapping are offered.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return S_OK; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                        UINT*) override;

    virtual ~BrowserEvent() = default;

    // The address of the posted event that WM_BROWSER_EVENT's wParam and
    // lParam name, taken out; nothing when this sink posted no such event or
    // it was taken already.
    std::optional<std::wstring> take(WPARAM id, LPARAM number);

private:
    struct Pending {
        LPARAM number;
        DISPID id;
        std::wstring address;
    };
    std::deque<Pending> pending_;
};

// BrowserEvent::take of the connected sink: nothing while none is connected,
// so an event of a page that is gone changes nothing.
std::optional<std::wstring> takeBrowserEvent(WPARAM id, LPARAM number);
