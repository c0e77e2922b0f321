#include "base/layout.h"

#include <algorithm>

BarLayout layoutBar(const BarMeasures& m)
{
    BarLayout out;
    const int top = m.clientTop + (m.topBarShown ? topBarHeight : 0);
    out.fullScreenButton = {m.clientRight - 5 - m.fullScreenWidth, 5, m.fullScreenWidth, 20};
    out.clickRightButton = {out.fullScreenButton.x - 5 - m.clickRightWidth, 5, m.clickRightWidth, 20};
    out.clickLeftButton = {out.clickRightButton.x - 2 - m.clickLeftWidth, 5, m.clickLeftWidth, 20};
    if (m.serverCount > 0) {
        // The buttons share the room evenly; the last `rem` are a pixel wider.
        const int n = m.serverCount;
        const int start = m.openUrlX + m.openUrlWidth + 5;
        const int avail = out.clickLeftButton.x - start - 3;
        const int base = avail / n - 2;
        const int rem = avail - (base + 2) * n;
        int x = start;
        for (int i = 0; i < n; ++i) {
            const int width = i + rem >= n ? base + 1 : base;
            out.serverButtons.push_back({x, 5, width, 20});
            x += width + 2;
        }
    }
    out.browserArea = {m.clientLeft, top, m.clientRight - m.clientLeft, m.clientBottom - top};
    return out;
}

Box aboutWindowBox(int clientLeft, int, int clientRight, int clientBottom)
{
    return {(clientRight - 1000) / 2 + clientLeft, (clientBottom - 630) / 2 + 31, 1000, 600};
}

namespace {

int overlayWidth(int w)
{
    return std::min((w - 996) / 6 + 99, 118);
}

}  // namespace

Box leftOverlayBox(int w, int h)
{
    return {2 * (w / 3) + 17, h - 55, overlayWidth(w), 39};
}

Box rightOverlayBox(int w, int h)
{
    const int cw = overlayWidth(w);
    return {3 * (w / 3) - 17 - cw, h - 55, cw, 39};
}
