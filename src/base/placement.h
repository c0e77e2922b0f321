// Where the main window goes on the player's monitors: plain rules of
// rectangles, so they hold for any desk, one monitor or several, a monitor
// left of or above the primary, or one that has gone since the last run.
// On one primary monitor at (0, 0) they give what the program always gave.
#pragma once
#include <cstdint>
#include <vector>

// Screen coordinates, right and bottom exclusive; the primary monitor's
// top-left corner is (0, 0), others may lie at negative x or y.
struct ScreenRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowGeometry&) const = default;
};

// A monitor as the system reports it: its whole area, and the work area
// that a maximised window fills (the area without the task bar).
struct MonitorAreas {
    ScreenRect area;
    ScreenRect work;
};

// Where the system parks a minimised window; a rectangle there is never a
// place to come back to.
bool isMinimisedPosition(const ScreenRect& r);

// Whether a player can take a window of rectangle r by its caption: the
// caption band (the top captionHeight rows) meets some monitor in a piece
// at least grabWidth wide (or the whole width of a narrower window) and
// at least half the band high. A rectangle with no area has no caption.
inline constexpr int grabWidth = 40;
bool captionOnSomeMonitor(const ScreenRect& r, int captionHeight, const std::vector<ScreenRect>& monitors);

// A window of the given size centred on a monitor, the halves truncated.
WindowGeometry centredOn(const ScreenRect& monitor, int width, int height);

// The stored rectangle when one is stored and its caption is on a monitor;
// otherwise the smallest window, centred on `fallback`: at start-up the
// primary monitor, on leaving full screen the window's own monitor.
WindowGeometry usableWindowGeometry(const ScreenRect& stored, int minimumWidth, int minimumHeight,
                                    int captionHeight, const std::vector<ScreenRect>& monitors,
                                    const ScreenRect& fallback);

// Full screen covers the whole of the window's own monitor.
WindowGeometry fullScreenGeometry(const MonitorAreas& monitor);

// Leaving full screen while maximised fills the monitor's work area. On
// the primary the system's full-screen metrics give it, as they always
// did: (0, 0), fullScreenWidth by fullScreenHeight (with the caption).
WindowGeometry maximisedFramedGeometry(const MonitorAreas& monitor, int fullScreenWidth, int fullScreenHeight);

// The click in full screen that shows or hides the bar: on the top row of
// the monitor the window fills.
bool isTopEdgeClick(int x, int y, const ScreenRect& monitor);
