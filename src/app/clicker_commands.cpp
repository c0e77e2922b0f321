// "Click Left" and "Click Right": turning the clicker's targets on and off.
#include "app/application.h"
#include "app/main_window.h"
#include "app/notices.h"

namespace {

// The clicker clicks the page's player. The user-interface thread stops it
// before it replaces or closes the page, so the host outlives it.
ClickTarget clickTargetOf(BrowserHost& host)
{
    return {host.flashWindowHandle, host.areaWidth, host.areaHeight,
            [page = &host] { findFlashWindow(nullptr, 0, reinterpret_cast<UINT_PTR>(page), 0); },
            [page = &host] { return page->isBattleLoaded(); }};
}

}  // namespace

void onClickButton(Application& app, Gui::Button* button)
{
    if (!app.browserHost)
        return;
    const bool left = button == app.clickLeftButton.get();
    std::unique_ptr<ClickerWindow>& overlay = left ? app.leftClicker : app.rightClicker;
    overlay.reset();
    if (button->checked()) {
        if (app.browserHost->isBattleLoaded()) {
            button->setChecked(false);
            return;
        }
        const HWND player = app.browserHost->flashWindow();
        const int w = app.browserHost->areaWidth, h = app.browserHost->areaHeight;
        overlay = std::make_unique<ClickerWindow>(*button, player, left ? leftOverlayBox(w, h) : rightOverlayBox(w, h));
        if (!app.clickerThread) {
            app.clickerThread =
                std::make_unique<ClickerThread>(app.mainWindow, app.battleLoaded, clickTargetOf(*app.browserHost));
            app.clickerThread->start();
        }
    }
    if (!app.clickerThread)
        return;
    (left ? app.clickerThread->clickLeft : app.clickerThread->clickRight) = button->checked();
    if (!app.clickerThread->clickLeft && !app.clickerThread->clickRight)
        app.clickerThread.reset();
}

void onClickerFinished(Application& app)
{
    app.clickLeftButton->setChecked(false);
    app.clickRightButton->setChecked(false);
    app.leftClicker.reset();
    app.rightClicker.reset();
    app.clickerThread.reset();
    if (app.battleLoaded.exchange(false))
        showBattleLoadedNotice(app.mainWindow);
}

void stopClicking(Application& app)
{
    app.clickerThread.reset();
    app.leftClicker.reset();
    app.rightClicker.reset();
    app.clickLeftButton->setChecked(false);
    app.clickRightButton->setChecked(false);
}
