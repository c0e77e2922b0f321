#include "base/placement.h"

#include <algorithm>

namespace {

// Sums of coordinates in 64 bits: a hand-edited file may hold any 32-bit values.
std::int64_t span(std::int64_t from, std::int64_t to)
{
    return to - from;
}

std::int32_t saturatedToInt32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

WindowGeometry geometryOf(const ScreenRect& r)
{
    return {r.left, r.top, static_cast<int>(span(r.left, r.right)), static_cast<int>(span(r.top, r.bottom))};
}

// The caption band of a window at (left, top), `width` wide, meets a
// monitor's work area in a piece a player can take: a task bar lies over
// the rest of the monitor, and a caption under it cannot be taken.
bool captionOnSomeMonitor(std::int64_t left, std::int64_t top, std::int64_t width, int captionHeight,
                          const std::vector<MonitorAreas>& monitors)
{
    return std::any_of(monitors.begin(), monitors.end(), [&](const MonitorAreas& m) {
        const std::int64_t w = std::min<std::int64_t>(left + width, m.work.right) - std::max<std::int64_t>(left, m.work.left);
        const std::int64_t h = std::min<std::int64_t>(top + captionHeight, m.work.bottom) - std::max<std::int64_t>(top, m.work.top);
        return w >= grabWidth && h >= (captionHeight + 1) / 2;
    });
}

// How much of r lies on a monitor's area.
std::uint64_t overlap(const ScreenRect& r, const ScreenRect& area)
{
    const std::int64_t w = std::min(r.right, area.right) - std::int64_t{std::max(r.left, area.left)};
    const std::int64_t h = std::min(r.bottom, area.bottom) - std::int64_t{std::max(r.top, area.top)};
    return static_cast<std::uint64_t>(std::max<std::int64_t>(w, 0)) * static_cast<std::uint64_t>(std::max<std::int64_t>(h, 0));
}

// The monitor that holds the largest part of r, as the system picks a
// window's monitor; none when r meets no monitor.
const MonitorAreas* monitorHolding(const ScreenRect& r, const std::vector<MonitorAreas>& monitors)
{
    const MonitorAreas* holder = nullptr;
    std::uint64_t most = 0;
    for (const MonitorAreas& m : monitors) {
        const std::uint64_t piece = overlap(r, m.area);
        if (piece > most) {
            holder = &m;
            most = piece;
        }
    }
    return holder;
}

// r at the same offset in work area `to` as it had in `from`, then moved
// into `to` as far as its size allows, its top-left corner always.
ScreenRect movedInto(const ScreenRect& r, const ScreenRect& from, const ScreenRect& to)
{
    const auto into = [](std::int64_t at, std::int64_t size, std::int64_t low, std::int64_t high) {
        return std::max(low, std::min(at, high - size));
    };
    const std::int64_t w = span(r.left, r.right), h = span(r.top, r.bottom);
    const std::int64_t x = into(to.left + span(from.left, r.left), w, to.left, to.right);
    const std::int64_t y = into(to.top + span(from.top, r.top), h, to.top, to.bottom);
    return {saturatedToInt32(x), saturatedToInt32(y), saturatedToInt32(x + w), saturatedToInt32(y + h)};
}

}  // namespace

bool isMinimisedPosition(const ScreenRect& r)
{
    return r.left <= -32000 && r.top <= -32000;
}

ScreenRect primaryWorkArea(const std::vector<MonitorAreas>& monitors)
{
    const auto primary = std::find_if(monitors.begin(), monitors.end(), [](const MonitorAreas& m) { return m.primary; });
    return primary != monitors.end() ? primary->work : ScreenRect{};
}

// Centred on the work area, not the whole screen, so a task bar at the top
// or left never covers the caption; where the work area is the whole
// screen the numbers are the same.
WindowGeometry centredIn(const ScreenRect& work, int width, int height)
{
    const auto start = [](std::int64_t from, std::int64_t to, int size) {
        return static_cast<int>(from + std::max<std::int64_t>(0, (span(from, to) - size) / 2));
    };
    return {start(work.left, work.right, width), start(work.top, work.bottom, height), width, height};
}

WindowGeometry usableWindowGeometry(const ScreenRect& stored, const WindowLimits& limits,
                                    const std::vector<MonitorAreas>& monitors, const ScreenRect& fallbackWork)
{
    // A rectangle with no area is a damaged one, or none stored yet (all
    // zeros), not a window.
    const std::int64_t width = span(stored.left, stored.right), height = span(stored.top, stored.bottom);
    if (width > 0 && height > 0 && !isMinimisedPosition(stored)) {
        // The system keeps the place and limits the size: a rectangle
        // stretched over a monitor that is gone shrinks towards its left.
        const auto limited = [](std::int64_t size, int most, int least) {
            return static_cast<int>(std::max<std::int64_t>(std::min<std::int64_t>(size, most), least));
        };
        const int w = limited(width, limits.maximumWidth, limits.minimumWidth);
        const int h = limited(height, limits.maximumHeight, limits.minimumHeight);
        if (captionOnSomeMonitor(stored.left, stored.top, w, limits.captionHeight, monitors))
            return {stored.left, stored.top, w, h};
    }
    return centredIn(fallbackWork, limits.minimumWidth, limits.minimumHeight);
}

WindowGeometry fullScreenGeometry(const MonitorAreas& monitor)
{
    return geometryOf(monitor.area);
}

// The work area, also on the primary: with the task bar at the bottom it
// is what the system's full-screen metrics give (SM_CXFULLSCREEN is its
// width, SM_CYFULLSCREEN its height less a caption), and with one at the
// top or left the caption stays clear of the bar.
WindowGeometry maximisedFramedGeometry(const MonitorAreas& monitor)
{
    return geometryOf(monitor.work);
}

bool isTopEdgeClick(int x, int y, const ScreenRect& monitor)
{
    return y == monitor.top && x >= monitor.left && x < monitor.right;
}

RememberedWindow placementAfterChange(const RememberedWindow& stored, bool minimised, bool maximised,
                                     const ScreenRect& current, const std::vector<MonitorAreas>& monitors)
{
    if ((stored.flags & RememberedWindow::fullScreen) || minimised || isMinimisedPosition(current))
        return stored;
    if (!maximised)
        return {stored.flags & ~static_cast<std::uint32_t>(RememberedWindow::maximised), current};
    ScreenRect rect = stored.rect;
    const MonitorAreas* to = monitorHolding(current, monitors);
    const MonitorAreas* from = monitorHolding(stored.rect, monitors);
    // A normal rectangle off every monitor has no place of its own to keep.
    if (to && to != from)
        rect = movedInto(stored.rect, (from ? from : to)->work, to->work);
    return {stored.flags | RememberedWindow::maximised, rect};
}
