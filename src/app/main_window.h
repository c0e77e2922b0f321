// The main window: its class, creation, window procedure and commands, the
// layout of its children, full-screen mode and the battle-server bar. The
// functions work on the one Application.
#pragma once
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/layout.h"
#include "settings/settings.h"

struct Application;
namespace Gui {
class Button;
}

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

bool createChildControls(Application& app);
void onCommand(Application& app, Gui::Button* button);
// Opens a game page in a fresh browser host, or closes the game when the
// address is empty.
void openGameAddress(Application& app, const std::wstring& address);
void stopClicking(Application& app);
void onClickButton(Application& app, Gui::Button* button);
void onClickerFinished(Application& app);

// Where the framed main window goes on `desk` (the monitors now): the stored
// rectangle as the system will create it, when a player can take its
// caption on a monitor; otherwise the smallest window placed in
// `fallbackWork` (see usableWindowGeometry).
WindowGeometry framedWindowGeometry(const WindowRect& stored, const std::vector<MonitorAreas>& desk,
                                    const ScreenRect& fallbackWork);

// Keeps in the settings the maximised flag and the normal rectangle as the
// window really is, after a move or a resize: see placementAfterChange.
void storeWindowPlacement(Settings& settings, HWND window);

void layoutMainWindow(Application& app);
// Where the layout puts the bar's buttons with `serverCount` server buttons
// (once the buttons at its ends exist) and the About view. The server
// buttons and the About view are made there rather than moved there.
std::optional<BarLayout> mainWindowBar(const Application& app, std::size_t serverCount);
Box aboutWindowArea(const Application& app);
// A box as a rectangle with its right and bottom inclusive.
RECT inclusiveRect(const Box& box);
void toggleFullScreen(Application& app);
void toggleTopBar(Application& app);
LRESULT CALLBACK topEdgeMouseProc(int code, WPARAM wParam, LPARAM lParam);

void onServerButton(Application& app, Gui::Button* button);

void showSettings(Application& app);
