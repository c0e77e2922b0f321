// File names of screenshots: the formatted date and time, then the image
// format as the extension. Pure text work, so it is tested without files.
#pragma once
#include <cstddef>
#include <optional>
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

// The folder as the front of a screenshot's path: with the backslash the
// name follows, unless it ends with one already or is empty. Nothing when
// that does not fit the buffer: a shorter path would name another folder.
std::optional<std::wstring> screenshotFolderPrefix(std::wstring_view folder);
