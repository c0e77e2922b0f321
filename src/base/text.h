// Text helpers: resource strings and the conversions of the settings files.
#pragma once
#include <string>
#include <string_view>

// A string of the program's string table in the user-interface language;
// empty when missing, cut to 255 characters.
std::wstring loadResourceString(unsigned id);

// One UTF-16 unit per byte; meant for 7-bit text (version, language codes).
// Inline, so the parts built without Windows share it.
inline std::wstring widen(std::string_view text)
{
    std::wstring wide;
    wide.reserve(text.size());
    for (char c : text)
        wide.push_back(static_cast<wchar_t>(static_cast<signed char>(c)));
    return wide;
}

// Text in the OEM code page (the settings files') and back; a character the
// code page lacks becomes its default character.
std::string toOem(std::wstring_view text);
std::wstring fromOem(std::string_view text);
