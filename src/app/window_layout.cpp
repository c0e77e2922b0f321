// Placing the main window on the monitors and its children in it,
// full-screen mode and the top bar.
#include "app/application.h"
#include "app/main_window.h"
#include "base/constants.h"
#include "base/desk.h"
#include "base/layout.h"
#include "base/placement.h"
#include "settings/settings.h"

namespace {

// One mouse hook per process, whatever the number of holders.
HHOOK mouseHookHandle = nullptr;

void place(HWND window, const Box& box)
{
    MoveWindow(window, box.x, box.y, box.width, box.height, TRUE);
}

// The main window's frame around a client area at (0, 0): its top is minus
// the caption band, the frame's top edge and the caption.
const RECT& mainWindowFrame()
{
    static const RECT frame = [] {
        RECT r = {0, 0, 0, 0};
        AdjustWindowRectEx(&r, mainWindowStyle, FALSE, 0);
        return r;
    }();
    return frame;
}

}  // namespace

WindowSize minimumWindowSize()
{
    const RECT& frame = mainWindowFrame();
    return {frame.right - frame.left + minimumClientWidth, frame.bottom - frame.top + minimumClientHeight};
}

WindowGeometry framedWindowGeometry(const WindowRect& stored, const std::vector<MonitorAreas>& desk,
                                    const ScreenRect& fallbackWork)
{
    const WindowSize minimum = minimumWindowSize();
    const WindowLimits limits{minimum.width, minimum.height, GetSystemMetrics(SM_CXMAXTRACK),
                              GetSystemMetrics(SM_CYMAXTRACK), static_cast<int>(-mainWindowFrame().top)};
    return usableWindowGeometry(stored, limits, desk, fallbackWork);
}

void storeWindowPlacement(Settings& settings, HWND window)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return;
    // The monitors matter only to a maximised window, whose normal rectangle
    // may have to follow it; a drag moves the window many times a second.
    const bool maximised = IsZoomed(window) != FALSE;
    const RememberedWindow now = placementAfterChange({settings.windowFlags, settings.windowRect},
                                                      IsIconic(window) != FALSE, maximised,
                                                      {rect.left, rect.top, rect.right, rect.bottom},
                                                      maximised ? deskMonitors() : std::vector<MonitorAreas>());
    settings.windowFlags = now.flags;
    settings.windowRect = now.rect;
}

MouseHook::MouseHook()
{
    if (mouseHookHandle)
        return;
    handle_ = SetWindowsHookExW(WH_MOUSE, topEdgeMouseProc, nullptr, GetCurrentThreadId());
    mouseHookHandle = handle_;
}

MouseHook::~MouseHook()
{
    if (!handle_)
        return;
    UnhookWindowsHookEx(handle_);
    mouseHookHandle = nullptr;
}

std::optional<BarLayout> mainWindowBar(const Application& app, std::size_t serverCount)
{
    if (!app.fullScreenButton || !app.clickRightButton || !app.clickLeftButton || !app.openUrlButton)
        return std::nullopt;
    RECT client;
    GetClientRect(app.mainWindow, &client);
    BarMeasures m;
    m.clientLeft = client.left;
    m.clientTop = client.top;
    m.clientRight = client.right;
    m.clientBottom = client.bottom;
    m.topBarShown = app.isTopBarShown;
    m.fullScreenWidth = app.fullScreenButton->width();
    m.clickRightWidth = app.clickRightButton->width();
    m.clickLeftWidth = app.clickLeftButton->width();
    m.openUrlX = app.openUrlButton->x();
    m.openUrlWidth = app.openUrlButton->width();
    m.serverCount = static_cast<int>(serverCount);
    return layoutBar(m);
}

Box aboutWindowArea(const Application& app)
{
    RECT client;
    GetClientRect(app.mainWindow, &client);
    return aboutWindowBox(client.left, client.top, client.right, client.bottom);
}

RECT inclusiveRect(const Box& box)
{
    return {box.x, box.y, box.x + box.width - 1, box.y + box.height - 1};
}

void layoutMainWindow(Application& app)
{
    // WM_SIZE can come before the controls exist.
    const std::optional<BarLayout> bar = mainWindowBar(app, app.serverButtons.size());
    if (!bar)
        return;
    const BarLayout& l = *bar;

    const auto moveButton = [](Gui::Button& button, const Box& box) { button.move(box.x, box.y, box.width, box.height); };
    moveButton(*app.fullScreenButton, l.fullScreenButton);
    moveButton(*app.clickRightButton, l.clickRightButton);
    moveButton(*app.clickLeftButton, l.clickLeftButton);
    for (std::size_t i = 0; i < app.serverButtons.size(); ++i)
        moveButton(*app.serverButtons[i], l.serverButtons[i]);
    if (app.browserHost) {
        app.browserHost->areaWidth = l.browserArea.width;
        app.browserHost->areaHeight = l.browserArea.height;
        place(app.browserHost->hostWindow, l.browserArea);
    }
    if (app.browserHost) {
        const int w = app.browserHost->areaWidth, h = app.browserHost->areaHeight;
        if (app.leftClicker && app.leftClicker->hwnd())
            place(app.leftClicker->hwnd(), leftOverlayBox(w, h));
        if (app.rightClicker && app.rightClicker->hwnd())
            place(app.rightClicker->hwnd(), rightOverlayBox(w, h));
    }
    if (app.aboutWindow && app.aboutWindow->hwnd())
        place(app.aboutWindow->hwnd(), aboutWindowArea(app));
    // Each move has invalidated what it uncovered; the windows that stayed
    // put keep their pixels and are not painted again.
}

// Full screen covers the monitor the window is on, and leaving it stays
// there.
void toggleFullScreen(Application& app)
{
    Settings& settings = *Settings::instance();
    const auto style = static_cast<std::uint32_t>(GetWindowLongPtrW(app.mainWindow, GWL_STYLE));
    const MonitorAreas monitor = monitorOfWindow(app.mainWindow);
    WindowGeometry g;
    if (app.isFullScreen) {
        app.mouseHook.reset();
        settings.windowFlags &= ~static_cast<std::uint32_t>(Settings::fullScreen);
        SetWindowLongPtrW(app.mainWindow, GWL_STYLE, static_cast<LONG_PTR>(framedStyle(style)));
        if (settings.windowFlags & Settings::maximised)
            g = maximisedFramedGeometry(monitor);
        else
            // The stored rectangle passes the start-up rule first: one off
            // every monitor, or an older build's minimised position, would
            // leave the window where no one can see it.
            g = framedWindowGeometry(settings.windowRect, deskMonitors(), monitor.work);
    } else {
        app.mouseHook = std::make_unique<MouseHook>();
        // Leaving comes back to the normal rectangle, never a minimised one.
        // At start the saved fullScreen bit is still set, and the rectangle
        // the window was created with must be stored all the same.
        settings.windowFlags &= ~static_cast<std::uint32_t>(Settings::fullScreen);
        storeWindowPlacement(settings, app.mainWindow);
        settings.windowFlags |= Settings::fullScreen;
        SetWindowLongPtrW(app.mainWindow, GWL_STYLE, static_cast<LONG_PTR>(fullScreenStyle(style)));
        g = fullScreenGeometry(monitor);
    }
    SetWindowPos(app.mainWindow, nullptr, g.x, g.y, g.width, g.height, SWP_FRAMECHANGED | SWP_NOZORDER);
    app.isFullScreen = !app.isFullScreen;
    layoutMainWindow(app);
    app.fullScreenButton->setChecked(app.isFullScreen);
}

void toggleTopBar(Application& app)
{
    if (!app.browserHost)
        return;
    app.isTopBarShown = !app.isTopBarShown;
    layoutMainWindow(app);
}

LRESULT CALLBACK topEdgeMouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    // The top row of the monitor the window fills, which is y = 0 only on
    // the primary and the monitors beside it.
    if (code == HC_ACTION && wParam == WM_LBUTTONDOWN && Application::current &&
        Application::current->browserHost) {
        const POINT pt = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->pt;
        if (isTopEdgeClick(pt.x, pt.y, monitorOfWindow(Application::current->mainWindow).area))
            toggleTopBar(*Application::current);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
