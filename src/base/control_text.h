// Reading and writing the text of dialog controls, used by the settings pages.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct HWND__;

// The control's whole text; empty when it has none.
std::wstring getControlText(HWND__* control);

// The text read as an unsigned decimal number: leading whitespace skipped,
// then the digits up to the first non-digit. No digits gives 0.
std::uint32_t getControlNumber(HWND__* control);

// Sets the text to the value in plain unsigned decimal.
void setControlNumber(HWND__* control, std::uint32_t value);

// The number rule of getControlNumber, on a text. A value too large for 32
// bits gives the largest one rather than wrapping round to a small number.
std::uint32_t parseControlNumber(std::wstring_view text);
