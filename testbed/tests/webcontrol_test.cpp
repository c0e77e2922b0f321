// The stand-in browser control hosted the way the program hosts it: events,
// addresses, the request the site sees, and the window chain.
#include <winsock2.h>
#include <windows.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "EventRecorder.h"
#include "SiteSession.h"
#include "TestContainer.h"

namespace {

const VARTYPE byRefVariant = VT_BYREF | VT_VARIANT;

std::vector<DISPID> ids(const EventRecorder& r) {
    std::vector<DISPID> v;
    for (auto& e : r.events) v.push_back(e.id);
    return v;
}

bool sawEvent(const EventRecorder& r, DISPID id, size_t times = 1) {
    return static_cast<size_t>(std::count_if(r.events.begin(), r.events.end(),
                                             [&](auto& e) { return e.id == id; })) >= times;
}

IUnknown* identity(IUnknown* p) {
    IUnknown* u = nullptr;
    p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&u));
    if (u) u->Release();
    return u;
}

// A loopback port nobody listens on.
unsigned short closedPort() {
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    int len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    closesocket(s);
    WSACleanup();
    return ntohs(a.sin_port);
}

}  // namespace

class WebControl : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SiteSession::configured()) GTEST_FAIL() << "needs the stand-in site: run inside tests/env/session.sh";
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        container = std::make_unique<TestContainer>();
        ASSERT_HRESULT_SUCCEEDED(container->created());
        ASSERT_TRUE(container->advise(&sink));
    }
    void TearDown() override {
        container.reset();
        CoUninitialize();
    }
    // Opens an address and waits until its page finished or failed.
    void open(const std::wstring& url) {
        size_t before = sink.events.size();
        container->navigate(url);
        ASSERT_TRUE(SiteSession::waitFor([&] {
            for (size_t i = before; i < sink.events.size(); ++i)
                if (sink.events[i].id == 259 || sink.events[i].id == 271) return true;
            return false;
        })) << "no DocumentComplete or NavigateError";
    }
    HWND server() {
        HWND a = FindWindowExW(container->window(), nullptr, nullptr, nullptr);
        HWND b = a ? FindWindowExW(a, nullptr, nullptr, nullptr) : nullptr;
        return b ? FindWindowExW(b, nullptr, nullptr, nullptr) : nullptr;
    }

    EventRecorder sink;
    std::unique_ptr<TestContainer> container;
};

TEST_F(WebControl, GoodPageRaisesTheThreeEventsWithReversedArgumentsAndTheCanonicalAddress) {
    // The platform's parser writes the host in lower case; every event and
    // LocationURL carry that form, whatever case the caller wrote.
    const std::wstring url = SiteSession::address(L"/battle-en.html#/server=RU7", L"ab12xyz.game.example");
    open(SiteSession::address(L"/battle-en.html#/server=RU7", L"Ab12XyZ.Game.Example"));
    ASSERT_EQ(ids(sink), (std::vector<DISPID>{250, 252, 259}));
    IUnknown* control = identity(container->browser());
    for (auto& e : sink.events) {
        EXPECT_EQ(e.flags, DISPATCH_METHOD);
        EXPECT_EQ(e.url, url) << "event " << e.id;
        ASSERT_NE(e.browser, nullptr);
        EXPECT_EQ(identity(e.browser), control) << "pDisp is the control";
        EXPECT_EQ(e.thread, GetCurrentThreadId()) << "raised on the thread that created the control";
    }
    const auto& before = sink.events[0];
    ASSERT_EQ(before.count, 7u);
    EXPECT_EQ(before.types, (std::vector<VARTYPE>{VT_BYREF | VT_BOOL, byRefVariant, byRefVariant, byRefVariant,
                                                  byRefVariant, byRefVariant, VT_DISPATCH}));
    EXPECT_EQ(before.refTypes[5], VT_BSTR);
    for (int i : {1, 2}) {
        const auto& e = sink.events[i];
        ASSERT_EQ(e.count, 2u);
        EXPECT_EQ(e.types, (std::vector<VARTYPE>{byRefVariant, VT_DISPATCH}));
        EXPECT_EQ(e.refTypes[0], VT_BSTR);
    }
    EXPECT_EQ(container->location(), url) << "LocationURL keeps the fragment";
    EXPECT_GT(sink.refusedQueries, 0) << "the control asked for the event interface first";
}

TEST_F(WebControl, MissingPageRaisesNavigateErrorWithTheHttpStatus) {
    const std::wstring url = SiteSession::address(L"/no-such-page.html");
    open(url);
    ASSERT_EQ(ids(sink), (std::vector<DISPID>{250, 271}));
    const auto& e = sink.events[1];
    ASSERT_EQ(e.count, 5u);
    EXPECT_EQ(e.types, (std::vector<VARTYPE>{VT_BYREF | VT_BOOL, byRefVariant, byRefVariant, byRefVariant,
                                             VT_DISPATCH}));
    EXPECT_EQ(e.refTypes[1], VT_I4);
    EXPECT_EQ(e.status, 404);
    EXPECT_EQ(e.url, url);
}

TEST_F(WebControl, RefusedConnectionRaisesNavigateErrorWithAFailureCode) {
    wchar_t saved[16] = L"";
    GetEnvironmentVariableW(L"ZELVARA_TESTBED_PORT", saved, 16);
    SetEnvironmentVariableW(L"ZELVARA_TESTBED_PORT", std::to_wstring(closedPort()).c_str());
    open(SiteSession::address(L"/battle-en.html"));
    SetEnvironmentVariableW(L"ZELVARA_TESTBED_PORT", saved);
    ASSERT_EQ(ids(sink), (std::vector<DISPID>{250, 271}));
    EXPECT_LT(sink.events[1].status, 0) << "an HRESULT, not an HTTP status";
}

TEST_F(WebControl, CancelInBeforeNavigateLoadsNothing) {
    sink.cancelNext = true;
    container->navigate(SiteSession::address(L"/battle-ru.html?cancelled=1"));
    open(SiteSession::address(L"/empty.html"));
    // The cancelled navigation raised BeforeNavigate2 only, and the next one ran normally.
    EXPECT_EQ(ids(sink), (std::vector<DISPID>{250, 250, 252, 259}));
    for (auto& line : SiteSession::siteRequests()) EXPECT_EQ(line.find("cancelled=1"), std::string::npos) << line;
    EXPECT_EQ(container->location(), SiteSession::address(L"/empty.html"));
}

TEST_F(WebControl, RequestKeepsTheHostAndDropsTheFragment) {
    open(SiteSession::address(L"/battle-de.html?probe=host#/server=DE3", L"zz9.game.example:8123"));
    ASSERT_EQ(ids(sink), (std::vector<DISPID>{250, 252, 259}));
    auto requests = SiteSession::siteRequests();
    auto it = std::find_if(requests.begin(), requests.end(),
                           [](auto& l) { return l.find("probe=host") != std::string::npos; });
    ASSERT_NE(it, requests.end());
    EXPECT_NE(it->find("\"path\": \"/battle-de.html?probe=host\""), std::string::npos) << *it;
    EXPECT_NE(it->find("\"host\": \"zz9.game.example:8123\""), std::string::npos) << *it;
}

TEST_F(WebControl, RequestCarriesTheProcessUserAgent) {
    // The program rewrites the process's user agent; the site must see the result.
    char agent[] = "Mozilla/4.0 (compatible; MSIE 8.0; testbed-probe)";
    ASSERT_HRESULT_SUCCEEDED(UrlMkSetSessionOption(URLMON_OPTION_USERAGENT, agent, sizeof agent - 1, 0));
    open(SiteSession::address(L"/empty.html?probe=agent"));
    auto requests = SiteSession::siteRequests();
    auto it = std::find_if(requests.begin(), requests.end(),
                           [](auto& l) { return l.find("probe=agent") != std::string::npos; });
    ASSERT_NE(it, requests.end());
    EXPECT_NE(it->find("\"user_agent\": \"Mozilla/4.0 (compatible; MSIE 8.0; testbed-probe)\""), std::string::npos)
        << *it;
}

TEST_F(WebControl, BuildsTheThreeWindowChainFillingTheSite) {
    HWND hwnd = nullptr;
    IOleWindow* ow = nullptr;
    ASSERT_HRESULT_SUCCEEDED(container->browser()->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&ow)));
    ow->GetWindow(&hwnd);
    ow->Release();

    auto top = SiteSession::children(container->window());
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0], hwnd);
    EXPECT_EQ(SiteSession::className(top[0]), L"Shell Embedding");
    auto second = SiteSession::children(top[0]);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(SiteSession::className(second[0]), L"Shell DocObject View");
    auto third = SiteSession::children(second[0]);
    ASSERT_EQ(third.size(), 1u);
    EXPECT_EQ(SiteSession::className(third[0]), L"Internet Explorer_Server");
    for (HWND w : {top[0], second[0], third[0]}) {
        RECT r = SiteSession::clientRect(w);
        EXPECT_EQ(r.right, 1000);
        EXPECT_EQ(r.bottom, 600);
    }

    open(SiteSession::address(L"/battle-en.html"));
    container->resize(1100, 700);
    for (HWND w : {top[0], second[0], third[0], SiteSession::children(third[0]).at(0)}) {
        RECT r = SiteSession::clientRect(w);
        EXPECT_EQ(r.right, 1100) << SiteSession::className(w).size();
        EXPECT_EQ(r.bottom, 700);
    }
}

// The real control asks the site for its UI handler when the site is set,
// and frames the page with a sunken 3-D edge unless GetHostInfo turns it off.
TEST_F(WebControl, HostFlagsDecideTheSunkenEdgeAroundThePage) {
    using Flags = std::optional<DWORD>;
    for (Flags flags : {Flags(DOCHOSTUIFLAG_NO3DBORDER), Flags(0), Flags()}) {
        SCOPED_TRACE(flags ? "flags " + std::to_string(*flags) : std::string("no UI handler"));
        container.reset();
        container = std::make_unique<TestContainer>(1000, 600, false, flags);
        EXPECT_EQ(container->hostInfoCalls(), flags ? 1 : 0) << "asked once, when the site was set";
        ASSERT_HRESULT_SUCCEEDED(container->activate());
        ASSERT_TRUE(container->advise(&sink));
        open(SiteSession::address(L"/battle-en.html"));
        const LONG in = flags == Flags(DOCHOSTUIFLAG_NO3DBORDER) ? 0 : 2;
        for (SIZE size : {SIZE{1000, 600}, SIZE{1100, 700}}) {
            container->resize(size.cx, size.cy);
            RECT r;
            GetWindowRect(SiteSession::children(server()).at(0), &r);
            MapWindowPoints(nullptr, server(), reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
                      std::vector<LONG>({in, in, size.cx - in, size.cy - in}));
        }
        // The page's corner off the screen: the edge's shadow, or the player's field.
        RedrawWindow(container->window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        POINT corner{0, 0};
        ClientToScreen(server(), &corner);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(GetPixel(screen, corner.x, corner.y), in ? GetSysColor(COLOR_BTNSHADOW) : RGB(24, 90, 48));
        ReleaseDC(nullptr, screen);
    }
}

TEST_F(WebControl, PluginWindowsLiveUnderTheThirdWindowInDocumentOrder) {
    open(SiteSession::address(L"/pixel-first.html"));
    auto plugins = SiteSession::children(server());
    ASSERT_EQ(plugins.size(), 2u);
    EXPECT_EQ(SiteSession::clientRect(plugins[0]).right, 1);
    EXPECT_EQ(SiteSession::clientRect(plugins[0]).bottom, 1);
    EXPECT_EQ(SiteSession::clientRect(plugins[1]).right, 1000);
    EXPECT_EQ(SiteSession::clientRect(plugins[1]).bottom, 600);

    open(SiteSession::address(L"/pixel-last.html"));
    plugins = SiteSession::children(server());
    ASSERT_EQ(plugins.size(), 2u);
    EXPECT_EQ(SiteSession::clientRect(plugins[0]).right, 1000);
    EXPECT_EQ(SiteSession::clientRect(plugins[1]).right, 1);
}

TEST_F(WebControl, ANewPageRemovesTheOldPlugins) {
    open(SiteSession::address(L"/battle-en.html"));
    auto old = SiteSession::children(server());
    ASSERT_EQ(old.size(), 1u);
    open(SiteSession::address(L"/empty.html"));
    EXPECT_FALSE(IsWindow(old[0]));
    EXPECT_TRUE(SiteSession::children(server()).empty());
}

TEST_F(WebControl, ServerRedirectIsFollowedAndCompletesWithTheFinalAddress) {
    const std::wstring start = SiteSession::address(L"/redirect.html?to=/empty.html%3Fwhere=final");
    open(SiteSession::address(L"/redirect.html?to=/empty.html%3Fwhere=final", L"ABC123.game.example"));
    const std::wstring final = SiteSession::address(L"/empty.html?where=final");
    ASSERT_EQ(ids(sink), (std::vector<DISPID>{250, 252, 259})) << "one navigation, no second BeforeNavigate2";
    EXPECT_EQ(sink.events[0].url, start);
    EXPECT_EQ(sink.events[1].url, final);
    EXPECT_EQ(sink.events[2].url, final);
    EXPECT_EQ(container->location(), final);

    // A redirect that never ends fails like WinINet's: one NavigateError.
    sink.events.clear();
    open(SiteSession::address(L"/redirect.html?to=self"));
    EXPECT_EQ(ids(sink), (std::vector<DISPID>{250, 271}));
}

TEST_F(WebControl, PageThatMovesOnNavigatesToTheFrontPageByItself) {
    const std::wstring moved = SiteSession::address(L"/moved.html?after=1");
    const std::wstring front = SiteSession::address(L"/");
    container->navigate(moved);
    ASSERT_TRUE(SiteSession::waitFor([&] { return sawEvent(sink, 259, 2); }));
    ASSERT_EQ(ids(sink), (std::vector<DISPID>{250, 252, 259, 250, 252, 259}));
    EXPECT_EQ(sink.events[2].url, moved);
    EXPECT_EQ(sink.events[3].url, front);
    EXPECT_EQ(container->location(), front);
}

TEST_F(WebControl, PageOpenedBeforeActivationGetsItsPluginsWhenActivated) {
    container.reset();
    container = std::make_unique<TestContainer>(800, 500, false);
    ASSERT_HRESULT_SUCCEEDED(container->created());
    ASSERT_TRUE(container->advise(&sink));
    open(SiteSession::address(L"/battle-en.html"));
    EXPECT_EQ(server(), nullptr) << "no windows before activation";
    ASSERT_HRESULT_SUCCEEDED(container->activate());
    auto plugins = SiteSession::children(server());
    ASSERT_EQ(plugins.size(), 1u);
    EXPECT_EQ(SiteSession::clientRect(plugins[0]).right, 800);
    EXPECT_EQ(SiteSession::clientRect(plugins[0]).bottom, 500);
}

TEST_F(WebControl, ClosingReleasesEverything) {
    open(SiteSession::address(L"/battle-en.html"));
    HWND chain = FindWindowExW(container->window(), nullptr, nullptr, nullptr);
    EXPECT_EQ(container->close(), 0u) << "the control's last reference is gone";
    EXPECT_EQ(container->deactivations(), 1);
    EXPECT_FALSE(IsWindow(chain));
}
