// A one-byte code page for the native build: every byte stands for the
// character of the same number, so conversion loses nothing either way.
#pragma once
#include <string>
#include <string_view>

#include "settings/settings.h"

inline std::string nativeToOem(std::wstring_view text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow.push_back(c < 256 ? static_cast<char>(c) : '?');
    return narrow;
}

inline std::wstring nativeFromOem(std::string_view text)
{
    std::wstring wide;
    for (char c : text)
        wide.push_back(static_cast<unsigned char>(c));
    return wide;
}

inline const SettingsDefaults& nativeDefaults()
{
    static const SettingsDefaults defaults{"en", L"C:\\Shots", {{112, L"Base", true}, {113, L"Left", true}}};
    return defaults;
}
