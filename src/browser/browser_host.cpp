#include "browser/browser_host.h"

#include "browser/ax_host.h"
#include "browser/browser_event.h"
#include "gui/gdi.h"
#include "input/chat_macros.h"
#include "settings/settings.h"

namespace {

constexpr UINT searchPeriodMs = 100;
// The loaded battle's mark, counted from the browser area's lower right.
constexpr int loadedMarkFromRight = 20;
constexpr int loadedMarkFromBottom = 11;
constexpr COLORREF white = RGB(255, 255, 255);

}  // namespace

WebBrowserRef::WebBrowserRef(HWND container)
{
    auto* control = reinterpret_cast<IUnknown*>(
        SendMessageW(container, RegisterWindowMessageW(atlGetControlMessageName), 0, 0));
    // The container lends the control without a count; the query takes ours.
    if (control && FAILED(control->QueryInterface(IID_IWebBrowser, browser_.putVoid())))
        browser_.detach();
    if (!browser_)
        throw std::wstring(L"Cannot query IWebBrowser interface");
    connectEvents(true);
}

WebBrowserRef::~WebBrowserRef()
{
    connectEvents(false);
}

std::wstring WebBrowserRef::locationUrl() const
{
    BSTR url = nullptr;
    if (FAILED(browser_->get_LocationURL(&url)))
        return {};
    const UniqueBstr owned(url);
    return std::wstring(url ? url : L"", SysStringLen(url));
}

BrowserHost::BrowserHost(HWND mainWindow, const std::wstring& address, const Box& area)
    : chatMessages(Settings::instance()->chatMessages)
{
    current = this;
    setBrowserEventWindow(mainWindow);
    try {
        // Made where the layout puts it, not at 0 x 0 for the layout to
        // move, and hidden until the page is asked for: the control is
        // activated at the container's size, so its windows are made at their
        // size instead of empty and then resized, erased and painted again,
        // and the showing comes after the request instead of before it. The
        // container is shown before anything is painted, at the same place.
        // Above the bar's buttons, which clip around it: with the bar hidden
        // the game covers their rows, and there neither paints nor clicks reach them.
        hostWindow = CreateWindowExW(0, axWindowClassName, address.c_str(), WS_CHILD | WS_CLIPSIBLINGS,
                                     area.x, area.y, area.width, area.height, mainWindow, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        if (!hostWindow)
            throw std::wstring(L"Cannot create ActiveX window");
        SetWindowPos(hostWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        browser = std::make_unique<WebBrowserRef>(hostWindow);
        // The events are connected: the page is asked for now, not once the
        // layout and the title that follow are done.
        axNavigatePending(hostWindow);
        SetTimer(hostWindow, reinterpret_cast<UINT_PTR>(this), searchPeriodMs, findFlashWindow);
        screenshotHotKey = static_cast<std::uint16_t>(Settings::instance()->screenshotKey & 0xFFFF);
        ShowWindow(hostWindow, SW_SHOW);
    } catch (...) {
        // No destructor runs for a half-made host: undo here what exists.
        release();
        throw;
    }
}

BrowserHost::~BrowserHost()
{
    release();
}

// The order matters: the events are cut before the window (and with it the
// control) goes, so a dying page posts nothing more.
void BrowserHost::release() noexcept
{
    {
        // The hook must never find a table whose window is about to go.
        const std::lock_guard<std::mutex> lock(searchLock);
        ChatMacros::current.store(nullptr);
        chatMacros.reset();
    }
    if (hostWindow)
        KillTimer(hostWindow, reinterpret_cast<UINT_PTR>(this));
    browser.reset();
    if (hostWindow)
        DestroyWindow(hostWindow);
    hostWindow = nullptr;
    if (current == this)
        current = nullptr;
}

std::wstring BrowserHost::locationUrl() const
{
    return browser ? browser->locationUrl() : std::wstring();
}

HWND BrowserHost::flashWindow()
{
    if (!flashWindowHandle.load())
        findFlashWindow(nullptr, 0, reinterpret_cast<UINT_PTR>(this), 0);
    return flashWindowHandle.load();
}

bool BrowserHost::isBattleLoaded()
{
    // GetDC of no window is the whole screen's, where a white desktop would
    // pass for a loaded battle.
    const HWND player = flashWindow();
    if (!player)
        return false;
    const Gui::ClientDc dc(player);
    return GetPixel(dc.get(), areaWidth.load() - loadedMarkFromRight, areaHeight.load() - loadedMarkFromBottom) ==
           white;
}
