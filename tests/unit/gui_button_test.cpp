// Buttons against real windows: the mouse messages the system sends, the
// posted notifications, and the colours painted for each state.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/button.h"

namespace {

constexpr COLORREF unpainted = RGB(255, 0, 255);
constexpr COLORREF white = RGB(255, 255, 255);

struct Look {
    COLORREF background;
    COLORREF text;
};
constexpr Look idleLook{RGB(8, 74, 0), RGB(88, 251, 48)};
constexpr Look pressedLook{RGB(31, 91, 24), RGB(88, 251, 48)};
constexpr Look checkedLook{RGB(88, 255, 49), RGB(14, 40, 14)};
constexpr Look checkedPressedLook{RGB(79, 231, 44), RGB(14, 40, 14)};
constexpr Look disabledLook{RGB(87, 87, 87), RGB(177, 177, 177)};

struct Command {
    WPARAM id;
    const Gui::Button* button;
    bool checkedWhenHandled;
};
std::vector<Command> commands;

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        const auto* button = reinterpret_cast<const Gui::Button*>(lParam);
        commands.push_back({wParam, button, button->checked()});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool classRegistered(const wchar_t* name)
{
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    return GetClassInfoExW(GetModuleHandleW(nullptr), name, &info) != FALSE;
}

// Handles everything queued, as the message loop would.
void settle()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

template <class Condition>
bool waitFor(Condition condition, DWORD timeoutMs = 3000)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        settle();
        if (condition())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}

class Host {
public:
    Host()
    {
        static const ATOM registered = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = hostProcedure;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"ButtonTestHost";
            return RegisterClassW(&windowClass);
        }();
        window_ = CreateWindowExW(0, MAKEINTATOM(registered), L"", WS_POPUP | WS_VISIBLE, 100, 100,
                                  600, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetForegroundWindow(window_);
        settle();
        commands.clear();
    }
    ~Host() { destroy(); }
    HWND get() const { return window_; }
    void destroy()
    {
        if (window_)
            DestroyWindow(window_);
        window_ = nullptr;
    }

private:
    HWND window_;
};

// What the button paints, through WM_PRINTCLIENT into a bitmap of our own.
class Picture {
public:
    explicit Picture(const Gui::Button& button)
    {
        RECT client{};
        GetClientRect(button.hwnd(), &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ReleaseDC(nullptr, screen);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        HBRUSH magenta = CreateSolidBrush(unpainted);
        FillRect(dc, &client, magenta);
        DeleteObject(magenta);
        SendMessageW(button.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        const auto* quads = static_cast<const RGBQUAD*>(bits);
        for (int i = 0; i < width_ * height_; ++i)
            pixels_.push_back(RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue));
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }

    COLORREF at(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }
    int count(COLORREF colour) const
    {
        int n = 0;
        for (COLORREF pixel : pixels_)
            n += pixel == colour;
        return n;
    }
    bool framed() const
    {
        for (int x = 0; x < width_; ++x)
            if (at(x, 0) != white || at(x, height_ - 1) != white)
                return false;
        for (int y = 0; y < height_; ++y)
            if (at(0, y) != white || at(width_ - 1, y) != white)
                return false;
        return true;
    }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;
};

// Background inside the frame, the caption's colour somewhere, nothing unpainted.
void expectLook(const Gui::Button& button, Look look, bool framed)
{
    const Picture picture(button);
    EXPECT_EQ(picture.count(unpainted), 0);
    EXPECT_EQ(picture.at(2, 2), look.background);
    EXPECT_EQ(picture.at(picture.width() - 3, picture.height() - 3), look.background);
    EXPECT_GT(picture.count(look.text), 0);
    EXPECT_EQ(picture.framed(), framed);
    if (!framed) {
        EXPECT_EQ(picture.at(0, 0), look.background);
    }
}

class guiButton : public ::testing::Test {
protected:
    std::unique_ptr<Gui::Button> make(bool toggle, int id = 7)
    {
        return std::make_unique<Gui::Button>(host.get(), RECT{50, 50, 149, 79}, L"HHH", id, toggle);
    }

    // The pointer goes where the message says, so the system's own view of
    // the mouse agrees with the messages we send.
    static void mouse(const Gui::Button& button, UINT message, int x, int y)
    {
        POINT screen{x, y};
        ClientToScreen(button.hwnd(), &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(button.hwnd(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }
    static void inside(const Gui::Button& button, UINT message) { mouse(button, message, 50, 15); }
    static void outside(const Gui::Button& button, UINT message) { mouse(button, message, -20, 60); }

    Host host;
};

TEST_F(guiButton, ClassAndSharedFontLiveFromTheFirstButtonToTheLast)
{
    ASSERT_FALSE(classRegistered(L"Zelvara#Button"));
    auto first = make(false);
    auto second = make(true);
    ASSERT_TRUE(classRegistered(L"Zelvara#Button"));
    const HFONT font = Gui::Button::sharedFont();
    LOGFONTW logFont{};
    ASSERT_EQ(GetObjectW(font, sizeof logFont, &logFont), static_cast<int>(sizeof logFont));
    EXPECT_EQ(logFont.lfHeight, 15);
    EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
    EXPECT_EQ(logFont.lfCharSet, RUSSIAN_CHARSET);
    EXPECT_STREQ(logFont.lfFaceName, L"Arial");

    first.reset();
    EXPECT_TRUE(classRegistered(L"Zelvara#Button"));
    second.reset();
    EXPECT_FALSE(classRegistered(L"Zelvara#Button"));
    EXPECT_EQ(GetObjectType(font), 0u);

    auto again = make(false);
    EXPECT_TRUE(classRegistered(L"Zelvara#Button"));
    EXPECT_EQ(GetObjectType(Gui::Button::sharedFont()), static_cast<DWORD>(OBJ_FONT));
}

TEST_F(guiButton, ButtonOutlivingItsParentStillReleasesTheClass)
{
    auto button = make(false);
    host.destroy();
    EXPECT_EQ(button->hwnd(), nullptr);
    button.reset();
    EXPECT_FALSE(classRegistered(L"Zelvara#Button"));
}

TEST_F(guiButton, EmptyRectangleMakesTheButtonAsWideAsItsCaption)
{
    Gui::Button bar(host.get(), RECT{5, 5, 4, 24}, L"Click Left", 1003, true);

    LOGFONTW logFont{};
    logFont.lfHeight = 15;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = RUSSIAN_CHARSET;
    wcscpy_s(logFont.lfFaceName, L"Arial");
    HFONT font = CreateFontIndirectW(&logFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE expected{};
    GetTextExtentPoint32W(dc, L" Click Left ", 12, &expected);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);

    EXPECT_GT(expected.cx, 20);
    EXPECT_EQ(bar.width(), expected.cx);
    EXPECT_EQ(bar.height(), 20);
    EXPECT_EQ(bar.x(), 5);
    EXPECT_EQ(bar.y(), 5);
    RECT client{};
    GetClientRect(bar.hwnd(), &client);
    EXPECT_EQ(client.right, expected.cx);
    EXPECT_EQ(client.bottom, 20);

    Gui::Button longer(host.get(), RECT{0, 0, -1, 19}, L"Click Left and more", 1004, true);
    EXPECT_GT(longer.width(), bar.width());

    Gui::Button square(host.get(), RECT{0, 0, 19, 19}, L"+", 1005, true);
    EXPECT_EQ(square.width(), 20);
    EXPECT_EQ(square.height(), 20);
    GetClientRect(square.hwnd(), &client);
    EXPECT_EQ(client.right, 20);
    EXPECT_EQ(GetDlgCtrlID(square.hwnd()), 1005);
}

TEST_F(guiButton, ReleaseOverTheButtonPostsOneCommand)
{
    for (const bool toggle : {false, true}) {
        SCOPED_TRACE(toggle ? "toggle" : "push");
        commands.clear();
        auto button = make(toggle, 42);
        inside(*button, WM_MOUSEMOVE);
        EXPECT_TRUE(button->hover());
        inside(*button, WM_LBUTTONDOWN);
        EXPECT_TRUE(button->pressed());
        EXPECT_EQ(GetCapture(), button->hwnd());
        inside(*button, WM_LBUTTONUP);
        EXPECT_FALSE(button->pressed());
        EXPECT_NE(GetCapture(), button->hwnd());
        EXPECT_EQ(button->checked(), toggle);
        EXPECT_TRUE(commands.empty()) << "posted, not sent";

        settle();
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].id, 42u);
        EXPECT_EQ(commands[0].button, button.get());
        EXPECT_EQ(commands[0].checkedWhenHandled, toggle);
    }
}

TEST_F(guiButton, PointerLeavingDuringAPressDecidesTheRelease)
{
    auto button = make(true);
    inside(*button, WM_MOUSEMOVE);
    inside(*button, WM_LBUTTONDOWN);
    expectLook(*button, pressedLook, true);

    outside(*button, WM_MOUSEMOVE);
    EXPECT_TRUE(button->pressed());
    EXPECT_FALSE(button->hover());
    EXPECT_EQ(GetCapture(), button->hwnd());
    expectLook(*button, idleLook, true);  // the pressed colour only while over it

    inside(*button, WM_MOUSEMOVE);
    EXPECT_TRUE(button->hover());
    expectLook(*button, pressedLook, true);

    outside(*button, WM_MOUSEMOVE);
    outside(*button, WM_LBUTTONUP);
    EXPECT_FALSE(button->pressed());
    EXPECT_NE(GetCapture(), button->hwnd());
    EXPECT_FALSE(button->checked());
    settle();
    EXPECT_TRUE(commands.empty());

    // Out and back in before the release: that is a click.
    inside(*button, WM_MOUSEMOVE);
    inside(*button, WM_LBUTTONDOWN);
    outside(*button, WM_MOUSEMOVE);
    inside(*button, WM_MOUSEMOVE);
    inside(*button, WM_LBUTTONUP);
    EXPECT_TRUE(button->checked());
    settle();
    EXPECT_EQ(commands.size(), 1u);
}

TEST_F(guiButton, DisabledButtonIgnoresTheMouse)
{
    auto button = make(true);
    button->setEnabled(false);
    inside(*button, WM_MOUSEMOVE);
    EXPECT_FALSE(button->hover());
    inside(*button, WM_LBUTTONDOWN);
    EXPECT_FALSE(button->pressed());
    EXPECT_NE(GetCapture(), button->hwnd());
    expectLook(*button, disabledLook, false);

    // Enabled between press and release: the press never counted.
    button->setEnabled(true);
    inside(*button, WM_LBUTTONUP);
    EXPECT_FALSE(button->checked());
    settle();
    EXPECT_TRUE(commands.empty());
}

TEST_F(guiButton, DisablingDuringAPressLetsGoOfTheMouse)
{
    auto button = make(false);
    inside(*button, WM_MOUSEMOVE);
    inside(*button, WM_LBUTTONDOWN);
    ASSERT_EQ(GetCapture(), button->hwnd());
    button->setEnabled(false);
    EXPECT_FALSE(button->pressed());
    EXPECT_NE(GetCapture(), button->hwnd());
    inside(*button, WM_LBUTTONUP);
    settle();
    EXPECT_TRUE(commands.empty());
}

TEST_F(guiButton, CaptureTakenAwayDuringAPressComesBack)
{
    auto button = make(false);
    inside(*button, WM_MOUSEMOVE);
    inside(*button, WM_LBUTTONDOWN);
    SetCapture(host.get());
    EXPECT_EQ(GetCapture(), button->hwnd());
    inside(*button, WM_LBUTTONUP);
    EXPECT_NE(GetCapture(), button->hwnd());
    settle();
    EXPECT_EQ(commands.size(), 1u);
}

TEST_F(guiButton, PressWithoutAMoveFirstStillClicks)
{
    // A button enabled under a pointer that has not moved since.
    auto button = make(false);
    inside(*button, WM_LBUTTONDOWN);
    EXPECT_TRUE(button->hover());
    inside(*button, WM_LBUTTONUP);
    settle();
    EXPECT_EQ(commands.size(), 1u);
}

TEST_F(guiButton, LeaveNoticeFromTheSystemTakesTheFrameAway)
{
    auto button = make(false);
    inside(*button, WM_MOUSEMOVE);
    expectLook(*button, idleLook, true);
    SetCursorPos(10, 10);
    EXPECT_TRUE(waitFor([&] { return !button->hover(); }));
    expectLook(*button, idleLook, false);

    // After a click the leave notice still comes.
    inside(*button, WM_MOUSEMOVE);
    inside(*button, WM_LBUTTONDOWN);
    inside(*button, WM_LBUTTONUP);
    SetCursorPos(10, 10);
    EXPECT_TRUE(waitFor([&] { return !button->hover(); }));
}

TEST_F(guiButton, ProgrammaticClick)
{
    auto toggle = make(true, 1005);
    toggle->click();
    EXPECT_TRUE(toggle->checked());
    EXPECT_TRUE(commands.empty()) << "posted, not sent";
    settle();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].id, 1005u);
    EXPECT_EQ(commands[0].button, toggle.get());
    EXPECT_TRUE(commands[0].checkedWhenHandled);

    commands.clear();
    auto push = make(false, 3);
    push->click();
    EXPECT_FALSE(push->checked());
    settle();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].button, push.get());

    commands.clear();
    toggle->setEnabled(false);
    toggle->click();
    EXPECT_TRUE(toggle->checked());
    settle();
    EXPECT_TRUE(commands.empty());
}

TEST_F(guiButton, ColoursFollowTheState)
{
    auto button = make(true);
    expectLook(*button, idleLook, false);

    button->setChecked(true);
    expectLook(*button, checkedLook, false);
    inside(*button, WM_MOUSEMOVE);
    expectLook(*button, checkedLook, true);
    inside(*button, WM_LBUTTONDOWN);
    expectLook(*button, checkedPressedLook, true);

    button->setEnabled(false);
    expectLook(*button, disabledLook, false);
    button->setChecked(false);
    expectLook(*button, disabledLook, false);
}

TEST_F(guiButton, StateChangesReachTheScreenAtOnce)
{
    auto button = make(true);
    settle();
    button->setChecked(true);
    HDC dc = GetDC(button->hwnd());
    EXPECT_EQ(GetPixel(dc, 2, 2), checkedLook.background);
    button->setEnabled(false);
    EXPECT_EQ(GetPixel(dc, 2, 2), disabledLook.background);
    ReleaseDC(button->hwnd(), dc);
}

}  // namespace
