#include "base/placement.h"

#include <algorithm>

namespace {

// Sums of coordinates in 64 bits: a hand-edited file may hold any 32-bit values.
std::int64_t span(std::int32_t from, std::int32_t to)
{
    return static_cast<std::int64_t>(to) - from;
}

bool isPrimary(const ScreenRect& monitor)
{
    return monitor.left == 0 && monitor.top == 0;
}

WindowGeometry geometryOf(const ScreenRect& r)
{
    return {r.left, r.top, static_cast<int>(span(r.left, r.right)), static_cast<int>(span(r.top, r.bottom))};
}

}  // namespace

bool isMinimisedPosition(const ScreenRect& r)
{
    return r.left <= -32000 && r.top <= -32000;
}

bool captionOnSomeMonitor(const ScreenRect& r, int captionHeight, const std::vector<ScreenRect>& monitors)
{
    // A rectangle with no area is a damaged one, not a window.
    const std::int64_t width = span(r.left, r.right);
    if (width <= 0 || span(r.top, r.bottom) <= 0 || captionHeight <= 0)
        return false;
    const std::int64_t bandBottom = static_cast<std::int64_t>(r.top) + captionHeight;
    const std::int64_t needWidth = std::min<std::int64_t>(grabWidth, width);
    const std::int64_t needHeight = (captionHeight + 1) / 2;
    return std::any_of(monitors.begin(), monitors.end(), [&](const ScreenRect& m) {
        const std::int64_t w = std::min<std::int64_t>(r.right, m.right) - std::max(r.left, m.left);
        const std::int64_t h = std::min<std::int64_t>(bandBottom, m.bottom) - std::max(r.top, m.top);
        return w >= needWidth && h >= needHeight;
    });
}

WindowGeometry centredOn(const ScreenRect& monitor, int width, int height)
{
    return {static_cast<int>(monitor.left + (span(monitor.left, monitor.right) - width) / 2),
            static_cast<int>(monitor.top + (span(monitor.top, monitor.bottom) - height) / 2), width, height};
}

WindowGeometry usableWindowGeometry(const ScreenRect& stored, int minimumWidth, int minimumHeight,
                                    int captionHeight, const std::vector<ScreenRect>& monitors,
                                    const ScreenRect& fallback)
{
    // Nothing stored yet is all zeros: no area, so no caption either.
    if (!isMinimisedPosition(stored) && captionOnSomeMonitor(stored, captionHeight, monitors))
        return geometryOf(stored);
    return centredOn(fallback, minimumWidth, minimumHeight);
}

WindowGeometry fullScreenGeometry(const MonitorAreas& monitor)
{
    return geometryOf(monitor.area);
}

WindowGeometry maximisedFramedGeometry(const MonitorAreas& monitor, int fullScreenWidth, int fullScreenHeight)
{
    if (isPrimary(monitor.area))
        return {0, 0, fullScreenWidth, fullScreenHeight};
    return geometryOf(monitor.work);
}

bool isTopEdgeClick(int x, int y, const ScreenRect& monitor)
{
    return y == monitor.top && x >= monitor.left && x < monitor.right;
}
