#include "gui/window.h"

#include "base/constants.h"

namespace Gui {

Window::Window(HWND parent, const RECT& rect) noexcept
    : parent_(parent),
      width_(rect.right - rect.left + 1),
      height_(rect.bottom - rect.top + 1),
      x_(rect.left),
      y_(rect.top)
{
}

// Derived classes destroy the window before they let their class go; this is
// only the last line of defence.
Window::~Window()
{
    destroy();
}

void Window::paint(HDC)
{
}

void Window::repaint() noexcept
{
    // A null handle would invalidate every window of the desktop.
    if (!hwnd_)
        return;
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}

void Window::move(int x, int y, int width, int height) noexcept
{
    // A move to where the window already is would still repaint it.
    if (hwnd_ && x == x_ && y == y_ && width == width_ && height == height_)
        return;
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
    if (hwnd_)
        MoveWindow(hwnd_, x, y, width, height, TRUE);
}

void Window::create(const wchar_t* className, const std::wstring& title, int childId) noexcept
{
    // The object is bound at WM_NCCREATE, so no message of the creation finds
    // the window without it.
    CreateWindowExW(0, className, title.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x_, y_, width_, height_,
                    parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)),
                    GetModuleHandleW(nullptr), this);
}

void Window::destroy() noexcept
{
    if (!hwnd_)
        return;
    HWND window = hwnd_;
    hwnd_ = nullptr;
    // Unbound first: the messages of the destruction must not reach an object
    // that is itself being destroyed.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

Window* Window::boundObject(HWND window, UINT message, LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE) {
        auto* object = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        object->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object;
    }
    auto* object = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (object && message == WM_NCDESTROY) {
        // The parent destroyed us first: forget the handle, which may be reused.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        object->hwnd_ = nullptr;
        return nullptr;
    }
    return object;
}

LRESULT Window::onPaint() noexcept
{
    PaintSession session(hwnd_);
    paint(session.dc());
    return 0;
}

LRESULT Window::onPrintClient(HDC dc) noexcept
{
    paint(dc);
    return 0;
}

ControlKind::Membership::Membership(ControlKind& kind) noexcept : kind_(kind)
{
    if (kind_.liveCount_++ > 0)
        return;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = kind_.procedure_;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kind_.className_;
    RegisterClassW(&windowClass);
    kind_.font_.reset(CreateFontIndirectW(&kind_.logFont_));
}

ControlKind::Membership::~Membership()
{
    if (--kind_.liveCount_ > 0)
        return;
    kind_.font_.reset();
    UnregisterClassW(kind_.className_, GetModuleHandleW(nullptr));
}

bool registerBackgroundClass(const wchar_t* className, WNDPROC procedure) noexcept
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(backgroundColour);
    wc.lpszClassName = className;
    if (RegisterClassW(&wc))
        return true;
    DeleteObject(wc.hbrBackground);
    return false;
}

}  // namespace Gui
