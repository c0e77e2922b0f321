// The Flash window search, the loaded-battle test and the chat macros against
// the stand-in control and player of the test session, on stand-in pages.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "address/game_address.h"
#include "browser/ax_host.h"
#include "browser/browser_event.h"
#include "browser/browser_host.h"
#include "input/chat_macros.h"
#include "settings/settings.h"
#include "browser_test_support.h"
#include "test_support.h"

namespace {

// Ids of the navigation events the main window got.
std::vector<WPARAM> events;

LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_BROWSER_EVENT) {
        events.push_back(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool documentComplete()
{
    for (WPARAM id : events)
        if (id == static_cast<WPARAM>(browserEventDocumentComplete))
            return true;
    return false;
}

std::wstring siteAddress(const wchar_t* path)
{
    return L"http://abc123." + std::wstring(gameDomain) + path;
}


void pumpFor(DWORD ms)
{
    pumpUntil([] { return false; }, ms);
}

void search(BrowserHost& host)
{
    findFlashWindow(nullptr, 0, reinterpret_cast<UINT_PTR>(&host), 0);
}

HWND firstChild(HWND parent)
{
    return parent ? FindWindowExW(parent, nullptr, nullptr, nullptr) : nullptr;
}

// Where the control keeps the page's plug-in windows.
HWND pluginParent(const BrowserHost& host)
{
    return firstChild(firstChild(firstChild(host.hostWindow)));
}

std::vector<HWND> plugins(const BrowserHost& host)
{
    std::vector<HWND> found;
    const HWND parent = pluginParent(host);
    for (HWND c = firstChild(parent); c; c = FindWindowExW(parent, c, nullptr, nullptr))
        found.push_back(c);
    return found;
}

SIZE clientSize(HWND window)
{
    RECT r = {};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// The window's own flag: the test's main window stays hidden.
bool shown(HWND window)
{
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool isOnePixel(HWND window)
{
    const SIZE size = clientSize(window);
    return size.cx == 1 || size.cy == 1;
}

// The player's log lines about one window, whole lines only.
std::vector<std::string> playerLog(HWND player)
{
    wchar_t path[1024] = L"";
    const DWORD length = GetEnvironmentVariableW(L"ZELVARA_PLAYER_LOG", path, 1024);
    if (length == 0 || length >= 1024)
        return {};
    // Shared: the player keeps appending while we read.
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string text;
    char buffer[65536];
    for (DWORD read = 0; ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0;)
        text.append(buffer, read);
    CloseHandle(file);
    const std::string id = "\"hwnd\":" + std::to_string(reinterpret_cast<UINT_PTR>(player));
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        const std::size_t at = line.find(id);
        if (at != std::string::npos && (line[at + id.size()] == ',' || line[at + id.size()] == '}'))
            lines.push_back(line);
    }
    return lines;
}

std::string logged(const std::string& message, std::uint32_t wParam, std::uint32_t lParam)
{
    return "\"msg\":\"" + message + "\",\"wParam\":" + std::to_string(wParam) +
           ",\"lParam\":" + std::to_string(lParam) + ",";
}

std::vector<std::string> loggedMessages(HWND player)
{
    std::vector<std::string> messages;
    for (const std::string& line : playerLog(player)) {
        const std::size_t at = line.find("\"msg\":");
        if (at != std::string::npos)
            messages.push_back(line.substr(at, line.find("\"hwnd\"") - at));
    }
    return messages;
}

// The log lines of one kind of event about the window.
std::vector<std::string> eventLines(HWND player, const std::string& event)
{
    std::vector<std::string> lines;
    for (const std::string& line : playerLog(player))
        if (line.find("\"event\":\"" + event + "\"") != std::string::npos)
            lines.push_back(line);
    return lines;
}

// Runs a function on a thread of its own; the caller may wait for it
// without letting its messages flow.
class Worker {
public:
    explicit Worker(std::function<void()> work) : work_(std::move(work))
    {
        handle_ = CreateThread(nullptr, 0, entry, this, 0, nullptr);
    }
    ~Worker()
    {
        // A worker stuck on this thread's messages is freed by letting them flow.
        while (handle_ && MsgWaitForMultipleObjects(1, &handle_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
            pumpFor(0);
        if (handle_)
            CloseHandle(handle_);
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    HANDLE handle() const { return handle_; }

private:
    static DWORD WINAPI entry(void* self)
    {
        static_cast<Worker*>(self)->work_();
        return 0;
    }

    std::function<void()> work_;
    HANDLE handle_ = nullptr;
};

class FlashWindowTest : public BrowserApartmentTest {
protected:
    static void SetUpTestSuite()
    {
        BrowserApartmentTest::SetUpTestSuite();
        ASSERT_TRUE(registerTestWindowClass(L"ZelvaraFlashTestMain", mainProc));
        ASSERT_TRUE(registerTestWindowClass(L"ZelvaraFlashTestWhite", DefWindowProcW,
                                            static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
    }

    void SetUp() override
    {
        events.clear();
        main_ = CreateWindowExW(0, L"ZelvaraFlashTestMain", L"main", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                800, 600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(main_, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(main_);
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_BROWSER_EVENT, WM_BROWSER_EVENT, PM_REMOVE)) {
        }
    }

    // A host on the page, given the browser area as the layout would.
    std::unique_ptr<BrowserHost> open(const wchar_t* path, int width = 600, int height = 400)
    {
        auto host = std::make_unique<BrowserHost>(main_, siteAddress(path), Box{});
        MoveWindow(host->hostWindow, 0, 0, width, height, TRUE);
        host->areaWidth = width;
        host->areaHeight = height;
        return host;
    }

    // Waits for the page's plug-in windows, with the search timer stopped so
    // that the test decides who searches.
    static std::vector<HWND> waitForPlugins(BrowserHost& host, std::size_t count)
    {
        KillTimer(host.hostWindow, reinterpret_cast<UINT_PTR>(&host));
        std::vector<HWND> found;
        pumpUntil([&] { return (found = plugins(host)).size() >= count; }, 15000);
        return found;
    }

    ScratchDirectory scratch_;
    HWND main_ = nullptr;
};

TEST_F(FlashWindowTest, PixelLastHidesTheSmallWindowRecordsThePlayerAndStopsInThatTick)
{
    auto host = open(L"/pixel-last.html");
    ASSERT_TRUE(pumpUntil([&] { return host->searchTicksLeft < 0; }, 15000));
    EXPECT_EQ(host->searchTicksLeft, -1) << "set to 0 in the tick, then counted";

    const std::vector<HWND> found = plugins(*host);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_FALSE(isOnePixel(found[0]));
    EXPECT_TRUE(isOnePixel(found[1]));
    EXPECT_EQ(host->flashWindowHandle.load(), found[0]);
    EXPECT_TRUE(shown(found[0]));
    EXPECT_FALSE(shown(found[1]));
    ASSERT_TRUE(host->chatMacros);
    EXPECT_EQ(host->chatMacros->target(), found[0]);
    EXPECT_EQ(ChatMacros::current.load(), host->chatMacros);

    // Stopped: no tick counts, no table is bound again.
    const std::shared_ptr<ChatMacros> bound = host->chatMacros;
    pumpFor(350);
    EXPECT_EQ(host->searchTicksLeft, -1);
    EXPECT_EQ(host->chatMacros, bound);
}

TEST_F(FlashWindowTest, PixelFirstStopsAtTheFirstTickThatSeesTheSmallWindow)
{
    auto host = open(L"/pixel-first.html");
    ASSERT_TRUE(pumpUntil([&] { return host->searchTicksLeft < 0; }, 15000));
    const std::vector<HWND> found = plugins(*host);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_TRUE(isOnePixel(found[0]));
    EXPECT_FALSE(shown(found[0]));
    // The stand-in makes both windows at once, so the player is seen in the
    // same tick, after the small one.
    EXPECT_EQ(host->flashWindowHandle.load(), found[1]);
    pumpFor(350);
    EXPECT_EQ(host->searchTicksLeft, -1);

    // A known window is returned without searching.
    EXPECT_EQ(host->flashWindow(), found[1]);
    EXPECT_EQ(host->searchTicksLeft, -1);
}

// A player that appears only after the timer stopped for a one-pixel window
// is found by a direct search, which counts as a tick.
TEST_F(FlashWindowTest, APlayerAfterTheStopIsFoundOnlyByDirectCalls)
{
    auto host = open(L"/empty.html");
    // The control clears the plug-in area when the document completes.
    ASSERT_TRUE(pumpUntil(documentComplete, 15000));
    const HWND parent = pluginParent(*host);
    ASSERT_NE(parent, nullptr);
    const HWND small = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, parent, nullptr,
                                       nullptr, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return host->searchTicksLeft < 0; }, 3000));
    EXPECT_FALSE(shown(small));
    EXPECT_EQ(host->flashWindowHandle.load(), nullptr);
    EXPECT_FALSE(host->chatMacros);

    const HWND player = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 600, 400, parent, nullptr,
                                        nullptr, nullptr);
    pumpFor(350);
    EXPECT_EQ(host->flashWindowHandle.load(), nullptr) << "the timer no longer searches";
    EXPECT_EQ(host->searchTicksLeft, -1);

    EXPECT_EQ(host->flashWindow(), player);
    // The small window, seen again, sets the count to 0 before the call counts.
    EXPECT_EQ(host->searchTicksLeft, -1);
    ASSERT_TRUE(host->chatMacros);
    EXPECT_EQ(host->chatMacros->target(), player);
    EXPECT_EQ(ChatMacros::current.load(), host->chatMacros);
}

TEST_F(FlashWindowTest, APlayerAloneIsRecordedAgainEveryTickUntilTick601)
{
    auto host = open(L"/battle-en.html");
    ASSERT_TRUE(pumpUntil([&] { return host->flashWindowHandle.load() != nullptr; }, 15000));
    const HWND player = host->flashWindowHandle.load();
    EXPECT_EQ(plugins(*host), std::vector<HWND>{player});
    const std::shared_ptr<ChatMacros> first = host->chatMacros;
    ASSERT_TRUE(first);
    EXPECT_EQ(first->target(), player);

    // Each tick binds a table of its own to the same window.
    ASSERT_TRUE(pumpUntil([&] { return host->chatMacros != first; }, 1000));
    EXPECT_EQ(host->flashWindowHandle.load(), player);
    EXPECT_EQ(host->chatMacros->target(), player);
    EXPECT_EQ(ChatMacros::current.load(), host->chatMacros);
    EXPECT_GT(host->searchTicksLeft, 0);

    // Skip to the last ticks rather than wait a minute: the 600th tick counts
    // to 0 and goes on, the 601st stops the timer.
    host->searchTicksLeft = 2;
    ASSERT_TRUE(pumpUntil([&] { return host->searchTicksLeft == 0; }, 1000));
    ASSERT_TRUE(pumpUntil([&] { return host->searchTicksLeft < 0; }, 1000));
    const std::shared_ptr<ChatMacros> last = host->chatMacros;
    pumpFor(350);
    EXPECT_EQ(host->searchTicksLeft, -1);
    EXPECT_EQ(host->chatMacros, last);
    EXPECT_EQ(host->flashWindowHandle.load(), player);
}

TEST_F(FlashWindowTest, APageWithoutPlayerKeepsTheTimerRunning)
{
    auto host = open(L"/empty.html");
    ASSERT_TRUE(pumpUntil(documentComplete, 15000));
    ASSERT_NE(pluginParent(*host), nullptr) << "the chain is there, only no plug-in";
    const std::int32_t before = host->searchTicksLeft;
    ASSERT_TRUE(pumpUntil([&] { return host->searchTicksLeft <= before - 3; }, 2000));
    EXPECT_EQ(host->flashWindowHandle.load(), nullptr);
    EXPECT_FALSE(host->chatMacros);
    EXPECT_EQ(host->flashWindow(), nullptr);
    EXPECT_FALSE(host->isBattleLoaded());
}

TEST_F(FlashWindowTest, ReleasingTheHostClearsTheCurrentTableFirst)
{
    auto host = open(L"/battle-en.html");
    ASSERT_TRUE(pumpUntil([&] { return ChatMacros::current.load() != nullptr; }, 15000));
    const std::weak_ptr<ChatMacros> table = host->chatMacros;
    host.reset();
    EXPECT_EQ(ChatMacros::current.load(), nullptr);
    EXPECT_TRUE(table.expired());
    EXPECT_FALSE(sendChatMacro(VK_F1));
}

TEST_F(FlashWindowTest, BattleLoadedOnlyOnceThePlayerShowsWhite)
{
    ShowWindow(main_, SW_SHOW);
    auto host = open(L"/player.html?clicks=1", 600, 400);
    HWND player = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (player = host->flashWindowHandle.load()) != nullptr; }, 15000));
    ASSERT_TRUE(pumpUntil([&] { return clientSize(player).cx == 600 && clientSize(player).cy == 400; }, 3000));
    pumpFor(200);
    EXPECT_FALSE(host->isBattleLoaded());

    const int x = 2 * (600 / 3) + 80, y = 400 - 40;
    PostMessageW(player, WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
    PostMessageW(player, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    ASSERT_TRUE(pumpUntil([&] { return !eventLines(player, "loaded").empty(); }, 5000));
    EXPECT_TRUE(pumpUntil([&] { return host->isBattleLoaded(); }, 3000));

    // Another browser area reads another point, off the white mark.
    host->areaWidth = 500;
    EXPECT_FALSE(host->isBattleLoaded());
}

// With no player window there is nothing to read; the screen at that point
// (white here) must not pass for a loaded battle.
TEST_F(FlashWindowTest, NoPlayerWindowIsNoLoadedBattleWhateverTheScreenShows)
{
    auto host = open(L"/empty.html", 100, 100);
    ASSERT_TRUE(pumpUntil(documentComplete, 15000));
    const HWND white =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"ZelvaraFlashTestWhite", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200,
                        nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(white, nullptr);
    pumpFor(200);
    HDC screen = GetDC(nullptr);
    const COLORREF there = GetPixel(screen, 100 - 20, 100 - 11);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(there, RGB(255, 255, 255)) << "the screen is white where the mark would be";

    EXPECT_FALSE(host->isBattleLoaded());
    EXPECT_EQ(host->flashWindowHandle.load(), nullptr);
    DestroyWindow(white);
}

// The worker's search hides a window of this thread while this thread waits
// for the worker without letting messages flow.
TEST_F(FlashWindowTest, ASearchFromAWorkerNeverWaitsOnTheWindowsThread)
{
    auto host = open(L"/pixel-last.html");
    const std::vector<HWND> found = waitForPlugins(*host, 2);
    ASSERT_EQ(found.size(), 2u);
    const HWND player = found[0], small = found[1];
    ASSERT_TRUE(shown(small));
    // Armed again so the worker's search is the one to stop it.
    SetTimer(host->hostWindow, reinterpret_cast<UINT_PTR>(host.get()), 100, findFlashWindow);

    Worker worker([&] { search(*host); });
    ASSERT_NE(worker.handle(), nullptr);
    ASSERT_EQ(WaitForSingleObject(worker.handle(), 5000), WAIT_OBJECT_0) << "the search waited on this thread";

    EXPECT_EQ(host->flashWindowHandle.load(), player);
    EXPECT_EQ(host->searchTicksLeft, -1);
    ASSERT_TRUE(pumpUntil([&] { return !shown(small); }, 2000)) << "the hide arrives through the queue";
    const std::shared_ptr<ChatMacros> bound = ChatMacros::current.load();
    ASSERT_TRUE(bound);
    EXPECT_EQ(bound->target(), player);
    pumpFor(350);
    EXPECT_EQ(ChatMacros::current.load(), bound) << "the worker's search stopped the timer";
}

// Both threads search at once while a reader uses the table in use: no tick
// is lost and no reader meets a freed table.
TEST_F(FlashWindowTest, SearchesFromTwoThreadsAreSerialised)
{
    auto host = open(L"/battle-en.html");
    const std::vector<HWND> found = waitForPlugins(*host, 1);
    ASSERT_EQ(found.size(), 1u);
    const std::int32_t before = host->searchTicksLeft;
    constexpr int calls = 1500;

    std::atomic<bool> searching{true};
    std::atomic<int> lookups{0};
    std::atomic<int> mismatches{0};
    {
        Worker reader([&] {
            while (searching.load()) {
                const std::shared_ptr<ChatMacros> table = ChatMacros::current.load();
                // F11 has no macro: the table is read, nothing is posted.
                if (table && table->find(VK_F1) && !sendChatMacro(VK_F11))
                    ++lookups;
            }
        });
        // Inside the lock the host's table and the current one always agree.
        Worker observer([&] {
            while (searching.load()) {
                const std::lock_guard<std::mutex> lock(host->searchLock);
                if (ChatMacros::current.load() != host->chatMacros)
                    ++mismatches;
            }
        });
        Worker first([&] {
            for (int i = 0; i < calls; ++i)
                search(*host);
        });
        Worker second([&] {
            for (int i = 0; i < calls; ++i)
                search(*host);
        });
        const HANDLE searchers[] = {first.handle(), second.handle()};
        EXPECT_EQ(WaitForMultipleObjects(2, searchers, TRUE, 60000), WAIT_OBJECT_0);
        searching = false;
    }
    EXPECT_EQ(host->searchTicksLeft, before - 2 * calls);
    EXPECT_EQ(host->flashWindowHandle.load(), found[0]);
    EXPECT_EQ(ChatMacros::current.load(), host->chatMacros);
    EXPECT_EQ(host->chatMacros.use_count(), 2) << "the host and the current pointer";
    EXPECT_GT(lookups.load(), 0);
    EXPECT_EQ(mismatches.load(), 0);
}

// The tables of a host come from the messages as they were at its opening.
TEST_F(FlashWindowTest, ChatMacrosArriveInThePlayerInOrder)
{
    Settings& settings = *Settings::instance();
    const std::vector<ChatMessage> saved = settings.chatMessages;
    settings.chatMessages = {{VK_F1, L"Base", true}, {VK_F2, L"gg \xD83D\xDE00", false}};
    auto host = open(L"/battle-en.html");
    settings.chatMessages = {{VK_F1, L"changed", false}};
    HWND player = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (player = host->flashWindowHandle.load()) != nullptr; }, 15000));
    const ChatKeyParams& p = chatKeyParams;
    const std::string enterDown = logged("WM_KEYDOWN", VK_RETURN, p.enterKeyDownParam);
    const std::string enterUp = logged("WM_KEYUP", VK_RETURN, p.enterKeyUpParam);

    ASSERT_TRUE(sendChatMacro(VK_F1));
    ASSERT_TRUE(pumpUntil([&] { return eventLines(player, "chat").size() == 1; }, 5000));
    const std::vector<std::string> team = {
        logged("WM_KEYDOWN", 'T', p.teamKeyDownParam), logged("WM_KEYUP", 'T', p.teamKeyUpParam),
        logged("WM_CHAR", 'B', 0), logged("WM_CHAR", 'a', 0), logged("WM_CHAR", 's', 0), logged("WM_CHAR", 'e', 0),
        enterDown, enterUp,
    };
    std::vector<std::string> messages = loggedMessages(player);
    ASSERT_GE(messages.size(), team.size());
    EXPECT_EQ(std::vector<std::string>(messages.begin(), messages.begin() + team.size()), team);
    EXPECT_NE(eventLines(player, "chat")[0].find("\"team\":true,\"text\":\"Base\""), std::string::npos);

    // What the first macro set off (the message loop's own translations
    // included) has arrived before the second starts.
    pumpFor(200);
    const std::size_t already = loggedMessages(player).size();
    ASSERT_TRUE(sendChatMacro(VK_F2));
    ASSERT_TRUE(pumpUntil([&] { return eventLines(player, "chat").size() == 2; }, 5000));
    const std::vector<std::string> all = {
        enterDown, enterUp, logged("WM_CHAR", 'g', 0), logged("WM_CHAR", 'g', 0), logged("WM_CHAR", ' ', 0),
        logged("WM_CHAR", 0xD83D, 0), logged("WM_CHAR", 0xDE00, 0), enterDown, enterUp,
    };
    messages = loggedMessages(player);
    ASSERT_GE(messages.size(), already + all.size());
    EXPECT_EQ(std::vector<std::string>(messages.begin() + already, messages.begin() + already + all.size()), all);
    // The pair makes one character in the chat line.
    EXPECT_NE(eventLines(player, "chat")[1].find("\"team\":false,\"text\":\"gg \xF0\x9F\x98\x80\""),
              std::string::npos);

    settings.chatMessages = saved;
}

}  // namespace
