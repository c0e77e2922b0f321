// The process-wide objects, each in its one owner slot. wWinMain owns the
// one Application and tears it down in the documented order; the hook
// procedures, which get no context of their own, reach it through `current`.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "address/game_address.h"
#include "app/clipboard_viewer.h"
#include "app/window_title.h"
#include "browser/browser_host.h"
#include "gui/about_window.h"
#include "gui/button.h"
#include "input/clicker.h"
#include "input/keyboard_hook.h"
#include "screenshot/screenshoter_thread.h"

// Holds the full-screen mode's mouse hook while it lives.
class MouseHook {
public:
    MouseHook();
    ~MouseHook();
    MouseHook(const MouseHook&) = delete;
    MouseHook& operator=(const MouseHook&) = delete;

private:
    HHOOK handle_ = nullptr;
};

struct Application {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    std::unique_ptr<GameAddress> gameAddress;
    std::unique_ptr<WindowTitle> windowTitle;
    std::unique_ptr<KeyboardHook> keyboardHook;
    std::unique_ptr<MouseHook> mouseHook;

    std::unique_ptr<Gui::Button> getUrlButton;
    std::unique_ptr<Gui::Button> openUrlButton;
    std::unique_ptr<Gui::Button> clickLeftButton;
    std::unique_ptr<Gui::Button> clickRightButton;
    std::unique_ptr<Gui::Button> fullScreenButton;
    std::vector<std::unique_ptr<Gui::Button>> serverButtons;
    Gui::Button* selectedServerButton = nullptr;

    std::unique_ptr<BrowserHost> browserHost;
    std::unique_ptr<Gui::AboutWindow> aboutWindow;
    std::unique_ptr<ClipboardViewer> clipboardViewer;
    std::unique_ptr<ScreenshoterThread> screenshotThread;

    std::unique_ptr<ClickerThread> clickerThread;
    std::unique_ptr<ClickerWindow> leftClicker;
    std::unique_ptr<ClickerWindow> rightClicker;
    std::atomic<bool> battleLoaded{false};

    bool isFullScreen = false;
    bool isTopBarShown = true;

    static inline Application* current = nullptr;
};
