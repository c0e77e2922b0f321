// BrowserHost against the control the test session registers (the stand-in,
// which loads pages of the stand-in site), and against the platform's own,
// which raises BeforeNavigate2 and then NavigateError for every page here.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <algorithm>
#include <vector>

#include "browser/ax_host.h"
#include "browser/browser_event.h"
#include "address/game_address.h"
#include "browser/browser_host.h"
#include "settings/settings.h"
#include "browser_test_support.h"
#include "test_support.h"

namespace {

constexpr wchar_t firstPage[] = L"http://127.0.0.1:9/first.html";
constexpr wchar_t secondPage[] = L"http://127.0.0.1:9/second.html";
constexpr wchar_t browserClassKey[] = L"Software\\Classes\\CLSID\\{8856F961-340A-11D0-A96B-00C04FD705A2}";
constexpr wchar_t browserClassKeyAside[] = L"Software\\Classes\\ZelvaraTestAside";

struct Received {
    WPARAM id;
    std::wstring address;
};

// Stands in for the main window: keeps every WM_BROWSER_EVENT that the
// connected sink still answers for.
std::vector<Received> received;

LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_BROWSER_EVENT) {
        if (std::optional<std::wstring> address = takeBrowserEvent(wParam, lParam))
            received.push_back({wParam, std::move(*address)});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}


bool receivedEvent(DISPID id, const wchar_t* address)
{
    for (const Received& r : received)
        if (r.id == static_cast<WPARAM>(id) && r.address == address)
            return true;
    return false;
}

bool isContainer(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return std::wstring(name) == axWindowClassName;
}

// Named callbacks, not lambdas: on x86 a lambda has no CALLBACK form.
BOOL CALLBACK countContainer(HWND window, LPARAM counter)
{
    *reinterpret_cast<int*>(counter) += isContainer(window);
    return TRUE;
}

BOOL CALLBACK countContainerTree(HWND window, LPARAM counter)
{
    countContainer(window, counter);
    EnumChildWindows(window, countContainer, counter);
    return TRUE;
}

// Containers anywhere among this thread's windows.
int countContainers()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countContainerTree, reinterpret_cast<LPARAM>(&count));
    return count;
}

std::wstring constructionFailure(HWND mainWindow, const wchar_t* address)
{
    try {
        BrowserHost host(mainWindow, address, {});
    } catch (const std::wstring& message) {
        return message;
    }
    return L"(no failure)";
}

// Moves the web browser's class registration aside while it lives, so the
// container can create no control.
class HiddenBrowserClass {
public:
    HiddenBrowserClass()
    {
        HKEY aside = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, browserClassKeyAside, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &aside, nullptr) != ERROR_SUCCESS)
            return;
        HKEY original = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, browserClassKey, 0, KEY_READ, &original) == ERROR_SUCCESS) {
            copied_ = RegCopyTreeW(original, nullptr, aside) == ERROR_SUCCESS;
            RegCloseKey(original);
        }
        RegCloseKey(aside);
        hidden_ = copied_ && RegDeleteTreeW(HKEY_LOCAL_MACHINE, browserClassKey) == ERROR_SUCCESS;
    }
    ~HiddenBrowserClass()
    {
        if (!copied_)
            return;
        HKEY aside = nullptr, restored = nullptr;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, browserClassKeyAside, 0, KEY_READ, &aside);
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, browserClassKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &restored,
                        nullptr);
        if (aside && restored && RegCopyTreeW(aside, nullptr, restored) == ERROR_SUCCESS) {
            RegCloseKey(aside);
            aside = nullptr;
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, browserClassKeyAside);
        }
        if (aside)
            RegCloseKey(aside);
        if (restored)
            RegCloseKey(restored);
    }
    HiddenBrowserClass(const HiddenBrowserClass&) = delete;
    HiddenBrowserClass& operator=(const HiddenBrowserClass&) = delete;

    bool hidden() const { return hidden_; }

private:
    bool copied_ = false;
    bool hidden_ = false;
};

class BrowserHostTest : public BrowserApartmentTest {
protected:
    static void SetUpTestSuite()
    {
        BrowserApartmentTest::SetUpTestSuite();
        ASSERT_TRUE(registerTestWindowClass(L"ZelvaraTestMain", mainProc));
    }

    void SetUp() override
    {
        received.clear();
        main_ = CreateWindowExW(0, L"ZelvaraTestMain", L"main", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640,
                                480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(main_, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(main_);
        received.clear();
    }

    ScratchDirectory scratch_;
    HWND main_ = nullptr;
};

TEST_F(BrowserHostTest, MakesAContainerChildOnTopWithTheAddress)
{
    const HWND sibling = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, main_, nullptr,
                                         nullptr, nullptr);
    BrowserHost host(main_, firstPage, {5, 7, 300, 200});
    EXPECT_EQ(BrowserHost::current, &host);
    ASSERT_TRUE(host.browser);
    ASSERT_TRUE(IsWindow(host.hostWindow));
    EXPECT_EQ(GetParent(host.hostWindow), main_);
    EXPECT_EQ(GetWindow(main_, GW_CHILD), host.hostWindow) << "not at the top of its siblings";
    EXPECT_NE(GetWindow(host.hostWindow, GW_HWNDNEXT), nullptr);
    wchar_t name[64] = L"", text[256] = L"";
    GetClassNameW(host.hostWindow, name, 64);
    GetWindowTextW(host.hostWindow, text, 256);
    EXPECT_STREQ(name, L"AtlAxWin120");
    EXPECT_STREQ(text, firstPage);
    EXPECT_TRUE(GetWindowLongPtrW(host.hostWindow, GWL_STYLE) & WS_VISIBLE);
    // Made at its place, and the control activated at its size.
    RECT rect = {};
    GetWindowRect(host.hostWindow, &rect);
    MapWindowPoints(HWND_DESKTOP, main_, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.top, 7);
    EXPECT_EQ(rect.right, 305);
    EXPECT_EQ(rect.bottom, 207);
    const HWND control = GetWindow(host.hostWindow, GW_CHILD);
    ASSERT_NE(control, nullptr);
    GetWindowRect(control, &rect);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 200);

    EXPECT_EQ(host.flashWindowHandle.load(), nullptr);
    EXPECT_EQ(host.searchTicksLeft, 600);
    EXPECT_EQ(host.areaWidth.load(), 0);
    EXPECT_EQ(host.areaHeight.load(), 0);
    EXPECT_FALSE(host.chatMacros);
    DestroyWindow(sibling);
}

TEST_F(BrowserHostTest, NavigationEventsArriveAtTheMainWindowInOrder)
{
    BrowserHost host(main_, firstPage, {});
    ASSERT_TRUE(pumpUntil([] { return receivedEvent(browserEventNavigateError, firstPage); }, 15000));
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(received[0].id, static_cast<WPARAM>(browserEventBeforeNavigate2));
    EXPECT_EQ(received[0].address, firstPage);
    EXPECT_EQ(received.back().id, static_cast<WPARAM>(browserEventNavigateError));
}

// Destroying a host cuts its events before its control goes; the next host's
// events are the only ones that follow.
TEST_F(BrowserHostTest, AReplacedHostPostsNothingMore)
{
    auto host = std::make_unique<BrowserHost>(main_, firstPage, Box{});
    const HWND oldContainer = host->hostWindow;
    ASSERT_TRUE(pumpUntil([] { return receivedEvent(browserEventBeforeNavigate2, firstPage); }, 15000));
    host.reset();
    EXPECT_EQ(BrowserHost::current, nullptr);
    EXPECT_FALSE(IsWindow(oldContainer));
    const std::size_t before = received.size();

    host = std::make_unique<BrowserHost>(main_, secondPage, Box{});
    EXPECT_EQ(BrowserHost::current, host.get());
    ASSERT_TRUE(pumpUntil([] { return receivedEvent(browserEventNavigateError, secondPage); }, 15000));
    // Give a late event of the first page time to show up, were it still connected.
    pumpUntil([] { return false; }, 500);
    for (std::size_t i = before; i < received.size(); ++i)
        EXPECT_EQ(received[i].address, secondPage) << "event " << received[i].id;

    host.reset();
    const std::size_t atEnd = received.size();
    pumpUntil([] { return false; }, 500);
    EXPECT_EQ(received.size(), atEnd);
    EXPECT_EQ(countContainers(), 0);
}

TEST_F(BrowserHostTest, AParentThatIsNoWindowFailsCleanly)
{
    const HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(constructionFailure(gone, firstPage), L"Cannot create ActiveX window");
    EXPECT_EQ(BrowserHost::current, nullptr);
    EXPECT_EQ(countContainers(), 0);
}

TEST_F(BrowserHostTest, AContainerWithoutControlFailsCleanly)
{
    {
        HiddenBrowserClass hidden;
        ASSERT_TRUE(hidden.hidden());
        EXPECT_EQ(constructionFailure(main_, firstPage), L"Cannot query IWebBrowser interface");
        EXPECT_EQ(BrowserHost::current, nullptr);
        EXPECT_EQ(countContainers(), 0);
        // A timer left behind would call back into the dead host here.
        pumpUntil([] { return false; }, 300);
        EXPECT_TRUE(received.empty());
    }
    // With the class back, the next opening works again.
    BrowserHost host(main_, firstPage, {});
    EXPECT_TRUE(host.browser);
}

TEST_F(BrowserHostTest, ScreenshotKeyIsTakenAtConstruction)
{
    Settings& settings = *Settings::instance();
    settings.screenshotKey = 0x1002C;
    auto host = std::make_unique<BrowserHost>(main_, firstPage, Box{});
    EXPECT_EQ(screenshotHotKey, 0x002C);

    settings.screenshotKey = VK_F9;
    EXPECT_EQ(screenshotHotKey, 0x002C) << "follows the settings before the next page";
    host.reset();
    host = std::make_unique<BrowserHost>(main_, secondPage, Box{});
    EXPECT_EQ(screenshotHotKey, VK_F9);
}

TEST_F(BrowserHostTest, TheSearchTimerCountsTicksOnTheContainer)
{
    BrowserHost host(main_, firstPage, {});
    ASSERT_TRUE(pumpUntil([&] { return host.searchTicksLeft <= 597; }, 3000));

    // The timer sits on the container, named by the host's address.
    ASSERT_TRUE(KillTimer(host.hostWindow, reinterpret_cast<UINT_PTR>(&host)));
    const std::int32_t stopped = host.searchTicksLeft;
    pumpUntil([] { return false; }, 300);
    EXPECT_EQ(host.searchTicksLeft, stopped);

    // A direct call counts as a tick too.
    findFlashWindow(nullptr, 0, reinterpret_cast<UINT_PTR>(&host), 0);
    EXPECT_EQ(host.searchTicksLeft, stopped - 1);
}

TEST_F(BrowserHostTest, LocationUrlNeverFails)
{
    BrowserHost host(main_, firstPage, {});
    ASSERT_TRUE(pumpUntil([] { return receivedEvent(browserEventNavigateError, firstPage); }, 15000));
    const std::wstring location = host.locationUrl();
    EXPECT_TRUE(location.empty() || location == firstPage) << testing::PrintToString(location);
}

// The test session registers the stand-in control, which loads pages of the
// stand-in site as the platform's control loads real ones.
std::wstring siteAddress(const wchar_t* pathAndFragment)
{
    return L"http://abc123." + std::wstring(gameDomain) + pathAndFragment;
}

std::wstring className(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

// Saves the window's picture, as it is on the screen, as a 24-bit BMP.
bool saveWindowPicture(HWND window, const std::wstring& path, std::vector<COLORREF>& pixels, SIZE& size)
{
    RECT r;
    GetWindowRect(window, &r);
    size = {r.right - r.left, r.bottom - r.top};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, size.cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, size.cx, size.cy, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    const DWORD stride = ((size.cx * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * size.cy;
    const auto* bytes = static_cast<const BYTE*>(bits);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            const BYTE* p = bytes + (size.cy - 1 - y) * stride + x * 3;
            pixels.push_back(RGB(p[2], p[1], p[0]));
        }
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader + imageSize), 0, 0,
                             static_cast<DWORD>(sizeof file + sizeof info.bmiHeader)};
    info.bmiHeader.biSizeImage = imageSize;
    bool saved = false;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD put = 0;
        saved = WriteFile(out, &file, sizeof file, &put, nullptr) &&
                WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &put, nullptr) &&
                WriteFile(out, bits, imageSize, &put, nullptr);
        CloseHandle(out);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

// Points the browser class at another in-process server while it lives.
class BrowserServer {
public:
    explicit BrowserServer(const std::wstring& path)
    {
        const std::wstring key = std::wstring(browserClassKey) + L"\\InprocServer32";
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &key_);
        wchar_t old[MAX_PATH] = L"";
        DWORD bytes = sizeof old;
        RegQueryValueExW(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &bytes);
        previous_ = old;
        set(path);
    }
    ~BrowserServer()
    {
        set(previous_);
        RegCloseKey(key_);
    }
    BrowserServer(const BrowserServer&) = delete;
    BrowserServer& operator=(const BrowserServer&) = delete;

private:
    void set(const std::wstring& path)
    {
        RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    }
    HKEY key_ = nullptr;
    std::wstring previous_;
};

TEST_F(BrowserHostTest, AStandInBattlePageRaisesTheFourEventsInOrder)
{
    const std::wstring page = siteAddress(L"/battle-en.html#/server=RU7");
    BrowserHost host(main_, page, {});
    ASSERT_TRUE(pumpUntil([&] { return receivedEvent(browserEventDocumentComplete, page.c_str()); }, 15000));
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].id, static_cast<WPARAM>(browserEventBeforeNavigate2));
    EXPECT_EQ(received[1].id, static_cast<WPARAM>(browserEventNavigateComplete2));
    EXPECT_EQ(received[2].id, static_cast<WPARAM>(browserEventDocumentComplete));
    for (const Received& r : received)
        EXPECT_EQ(r.address, page);
    EXPECT_EQ(host.locationUrl(), page) << "the fragment stays";

    const std::wstring missing = siteAddress(L"/no-such-page.html");
    received.clear();
    BrowserHost failing(main_, missing, {});
    ASSERT_TRUE(pumpUntil([&] { return receivedEvent(browserEventNavigateError, missing.c_str()); }, 15000));
    EXPECT_EQ(received.front().id, static_cast<WPARAM>(browserEventBeforeNavigate2));
}

TEST_F(BrowserHostTest, AStandInPageShowsItsPlayerInTheControlsWindowChain)
{
    ShowWindow(main_, SW_SHOW);
    const std::wstring page = siteAddress(L"/battle-ru.html#/server=RU3");
    BrowserHost host(main_, page, {});
    MoveWindow(host.hostWindow, 0, 0, 600, 400, TRUE);
    ASSERT_TRUE(pumpUntil([&] { return receivedEvent(browserEventDocumentComplete, page.c_str()); }, 15000));

    HWND embedding = FindWindowExW(host.hostWindow, nullptr, nullptr, nullptr);
    HWND view = FindWindowExW(embedding, nullptr, nullptr, nullptr);
    HWND server = FindWindowExW(view, nullptr, nullptr, nullptr);
    EXPECT_EQ(className(embedding), L"Shell Embedding");
    EXPECT_EQ(className(view), L"Shell DocObject View");
    EXPECT_EQ(className(server), L"Internet Explorer_Server");
    HWND player = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (player = FindWindowExW(server, nullptr, nullptr, nullptr)) != nullptr; },
                          5000));
    RECT client;
    GetClientRect(player, &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 400);

    UpdateWindow(main_);
    pumpUntil([] { return false; }, 200);
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring picture = exe;
    picture = picture.substr(0, picture.rfind(L'\\') + 1) + L"standin-battle-page.bmp";
    std::vector<COLORREF> pixels;
    SIZE size;
    ASSERT_TRUE(saveWindowPicture(player, picture, pixels, size));
    std::sort(pixels.begin(), pixels.end());
    EXPECT_GT(std::unique(pixels.begin(), pixels.end()) - pixels.begin(), 2) << "the player draws a field";
}

TEST_F(BrowserHostTest, ThePlatformsOwnControlFailsEveryPageHere)
{
    BrowserServer platform(L"C:\\windows\\system32\\ieframe.dll");
    const std::wstring page = siteAddress(L"/battle-en.html#/server=RU7");
    BrowserHost host(main_, page, {});
    ASSERT_TRUE(pumpUntil([&] { return receivedEvent(browserEventNavigateError, page.c_str()); }, 15000));
    EXPECT_EQ(received.front().id, static_cast<WPARAM>(browserEventBeforeNavigate2));
    EXPECT_FALSE(receivedEvent(browserEventDocumentComplete, page.c_str()));
}

}  // namespace
