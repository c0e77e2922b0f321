#include "screenshot/screenshoter_thread.h"

#include <memory>
#include <utility>

#include "screenshot/screenshot_writer.h"

namespace {

// Numbers every shot of the process, so a report is never taken for one of
// another worker made since at the same address.
std::atomic<std::uintptr_t> lastShot{0};

}  // namespace

ScreenshoterThread::ScreenshoterThread(HWND notifyWindow)
    : Thread(notifyWindow), asked_(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
}

ScreenshoterThread::~ScreenshoterThread()
{
    stopAndWait();
    // A shot the worker never got to, stopped before its first step or
    // never made, is taken here.
    shoot();
}

bool ScreenshoterThread::take(ScreenshotOrder order)
{
    if (busy() || !asked_)
        return false;
    awaited_ = ++lastShot;
    // One not yet taken out can only be left by a report that came early;
    // the newer order replaces it.
    delete handedOver_.exchange(new Shot{std::move(order), awaited_});
    SetEvent(asked_.get());
    return true;
}

bool ScreenshoterThread::taken(WPARAM wParam, LPARAM lParam) noexcept
{
    if (!busy() || wParam != reinterpret_cast<WPARAM>(this) || static_cast<std::uintptr_t>(lParam) != awaited_)
        return false;
    awaited_ = 0;
    return true;
}

std::uintptr_t ScreenshoterThread::shoot()
{
    const std::unique_ptr<Shot> shot(handedOver_.exchange(nullptr));
    if (!shot)
        return 0;
    const ScreenshotOrder& order = shot->order;
    ScreenshotWriter writer(order.screenshotFolder, order.dateFormat, order.timeFormat, order.imageFormat,
                            order.jpegQuality, order.beepOnSave);
    writer.save(order.sourceWindow);
    return shot->number;
}

void ScreenshoterThread::run()
{
    // A shot asked for before the stop is still taken: waitFor() puts the
    // order ahead of the stop, and a write is never cut short.
    while (waitFor(asked_.get())) {
        const std::uintptr_t shot = shoot();
        // Stopped by its owner, who is waiting for it: nothing to report.
        if (shot && running && notifyWindow())
            PostMessageW(notifyWindow(), WM_SCREENSHOT_TAKEN, reinterpret_cast<WPARAM>(this),
                         static_cast<LPARAM>(shot));
    }
}
