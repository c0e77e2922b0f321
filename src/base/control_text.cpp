#include "base/control_text.h"

#include <windows.h>

#include <cwctype>
#include <limits>

std::wstring getControlText(HWND control)
{
    const int length = GetWindowTextLengthW(control);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    // The length is an upper bound; keep what was actually copied.
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), length + 1)));
    return text;
}

std::uint32_t getControlNumber(HWND control)
{
    return parseControlNumber(getControlText(control));
}

void setControlNumber(HWND control, std::uint32_t value)
{
    SetWindowTextW(control, std::to_wstring(value).c_str());
}

std::uint32_t parseControlNumber(std::wstring_view text)
{
    std::size_t at = 0;
    while (at < text.size() && iswspace(text[at]))
        ++at;
    constexpr std::uint32_t largest = std::numeric_limits<std::uint32_t>::max();
    std::uint32_t value = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        const std::uint32_t digit = static_cast<std::uint32_t>(text[at] - L'0');
        if (value > (largest - digit) / 10)
            return largest;
        value = value * 10 + digit;
    }
    return value;
}
