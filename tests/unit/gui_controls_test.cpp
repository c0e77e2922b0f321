// The controls against real windows: class and font lifetime, geometry, the
// mouse messages the system sends, the posted notifications, and the colours
// painted for each state.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/button.h"
#include "gui/label.h"

namespace {

constexpr COLORREF unpainted = RGB(255, 0, 255);
constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF green = RGB(0, 255, 0);
constexpr COLORREF darkGreen = RGB(12, 34, 13);

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
    bool paintPendingWhenHandled;
};
std::vector<Command> commands;

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        const auto* button = reinterpret_cast<const Gui::Button*>(lParam);
        commands.push_back({wParam, button, button->checked(), GetUpdateRect(button->hwnd(), nullptr, FALSE) != 0});
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
            windowClass.lpszClassName = L"ControlTestHost";
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

// What a control paints, through WM_PRINTCLIENT into a bitmap of our own
// that starts magenta, so unpainted pixels show.
class Picture {
public:
    explicit Picture(const Gui::Window& control)
    {
        RECT client{};
        GetClientRect(control.hwnd(), &client);
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
        SendMessageW(control.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
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
    bool rowHasInk(int y, COLORREF background) const
    {
        for (int x = 0; x < width_; ++x)
            if (at(x, y) != background)
                return true;
        return false;
    }
    bool columnHasInk(int x, COLORREF background) const
    {
        for (int y = 0; y < height_; ++y)
            if (at(x, y) != background)
                return true;
        return false;
    }
    // Runs of rows with ink: one per line of text.
    int inkBands(COLORREF background) const
    {
        int bands = 0;
        bool previous = false;
        for (int y = 0; y < height_; ++y) {
            const bool ink = rowHasInk(y, background);
            bands += ink && !previous;
            previous = ink;
        }
        return bands;
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

TEST_F(guiButton, ButtonWithoutAWindowDisturbsNoOtherWindow)
{
    // A child window needs a parent: creation fails, silently.
    Gui::Button orphan(nullptr, RECT{0, 0, 99, 19}, L"none", 1, true);
    ASSERT_EQ(orphan.hwnd(), nullptr);
    UpdateWindow(host.get());
    orphan.setChecked(true);
    orphan.click();
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(host.get(), &update, FALSE));
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
        // The click's looks are painted once, after its command; the screen
        // ends with the released look under the pointer.
        EXPECT_TRUE(commands[0].paintPendingWhenHandled);
        HDC dc = GetDC(button->hwnd());
        EXPECT_EQ(GetPixel(dc, 2, 2), (toggle ? checkedLook : idleLook).background);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255)) << "the hover frame";
        ReleaseDC(button->hwnd(), dc);
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

class guiLabel : public ::testing::Test {
protected:
    Host host;
};

template <class Kind>
std::unique_ptr<Kind> greenLabel(HWND parent, RECT rect, const wchar_t* text)
{
    auto label = std::make_unique<Kind>(parent, rect, text);
    label->textColour = green;
    label->backgroundColour = darkGreen;
    return label;
}

TEST_F(guiLabel, ClassAndSharedFontLiveFromTheFirstLabelToTheLast)
{
    ASSERT_FALSE(classRegistered(L"Zelvara#Label"));
    EXPECT_EQ(Gui::Label::sharedFont(), nullptr);

    auto single = std::make_unique<Gui::Label>(host.get(), RECT{0, 0, 99, 19}, L"one");
    EXPECT_TRUE(classRegistered(L"Zelvara#Label"));
    const HFONT shared = Gui::Label::sharedFont();
    EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(single->font(), shared);

    auto multi = std::make_unique<Gui::MultilineLabel>(host.get(), RECT{0, 20, 99, 39}, L"two");
    EXPECT_EQ(multi->font(), shared);
    single.reset();
    EXPECT_TRUE(classRegistered(L"Zelvara#Label"));
    EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));

    multi.reset();
    EXPECT_FALSE(classRegistered(L"Zelvara#Label"));
    EXPECT_EQ(GetObjectType(shared), 0u);
    EXPECT_EQ(Gui::Label::sharedFont(), nullptr);

    Gui::Label again(host.get(), RECT{0, 0, 99, 19}, L"three");
    EXPECT_TRUE(classRegistered(L"Zelvara#Label"));
    EXPECT_EQ(GetObjectType(again.font()), static_cast<DWORD>(OBJ_FONT));
    EXPECT_NE(again.hwnd(), nullptr);
}

TEST_F(guiLabel, OwnFontIsDeletedWithItsLabelWhileTheSharedOneStays)
{
    Gui::Label keeper(host.get(), RECT{0, 0, 99, 19}, L"keeper");
    auto label = std::make_unique<Gui::Label>(host.get(), RECT{0, 20, 99, 39}, L"own");
    const HFONT shared = Gui::Label::sharedFont();

    LOGFONTW big{};
    big.lfHeight = 40;
    big.lfWeight = FW_NORMAL;
    const HFONT first = CreateFontIndirectW(&big);
    const HFONT second = CreateFontIndirectW(&big);
    label->setFont(first);
    label->setFont(first);  // the same font again must not delete it
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_FONT));
    label->setFont(second);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(label->font(), second);

    label.reset();
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(keeper.font(), shared);
}

TEST_F(guiLabel, RectangleIsInclusiveAndTheWindowCarriesTheCaption)
{
    Gui::MultilineLabel label(host.get(), RECT{100, 175, 899, 249}, L"caption");
    EXPECT_EQ(label.x(), 100);
    EXPECT_EQ(label.y(), 175);
    EXPECT_EQ(label.width(), 800);
    EXPECT_EQ(label.height(), 75);
    EXPECT_EQ(label.parent(), host.get());
    EXPECT_EQ(GetParent(label.hwnd()), host.get());

    RECT bounds{};
    GetWindowRect(label.hwnd(), &bounds);
    MapWindowPoints(nullptr, host.get(), reinterpret_cast<POINT*>(&bounds), 2);
    EXPECT_EQ(bounds.left, 100);
    EXPECT_EQ(bounds.top, 175);
    EXPECT_EQ(bounds.right - bounds.left, 800);
    EXPECT_EQ(bounds.bottom - bounds.top, 75);

    wchar_t text[32]{};
    GetWindowTextW(label.hwnd(), text, 32);
    EXPECT_STREQ(text, L"caption");
    wchar_t className[32]{};
    GetClassNameW(label.hwnd(), className, 32);
    EXPECT_STREQ(className, L"Zelvara#Label");
    EXPECT_EQ(GetWindowLongPtrW(label.hwnd(), GWL_STYLE) & (WS_CHILD | WS_VISIBLE),
              static_cast<LONG_PTR>(WS_CHILD | WS_VISIBLE));
}

TEST_F(guiLabel, PaintsEveryPixelAndLeavesErasingAlone)
{
    auto empty = greenLabel<Gui::Label>(host.get(), RECT{0, 0, 199, 39}, L"");
    const Picture blank(*empty);
    EXPECT_EQ(blank.count(darkGreen), blank.width() * blank.height());

    auto title = greenLabel<Gui::Label>(host.get(), RECT{0, 50, 199, 89}, L"Zelvara");
    const Picture picture(*title);
    EXPECT_EQ(picture.count(unpainted), 0);
    EXPECT_GT(picture.count(green), 0);
    EXPECT_EQ(picture.at(0, 0), darkGreen);
    EXPECT_EQ(picture.at(199, 39), darkGreen);
    EXPECT_EQ(picture.inkBands(darkGreen), 1);

    // WM_ERASEBKGND reports the work done and touches nothing.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    SetPixel(dc, 3, 3, unpainted);
    EXPECT_NE(SendMessageW(title->hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
    EXPECT_EQ(GetPixel(dc, 3, 3), unpainted);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(guiLabel, LongTextStaysOnOneLineOrWrapsBetweenWords)
{
    const wchar_t* text = L"a text far longer than the narrow control it is shown in";
    auto single = greenLabel<Gui::Label>(host.get(), RECT{0, 0, 99, 79}, text);
    auto multi = greenLabel<Gui::MultilineLabel>(host.get(), RECT{0, 100, 99, 279}, text);

    const Picture line(*single);
    EXPECT_EQ(line.inkBands(darkGreen), 1);
    // Centred and cut off at both edges.
    EXPECT_TRUE(line.columnHasInk(0, darkGreen) || line.columnHasInk(1, darkGreen));
    EXPECT_TRUE(line.columnHasInk(98, darkGreen) || line.columnHasInk(99, darkGreen));

    const Picture wrapped(*multi);
    EXPECT_GE(wrapped.inkBands(darkGreen), 3);
}

TEST_F(guiLabel, OwnFontIsUsedForPainting)
{
    auto label = greenLabel<Gui::Label>(host.get(), RECT{0, 0, 299, 59}, L"HHH");
    const int before = Picture(*label).count(green);
    LOGFONTW big{};
    big.lfHeight = 40;
    big.lfWeight = FW_NORMAL;
    label->setFont(CreateFontIndirectW(&big));
    EXPECT_GT(Picture(*label).count(green), before * 2);
}

TEST_F(guiLabel, WindowPaintGoesToTheScreenInOneCopy)
{
    auto label = greenLabel<Gui::Label>(host.get(), RECT{10, 10, 209, 49}, L"Zelvara");
    label->repaint();
    HDC dc = GetDC(label->hwnd());
    EXPECT_EQ(GetPixel(dc, 0, 0), darkGreen);
    EXPECT_EQ(GetPixel(dc, 199, 39), darkGreen);
    ReleaseDC(label->hwnd(), dc);
}

TEST_F(guiLabel, LabelOutlivingItsParentStillReleasesTheClass)
{
    auto label = std::make_unique<Gui::Label>(host.get(), RECT{0, 0, 99, 19}, L"orphan");
    host.destroy();
    EXPECT_EQ(label->hwnd(), nullptr);
    label.reset();
    EXPECT_FALSE(classRegistered(L"Zelvara#Label"));
}

}  // namespace
