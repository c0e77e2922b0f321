// The stand-in player as the program uses it: posted chat keys and clicks,
// its input log, and the loaded-battle pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "EventRecorder.h"
#include "SiteSession.h"
#include "TestContainer.h"

namespace {

bool contains(const std::vector<std::string>& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(), [&](auto& l) { return l.find(part) != std::string::npos; });
}

LPARAM point(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace

class Player : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SiteSession::configured()) GTEST_FAIL() << "needs the stand-in site: run inside tests/env/session.sh";
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        container = std::make_unique<TestContainer>(1000, 600);
        ASSERT_HRESULT_SUCCEEDED(container->created());
        ASSERT_TRUE(container->advise(&sink));
    }
    void TearDown() override {
        container.reset();
        CoUninitialize();
    }
    // Opens a page and returns its (last) full-size player window.
    HWND openPlayer(const std::wstring& path) {
        container->navigate(SiteSession::address(path));
        if (!SiteSession::waitFor([&] { return !sink.events.empty() && sink.events.back().id == 259; })) return nullptr;
        HWND a = FindWindowExW(container->window(), nullptr, nullptr, nullptr);
        HWND b = FindWindowExW(a, nullptr, nullptr, nullptr);
        HWND c = FindWindowExW(b, nullptr, nullptr, nullptr);
        HWND player = nullptr;
        for (HWND x : SiteSession::children(c))
            if (SiteSession::clientRect(x).right > 1) player = x;
        return player;
    }
    // The pixel the program tests, read the way it reads it.
    static COLORREF loadedPixel(HWND player) {
        UpdateWindow(player);
        RECT r = SiteSession::clientRect(player);
        HDC dc = GetDC(player);
        COLORREF c = GetPixel(dc, r.right - 20, r.bottom - 11);
        ReleaseDC(player, dc);
        return c;
    }
    static void click(HWND player, int x, int y) {
        PostMessageW(player, WM_LBUTTONDOWN, 0, point(x, y));
        PostMessageW(player, WM_LBUTTONUP, 0, point(x, y));
    }

    EventRecorder sink;
    std::unique_ptr<TestContainer> container;
};

TEST_F(Player, LogsPostedKeysAndCharactersAndSendsTheTeamChat) {
    HWND player = openPlayer(L"/player.html?clicks=100");
    ASSERT_NE(player, nullptr);
    PostMessageW(player, WM_KEYDOWN, 'T', 0x00140001);
    PostMessageW(player, WM_KEYUP, 'T', static_cast<LPARAM>(0xC0140001));
    for (wchar_t c : std::wstring(L"gg \x043f")) PostMessageW(player, WM_CHAR, c, 0);
    PostMessageW(player, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(player, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
    ASSERT_TRUE(SiteSession::waitFor([&] { return contains(SiteSession::playerLog(player), "\"event\":\"chat\""); }));

    auto log = SiteSession::playerLog(player);
    EXPECT_TRUE(contains(log, "\"event\":\"chat\",\"hwnd\":" + std::to_string(reinterpret_cast<UINT_PTR>(player)) +
                                  ",\"team\":true,\"text\":\"gg \xd0\xbf\""));
    std::vector<std::string> inputs;
    for (auto& l : log)
        if (l.find("\"msg\"") != std::string::npos) inputs.push_back(l.substr(l.find("\"msg\"")));
    ASSERT_GE(inputs.size(), 8u);
    EXPECT_EQ(inputs[0].rfind("\"msg\":\"WM_KEYDOWN\",\"wParam\":84,\"lParam\":1310721,", 0), 0u) << inputs[0];
    EXPECT_EQ(inputs[1].rfind("\"msg\":\"WM_KEYUP\",\"wParam\":84,\"lParam\":3222536193,", 0), 0u) << inputs[1];
    EXPECT_EQ(inputs[2].rfind("\"msg\":\"WM_CHAR\",\"wParam\":103,\"lParam\":0,", 0), 0u) << inputs[2];
    EXPECT_EQ(inputs[5].rfind("\"msg\":\"WM_CHAR\",\"wParam\":1087,", 0), 0u) << inputs[5];
    EXPECT_EQ(inputs[6].rfind("\"msg\":\"WM_KEYDOWN\",\"wParam\":13,", 0), 0u) << inputs[6];
}

TEST_F(Player, EnterOpensTheChatForAll) {
    HWND player = openPlayer(L"/player.html?clicks=100");
    ASSERT_NE(player, nullptr);
    PostMessageW(player, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(player, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
    PostMessageW(player, WM_CHAR, L'h', 0);
    PostMessageW(player, WM_CHAR, L'i', 0);
    PostMessageW(player, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    ASSERT_TRUE(SiteSession::waitFor([&] { return contains(SiteSession::playerLog(player), "\"event\":\"chat\""); }));
    EXPECT_TRUE(contains(SiteSession::playerLog(player), "\"team\":false,\"text\":\"hi\""));
}

TEST_F(Player, LogsPostedClicksWithTheirPoint) {
    HWND player = openPlayer(L"/player.html?clicks=100");
    ASSERT_NE(player, nullptr);
    click(player, 746, 560);
    ASSERT_TRUE(SiteSession::waitFor([&] { return contains(SiteSession::playerLog(player), "WM_LBUTTONUP"); }));
    auto log = SiteSession::playerLog(player);
    EXPECT_TRUE(contains(log, "\"msg\":\"WM_LBUTTONDOWN\",\"wParam\":0,\"lParam\":" + std::to_string(point(746, 560))));
    EXPECT_TRUE(contains(log, "\"msg\":\"WM_LBUTTONUP\",\"wParam\":0,\"lParam\":" + std::to_string(point(746, 560))));
}

TEST_F(Player, ShowsTheLoadedBattleOnlyAfterEnoughClicksOnTargets) {
    HWND player = openPlayer(L"/player.html?clicks=3&delay=0");
    ASSERT_NE(player, nullptr);
    ASSERT_NE(loadedPixel(player), CLR_INVALID) << "the pixel can be read";
    EXPECT_NE(loadedPixel(player), RGB(255, 255, 255));
    click(player, 746, 560);   // left target, 2 * (1000 / 3) + 80
    click(player, 920, 560);   // right target, 1000 - 80
    click(player, 500, 300);   // elsewhere: does not count
    ASSERT_TRUE(SiteSession::waitFor([&] { return contains(SiteSession::playerLog(player), "\"lParam\":" +
                                                               std::to_string(point(500, 300))); }));
    EXPECT_NE(loadedPixel(player), RGB(255, 255, 255)) << "two target clicks are not enough";
    EXPECT_FALSE(contains(SiteSession::playerLog(player), "\"event\":\"loaded\""));

    click(player, 740, 552);
    ASSERT_TRUE(SiteSession::waitFor([&] { return loadedPixel(player) == RGB(255, 255, 255); }));
    EXPECT_TRUE(contains(SiteSession::playerLog(player), "\"event\":\"loaded\""));
    // A window hidden over it uncovers a part: that part alone, in its place.
    RECT r = SiteSession::clientRect(player), part{r.right - 20, r.bottom - 11, r.right - 19, r.bottom - 10};
    InvalidateRect(player, &part, FALSE);
    EXPECT_EQ(loadedPixel(player), RGB(255, 255, 255));
}

TEST_F(Player, ShowsTheLoadedBattleAfterItsDelay) {
    HWND player = openPlayer(L"/player.html?clicks=0&delay=700");
    ASSERT_NE(player, nullptr);
    ULONGLONG opened = GetTickCount64();
    EXPECT_NE(loadedPixel(player), RGB(255, 255, 255));
    ASSERT_TRUE(SiteSession::waitFor([&] { return loadedPixel(player) == RGB(255, 255, 255); }));
    EXPECT_GE(GetTickCount64() - opened, 500u) << "not loaded long before its delay";
}

TEST_F(Player, BattlePageUsesTheFullAreaAndTheSitesDefaultCondition) {
    HWND player = openPlayer(L"/battle-ru.html#/server=RU7");
    ASSERT_NE(player, nullptr);
    RECT r = SiteSession::clientRect(player);
    EXPECT_EQ(r.right, 1000);
    EXPECT_EQ(r.bottom, 600);
    EXPECT_NE(loadedPixel(player), RGB(255, 255, 255)) << "a battle page needs clicks first";
}
