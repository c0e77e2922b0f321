#include "input/clicker.h"

#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "base/text.h"
#include "input/click_pacing.h"
#include "resource.h"
#include "settings/settings.h"

namespace {

constexpr wchar_t clickerClassName[] = L"Zelvara#Clicker";
constexpr DWORD waitStepMs = 50;
constexpr int passesPerPixelTest = 1000;

// Live overlays: the class lives as long as one of them.
int liveOverlays = 0;

LPARAM clickPosition(ClickPoint p)
{
    return static_cast<LPARAM>((p.x & 0xFFFF) | ((p.y & 0xFFFF) << 16));
}

void postClick(HWND player, ClickPoint p)
{
    PostMessageW(player, WM_LBUTTONDOWN, 0, clickPosition(p));
    PostMessageW(player, WM_LBUTTONUP, 0, clickPosition(p));
}

// Windows sleeps in ticks of about 15.6 ms unless asked for 1 ms, which
// would stretch a 10 ms period by half.
class FineTimer {
public:
    FineTimer() { timeBeginPeriod(1); }
    ~FineTimer() { timeEndPeriod(1); }
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;
};

ClickPacing::Time clockNow()
{
    return std::chrono::duration_cast<ClickPacing::Time>(std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace

ClickerThread::ClickerThread(HWND notifyWindow, std::atomic<bool>& battleLoaded, ClickTarget target)
    : Thread(notifyWindow), battleLoaded_(battleLoaded), target_(std::move(target))
{
}

ClickerThread::~ClickerThread()
{
    stopAndWait();
}

void ClickerThread::run()
{
    battleLoaded_ = false;
    const ClickTarget& target = target_;
    while (running && !target.flashWindowHandle) {
        target.search();
        if (target.flashWindowHandle || !pause(waitStepMs))
            break;
    }
    while (running && !clickLeft && !clickRight && pause(waitStepMs)) {
    }

    const FineTimer fineTimer;
    ClickPacing pacing(clockNow());
    for (int n = 0; running; ++n) {
        const HWND player = target.flashWindowHandle;
        const int w = target.areaWidth;
        const int h = target.areaHeight;
        if (clickLeft)
            postClick(player, leftClickTarget(w, h));
        if (clickRight)
            postClick(player, rightClickTarget(w, h));
        if (n % passesPerPixelTest == 0) {
            if (!target.flashWindowHandle)
                target.search();
            if (target.isBattleLoaded()) {
                battleLoaded_ = true;
                return;
            }
        }
        // The period is within the sheet's range once loaded; the bound keeps
        // even a value set in memory from blocking a stop. Each pass starts a
        // period after the one before started, rather than pausing a period
        // after each pass's clicks, which would add the work and the wake-up's
        // lateness to every period and give fewer clicks a second than set.
        const DWORD period = std::clamp<DWORD>(Settings::instance()->clicksPeriod.get(), 1, maximumClicksPeriod);
        if (!pacing.awaitNextPass(std::chrono::milliseconds(period), clockNow,
                                  [this](std::uint32_t ms) { return pause(ms); }))
            return;
    }
}

ClickerWindow::ClickerWindow(Gui::Button& owner, HWND playerWindow, const Box& box) : owner_(owner)
{
    if (liveOverlays++ == 0)
        Gui::registerBackgroundClass(clickerClassName, procedure);
    window_ = CreateWindowExW(0, clickerClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, box.x, box.y,
                              box.width, box.height, playerWindow, nullptr, GetModuleHandleW(nullptr), this);
    if (!window_)
        return;
    stopButton_ = std::make_unique<Gui::Button>(window_, RECT{5, 5, box.width - 6, box.height - 6},
                                                loadResourceString(IDS_CLICKING), 1, false);
    stopButton_->setChecked(true);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

ClickerWindow::~ClickerWindow()
{
    stopButton_.reset();
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (--liveOverlays == 0)
        UnregisterClassW(clickerClassName, GetModuleHandleW(nullptr));
}

LRESULT CALLBACK ClickerWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* overlay = reinterpret_cast<ClickerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_SIZE:
        if (overlay && overlay->stopButton_)
            overlay->stopButton_->move(5, 5, LOWORD(lParam) - 10, HIWORD(lParam) - 10);
        return 0;
    case WM_COMMAND:
        if (overlay)
            overlay->owner_.click();
        return 0;
    case WM_NCDESTROY:
        // The page may take the overlay with it before the object goes.
        if (overlay)
            overlay->window_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
