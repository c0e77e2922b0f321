// The keyboard hook of the user-interface thread: F1 to F10 send chat
// macros, F11 switches full-screen mode, F12 the bar, and the chosen key
// takes a screenshot. Every other key passes on.
#include "app/application.h"
#include "app/main_window.h"
#include "app/take_screenshot.h"
#include "input/chat_macros.h"
#include "input/hot_keys.h"

LRESULT CALLBACK keyboardHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    Application* app = Application::current;
    const HotKeyAction action = decideHotKey(code, static_cast<std::uint32_t>(wParam),
                                             static_cast<std::uint32_t>(lParam), screenshotHotKey);
    if (!app || action == HotKeyAction::passOn)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    switch (action) {
    case HotKeyAction::chatMacro: sendChatMacro(static_cast<std::uint32_t>(wParam)); break;
    case HotKeyAction::toggleFullScreen: toggleFullScreen(*app); break;
    case HotKeyAction::toggleTopBar: toggleTopBar(*app); break;
    case HotKeyAction::screenshot: takeScreenshot(*app); break;
    default: break;
    }
    return 1;
}
