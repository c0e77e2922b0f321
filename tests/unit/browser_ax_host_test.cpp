// The container window against the platform's own web browser control.
#include <gtest/gtest.h>

#include "browser_test_support.h"
#include "test_support.h"

#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <oleidl.h>

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "browser/ax_host.h"
#include "browser/browser_event.h"
#include "browser/com_ptr.h"

namespace {

constexpr wchar_t browserClsidText[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";
constexpr wchar_t pageAddress[] = L"http://127.0.0.1:9/battle.html";


// Stands in for the main window: keeps every WM_BROWSER_EVENT it receives.
std::vector<std::pair<WPARAM, LPARAM>> received;

LRESULT CALLBACK recorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_BROWSER_EVENT) {
        received.emplace_back(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND makeRecorder()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = recorderProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZelvaraTestRecorder";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

// The colour the container's erase leaves on a canvas painted magenta.
COLORREF afterErase(HWND container)
{
    const HDC canvas = CreateCompatibleDC(nullptr);
    const HBITMAP bits = CreateBitmap(4, 4, 1, 32, nullptr);
    const HGDIOBJ old = SelectObject(canvas, bits);
    SetPixel(canvas, 1, 1, RGB(255, 0, 255));
    SendMessageW(container, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas), 0);
    const COLORREF left = GetPixel(canvas, 1, 1);
    SelectObject(canvas, old);
    DeleteObject(bits);
    DeleteDC(canvas);
    return left;
}

class BrowserAxHostTest : public BrowserApartmentTest {
protected:
    void SetUp() override
    {
        parent_ = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640, 480,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }

    HWND makeContainer(const wchar_t* text)
    {
        return CreateWindowExW(0, axWindowClassName, text, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }

    static IUnknown* controlOf(HWND container)
    {
        return reinterpret_cast<IUnknown*>(
            SendMessageW(container, RegisterWindowMessageW(atlGetControlMessageName), 0, 0));
    }

    HWND parent_ = nullptr;
};

TEST_F(BrowserAxHostTest, InitialisationRegistersBothClassesAndMayBeRepeated)
{
    EXPECT_TRUE(AtlAxWinInit());
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), axWindowClassName, &info));
    EXPECT_EQ(info.lpfnWndProc, axWindowProc);
    EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), axLicensedWindowClassName, &info));
    EXPECT_NE(RegisterWindowMessageW(atlGetHostMessageName), RegisterWindowMessageW(atlGetControlMessageName));
}

TEST_F(BrowserAxHostTest, AnAddressCreatesTheBrowserActiveInPlace)
{
    const HWND container = makeContainer(pageAddress);
    ASSERT_NE(container, nullptr);
    IUnknown* control = controlOf(container);
    ASSERT_NE(control, nullptr);
    // Lent, not given: asking twice gives the same pointer and no count to drop.
    EXPECT_EQ(controlOf(container), control);

    const ComPtr<IUnknown> lent = ComPtr<IUnknown>::share(control);
    EXPECT_TRUE(lent.query<IWebBrowser2>(IID_IWebBrowser2));
    const ComPtr<IOleObject> object = lent.query<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);

    // The control knows our site, and the site knows our window.
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(object->GetClientSite(site.put()), S_OK);
    ASSERT_TRUE(site);
    auto* host = reinterpret_cast<IUnknown*>(
        SendMessageW(container, RegisterWindowMessageW(atlGetHostMessageName), 0, 0));
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(ComPtr<IUnknown>::share(host).query<IUnknown>(IID_IUnknown).get(),
              site.query<IUnknown>(IID_IUnknown).get());
    const ComPtr<IOleInPlaceSite> inPlace = site.query<IOleInPlaceSite>(IID_IOleInPlaceSite);
    ASSERT_TRUE(inPlace);
    HWND siteWindow = nullptr;
    EXPECT_EQ(inPlace->GetWindow(&siteWindow), S_OK);
    EXPECT_EQ(siteWindow, container);

    // Active in place: the control's window lives inside the container.
    EXPECT_NE(FindWindowExW(container, nullptr, nullptr, nullptr), nullptr);
    // It draws itself, so nothing is erased under it.
    EXPECT_TRUE(lent.query<IViewObject>(IID_IViewObject));
    EXPECT_EQ(afterErase(container), RGB(255, 0, 255));
    DestroyWindow(container);
}

TEST_F(BrowserAxHostTest, TheControlFollowsTheContainerSize)
{
    const HWND container = makeContainer(pageAddress);
    ASSERT_NE(container, nullptr);
    const HWND child = FindWindowExW(container, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    for (const SIZE size : {SIZE{400, 300}, SIZE{617, 211}}) {
        MoveWindow(container, 10, 20, size.cx, size.cy, TRUE);
        RECT rect = {};
        GetWindowRect(child, &rect);
        EXPECT_EQ(rect.right - rect.left, size.cx);
        EXPECT_EQ(rect.bottom - rect.top, size.cy);
    }
    DestroyWindow(container);
}

// The first page is asked for only after creation returns, so a sink
// connected right after creation hears the whole navigation.
TEST_F(BrowserAxHostTest, NavigatesToItsTextAfterCreation)
{
    const HWND target = makeRecorder();
    setBrowserEventWindow(target);
    const HWND container = makeContainer(pageAddress);
    ASSERT_NE(container, nullptr);
    const ComPtr<IConnectionPointContainer> points =
        ComPtr<IUnknown>::share(controlOf(container)).query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ASSERT_TRUE(points);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(points->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()), S_OK);
    BrowserEvent sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);

    ASSERT_TRUE(pumpUntil([] { return !received.empty(); }, 10000));
    EXPECT_EQ(received[0].first, static_cast<WPARAM>(browserEventBeforeNavigate2));
    EXPECT_EQ(sink.take(received[0].first, received[0].second), pageAddress);

    point->Unadvise(cookie);
    DestroyWindow(container);
    setBrowserEventWindow(nullptr);
    DestroyWindow(target);
}

TEST_F(BrowserAxHostTest, DestroyingTheWindowClosesTheControl)
{
    const HWND container = makeContainer(pageAddress);
    ASSERT_NE(container, nullptr);
    const ComPtr<IOleObject> object = ComPtr<IUnknown>::share(controlOf(container)).query<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    const HWND child = FindWindowExW(container, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);

    DestroyWindow(container);
    EXPECT_FALSE(IsWindow(child));
    ComPtr<IOleClientSite> site;
    object->GetClientSite(site.put());
    EXPECT_FALSE(site);
}

// The site answers the control's UI questions with the platform container's defaults.
TEST_F(BrowserAxHostTest, TheSiteAnswersTheControlsUiQuestionsAsThePlatformContainer)
{
    const HWND container = makeContainer(L"");
    ASSERT_NE(container, nullptr);
    auto* host = reinterpret_cast<IUnknown*>(
        SendMessageW(container, RegisterWindowMessageW(atlGetHostMessageName), 0, 0));
    const ComPtr<IDocHostUIHandler> ui = ComPtr<IUnknown>::share(host).query<IDocHostUIHandler>(IID_IDocHostUIHandler);
    ASSERT_TRUE(ui);
    DOCHOSTUIINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_EQ(ui->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, DWORD{DOCHOSTUIFLAG_NO3DBORDER});
    EXPECT_EQ(info.dwDoubleClick, DWORD{DOCHOSTUIDBLCLK_DEFAULT});
    // A caller's structure too short for both fields is refused untouched;
    // one that just holds them is filled.
    DOCHOSTUIINFO shorter = {};
    shorter.cbSize = offsetof(DOCHOSTUIINFO, dwDoubleClick) + sizeof shorter.dwDoubleClick - 1;
    shorter.dwDoubleClick = 0xAB;
    EXPECT_EQ(ui->GetHostInfo(&shorter), E_INVALIDARG);
    EXPECT_EQ(shorter.dwFlags, 0u);
    EXPECT_EQ(shorter.dwDoubleClick, 0xABu);
    shorter.cbSize += 1;
    EXPECT_EQ(ui->GetHostInfo(&shorter), S_OK);
    EXPECT_EQ(shorter.dwDoubleClick, DWORD{DOCHOSTUIDBLCLK_DEFAULT});
    EXPECT_EQ(ui->GetHostInfo(nullptr), E_POINTER);
    POINT point = {};
    EXPECT_EQ(ui->ShowContextMenu(0, &point, nullptr, nullptr), S_FALSE) << "the control's own menu shows";
    EXPECT_EQ(ui->ShowUI(1, nullptr, nullptr, nullptr, nullptr), S_OK) << "no menus or toolbars of the control";
    DestroyWindow(container);
}

TEST_F(BrowserAxHostTest, AClassTextCreatesThatClass)
{
    const HWND container = makeContainer(browserClsidText);
    ASSERT_NE(container, nullptr);
    const ComPtr<IUnknown> control = ComPtr<IUnknown>::share(controlOf(container));
    EXPECT_TRUE(control.query<IWebBrowser2>(IID_IWebBrowser2));
    DestroyWindow(container);
}

TEST_F(BrowserAxHostTest, WithoutAControlTheWindowStillExistsAndAnswersNull)
{
    for (const wchar_t* text : {L"", L"{not a class", L"{00000000-0000-0000-0000-0000000000A7}"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        const HWND container = makeContainer(text);
        ASSERT_NE(container, nullptr);
        EXPECT_EQ(controlOf(container), nullptr);
        EXPECT_EQ(FindWindowExW(container, nullptr, nullptr, nullptr), nullptr);
        EXPECT_EQ(afterErase(container), GetSysColor(COLOR_WINDOW)) << "the class brush";
        MoveWindow(container, 0, 0, 100, 100, TRUE);
        EXPECT_TRUE(DestroyWindow(container));
    }
}

}  // namespace
