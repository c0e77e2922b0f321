// Saves one picture of a window as an image file named after the local date
// and time. Lives on the screenshot thread for one screenshot: GDI+ is
// started by the constructor and shut down by the destructor, on that thread.
#pragma once
#include "screenshot/gdiplus_flat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "screenshot/screenshot_name.h"

// The date text and the time text of one moment, as the two pictures give
// them; nothing when either cannot be formatted.
std::optional<std::wstring> formatScreenshotStamp(const SYSTEMTIME& time, const std::wstring& dateFormat,
                                                  const std::wstring& timeFormat);

class ScreenshotWriter {
public:
    // Keeps references to the four strings; they must outlive the writer.
    ScreenshotWriter(const std::wstring& folder, const std::wstring& dateFormat, const std::wstring& timeFormat,
                     const std::wstring& imageFormat, std::uint32_t jpegQuality, bool beep);
    ~ScreenshotWriter();
    ScreenshotWriter(const ScreenshotWriter&) = delete;
    ScreenshotWriter& operator=(const ScreenshotWriter&) = delete;

    // Captures the window and writes it into the folder under a name no
    // other file has. True when the file was written; then the success
    // sound has played, if asked for.
    bool save(HWND window);

    // Full path of the file the last successful save wrote.
    const wchar_t* path() const noexcept { return path_; }
    // The JPEG quality block handed to the encoder; null for other formats.
    const Gdiplus::EncoderParameters* encoderParameters() const noexcept { return encoderParameters_.get(); }

private:
    bool writeFile(Gdiplus::GpImage* image, const CLSID& encoder, const std::wstring& stamp);

    const std::wstring& folder_;
    const std::wstring& dateFormat_;
    const std::wstring& timeFormat_;
    const std::wstring& imageFormat_;
    ULONG_PTR token_ = 0;
    wchar_t path_[screenshotPathCapacity] = L"";
    // Where the name goes; the capacity itself when the folder leaves no room.
    std::size_t nameStart_ = screenshotPathCapacity;
    ULONG quality_;
    std::unique_ptr<Gdiplus::EncoderParameters> encoderParameters_;
    bool beep_;
};
