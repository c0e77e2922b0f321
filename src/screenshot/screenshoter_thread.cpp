#include "screenshot/screenshoter_thread.h"

#include <utility>

#include "screenshot/screenshot_writer.h"

ScreenshoterThread::ScreenshoterThread(HWND notifyWindow, HWND sourceWindow, std::wstring screenshotFolder,
                                       std::wstring dateFormat, std::wstring timeFormat, std::wstring imageFormat,
                                       std::uint32_t jpegQuality, bool beepOnSave)
    : Thread(notifyWindow),
      sourceWindow(sourceWindow),
      screenshotFolder(std::move(screenshotFolder)),
      dateFormat(std::move(dateFormat)),
      timeFormat(std::move(timeFormat)),
      imageFormat(std::move(imageFormat)),
      jpegQuality(jpegQuality),
      beepOnSave(beepOnSave)
{
}

ScreenshoterThread::~ScreenshoterThread()
{
    stopAndWait();
}

void ScreenshoterThread::run()
{
    // The one write is never cut short by a stop: the destructor waits for it.
    ScreenshotWriter writer(screenshotFolder, dateFormat, timeFormat, imageFormat, jpegQuality, beepOnSave);
    writer.save(sourceWindow);
}
