// Whole-file reads and crash-safe whole-file writes.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::wstring& path);

// Writes the bytes to a temporary file beside `path`, then puts it in place
// of `path` in one step. On any failure `path` is left as it was.
bool replaceFileContents(const std::wstring& path, std::string_view bytes);
