#include <gtest/gtest.h>

#include "base/placement.h"
#include "settings/settings.h"

namespace {

// The desk of the measurements: the primary, and a second monitor left of
// it (or above it), with no task bar.
constexpr ScreenRect primary{0, 0, 1280, 1024};
constexpr ScreenRect left{-1024, 0, 0, 768};
constexpr ScreenRect above{0, -768, 1024, 0};
constexpr int caption = 23;
const WindowGeometry centred{136, 183, 1008, 657};

WindowGeometry startGeometry(const ScreenRect& stored, const std::vector<ScreenRect>& monitors = {primary})
{
    return usableWindowGeometry(stored, 1008, 657, caption, monitors, primary);
}

}  // namespace

TEST(Placement, StoredRectangleRulesOnOneMonitor)
{
    EXPECT_EQ(startGeometry({0, 0, 0, 0}), centred) << "none stored yet";
    EXPECT_EQ(startGeometry({10, 10, -1, 700}), centred) << "no area";
    EXPECT_EQ(startGeometry({-32000, -32000, -31840, -31973}), centred) << "closed while minimised";
    EXPECT_EQ(startGeometry({-20, -5, 1100, 700}), (WindowGeometry{-20, -5, 1120, 705}))
        << "negative left or top alone";
    EXPECT_EQ(usableWindowGeometry({}, 1008, 657, caption, {primary}, {0, 0, 1009, 658}),
              (WindowGeometry{0, 0, 1008, 657}))
        << "halves truncate";
}

TEST(Placement, ARectangleOnAnyMonitorIsRemembered)
{
    EXPECT_EQ(startGeometry({-1010, 60, -10, 720}, {primary, left}), (WindowGeometry{-1010, 60, 1000, 660}));
    EXPECT_EQ(startGeometry({10, -700, 1010, -40}, {primary, above}), (WindowGeometry{10, -700, 1000, 660}));
    EXPECT_EQ(startGeometry({-600, 100, 600, 760}, {primary, left}), (WindowGeometry{-600, 100, 1200, 660}))
        << "across both";
}

TEST(Placement, ARectangleOffEveryMonitorGivesTheDefault)
{
    EXPECT_EQ(startGeometry({3000, 200, 4016, 869}, {primary, left}), centred) << "a monitor that is gone";
    EXPECT_EQ(startGeometry({-1010, 60, -10, 720}), centred) << "the left monitor unplugged";
    // Enough of the caption to take it: 40 pixels wide, half its height.
    EXPECT_EQ(startGeometry({1240, 100, 2240, 700}).x, 1240);
    EXPECT_EQ(startGeometry({1241, 100, 2241, 700}), centred);
    EXPECT_EQ(startGeometry({100, -11, 1100, 700}).y, -11);
    EXPECT_EQ(startGeometry({100, -12, 1100, 700}), centred);
    EXPECT_EQ(startGeometry({100, 1012, 1100, 1700}).y, 1012);
    EXPECT_EQ(startGeometry({100, 1013, 1100, 1700}), centred);
    EXPECT_EQ(startGeometry({10, 100, 30, 700}).x, 10) << "a window narrower than the grab";
    EXPECT_EQ(startGeometry({100, 100, 1100, 700}, {}), centred) << "no monitor reported";
    EXPECT_EQ(startGeometry({INT32_MIN, 0, INT32_MAX, INT32_MAX}).x, INT32_MIN) << "no overflow";
}

TEST(Placement, FullScreenFillsTheWindowsOwnMonitor)
{
    EXPECT_EQ(fullScreenGeometry({primary, {0, 0, 1280, 994}}), (WindowGeometry{0, 0, 1280, 1024}));
    EXPECT_EQ(fullScreenGeometry({left, {-1024, 30, 0, 768}}), (WindowGeometry{-1024, 0, 1024, 768}));
}

TEST(Placement, LeavingFullScreenStaysOnTheMonitor)
{
    // Maximised: the system's metrics on the primary, the work area elsewhere.
    EXPECT_EQ(maximisedFramedGeometry({primary, {0, 30, 1280, 1024}}, 1280, 1013), (WindowGeometry{0, 0, 1280, 1013}));
    EXPECT_EQ(maximisedFramedGeometry({left, {-1024, 30, 0, 768}}, 1280, 1013),
              (WindowGeometry{-1024, 30, 1024, 738}));
    // Framed: the stored rectangle passes the start-up rule, and the default
    // is centred on the monitor the window filled.
    EXPECT_EQ(usableWindowGeometry({-32000, -32000, -31840, -31973}, 1008, 657, caption, {primary, left}, left),
              (WindowGeometry{-1016, 55, 1008, 657}))
        << "an older build's minimised position";
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
    const WindowRect before{100, 60, 1140, 760}, now{-1010, 60, -10, 720};
    const WindowPlacement stored{0, before};
    EXPECT_EQ(placementAfterChange(stored, false, false, now), (WindowPlacement{0, now}));
    EXPECT_EQ(placementAfterChange(stored, false, true, now), (WindowPlacement{Settings::maximised, before}));
    EXPECT_EQ(placementAfterChange({Settings::maximised, before}, false, false, now), (WindowPlacement{0, now}));
    EXPECT_EQ(placementAfterChange(stored, true, false, {-32000, -32000, -31840, -31973}), stored);
    EXPECT_EQ(placementAfterChange(stored, false, false, {-32000, -32000, -31840, -31973}), stored)
        << "a minimised position whatever the window says";
    EXPECT_EQ(placementAfterChange({Settings::fullScreen, before}, false, false, now),
              (WindowPlacement{Settings::fullScreen, before}));
    // Entering full screen asks without the saved fullScreen bit, so a start
    // in full screen stores the rectangle the window was created with.
    EXPECT_EQ(placementAfterChange({0, {-32000, -32000, -31840, -31973}}, false, false, now), (WindowPlacement{0, now}));
}
