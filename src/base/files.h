// Whole-file reads and crash-safe whole-file writes.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Far above any real settings file; what lies beyond is taken as a corrupt tail.
inline constexpr std::size_t fileReadLimit = 1 << 20;

struct FileContents {
    enum Status { read, missing, unreadable };
    Status status = missing;
    std::string bytes;  // at most fileReadLimit of them
};

// Only "not found" counts as missing: a file another program holds, or one
// that fails to read, exists and must not be replaced as if it were absent.
FileContents readWholeFile(const std::wstring& path);

// Writes the bytes to a temporary file beside `path`, then puts it in place
// of `path` in one step. On any failure `path` is left as it was.
bool replaceFileContents(const std::wstring& path, std::string_view bytes);
