// Any remembered rectangle on any desk. The window comes back where it was,
// at the size the system gives it, exactly when a player can take its
// caption on a monitor; otherwise it starts at the minimum size in the
// fallback work area, its top-left corner in it and centred when it fits.
// The order in which the system lists the monitors changes nothing, and
// nothing overflows. Each property is computed here on its own.
#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/placement.h"

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

constexpr int minimumWidth = 1008, minimumHeight = 657;

std::int64_t width(const ScreenRect& r)
{
    return std::int64_t{r.right} - r.left;
}

std::int64_t height(const ScreenRect& r)
{
    return std::int64_t{r.bottom} - r.top;
}

bool holds(const ScreenRect& outer, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h)
{
    return x >= outer.left && y >= outer.top && x + w <= outer.right && y + h <= outer.bottom;
}

// The caption band's rows on the monitor, counted one by one, and its
// columns there: a player needs 40 of them on half the rows.
bool grabbable(std::int64_t x, std::int64_t y, std::int64_t w, int caption, const ScreenRect& m)
{
    int rows = 0;
    for (std::int64_t row = y; row < y + caption; ++row)
        rows += row >= m.top && row < m.bottom;
    const std::int64_t columns = std::min<std::int64_t>(x + w, m.right) - std::max<std::int64_t>(x, m.left);
    return columns >= 40 && rows * 2 >= caption;
}

void check(bool property, int line = __builtin_LINE())
{
    if (property)
        return;
    std::fprintf(stderr, "fuzz_placement.cpp:%d: property broken\n", line);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in{data, size};
    const ScreenRect stored = in.rect();
    const std::uint32_t knobs = static_cast<std::uint32_t>(in.next());
    const int caption = 1 + static_cast<int>(knobs % 63);
    const WindowLimits limits{minimumWidth, minimumHeight, static_cast<int>(knobs >> 6 & 4095),
                              static_cast<int>(knobs >> 18 & 4095), caption};
    const ScreenRect fallback = in.rect();
    std::vector<MonitorAreas> monitors;
    while (in.size > 0 && monitors.size() < 6) {
        const ScreenRect area = in.rect(), work = in.rect();
        monitors.push_back({area, work, (in.next() & 1) != 0});
    }

    const WindowGeometry g = usableWindowGeometry(stored, limits, monitors, fallback);
    // The system keeps the place and limits the size, the minimum last.
    const auto limited = [](std::int64_t size, int most, int least) { return std::max<std::int64_t>(std::min<std::int64_t>(size, most), least); };
    const std::int64_t w = limited(width(stored), limits.maximumWidth, minimumWidth);
    const std::int64_t h = limited(height(stored), limits.maximumHeight, minimumHeight);
    const bool usable = width(stored) > 0 && height(stored) > 0 && !(stored.left <= -32000 && stored.top <= -32000) &&
                        std::any_of(monitors.begin(), monitors.end(), [&](const MonitorAreas& m) {
                            return grabbable(stored.left, stored.top, w, caption, m.area);
                        });
    if (usable) {
        check(g == WindowGeometry{stored.left, stored.top, static_cast<int>(w), static_cast<int>(h)});
    } else {
        check(g.width == minimumWidth && g.height == minimumHeight);
        if (width(fallback) > 0 && height(fallback) > 0) {
            check(g.x >= fallback.left && g.y >= fallback.top);
            check(g.x < fallback.right || width(fallback) < minimumWidth);
            check(g.y < fallback.bottom || height(fallback) < minimumHeight);
            if (holds(fallback, fallback.left, fallback.top, minimumWidth, minimumHeight)) {
                check(holds(fallback, g.x, g.y, minimumWidth, minimumHeight));
                check(std::abs((g.x - fallback.left) - (fallback.right - (std::int64_t{g.x} + minimumWidth))) <= 1);
                check(std::abs((g.y - fallback.top) - (fallback.bottom - (std::int64_t{g.y} + minimumHeight))) <= 1);
            }
        }
    }
    std::vector<MonitorAreas> reversed(monitors.rbegin(), monitors.rend());
    check(usableWindowGeometry(stored, limits, reversed, fallback) == g);

    // A move never stores the minimised position. Maximised, the normal
    // rectangle keeps its size, and when it moves it lands with its
    // top-left corner in some monitor's work area, wholly when it fits.
    const ScreenRect current = fallback;
    const WindowPlacement before{knobs >> 30, stored};
    const bool minimised = knobs & (1u << 6), maximised = knobs & (1u << 7);
    const WindowPlacement after = placementAfterChange(before, minimised, maximised, current, monitors);
    const bool parked = current.left <= -32000 && current.top <= -32000;
    if ((before.flags & WindowPlacement::fullScreen) || minimised || parked) {
        check(after == before);
    } else if (!maximised) {
        check(after == WindowPlacement{before.flags & ~1u, current});
    } else {
        check(after.flags == (before.flags | 1u));
        // Unless a coordinate had to stop at the end of the 32-bit range.
        const ScreenRect& a = after.rect;
        const bool saturated = std::min({a.left, a.top, a.right, a.bottom}) == INT32_MIN ||
                               std::max({a.left, a.top, a.right, a.bottom}) == INT32_MAX;
        if (a != stored && !saturated) {
            check(width(after.rect) == width(stored) && height(after.rect) == height(stored));
            check(std::any_of(monitors.begin(), monitors.end(), [&](const MonitorAreas& m) {
                const bool fits = width(a) <= width(m.work) && height(a) <= height(m.work);
                return fits ? holds(m.work, a.left, a.top, width(a), height(a))
                            : a.left >= m.work.left && a.top >= m.work.top &&
                                  (a.left == m.work.left || width(a) <= width(m.work)) &&
                                  (a.top == m.work.top || height(a) <= height(m.work));
            }));
        }
    }
    return 0;
}
