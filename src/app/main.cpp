// Process entry: the start-up steps, the message loop and the teardown, in
// that fixed order.
#include <windows.h>
#include <objbase.h>

#include "app/application.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "base/constants.h"
#include "browser/ax_host.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    Application app;
    Application::current = &app;
    app.instance = instance;
    replaceOldExecutable();
    app.gameAddress = std::make_unique<GameAddress>(commandLine);
    app.windowTitle = std::make_unique<WindowTitle>(commandLine);
    // The browser control needs a single-threaded apartment.
    CoInitialize(nullptr);
    AtlAxWinInit();
    if (!createMainWindow(app))
        return 0;
    app.keyboardHook = std::make_unique<KeyboardHook>();
    // Before any page is requested, so every request carries the new agent.
    patchUserAgent();

    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    for (auto& server : app.serverButtons)
        server.reset();
    UnregisterClassW(productName, instance);
    // The clicker reads the browser host: it stops before the host goes.
    app.clickerThread.reset();
    // No interface of the browser control may be released after COM is gone.
    app.browserHost.reset();
    CoUninitialize();
    app.keyboardHook.reset();
    app.mouseHook.reset();
    app.screenshotThread.reset();
    app.windowTitle.reset();

    app.gameAddress.reset();
    app.aboutWindow.reset();
    app.rightClicker.reset();
    app.leftClicker.reset();
    app.fullScreenButton.reset();
    app.clickRightButton.reset();
    app.clickLeftButton.reset();
    app.serverButtons.clear();
    app.openUrlButton.reset();
    app.getUrlButton.reset();
    Application::current = nullptr;
    return static_cast<int>(msg.wParam);
}
