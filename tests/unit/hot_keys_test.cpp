#include <gtest/gtest.h>

#include "input/hot_keys.h"

namespace {

constexpr std::uint32_t down = 0x00000001, repeat = 0x40000001, up = 0xC0000001;

}  // namespace

TEST(HotKeys, FunctionKeysActOnTheFirstKeyDownAndAreAlwaysConsumed)
{
    EXPECT_EQ(decideHotKey(0, 112, down, 44), HotKeyAction::chatMacro);
    EXPECT_EQ(decideHotKey(0, 121, down, 44), HotKeyAction::chatMacro);
    EXPECT_EQ(decideHotKey(0, 122, down, 44), HotKeyAction::toggleFullScreen);
    EXPECT_EQ(decideHotKey(0, 123, down, 44), HotKeyAction::toggleTopBar);
    for (std::uint32_t key = 112; key <= 123; ++key) {
        EXPECT_EQ(decideHotKey(0, key, repeat, 44), HotKeyAction::consume) << key;
        EXPECT_EQ(decideHotKey(0, key, up, 44), HotKeyAction::consume) << key;
    }
    EXPECT_EQ(decideHotKey(0, 124, down, 44), HotKeyAction::passOn) << "F13 is not ours";
    EXPECT_EQ(decideHotKey(0, 111, down, 44), HotKeyAction::passOn);
}

TEST(HotKeys, ScreenshotKeyGivesOneShotPerPressOnItsRelease)
{
    // Print Screen's key-down never reaches a thread hook on Windows: the
    // key-up alone must take the shot.
    EXPECT_EQ(decideHotKey(0, 44, up, 44), HotKeyAction::screenshot);
    EXPECT_EQ(decideHotKey(0, 44, down, 44), HotKeyAction::consume);
    EXPECT_EQ(decideHotKey(0, 44, repeat, 44), HotKeyAction::consume);
    EXPECT_EQ(decideHotKey(0, 27, down, 27), HotKeyAction::consume) << "Esc as the key";
    EXPECT_EQ(decideHotKey(0, 27, up, 27), HotKeyAction::screenshot);
    EXPECT_EQ(decideHotKey(0, 27, down, 44), HotKeyAction::passOn);
    EXPECT_EQ(decideHotKey(0, 44, up, 0), HotKeyAction::passOn) << "no page opened yet";
}

TEST(HotKeys, OnlyRemovedKeystrokesAreActedOn)
{
    EXPECT_EQ(decideHotKey(3, 112, down, 44), HotKeyAction::passOn) << "HC_NOREMOVE";
    EXPECT_EQ(decideHotKey(3, 44, down, 44), HotKeyAction::passOn);
    EXPECT_EQ(decideHotKey(0, 'A', down, 44), HotKeyAction::passOn);
}
