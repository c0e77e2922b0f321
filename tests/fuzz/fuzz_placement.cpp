// Any remembered rectangle on any desk: the window comes back where it was
// only when a player can take its caption on a monitor, otherwise at the
// default size centred on the fallback monitor; the order in which the
// system lists the monitors changes nothing, and nothing overflows.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/placement.h"
#include "settings/settings.h"

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::int32_t next()
    {
        std::int32_t value = 0;
        const std::size_t n = std::min(size, sizeof value);
        std::memcpy(&value, data, n);
        data += n;
        size -= n;
        return value;
    }
    ScreenRect rect() { return {next(), next(), next(), next()}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in{data, size};
    const ScreenRect stored = in.rect();
    const int caption = static_cast<int>(static_cast<std::uint32_t>(in.next()) % 64);
    std::vector<ScreenRect> monitors;
    while (in.size > 0 && monitors.size() < 6)
        monitors.push_back(in.rect());
    const ScreenRect fallback = monitors.empty() ? ScreenRect{0, 0, 1280, 1024} : monitors.front();

    const WindowGeometry g = usableWindowGeometry(stored, 1008, 657, caption, monitors, fallback);
    const bool used = g == WindowGeometry{stored.left, stored.top, static_cast<int>(std::int64_t{stored.right} - stored.left),
                                          static_cast<int>(std::int64_t{stored.bottom} - stored.top)};
    const bool reachable = !isMinimisedPosition(stored) && captionOnSomeMonitor(stored, caption, monitors);
    if (reachable && !used)
        std::abort();
    if (!reachable && g != centredOn(fallback, 1008, 657))
        std::abort();
    // A window with its caption band wholly on a monitor is always kept.
    for (const ScreenRect& m : monitors)
        if (caption > 0 && stored.left >= m.left && stored.right <= m.right && stored.left < stored.right &&
            stored.top >= m.top && std::int64_t{stored.top} + caption <= m.bottom && stored.top < stored.bottom &&
            !isMinimisedPosition(stored) && !reachable)
            std::abort();
    std::vector<ScreenRect> reversed(monitors.rbegin(), monitors.rend());
    if (usableWindowGeometry(stored, 1008, 657, caption, reversed, fallback) != g)
        std::abort();

    // A move never stores the minimised position, nor anything but the
    // stored or the current rectangle.
    const WindowPlacement before{static_cast<std::uint32_t>(caption) & 3u, fallback};
    const WindowPlacement after = placementAfterChange(before, caption & 4, caption & 8, stored);
    if (after.rect != before.rect && (after.rect != stored || isMinimisedPosition(stored)))
        std::abort();
    return 0;
}
