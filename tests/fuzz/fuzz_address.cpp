// Any text taken for an address: putting the label in and taking it out
// again gives its public form, and battle pages read back their server.
#include <cstdint>
#include <cstdlib>

#include "address/game_address.h"
#include "native_oem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = nativeFromOem(std::string_view(reinterpret_cast<const char*>(data), size));
    const GameAddress own(L"", L"abc123");
    for (const char* language : {"en", "ru"}) {
        const std::wstring publicForm = withBattleLanguage(own.withoutSubdomain(text, language), language);
        if (own.withoutSubdomain(own.withSubdomain(publicForm, language), language) != publicForm)
            std::abort();
        if (own.withoutSubdomain(publicForm, language) != publicForm)
            std::abort();
    }
    const std::int32_t server = battleServerNumber(text);
    if (server > 0 && battleServerNumber(own.battleServerUrl(server, "en")) != server)
        std::abort();
    return 0;
}
