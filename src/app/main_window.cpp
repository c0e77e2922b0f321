#include "app/main_window.h"

#include <memory>
#include <optional>

#include "app/application.h"
#include "app/notices.h"
#include "app/server_bar.h"
#include "app/startup.h"
#include "base/constants.h"
#include "base/desk.h"
#include "base/text.h"
#include "browser/browser_event.h"
#include "resource.h"
#include "settings/settings.h"

namespace {

// Posted to itself by the clipboard watch: the clipboard is read outside
// WM_DRAWCLIPBOARD, where a nested notification could close it under us.
constexpr UINT WM_READ_CLIPBOARD = WM_APP + 1;

// Reads again a clipboard that another program held open.
constexpr UINT_PTR clipboardReadTimer = 1;
constexpr UINT clipboardReadPeriodMs = 100;

Application& applicationOf(HWND window)
{
    return *reinterpret_cast<Application*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT onCreate(Application& app, HWND window)
{
    app.mainWindow = window;
    if (!createChildControls(app))
        return -1;
    app.clipboardViewer = std::make_unique<ClipboardViewer>(window);
    return 0;
}

void watchClipboard(Application& app, bool readLaterIfHeld);

void onDestroy(Application& app)
{
    Settings::instance()->save();
    KillTimer(app.mainWindow, clipboardReadTimer);
    if (app.clipboardViewer) {
        // The viewer leaves from its slot: a chain message that arrives while
        // the others are told of it still finds it there.
        app.clipboardViewer->leave();
        // A notice still held, or one that came meanwhile, is watched once
        // more and passed on, so the chain after ours hears of the last change.
        if (app.clipboardViewer->noticeHeld())
            watchClipboard(app, false);
        app.clipboardViewer.reset();
    }
    PostQuitMessage(0);
}

// A battle address with the program's label, whoever copied it, is put back
// on the clipboard in its public form before the viewers after ours hear of
// the change: none of them ever sees the label. A change is taken only once
// its text was read; while another program holds the clipboard open, the
// notice waits for a later read, a bounded number of times. After a rewrite
// the notice goes on at once, since a viewer ahead of ours may swallow the
// rewrite's own.
void watchClipboard(Application& app, bool readLaterIfHeld)
{
    ClipboardViewer& viewer = *app.clipboardViewer;
    if (const std::optional<DWORD> change = viewer.newChange()) {
        const std::optional<std::wstring> text = viewer.getText();
        if (text) {
            viewer.takeChange(*change);
            const std::wstring publicForm = app.gameAddress->withoutSubdomain(*text);
            if (publicForm != *text && viewer.setText(publicForm, ClipboardViewer::Record::notAgain))
                viewer.markSeen();
        } else if (readLaterIfHeld && viewer.countBusyRead()) {
            SetTimer(app.mainWindow, clipboardReadTimer, clipboardReadPeriodMs, nullptr);
            return;
        }
    }
    viewer.passNoticeOn();
}

std::unique_ptr<Gui::AboutWindow> makeAboutWindow(Application& app)
{
    return std::make_unique<Gui::AboutWindow>(app.mainWindow, inclusiveRect(aboutWindowArea(app)),
                                              [&app] { showSettings(app); });
}

// Only an event that the live page's sink posted and still holds counts: one
// of a page since replaced, or a message another program made up, changes
// nothing.
void onBrowserEvent(Application& app, WPARAM id, LPARAM number)
{
    const std::optional<std::wstring> address = takeBrowserEvent(id, number);
    if (!address || !app.browserHost)
        return;
    // The front page is that of the settings' label, also when the command
    // line gave another one.
    const bool failed = id == static_cast<WPARAM>(browserEventNavigateError);
    if (failed || isSiteFrontPage(*address, Settings::instance()->siteSubdomain))
        openGameAddress(app, {});
}

// Only a report of the thread in a slot empties that slot: a report that
// names no thread held (one already stopped and destroyed) changes nothing,
// and never ends a screenshot that is still being saved. The screenshot
// worker ends by itself only when it could not be made or cannot wait for
// work; the next press makes another.
void onThreadFinished(Application& app, WPARAM thread, LPARAM serial)
{
    if (app.clickerThread && app.clickerThread->reported(thread, serial))
        onClickerFinished(app);
    else if (app.screenshotThread && app.screenshotThread->reported(thread, serial))
        app.screenshotThread.reset();
}

}  // namespace

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
    // Read before the window exists: its first sizes and moves store the
    // state it is created in.
    const std::uint32_t startFlags = settings.windowFlags;
    // A rectangle off every monitor that exists now gives the default, in
    // the primary's work area.
    const std::vector<MonitorAreas> desk = deskMonitors();
    const WindowGeometry g = framedWindowGeometry(settings.windowRect, desk, primaryWorkArea(desk));
    app.mainWindow = CreateWindowExW(0, productName, app.windowTitle->title().c_str(), mainWindowStyle, g.x, g.y,
                                     g.width, g.height, nullptr, nullptr, app.instance, &app);
    if (!app.mainWindow)
        return false;

    ShowWindow(app.mainWindow, (startFlags & Settings::maximised) ? SW_MAXIMIZE : SW_SHOW);
    UpdateWindow(app.mainWindow);
    SetForegroundWindow(app.mainWindow);
    // The switch itself happens when the loop handles the posted click.
    if (startFlags & Settings::fullScreen)
        app.fullScreenButton->click();
    return true;
}

bool createChildControls(Application& app)
{
    HWND main = app.mainWindow;
    app.getUrlButton = std::make_unique<Gui::Button>(main, RECT{5, 5, 4, 24}, loadResourceString(IDS_GET_URL), 1000,
                                                     false);
    app.getUrlButton->setEnabled(false);
    const int openUrlLeft = 5 + app.getUrlButton->width() + 2;
    app.openUrlButton = std::make_unique<Gui::Button>(main, RECT{openUrlLeft, 5, openUrlLeft - 1, 24},
                                                      loadResourceString(IDS_OPEN_URL), 1001, false);
    app.openUrlButton->setEnabled(hasFlashSharedObjects(app.gameAddress->siteHost()));
    app.clickLeftButton = std::make_unique<Gui::Button>(main, RECT{0, 0, -1, 19}, loadResourceString(IDS_CLICK_LEFT),
                                                        1003, true);
    app.clickLeftButton->setEnabled(false);
    app.clickRightButton = std::make_unique<Gui::Button>(main, RECT{0, 0, -1, 19},
                                                         loadResourceString(IDS_CLICK_RIGHT), 1004, true);
    app.clickRightButton->setEnabled(false);
    app.fullScreenButton = std::make_unique<Gui::Button>(main, RECT{0, 0, 19, 19}, L"+", 1005, true);
    updateServerButtons(app);
    app.aboutWindow = makeAboutWindow(app);
    layoutMainWindow(app);
    return true;
}

void onCommand(Application& app, Gui::Button* button)
{
    if (!button)
        return;
    if (button == app.fullScreenButton.get()) {
        toggleFullScreen(app);
    } else if (button == app.clickLeftButton.get() || button == app.clickRightButton.get()) {
        onClickButton(app, button);
    } else if (button == app.getUrlButton.get()) {
        if (app.browserHost) {
            // The page's address goes on the clipboard in its public form
            // straight away, rather than as shown and then rewritten by the
            // watch: a clipboard history or monitor outside the viewer chain
            // would record the labelled form in between.
            const std::wstring address = app.browserHost->locationUrl();
            if (!address.empty())
                app.clipboardViewer->setText(app.gameAddress->withoutSubdomain(address));
        }
    } else if (button == app.openUrlButton.get()) {
        const std::wstring address = app.gameAddress->withSubdomain(app.clipboardViewer->getText().value_or(L""));
        // Only the game's own pages open inside the game window.
        if (!app.gameAddress->isOwnBattleUrl(address))
            return;
        const std::int32_t server = battleServerNumber(address);
        if (server < 1 || static_cast<std::uint32_t>(server) > Settings::instance()->serverButtonCount ||
            static_cast<std::size_t>(server) > app.serverButtons.size())
            return;
        selectServerButton(app, app.serverButtons[server - 1].get());
        openGameAddress(app, address);
    } else {
        for (const auto& server : app.serverButtons)
            if (server.get() == button)
                return onServerButton(app, button);
    }
}

void onServerButton(Application& app, Gui::Button* button)
{
    if (button != app.selectedServerButton)
        selectServerButton(app, button);
    openGameAddress(app, app.gameAddress->battleServerUrl(button->id()));
}

void openGameAddress(Application& app, const std::wstring& address)
{
    stopClicking(app);
    app.openUrlButton->setEnabled(true);
    SendMessageW(app.mainWindow, WM_ACTIVATE, WA_CLICKACTIVE, reinterpret_cast<LPARAM>(app.mainWindow));
    std::int32_t server = -1;
    if (address.empty()) {
        app.browserHost.reset();
        if (!app.aboutWindow)
            app.aboutWindow = makeAboutWindow(app);
        if (app.selectedServerButton)
            app.selectedServerButton->setChecked(false);
        app.selectedServerButton = nullptr;
    } else {
        app.aboutWindow.reset();
        app.browserHost.reset();
        try {
            const std::optional<BarLayout> bar = mainWindowBar(app, app.serverButtons.size());
            app.browserHost = std::make_unique<BrowserHost>(app.mainWindow, address, bar ? bar->browserArea : Box{});
        } catch (const std::wstring& failure) {
            MessageBoxW(app.mainWindow, failure.c_str(), productName, MB_ICONERROR);
        }
        server = battleServerNumber(address);
    }
    // Without a page there is nothing to copy or click; a clicker button left
    // enabled would light up with nothing behind it.
    const bool hasPage = app.browserHost != nullptr;
    app.getUrlButton->setEnabled(hasPage);
    app.clickLeftButton->setEnabled(hasPage);
    app.clickRightButton->setEnabled(hasPage);
    SetWindowTextW(app.mainWindow, app.windowTitle->format(server).c_str());
    layoutMainWindow(app);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        break;
    case WM_CREATE:
        return onCreate(applicationOf(window), window);
    case WM_DESTROY:
        onDestroy(applicationOf(window));
        return 0;
    case WM_SIZE:
        // A minimised window has no client area to lay out; the clicker
        // goes on with the browser area it had.
        if (wParam != SIZE_MINIMIZED)
            layoutMainWindow(applicationOf(window));
        [[fallthrough]];
    case WM_MOVE:
        storeWindowPlacement(*Settings::instance(), window);
        return 0;
    case WM_GETMINMAXINFO: {
        const WindowSize minimum = minimumWindowSize();
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {minimum.width, minimum.height};
        return 0;
    }
    case WM_COMMAND:
        onCommand(applicationOf(window), reinterpret_cast<Gui::Button*>(lParam));
        return 0;
    case WM_DRAWCLIPBOARD:
        // The one sent from inside SetClipboardViewer finds no viewer yet,
        // and there is no one to pass it on to.
        if (applicationOf(window).clipboardViewer)
            applicationOf(window).clipboardViewer->onDrawClipboard();
        PostMessageW(window, WM_READ_CLIPBOARD, 0, 0);
        return 0;
    case WM_READ_CLIPBOARD:
        if (applicationOf(window).clipboardViewer)
            watchClipboard(applicationOf(window), true);
        return 0;
    case WM_TIMER:
        if (wParam != clipboardReadTimer)
            break;
        KillTimer(window, clipboardReadTimer);
        if (applicationOf(window).clipboardViewer)
            watchClipboard(applicationOf(window), true);
        return 0;
    case WM_CHANGECBCHAIN:
        if (applicationOf(window).clipboardViewer)
            applicationOf(window).clipboardViewer->onChangeChain(wParam, lParam);
        return 0;
    case WM_BROWSER_EVENT:
        onBrowserEvent(applicationOf(window), wParam, lParam);
        return 0;
    case WM_THREAD_FINISHED:
        onThreadFinished(applicationOf(window), wParam, lParam);
        return 0;
    case WM_SCREENSHOT_TAKEN:
        // The worker is free for the next press; a report of no shot
        // awaited changes nothing.
        if (applicationOf(window).screenshotThread)
            applicationOf(window).screenshotThread->taken(wParam, lParam);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
