#include "base/text.h"

#include <windows.h>

std::wstring loadResourceString(unsigned id)
{
    // One shared buffer, as every caller is on the user-interface thread.
    static wchar_t buffer[256];
    buffer[0] = L'\0';
    LoadStringW(GetModuleHandleW(nullptr), id, buffer, 256);
    return buffer;
}

std::string toOem(std::wstring_view text)
{
    std::string narrow(text.size(), '\0');
    if (!text.empty())
        CharToOemBuffW(text.data(), narrow.data(), static_cast<DWORD>(text.size()));
    return narrow;
}

std::wstring fromOem(std::string_view text)
{
    std::wstring wide(text.size(), L'\0');
    if (!text.empty())
        OemToCharBuffW(text.data(), wide.data(), static_cast<DWORD>(text.size()));
    return wide;
}
