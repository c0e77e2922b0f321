// Whatever "accounts.cfg" holds, the label read is the label written back.
#include <cstdint>
#include <cstdlib>

#include "native_oem.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring label =
        parseAccountsFile(std::string_view(reinterpret_cast<const char*>(data), size), nativeFromOem);
    const std::string written = formatAccountsFile(label, nativeToOem);
    if (parseAccountsFile(written, nativeFromOem) != label || formatAccountsFile(label, nativeToOem) != written)
        std::abort();
    return 0;
}
