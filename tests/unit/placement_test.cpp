#include <gtest/gtest.h>

#include "base/placement.h"
#include "settings/settings.h"

namespace {

// The desk of the measurements: the primary, and a second monitor left of
// it (or above it), with no task bar unless a test gives one.
constexpr ScreenRect primary{0, 0, 1280, 1024};
constexpr ScreenRect left{-1024, 0, 0, 768};
constexpr ScreenRect above{0, -768, 1024, 0};
// The main window there: its minimum size, the largest track size of that
// desk, and the caption band.
constexpr WindowLimits limits{1008, 657, 2316, 1036, 23};
const WindowGeometry centred{136, 183, 1008, 657};

MonitorAreas bare(const ScreenRect& area, bool isPrimary = false)
{
    return {area, area, isPrimary};
}

WindowGeometry startGeometry(const ScreenRect& stored, const std::vector<MonitorAreas>& monitors = {bare(primary, true)})
{
    return usableWindowGeometry(stored, limits, monitors, primaryWorkArea(monitors));
}

}  // namespace

TEST(Placement, StoredRectangleRulesOnOneMonitor)
{
    EXPECT_EQ(startGeometry({0, 0, 0, 0}), centred) << "none stored yet";
    EXPECT_EQ(startGeometry({10, 10, -1, 700}), centred) << "no area";
    EXPECT_EQ(startGeometry({100, 100, 100, 700}), centred) << "no width, on the monitor";
    EXPECT_EQ(startGeometry({100, 100, 1100, 100}), centred) << "no height, on the monitor";
    EXPECT_EQ(startGeometry({-32000, -32000, -31840, -31973}), centred) << "closed while minimised";
    EXPECT_EQ(startGeometry({-20, -5, 1100, 700}), (WindowGeometry{-20, -5, 1120, 705}))
        << "negative left or top alone";
    EXPECT_EQ(startGeometry({10, 100, 11, 101}), (WindowGeometry{10, 100, 1008, 657}))
        << "smaller than the minimum: created at the minimum";
    EXPECT_EQ(usableWindowGeometry({}, limits, {bare(primary, true)}, {0, 0, 1009, 658}),
              (WindowGeometry{0, 0, 1008, 657}))
        << "halves truncate";
}

TEST(Placement, ARectangleOnAnyMonitorIsRemembered)
{
    const std::vector<MonitorAreas> desk{bare(primary, true), bare(left)};
    EXPECT_EQ(startGeometry({-1010, 60, -2, 720}, desk), (WindowGeometry{-1010, 60, 1008, 660}));
    EXPECT_EQ(startGeometry({10, -700, 1018, -40}, {bare(primary, true), bare(above)}),
              (WindowGeometry{10, -700, 1008, 660}));
    EXPECT_EQ(startGeometry({-600, 100, 600, 760}, desk), (WindowGeometry{-600, 100, 1200, 660})) << "across both";
}

TEST(Placement, ARectangleOffEveryMonitorGivesTheDefault)
{
    const std::vector<MonitorAreas> desk{bare(primary, true), bare(left)};
    EXPECT_EQ(startGeometry({3000, 200, 4016, 869}, desk), centred) << "a monitor that is gone";
    EXPECT_EQ(startGeometry({-1010, 60, -10, 720}), centred) << "the left monitor unplugged";
    // The system keeps the place and shrinks the size to the largest track
    // size: what is left of a window stretched from a monitor that is gone
    // to this one is on no monitor.
    EXPECT_EQ(startGeometry({-6000, 100, 1900, 800}, desk), centred) << "stretched";
    // Enough of the caption to take it: 40 pixels wide, half its height.
    EXPECT_EQ(startGeometry({1240, 100, 2240, 700}).x, 1240);
    EXPECT_EQ(startGeometry({1241, 100, 2241, 700}), centred);
    EXPECT_EQ(startGeometry({100, -11, 1100, 700}).y, -11);
    EXPECT_EQ(startGeometry({100, -12, 1100, 700}), centred);
    EXPECT_EQ(startGeometry({100, 1012, 1100, 1700}).y, 1012);
    EXPECT_EQ(startGeometry({100, 1013, 1100, 1700}), centred);
    EXPECT_EQ(usableWindowGeometry({100, 100, 1100, 700}, limits, {}, primary), centred) << "no monitor reported";
    // A hand-edited file: nothing overflows, and the size is sane too.
    EXPECT_EQ(startGeometry({INT32_MIN, 0, INT32_MAX, INT32_MAX}), centred);
    EXPECT_EQ(startGeometry({INT32_MAX - 10, 0, INT32_MAX, 700}), centred);
    EXPECT_EQ(startGeometry({100, 100, INT32_MAX, INT32_MAX}), (WindowGeometry{100, 100, 2316, 1036}));
}

TEST(Placement, TheDefaultGoesToAWorkArea)
{
    // A task bar at the top of the primary; the monitor at (0, 0) need not
    // be the primary.
    EXPECT_EQ(startGeometry({}, {{primary, {0, 40, 1280, 1024}, true}}), (WindowGeometry{136, 203, 1008, 657}));
    EXPECT_EQ(startGeometry({}, {bare(primary), bare({1280, 0, 2304, 768}, true)}),
              (WindowGeometry{1288, 55, 1008, 657}));
    // A screen smaller than the window: its caption stays on it, under a
    // task bar at the top or at the left too.
    EXPECT_EQ(startGeometry({}, {bare({0, 0, 1024, 600}, true)}), (WindowGeometry{8, 0, 1008, 657}));
    EXPECT_EQ(startGeometry({}, {{{0, 0, 1024, 600}, {0, 40, 1024, 600}, true}}), (WindowGeometry{8, 40, 1008, 657}));
    EXPECT_EQ(usableWindowGeometry({-32000, -32000, -31840, -31973}, limits, {bare(primary, true), bare(left)},
                                   {-964, 0, 0, 768}),
              (WindowGeometry{-964, 55, 1008, 657}))
        << "leaving full screen on the left monitor, its task bar at the left";
}

TEST(Placement, ACaptionUnderATaskBarCannotBeTaken)
{
    const std::vector<MonitorAreas> desk{{primary, {0, 40, 1280, 1024}, true}, {left, {-964, 0, 0, 768}}};
    const WindowGeometry underTheBar{136, 203, 1008, 657};
    EXPECT_EQ(startGeometry({100, 0, 1116, 669}, desk), underTheBar) << "a task bar now at the top";
    EXPECT_EQ(startGeometry({100, 29, 1116, 698}, desk).y, 29) << "half the caption below the bar";
    EXPECT_EQ(startGeometry({100, 28, 1116, 697}, desk), underTheBar);
    EXPECT_EQ(startGeometry({-1932, 100, -924, 757}, desk).x, -1932) << "40 pixels right of a bar at the left";
    EXPECT_EQ(startGeometry({-1933, 100, -925, 757}, desk), underTheBar);
}

TEST(Placement, FullScreenFillsTheMonitorAndLeavingItMaximisedItsWorkArea)
{
    const MonitorAreas leftWithBars{left, {-964, 30, 0, 760}};
    EXPECT_EQ(fullScreenGeometry(leftWithBars), (WindowGeometry{-1024, 0, 1024, 768}));
    EXPECT_EQ(maximisedFramedGeometry(leftWithBars), (WindowGeometry{-964, 30, 964, 730}));
}

TEST(Placement, TopEdgeOfTheMonitorTheWindowFills)
{
    EXPECT_TRUE(isTopEdgeClick(400, 0, primary));
    EXPECT_TRUE(isTopEdgeClick(400, -768, above));
    EXPECT_FALSE(isTopEdgeClick(400, 0, above)) << "the primary's top row, below the monitor";
    EXPECT_FALSE(isTopEdgeClick(400, -767, above));
    EXPECT_TRUE(isTopEdgeClick(-1024, 0, left));
    EXPECT_FALSE(isTopEdgeClick(0, 0, left));
}

TEST(Placement, WhatAMoveOrResizeStores)
{
    const std::vector<MonitorAreas> desk{{primary, {0, 40, 1280, 1024}, true}, {left, {-964, 0, 0, 768}}};
    const WindowRect before{100, 60, 1140, 760}, now{-1010, 60, -10, 720};
    const RememberedWindow stored{0, before};
    const auto after = [&](const RememberedWindow& s, bool minimised, bool maximised, const WindowRect& current) {
        return placementAfterChange(s, minimised, maximised, current, desk);
    };
    EXPECT_EQ(after(stored, false, false, now), (RememberedWindow{0, now}));
    EXPECT_EQ(after({Settings::maximised, before}, false, false, now), (RememberedWindow{0, now}));
    EXPECT_EQ(after(stored, true, false, {-32000, -32000, -31840, -31973}), stored);
    EXPECT_EQ(after(stored, false, false, {-32000, -32000, -31840, -31973}), stored)
        << "a minimised position whatever the window says";
    EXPECT_EQ(after({Settings::fullScreen, before}, false, false, now), (RememberedWindow{Settings::fullScreen, before}));
    EXPECT_EQ(after(stored, false, false, {-33000, 60, -31990, 720}), (RememberedWindow{0, {-33000, 60, -31990, 720}}))
        << "far left is not the minimised position";
    // Entering full screen asks without the saved fullScreen bit, so a start
    // in full screen stores the rectangle the window was created with.
    EXPECT_EQ(after({0, {-32000, -32000, -31840, -31973}}, false, false, now), (RememberedWindow{0, now}));

    // Maximised, only the normal rectangle is kept, and it goes along to
    // the monitor the window is maximised on: the same place in the work
    // area, as far as it fits.
    EXPECT_EQ(after(stored, false, true, {-4, 36, 1284, 1028}), (RememberedWindow{Settings::maximised, before}));
    EXPECT_EQ(after(stored, false, true, {-968, -4, 4, 772}),
              (RememberedWindow{Settings::maximised, {-964, 20, 76, 720}}));
    EXPECT_EQ(after({0, {-900, 60, -100, 700}}, false, true, {-4, 36, 1284, 1028}),
              (RememberedWindow{Settings::maximised, {64, 100, 864, 740}}));
    EXPECT_EQ(after({0, {3000, 200, 4016, 869}}, false, true, {-4, 36, 1284, 1028}),
              (RememberedWindow{Settings::maximised, {264, 200, 1280, 869}}))
        << "from a monitor that is gone";
    EXPECT_EQ(after({0, {100, 2000, 1116, 2669}}, false, true, {-4, 36, 1284, 1028}),
              (RememberedWindow{Settings::maximised, {100, 355, 1116, 1024}}))
        << "from one that was below";
    EXPECT_EQ(after({0, {1279, 1023, 2279, 1700}}, false, true, {-4, 36, 1284, 1028}),
              (RememberedWindow{Settings::maximised, {1279, 1023, 2279, 1700}}))
        << "a corner on the monitor is on it";
    EXPECT_EQ(after(stored, false, true, {5000, 0, 6000, 700}), (RememberedWindow{Settings::maximised, before}))
        << "maximised on no monitor";
    EXPECT_EQ(placementAfterChange(stored, false, true, {-4, -772, 1028, 4}, {bare(primary, true), bare(above)}),
              (RememberedWindow{Settings::maximised, {0, -708, 1040, -8}}))
        << "on the monitor above";
}
