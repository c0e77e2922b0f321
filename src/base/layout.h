// The geometry of the main window: the bar, the browser area, the About
// view and the clicker overlays, as plain formulas of the client size.
#pragma once
#include <cstdint>
#include <vector>

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Box&) const = default;
};

struct BarMeasures {
    int clientLeft = 0, clientTop = 0, clientRight = 0, clientBottom = 0;  // right and bottom exclusive
    bool topBarShown = true;
    int fullScreenWidth = 0, clickRightWidth = 0, clickLeftWidth = 0;
    int openUrlX = 0, openUrlWidth = 0;
    int serverCount = 0;
};

struct BarLayout {
    Box fullScreenButton, clickRightButton, clickLeftButton;
    std::vector<Box> serverButtons;
    Box browserArea;
};

inline constexpr int topBarHeight = 30;

BarLayout layoutBar(const BarMeasures& m);

// Centred in the client area, under the bar, one pixel lower.
Box aboutWindowBox(int clientLeft, int clientTop, int clientRight, int clientBottom);

// The clicker overlays inside a browser area of width w and height h.
Box leftOverlayBox(int w, int h);
Box rightOverlayBox(int w, int h);

struct ClickPoint {
    int x = 0, y = 0;
    bool operator==(const ClickPoint&) const = default;
};

// Where the clicker presses, in the player window of a w x h browser area.
inline constexpr ClickPoint leftClickTarget(int w, int h) { return {2 * (w / 3) + 80, h - 40}; }
inline constexpr ClickPoint rightClickTarget(int w, int h) { return {w - 80, h - 40}; }

// Full-screen mode swaps the frame bits for WS_POPUP and back.
inline constexpr std::uint32_t fullScreenStyle(std::uint32_t style) { return (style & 0xFF30FFFFu) | 0x80000000u; }
inline constexpr std::uint32_t framedStyle(std::uint32_t style) { return (style & 0x7F30FFFFu) | 0x00CF0000u; }
