// The hosted web browser control of the page shown: a container window
// (class "AtlAxWin120") made from the address, the control's browser
// interface with the event sink connected, and the Flash window search timer.
#pragma once
#include <windows.h>
#include <exdisp.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/layout.h"
#include "browser/com_ptr.h"
#include "settings/settings.h"

class ChatMacros;

// The control's IWebBrowser, with the event sink connected while it lives.
class WebBrowserRef {
public:
    // Throws L"Cannot query IWebBrowser interface" when the container holds
    // no control or the control is no web browser.
    explicit WebBrowserRef(HWND container);
    // Disconnects the events, then releases the interface.
    ~WebBrowserRef();
    WebBrowserRef(const WebBrowserRef&) = delete;
    WebBrowserRef& operator=(const WebBrowserRef&) = delete;

    // True when the sink was connected (or disconnected) without error.
    bool connectEvents(bool connect);
    // The control's current address; empty when it cannot be read.
    std::wstring locationUrl() const;

private:
    ComPtr<IWebBrowser> browser_;
};

class BrowserHost {
public:
    // Creates the container window as a child of `mainWindow` with `address`
    // as its text, and makes `mainWindow` the receiver of WM_BROWSER_EVENT.
    // Throws a std::wstring: L"Cannot create ActiveX window" or
    // L"Cannot query IWebBrowser interface"; a failed construction leaves
    // no window, no timer, no sink and `current` null.
    // The container is made at `area`, the browser area of the main
    // window's layout, which then finds it in place.
    BrowserHost(HWND mainWindow, const std::wstring& address, const Box& area);
    ~BrowserHost();
    BrowserHost(const BrowserHost&) = delete;
    BrowserHost& operator=(const BrowserHost&) = delete;

    std::wstring locationUrl() const;

    // The Flash player window; searches once first while none is known, so
    // the result may still be null.
    HWND flashWindow();
    // True when the player shows its battle as loaded: pure white at
    // (areaWidth - 20, areaHeight - 11). False while no player window is
    // known, rather than reading the screen at that point.
    bool isBattleLoaded();

    // The live host, from the start of its construction to its end.
    static inline BrowserHost* current = nullptr;

    std::unique_ptr<WebBrowserRef> browser;
    HWND hostWindow = nullptr;
    // Read by the clicker thread, hence atomic.
    std::atomic<HWND> flashWindowHandle{nullptr};
    // Written under searchLock only.
    std::int32_t searchTicksLeft = 600;
    std::atomic<std::int32_t> areaWidth{0};
    std::atomic<std::int32_t> areaHeight{0};
    // Settings chatMessages as they were when the page was opened. Every chat
    // table of this host is built from them: the search also runs on the
    // clicker's worker, which must not read Settings while the settings
    // sheet may be replacing them.
    const std::vector<ChatMessage> chatMessages;
    // Shared so a replaced table outlives a reader still holding it; written
    // under searchLock together with ChatMacros::current.
    std::shared_ptr<ChatMacros> chatMacros;
    // The search runs from the timer on this thread and from the clicker's
    // worker; one at a time.
    std::mutex searchLock;

private:
    void release() noexcept;
};

// Low 16 bits of Settings screenshotKey, taken when the last host was made;
// 0 before the first.
inline std::uint16_t screenshotHotKey = 0;

// Timer procedure of every host, on its container window with the host's
// address as identifier, every 100 ms; also called directly, from any thread,
// with the host as identifier and the rest 0. Records the player window and
// binds a new chat table to it, hides one-pixel plug-in windows. Never sends
// to nor waits on the window's thread, which may be waiting for the caller.
void CALLBACK findFlashWindow(HWND window, UINT message, UINT_PTR hostId, DWORD time);
