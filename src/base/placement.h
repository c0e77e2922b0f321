// Where the main window goes on the player's monitors: plain rules of
// rectangles, so they hold for any desk, one monitor or several, a monitor
// left of or above the primary, task bars on any side, a screen smaller
// than the window, or a monitor that has gone since the last run.
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

// A monitor as the system reports it: its whole area, the work area that a
// maximised window fills (the area without the task bar), and whether the
// system marks it primary.
struct MonitorAreas {
    ScreenRect area;
    ScreenRect work;
    bool primary = false;
};

// How the system sizes the main window when it creates it: at most the
// largest track size, at least the minimum one (which wins), and the
// height of the band above the client area that holds the caption.
struct WindowLimits {
    int minimumWidth = 0, minimumHeight = 0;
    int maximumWidth = 0, maximumHeight = 0;
    int captionHeight = 0;
};

// What the settings keep of the main window: its state and its normal
// (neither maximised nor full-screen) rectangle, in screen coordinates.
struct RememberedWindow {
    enum Flag : std::uint32_t { maximised = 1, fullScreen = 2 };
    std::uint32_t flags = 0;
    ScreenRect rect;
    bool operator==(const RememberedWindow&) const = default;
};

// Where the system parks a minimised window; a rectangle there is never a
// place to come back to.
bool isMinimisedPosition(const ScreenRect& r);

// How much of the caption a player needs to take the window: a piece of
// the caption band (the top captionHeight rows) in one monitor's work
// area, at least grabWidth wide and at least half the band high.
inline constexpr int grabWidth = 40;

// The work area of the monitor the system marks primary: where a window
// with no place of its own starts.
ScreenRect primaryWorkArea(const std::vector<MonitorAreas>& monitors);

// A window of the given size in a work area: centred, then moved so that
// its top-left corner, and with it the caption, lies in the work area,
// however large the window.
WindowGeometry centredIn(const ScreenRect& work, int width, int height);

// The stored rectangle as the system will create it (its size limited),
// when a player can take its caption in a monitor's work area; otherwise the smallest
// window placed in `fallbackWork`: at start-up the primary's work area, on
// leaving full screen that of the window's own monitor.
WindowGeometry usableWindowGeometry(const ScreenRect& stored, const WindowLimits& limits,
                                    const std::vector<MonitorAreas>& monitors, const ScreenRect& fallbackWork);

// Full screen covers the whole of the window's own monitor.
WindowGeometry fullScreenGeometry(const MonitorAreas& monitor);

// Leaving full screen while maximised fills the work area of the window's
// monitor, the primary's too.
WindowGeometry maximisedFramedGeometry(const MonitorAreas& monitor);

// The click in full screen that shows or hides the bar: on the top row of
// the monitor the window fills.
bool isTopEdgeClick(int x, int y, const ScreenRect& monitor);

// What a move or a resize of the main window leaves in the settings. The
// maximised flag follows the window's real state, however it got there,
// and only the normal rectangle is kept, so the next start shows the
// window as it was left. A window maximised on another monitor than its
// normal rectangle takes that rectangle along: the same size at the same
// place in the work area, as far as it fits, so the next start maximises
// it there. While minimised, or in full-screen mode, the stored placement
// stays as it is; a rectangle at the minimised position is never stored,
// whatever the window says of its state.
RememberedWindow placementAfterChange(const RememberedWindow& stored, bool minimised, bool maximised,
                                     const ScreenRect& current, const std::vector<MonitorAreas>& monitors);
