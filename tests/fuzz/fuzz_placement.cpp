// Any remembered rectangle on any desk. The window comes back where it was,
// at the size the system gives it, exactly when a player can take its
// caption in a monitor's work area; otherwise it starts at the minimum size in the
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

// On one axis: at the start of the span when the size does not fit in it,
// otherwise wholly inside it.
bool within(std::int64_t at, std::int64_t size, std::int64_t from, std::int64_t to)
{
    return to - from < size ? at == from : at >= from && at + size <= to;
}

// The caption band's rows in the work area, counted one by one, and its
// columns there: a player needs 40 of them on half the rows.
bool grabbable(std::int64_t x, std::int64_t y, std::int64_t w, int caption, const ScreenRect& m)
{
    int rows = 0;
    for (std::int64_t row = y; row < y + caption; ++row)
        rows += row >= m.top && row < m.bottom;
    const std::int64_t columns = std::min<std::int64_t>(x + w, m.right) - std::max<std::int64_t>(x, m.left);
    return columns >= 40 && rows * 2 >= caption;
}

// The monitor holding the largest piece of r, the first of equals; none
// when r meets no monitor. Pieces are counted by rows and columns of the
// monitor's area, in 128 bits.
const MonitorAreas* holding(const ScreenRect& r, const std::vector<MonitorAreas>& monitors)
{
    const MonitorAreas* most = nullptr;
    unsigned __int128 largest = 0;
    for (const MonitorAreas& m : monitors) {
        const std::int64_t columns = std::min<std::int64_t>(r.right, m.area.right) - std::max<std::int64_t>(r.left, m.area.left);
        const std::int64_t rows = std::min<std::int64_t>(r.bottom, m.area.bottom) - std::max<std::int64_t>(r.top, m.area.top);
        const unsigned __int128 piece = columns > 0 && rows > 0 ? static_cast<unsigned __int128>(columns) * rows : 0;
        if (piece > largest) {
            largest = piece;
            most = &m;
        }
    }
    return most;
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
    const std::uint32_t state = static_cast<std::uint32_t>(in.next());
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
                            return grabbable(stored.left, stored.top, w, caption, m.work);
                        });
    if (usable) {
        check(g == WindowGeometry{stored.left, stored.top, static_cast<int>(w), static_cast<int>(h)});
    } else {
        check(g.width == minimumWidth && g.height == minimumHeight);
        check(within(g.x, minimumWidth, fallback.left, fallback.right) &&
              within(g.y, minimumHeight, fallback.top, fallback.bottom));
        // Centred to a pixel where it fits.
        const std::int64_t leftGap = g.x - fallback.left, rightGap = fallback.right - (std::int64_t{g.x} + minimumWidth);
        const std::int64_t topGap = g.y - fallback.top, bottomGap = fallback.bottom - (std::int64_t{g.y} + minimumHeight);
        check(rightGap < 0 || std::abs(leftGap - rightGap) <= 1);
        check(bottomGap < 0 || std::abs(topGap - bottomGap) <= 1);
    }
    std::vector<MonitorAreas> reversed(monitors.rbegin(), monitors.rend());
    check(usableWindowGeometry(stored, limits, reversed, fallback) == g);

    // A move never stores the minimised position. Maximised, the normal
    // rectangle goes along to the monitor holding most of the window, when
    // that is another than the one holding most of the rectangle: the same
    // size, in that monitor's work area (its top-left corner when it does
    // not fit), at the same offset as in its own work area when that fits.
    const ScreenRect current = fallback;
    const RememberedWindow before{state & 3u, stored};
    const bool minimised = state & 4u, maximised = state & 8u;
    const RememberedWindow after = placementAfterChange(before, minimised, maximised, current, monitors);
    const ScreenRect& a = after.rect;
    // Unless a coordinate had to stop at the end of the 32-bit range.
    const bool saturated = std::min({a.left, a.top, a.right, a.bottom}) == INT32_MIN ||
                           std::max({a.left, a.top, a.right, a.bottom}) == INT32_MAX;
    if ((before.flags & RememberedWindow::fullScreen) || minimised || (current.left <= -32000 && current.top <= -32000)) {
        check(after == before);
    } else if (!maximised) {
        check(after == RememberedWindow{before.flags & ~1u, current});
    } else {
        check(after.flags == (before.flags | 1u));
        const MonitorAreas* to = holding(current, monitors);
        const MonitorAreas* from = holding(stored, monitors);
        if (!to || to == from) {
            check(a == stored);
        } else if (!saturated) {
            const ScreenRect& own = (from ? from : to)->work;
            const ScreenRect& work = to->work;
            check(width(a) == width(stored) && height(a) == height(stored));
            check(within(a.left, width(a), work.left, work.right) && within(a.top, height(a), work.top, work.bottom));
            const std::int64_t x = work.left + (std::int64_t{stored.left} - own.left);
            const std::int64_t y = work.top + (std::int64_t{stored.top} - own.top);
            check(!within(x, width(a), work.left, work.right) || a.left == x);
            check(!within(y, height(a), work.top, work.bottom) || a.top == y);
        }
    }
    return 0;
}
