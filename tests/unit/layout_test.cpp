#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "base/layout.h"

namespace {

BarMeasures standardBar(int right = 1000, int bottom = 630, int servers = 30)
{
    BarMeasures m;
    m.clientRight = right;
    m.clientBottom = bottom;
    m.fullScreenWidth = 20;
    m.clickRightWidth = 70;
    m.clickLeftWidth = 64;
    m.openUrlX = 60;
    m.openUrlWidth = 55;
    m.serverCount = servers;
    return m;
}

}  // namespace

TEST(Layout, BarButtonsFromTheRightEdge)
{
    const BarLayout l = layoutBar(standardBar());
    EXPECT_EQ(l.fullScreenButton, (Box{975, 5, 20, 20}));
    EXPECT_EQ(l.clickRightButton, (Box{900, 5, 70, 20}));
    EXPECT_EQ(l.clickLeftButton, (Box{834, 5, 64, 20}));
}

TEST(Layout, ServerButtonsShareTheRoomEvenly)
{
    // Choose Open Url so that avail is 703: base 21, remainder 13.
    BarMeasures m = standardBar();
    m.openUrlX = 834 - 3 - 703 - 5 - 55;
    const BarLayout l = layoutBar(m);
    ASSERT_EQ(l.serverButtons.size(), 30u);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(l.serverButtons[i].width, i < 17 ? 21 : 22) << "button " << i + 1;
    const Box& first = l.serverButtons.front();
    const Box& last = l.serverButtons.back();
    EXPECT_EQ(first.x, m.openUrlX + m.openUrlWidth + 5);
    EXPECT_EQ(last.x + last.width - first.x, 701) << "29 gaps of 2 pixels included";
    EXPECT_EQ(l.clickLeftButton.x - (last.x + last.width), 5);
    for (std::size_t i = 1; i < l.serverButtons.size(); ++i)
        EXPECT_EQ(l.serverButtons[i].x, l.serverButtons[i - 1].x + l.serverButtons[i - 1].width + 2);
}

TEST(Layout, DivisibleRoomGivesEqualButtons)
{
    BarMeasures m = standardBar(1000, 630, 10);
    m.openUrlX = 834 - 3 - 300 - 5 - 55;  // avail 300 over 10 buttons
    const BarLayout l = layoutBar(m);
    for (const Box& b : l.serverButtons)
        EXPECT_EQ(b.width, 28);
    EXPECT_TRUE(layoutBar(standardBar(1000, 630, 0)).serverButtons.empty());
    // One server: the whole room, less its gap, is that button's.
    m.serverCount = 1;
    const std::vector<Box> one = layoutBar(m).serverButtons;
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (Box{m.openUrlX + m.openUrlWidth + 5, 5, 298, 20}));
}

TEST(Layout, BrowserAreaAndAboutView)
{
    EXPECT_EQ(layoutBar(standardBar()).browserArea, (Box{0, 30, 1000, 600}));
    BarMeasures hidden = standardBar();
    hidden.topBarShown = false;
    EXPECT_EQ(layoutBar(hidden).browserArea, (Box{0, 0, 1000, 630}));
    EXPECT_EQ(aboutWindowBox(0, 0, 1000, 630), (Box{0, 31, 1000, 600}));
    EXPECT_EQ(aboutWindowBox(0, 0, 1280, 1024), (Box{140, 228, 1000, 600}));
    // A client rectangle whose left edge is not 0.
    BarMeasures shifted = standardBar();
    shifted.clientLeft = 10;
    EXPECT_EQ(layoutBar(shifted).browserArea, (Box{10, 30, 990, 600}));
    EXPECT_EQ(aboutWindowBox(10, 0, 1010, 630), (Box{15, 31, 1000, 600}));
}

TEST(Layout, ClickerOverlays)
{
    EXPECT_EQ(leftOverlayBox(1000, 600), (Box{683, 545, 99, 39}));
    EXPECT_EQ(rightOverlayBox(1000, 600), (Box{883, 545, 99, 39}));
    EXPECT_EQ(leftOverlayBox(1110, 600).width, 118);
    EXPECT_EQ(leftOverlayBox(2000, 600).width, 118);
    EXPECT_EQ(leftOverlayBox(1104, 600).width, 117);
}

TEST(Layout, FullScreenStyleSwap)
{
    const std::uint32_t framed = 0x16CF0000;  // overlapped window, visible, clipping
    EXPECT_EQ(fullScreenStyle(framed), 0x96000000u);
    EXPECT_EQ(framedStyle(fullScreenStyle(framed)), framed);
    EXPECT_EQ(fullScreenStyle(framed | 0x01000000), 0x97000000u) << "maximised stays";
}

TEST(Layout, ClickTargetsLieUnderTheOverlays)
{
    EXPECT_EQ(leftClickTarget(1000, 600), (ClickPoint{746, 560}));
    EXPECT_EQ(rightClickTarget(1000, 600), (ClickPoint{920, 560}));
    for (int w : {1000, 1110, 1280, 1917}) {
        const Box left = leftOverlayBox(w, 600), right = rightOverlayBox(w, 600);
        const ClickPoint l = leftClickTarget(w, 600), r = rightClickTarget(w, 600);
        EXPECT_TRUE(l.x >= left.x && l.x < left.x + left.width && l.y >= left.y && l.y < left.y + left.height) << w;
        EXPECT_TRUE(r.x >= right.x && r.x < right.x + right.width && r.y >= right.y && r.y < right.y + right.height)
            << w;
    }
}
