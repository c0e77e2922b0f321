// What the core files call that the program defines beside Windows code:
// the current settings record.
#include "native_oem.h"
#include "settings/settings.h"

Settings* Settings::instance()
{
    static Settings current(nativeDefaults());
    return &current;
}
