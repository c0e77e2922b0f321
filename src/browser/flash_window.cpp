#include "browser/browser_host.h"

#include "input/chat_macros.h"

namespace {

HWND firstChild(HWND parent)
{
    return parent ? FindWindowExW(parent, nullptr, nullptr, nullptr) : nullptr;
}

// The page's windowed plug-ins live under the control's third window down:
// "Shell Embedding" > "Shell DocObject View" > "Internet Explorer_Server".
HWND pluginParent(HWND container)
{
    return firstChild(firstChild(firstChild(container)));
}

bool isOnePixel(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return client.right == 1 || client.bottom == 1;
}

}  // namespace

void CALLBACK findFlashWindow(HWND, UINT, UINT_PTR hostId, DWORD)
{
    auto* host = reinterpret_cast<BrowserHost*>(hostId);
    const std::lock_guard<std::mutex> lock(host->searchLock);
    // The host's own container: there is one host at a time, and the host
    // named outlives every call made for it.
    if (const HWND plugins = pluginParent(host->hostWindow)) {
        for (HWND child = firstChild(plugins); child; child = FindWindowExW(plugins, child, nullptr, nullptr)) {
            if (isOnePixel(child)) {
                host->searchTicksLeft = 0;
                // The window belongs to the interface thread, which may be
                // blocked on the worker calling here: hide without waiting.
                ShowWindowAsync(child, SW_HIDE);
            } else {
                // Built before it is published; the table replaced stays
                // alive for as long as a reader holds it.
                auto macros = std::make_shared<ChatMacros>(child, host->chatMessages);
                host->flashWindowHandle.store(child);
                host->chatMacros = macros;
                ChatMacros::current.store(std::move(macros));
            }
        }
        // KillTimer neither sends nor waits, so it is safe from the worker too.
        if (host->searchTicksLeft <= 0)
            KillTimer(host->hostWindow, hostId);
    }
    // Every call counts as a tick, whatever it finds.
    --host->searchTicksLeft;
}
