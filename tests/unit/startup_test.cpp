#include <gtest/gtest.h>

#include <windows.h>
#include <urlmon.h>

#include "app/main_window.h"
#include "app/startup.h"
#include "base/constants.h"
#include "input/keyboard_hook.h"

TEST(Startup, OnlyTheNewNameReplacesTheOldExecutable)
{
    EXPECT_TRUE(isNewExecutablePath(L"C:\\Games\\new_orbisk.exe"));
    EXPECT_TRUE(isNewExecutablePath(L"new_orbisk.exe"));
    EXPECT_FALSE(isNewExecutablePath(L"C:\\Games\\New_Orbisk.exe"));
    EXPECT_FALSE(isNewExecutablePath(L"C:\\Games\\orbisk.exe"));
    EXPECT_FALSE(isNewExecutablePath(L"C:\\new_orbisk.exe\\zelvara.exe"));
    EXPECT_FALSE(isNewExecutablePath(L""));
}

TEST(Startup, UserAgentRewrite)
{
    EXPECT_EQ(patchedUserAgent("Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1)"),
              "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1)");
    EXPECT_EQ(patchedUserAgent("Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.2)"),
              "Mozilla/5.0 (compatible; MSIE 80.0; Windows NT 6.2)")
        << "only the one character after the token";
    EXPECT_EQ(patchedUserAgent("Mozilla/5.0 (Windows NT 10.0; Trident/7.0; rv:11.0)"), std::nullopt);
    EXPECT_EQ(patchedUserAgent("MSIE"), std::nullopt);
}

TEST(Startup, PatchUserAgentChangesTheProcessAgent)
{
    char agent[] = "Mozilla/4.0 (compatible; MSIE 7.0; Test)";
    ASSERT_EQ(UrlMkSetSessionOption(URLMON_OPTION_USERAGENT, agent, sizeof agent - 1, 0), S_OK);
    patchUserAgent();
    char read[1024] = {};
    DWORD length = 0;
    UrlMkGetSessionOption(URLMON_OPTION_USERAGENT, read, sizeof read, &length, 0);
    EXPECT_STREQ(read, "Mozilla/4.0 (compatible; MSIE 8.0; Test)");
}

TEST(Startup, MinimumWindowSizeHoldsTheMinimumClientArea)
{
    const WindowSize size = minimumWindowSize();
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, mainWindowStyle, FALSE, 0);
    EXPECT_EQ(size.width, frame.right - frame.left + 1000);
    EXPECT_EQ(size.height, frame.bottom - frame.top + 630);

    HWND window = CreateWindowExW(0, L"STATIC", L"probe", mainWindowStyle & ~WS_VISIBLE, 0, 0, size.width,
                                  size.height, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 1000);
    EXPECT_EQ(client.bottom, 630);
    DestroyWindow(window);
}

TEST(Startup, KeyboardHookLivesWithItsHolder)
{
    auto first = std::make_unique<KeyboardHook>();
    EXPECT_TRUE(first->installed());
    KeyboardHook second;
    EXPECT_FALSE(second.installed()) << "one hook per process";
    first.reset();
    KeyboardHook third;
    EXPECT_TRUE(third.installed()) << "removed with its holder, so a new one installs";
}
