// File names of screenshots: the formatted date and time, then the image
// format as the extension. Pure text work, so it is tested without files.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The path buffer of a screenshot, terminating null included (MAX_PATH).
inline constexpr std::size_t screenshotPathCapacity = 260;

// Name of the copy-th file taken at `stamp` (the date text followed by the
// time text). Copy 1 is stamp + imageFormat; later copies get " (n)" in
// front of the extension, before the stamp's closing '.' when it has one.
std::wstring screenshotFileName(std::wstring_view stamp, std::wstring_view imageFormat, unsigned copy);

// True when a path of `length` characters fits the buffer with its null.
constexpr bool fitsScreenshotPath(std::size_t length) noexcept
{
    return length < screenshotPathCapacity;
}
