// Whatever "zelvara.cfg" holds, what is read and written again reads back
// to the same file.
#include <cstdint>
#include <cstdlib>
#include <cstdio>

#include "native_oem.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    Settings first(nativeDefaults());
    parseSettingsFile(file, first, nativeFromOem);
    const std::string written = formatSettingsFile(first, nativeToOem);
    Settings second(nativeDefaults());
    if (!parseSettingsFile(written, second, nativeFromOem) || formatSettingsFile(second, nativeToOem) != written ||
        second.differsFrom(first) || second.windowRect != first.windowRect) {
        std::fprintf(stderr, "written file does not read back:\n%s\n", written.c_str());
        std::abort();
    }
    return 0;
}
