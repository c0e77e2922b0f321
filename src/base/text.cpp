#include "base/text.h"

#include <windows.h>

#include <climits>

std::wstring loadResourceString(unsigned id)
{
    // One shared buffer, as every caller is on the user-interface thread.
    static wchar_t buffer[256];
    buffer[0] = L'\0';
    LoadStringW(GetModuleHandleW(nullptr), id, buffer, 256);
    return buffer;
}

// Sized by the conversion itself: a two-byte OEM code page (932, 936, 949,
// 950) takes two bytes for many characters, and one character for two bytes.
std::string toOem(std::wstring_view text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    const int length = static_cast<int>(text.size());
    // Best fit (the default) maps the glyphs that fromOem gives back to their
    // bytes, so a saved file reads back the same.
    const int size = WideCharToMultiByte(CP_OEMCP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_OEMCP, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

std::wstring fromOem(std::string_view text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    const int length = static_cast<int>(text.size());
    // Bytes 0x01-0x1F and 0x7F are the code page's glyphs (smileys, hearts,
    // arrows), as the platform's OEM conversion reads them, not control codes.
    const int size = MultiByteToWideChar(CP_OEMCP, MB_USEGLYPHCHARS, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_OEMCP, MB_USEGLYPHCHARS, text.data(), length, wide.data(), size);
    return wide;
}
