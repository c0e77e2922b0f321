// The auto-clicker: a worker that keeps clicking one or two spots of the
// game's player window until the battle has loaded, and the small overlays
// that mark those spots with a "Clicking..." stop button.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "base/layout.h"
#include "gui/button.h"
#include "input/thread.h"

// What the clicker clicks, given by whoever starts it: the player window
// (null until found) and the size of the area it fills, read afresh at
// every pass; one more search for the player window; the loaded-battle
// test. All of it outlives the clicker.
struct ClickTarget {
    std::atomic<HWND>& flashWindowHandle;
    std::atomic<std::int32_t>& areaWidth;
    std::atomic<std::int32_t>& areaHeight;
    std::function<void()> search;
    std::function<bool()> isBattleLoaded;
};

class ClickerThread final : public Thread {
public:
    // battleLoaded is set when the worker saw the battle load; the
    // user-interface thread reads and clears it after the end report.
    ClickerThread(HWND notifyWindow, std::atomic<bool>& battleLoaded, ClickTarget target);
    ~ClickerThread() override;

    std::atomic<bool> clickLeft{false};
    std::atomic<bool> clickRight{false};

protected:
    void run() override;

private:
    std::atomic<bool>& battleLoaded_;
    const ClickTarget target_;
};

class ClickerWindow {
public:
    // An overlay inside the player window at `box`; its stop button clicks
    // `owner` as the user would. Without a player window there is no overlay.
    ClickerWindow(Gui::Button& owner, HWND playerWindow, const Box& box);
    ~ClickerWindow();
    ClickerWindow(const ClickerWindow&) = delete;
    ClickerWindow& operator=(const ClickerWindow&) = delete;

    HWND hwnd() const noexcept { return window_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    Gui::Button& owner_;
    HWND window_ = nullptr;
    std::unique_ptr<Gui::Button> stopButton_;
};
