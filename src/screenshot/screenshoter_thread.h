// The screenshot worker: made at the first screenshot and kept until the
// program ends. It takes one screenshot at a time: captures the window,
// writes the file, plays the success sound if asked for, and reports the
// end of each shot to the window that asked.
//
// One worker for every shot rather than a thread made for each: a thread
// that draws for the first time opens its own way to the display, which
// cost more than the rest of a shot's capture on the bench's machine. The
// file, its name, the sound and their order are the same.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "base/win_handles.h"
#include "input/thread.h"

// A screenshot's end: wParam names the worker, lParam the shot. Both are
// only compared with what the receiver asked for, never followed.
inline constexpr UINT WM_SCREENSHOT_TAKEN = WM_USER + 223;

// One screenshot and the settings it is taken with; the worker keeps its
// own copy, so a change of the settings meanwhile does not reach it.
struct ScreenshotOrder {
    HWND sourceWindow = nullptr;
    std::wstring screenshotFolder;
    std::wstring dateFormat;
    std::wstring timeFormat;
    std::wstring imageFormat;
    std::uint32_t jpegQuality = 0;
    bool beepOnSave = false;
};

class ScreenshoterThread : public Thread {
public:
    explicit ScreenshoterThread(HWND notifyWindow);
    // Waits for a screenshot under way or asked for, sound included, so no
    // file is left half written and no press is lost.
    ~ScreenshoterThread() override;

    // Hands the worker a screenshot. False, and nothing done, while the one
    // asked for before has not been reported taken: a press meanwhile is
    // dropped, not queued.
    bool take(ScreenshotOrder order);
    bool busy() const noexcept { return awaited_ != 0; }
    // Whether a WM_SCREENSHOT_TAKEN reports the shot awaited; the worker is
    // free for the next one then.
    bool taken(WPARAM wParam, LPARAM lParam) noexcept;

protected:
    void run() override;

private:
    struct Shot {
        ScreenshotOrder order;
        std::uintptr_t number = 0;
    };
    // Takes the shot handed over last, unless the worker already has; its number.
    std::uintptr_t shoot();

    UniqueHandle asked_;  // set by take(), auto-reset
    // The next shot, owned by whichever side takes it out.
    std::atomic<Shot*> handedOver_{nullptr};
    std::uintptr_t awaited_ = 0;  // the owner's: the shot not yet reported, 0 when free
};
