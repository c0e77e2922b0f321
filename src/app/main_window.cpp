#include "app/main_window.h"

#include "app/application.h"
#include "app/constants.h"
#include "app/startup.h"
#include "resource.h"
#include "settings/settings.h"

namespace {

Application& applicationOf(HWND window)
{
    return *reinterpret_cast<Application*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool windowPlacementIsFree()
{
    return Settings::instance()->windowFlags == 0;
}

LRESULT onSysCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    // The flag changes before the system acts, so the WM_SIZE of a maximise
    // never stores the maximised rectangle and that of a restore does.
    std::uint32_t& flags = Settings::instance()->windowFlags;
    switch (wParam & 0xFFF0) {
    case SC_MAXIMIZE: flags |= Settings::maximised; break;
    case SC_RESTORE: flags &= ~static_cast<std::uint32_t>(Settings::maximised); break;
    default: break;
    }
    return DefWindowProcW(window, WM_SYSCOMMAND, wParam, lParam);
}

}  // namespace

WindowSize minimumWindowSize()
{
    static WindowSize cached;
    if (cached.width == 0) {
        RECT frame = {0, 0, 0, 0};
        AdjustWindowRectEx(&frame, mainWindowStyle, FALSE, 0);
        cached = {frame.right - frame.left + minimumClientWidth, frame.bottom - frame.top + minimumClientHeight};
    }
    return cached;
}

bool createMainWindow(Application& app)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = app.instance;
    wc.hIcon = LoadIconW(app.instance, MAKEINTRESOURCEW(IDI_ZELVARA));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // The class owns its brush; unregistering the class deletes it.
    wc.hbrBackground = CreateSolidBrush(backgroundColour);
    wc.lpszClassName = productName;
    if (!RegisterClassExW(&wc))
        return false;

    const Settings& settings = *Settings::instance();
    const WindowSize minimum = minimumWindowSize();
    const WindowGeometry g = initialWindowGeometry(settings.windowRect, minimum.width, minimum.height,
                                                   GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    app.mainWindow = CreateWindowExW(0, productName, app.windowTitle->title().c_str(), mainWindowStyle, g.x, g.y,
                                     g.width, g.height, nullptr, nullptr, app.instance, &app);
    if (!app.mainWindow)
        return false;

    ShowWindow(app.mainWindow, (settings.windowFlags & Settings::maximised) ? SW_MAXIMIZE : SW_SHOW);
    UpdateWindow(app.mainWindow);
    SetForegroundWindow(app.mainWindow);
    return true;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        break;
    case WM_CREATE:
        applicationOf(window).mainWindow = window;
        return 0;
    case WM_DESTROY:
        Settings::instance()->save();
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        [[fallthrough]];
    case WM_MOVE:
        if (windowPlacementIsFree())
            Settings::instance()->storeWindowRect(window);
        return 0;
    case WM_GETMINMAXINFO: {
        const WindowSize minimum = minimumWindowSize();
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {minimum.width, minimum.height};
        return 0;
    }
    case WM_SYSCOMMAND:
        return onSysCommand(window, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
