// The main window: its class, creation and window procedure.
#pragma once
#include <windows.h>

struct Application;

struct WindowSize {
    int width = 0;
    int height = 0;
};

// Registers the class "Zelvara" and shows the window where the settings
// remember it. False when either step fails.
bool createMainWindow(Application& app);

// The outer size of a main window whose client area is the minimum 1000 x 630.
WindowSize minimumWindowSize();

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
