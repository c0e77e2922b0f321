// The process-wide objects, each in its one owner slot. wWinMain owns the
// one Application and tears it down in the documented order.
#pragma once
#include <windows.h>

#include <memory>

#include "address/game_address.h"
#include "app/window_title.h"
#include "input/keyboard_hook.h"

struct Application {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    std::unique_ptr<GameAddress> gameAddress;
    std::unique_ptr<WindowTitle> windowTitle;
    std::unique_ptr<KeyboardHook> keyboardHook;
};
