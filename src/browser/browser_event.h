// The sink for the web browser control's navigation events: each of the
// four events below becomes one WM_BROWSER_EVENT posted to the main window.
#pragma once
#include <windows.h>
#include <oaidl.h>

// wParam: the event's dispatch identifier (one of the four below).
// lParam: a new std::wstring* with the address; the receiver deletes it.
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
// reference counting plays no part in its life.
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
};
