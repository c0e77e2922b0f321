#include "app/take_screenshot.h"

#include <memory>

#include "app/application.h"
#include "settings/settings.h"

void takeScreenshot(Application& app)
{
    BrowserHost* host = app.browserHost.get();
    if (!host)
        return;
    if (!host->flashWindowHandle)
        findFlashWindow(nullptr, 0, reinterpret_cast<UINT_PTR>(host), 0);
    const HWND flashWindow = host->flashWindowHandle;
    if (!flashWindow || (app.screenshotThread && app.screenshotThread->busy()))
        return;
    if (!app.screenshotThread) {
        app.screenshotThread = std::make_unique<ScreenshoterThread>(app.mainWindow);
        app.screenshotThread->start();
    }
    const Settings& settings = *Settings::instance();
    app.screenshotThread->take({flashWindow, settings.screenshotFolder, settings.dateFormat, settings.timeFormat,
                                settings.imageFormat, settings.jpegQuality, settings.beepOnSave});
}
