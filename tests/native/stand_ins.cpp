// What the core files call that the program defines beside Windows code:
// the current settings record and the plain widening of ASCII text.
#include "base/text.h"
#include "native_oem.h"
#include "settings/settings.h"

std::wstring widen(std::string_view text)
{
    std::wstring wide;
    for (char c : text)
        wide.push_back(static_cast<wchar_t>(static_cast<signed char>(c)));
    return wide;
}

Settings* Settings::instance()
{
    static Settings current(nativeDefaults());
    return &current;
}
