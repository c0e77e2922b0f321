// Placing the main window's children, full-screen mode and the top bar.
#include "app/application.h"
#include "app/main_window.h"
#include "base/layout.h"
#include "settings/settings.h"

namespace {

// One mouse hook per process, whatever the number of holders.
HHOOK mouseHookHandle = nullptr;

void place(HWND window, const Box& box)
{
    MoveWindow(window, box.x, box.y, box.width, box.height, TRUE);
}

}  // namespace

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

void layoutMainWindow(Application& app)
{
    // WM_SIZE can come before the controls exist.
    if (!app.fullScreenButton || !app.clickRightButton || !app.clickLeftButton || !app.openUrlButton)
        return;
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
    m.serverCount = static_cast<int>(app.serverButtons.size());
    const BarLayout l = layoutBar(m);

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
    if (app.aboutWindow && app.aboutWindow->hwnd()) {
        GetClientRect(app.mainWindow, &client);
        place(app.aboutWindow->hwnd(), aboutWindowBox(client.left, client.top, client.right, client.bottom));
    }
    // Each move has invalidated what it uncovered; the windows that stayed
    // put keep their pixels and are not painted again.
}

void toggleFullScreen(Application& app)
{
    Settings& settings = *Settings::instance();
    const auto style = static_cast<std::uint32_t>(GetWindowLongPtrW(app.mainWindow, GWL_STYLE));
    int x = 0, y = 0, width = 0, height = 0;
    if (app.isFullScreen) {
        app.mouseHook.reset();
        settings.windowFlags &= ~static_cast<std::uint32_t>(Settings::fullScreen);
        SetWindowLongPtrW(app.mainWindow, GWL_STYLE, static_cast<LONG_PTR>(framedStyle(style)));
        if (settings.windowFlags & Settings::maximised) {
            width = GetSystemMetrics(SM_CXFULLSCREEN);
            height = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION);
        } else {
            const WindowRect& r = settings.windowRect;
            x = r.left;
            y = r.top;
            width = r.right - r.left;
            height = r.bottom - r.top;
        }
    } else {
        app.mouseHook = std::make_unique<MouseHook>();
        // Leaving comes back to the normal rectangle, never a minimised one.
        storeWindowPlacement(app.mainWindow);
        settings.windowFlags |= Settings::fullScreen;
        SetWindowLongPtrW(app.mainWindow, GWL_STYLE, static_cast<LONG_PTR>(fullScreenStyle(style)));
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    SetWindowPos(app.mainWindow, nullptr, x, y, width, height, SWP_FRAMECHANGED | SWP_NOZORDER);
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
    if (code == HC_ACTION && wParam == WM_LBUTTONDOWN && reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->pt.y == 0 &&
        Application::current && Application::current->browserHost)
        toggleTopBar(*Application::current);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
