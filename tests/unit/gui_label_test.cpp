// Labels against real windows: class and font lifetime, geometry, painting.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "gui/label.h"

namespace {

constexpr COLORREF unpainted = RGB(255, 0, 255);
constexpr COLORREF green = RGB(0, 255, 0);
constexpr COLORREF darkGreen = RGB(12, 34, 13);

bool classRegistered(const wchar_t* name)
{
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    return GetClassInfoExW(GetModuleHandleW(nullptr), name, &info) != FALSE;
}

// A visible top-level window to put the controls in.
class Host {
public:
    Host()
    {
        static const ATOM registered = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = DefWindowProcW;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"LabelTestHost";
            return RegisterClassW(&windowClass);
        }();
        window_ = CreateWindowExW(0, MAKEINTATOM(registered), L"", WS_POPUP | WS_VISIBLE, 100, 100,
                                  1000, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
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

// What the control paints, through WM_PRINTCLIENT into a bitmap of our own
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
    int count(COLORREF colour) const
    {
        int n = 0;
        for (COLORREF pixel : pixels_)
            n += pixel == colour;
        return n;
    }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;
};

template <class Kind>
std::unique_ptr<Kind> greenLabel(HWND parent, RECT rect, const wchar_t* text)
{
    auto label = std::make_unique<Kind>(parent, rect, text);
    label->textColour = green;
    label->backgroundColour = darkGreen;
    return label;
}

TEST(guiLabel, ClassAndSharedFontLiveFromTheFirstLabelToTheLast)
{
    Host host;
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

TEST(guiLabel, OwnFontIsDeletedWithItsLabelWhileTheSharedOneStays)
{
    Host host;
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

TEST(guiLabel, RectangleIsInclusiveAndTheWindowCarriesTheCaption)
{
    Host host;
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

TEST(guiLabel, PaintsEveryPixelAndLeavesErasingAlone)
{
    Host host;
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

TEST(guiLabel, LongTextStaysOnOneLineOrWrapsBetweenWords)
{
    Host host;
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

TEST(guiLabel, OwnFontIsUsedForPainting)
{
    Host host;
    auto label = greenLabel<Gui::Label>(host.get(), RECT{0, 0, 299, 59}, L"HHH");
    const int before = Picture(*label).count(green);
    LOGFONTW big{};
    big.lfHeight = 40;
    big.lfWeight = FW_NORMAL;
    label->setFont(CreateFontIndirectW(&big));
    EXPECT_GT(Picture(*label).count(green), before * 2);
}

TEST(guiLabel, WindowPaintGoesToTheScreenInOneCopy)
{
    Host host;
    auto label = greenLabel<Gui::Label>(host.get(), RECT{10, 10, 209, 49}, L"Zelvara");
    label->repaint();
    HDC dc = GetDC(label->hwnd());
    EXPECT_EQ(GetPixel(dc, 0, 0), darkGreen);
    EXPECT_EQ(GetPixel(dc, 199, 39), darkGreen);
    ReleaseDC(label->hwnd(), dc);
}

TEST(guiLabel, LabelOutlivingItsParentStillReleasesTheClass)
{
    auto host = std::make_unique<Host>();
    auto label = std::make_unique<Gui::Label>(host->get(), RECT{0, 0, 99, 19}, L"orphan");
    host->destroy();
    EXPECT_EQ(label->hwnd(), nullptr);
    label.reset();
    EXPECT_FALSE(classRegistered(L"Zelvara#Label"));
}

}  // namespace
