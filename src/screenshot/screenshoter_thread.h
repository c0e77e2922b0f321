// The worker that takes one screenshot: captures the window, writes the
// file, plays the success sound if asked for, and reports its end.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "input/thread.h"

class ScreenshoterThread : public Thread {
public:
    // Takes copies, so a change of the settings meanwhile does not reach it.
    ScreenshoterThread(HWND notifyWindow, HWND sourceWindow, std::wstring screenshotFolder, std::wstring dateFormat,
                       std::wstring timeFormat, std::wstring imageFormat, std::uint32_t jpegQuality, bool beepOnSave);
    // Waits for a screenshot under way, sound included, so no file is left half written.
    ~ScreenshoterThread() override;

    const HWND sourceWindow;
    const std::wstring screenshotFolder;
    const std::wstring dateFormat;
    const std::wstring timeFormat;
    const std::wstring imageFormat;
    const std::uint32_t jpegQuality;
    const bool beepOnSave;

protected:
    void run() override;
};
