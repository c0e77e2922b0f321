#include "gui/button.h"

#include <windowsx.h>

#include <utility>

namespace Gui {
namespace {

struct Look {
    COLORREF background;
    COLORREF text;
};

Look lookOf(bool enabled, bool checked, bool pressedOver) noexcept
{
    if (!enabled)
        return {RGB(87, 87, 87), RGB(177, 177, 177)};
    if (checked)
        return {pressedOver ? RGB(79, 231, 44) : RGB(88, 255, 49), RGB(14, 40, 14)};
    return {pressedOver ? RGB(31, 91, 24) : RGB(8, 74, 0), RGB(88, 251, 48)};
}

constexpr COLORREF frameColour = RGB(255, 255, 255);

}  // namespace

constinit ControlKind Button::kind(
    L"Zelvara#Button", &Button::procedure,
    LOGFONTW{15, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, L"Arial"});

Button::Button(HWND parent, const RECT& rect, std::wstring text, int id, bool toggle)
    : Window(parent, rect), membership_(kind), text_(std::move(text)), id_(id), toggle_(toggle)
{
    // Measured on the parent's device context before the window exists (the
    // same screen and font give the same width), so the window is made at its
    // width once instead of being made and then moved. Nothing after the
    // creation can throw.
    if (width() == 0) {
        const std::wstring measured = L" " + text_ + L" ";
        SIZE size{};
        WindowDc dc(parent);
        SelectedObject font(dc.get(), kind.font());
        GetTextExtentPoint32W(dc.get(), measured.c_str(), static_cast<int>(measured.size()), &size);
        move(x(), y(), size.cx, height());
    }
    create(kind.className(), text_, id_);
}

Button::~Button()
{
    destroy();
}

HFONT Button::sharedFont() noexcept
{
    return kind.font();
}

void Button::setChecked(bool checked) noexcept
{
    if (checked == checked_)
        return;
    checked_ = checked;
    repaint();
}

void Button::setEnabled(bool enabled) noexcept
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (!enabled_) {
        // A press cut short here would otherwise keep the capture for good:
        // the release that ends it is ignored while disabled.
        hover_ = false;
        if (std::exchange(pressed_, false) && GetCapture() == hwnd())
            ReleaseCapture();
    }
    repaint();
}

void Button::click() noexcept
{
    if (!enabled_)
        return;
    // As a mouse click: only a toggle button changes its checked state.
    if (toggle_)
        checked_ = !checked_;
    repaint();
    notify();
}

void Button::paint(HDC dc)
{
    OffscreenCanvas canvas(hwnd(), dc);
    RECT area = canvas.area();
    const Look look = lookOf(enabled_, checked_, pressed_ && hover_);
    {
        UniqueBrush background(CreateSolidBrush(look.background));
        if (enabled_ && (hover_ || pressed_)) {
            UniquePen frame(CreatePen(PS_SOLID, 1, frameColour));
            SelectedObject pen(canvas.dc(), frame.get());
            SelectedObject brush(canvas.dc(), background.get());
            Rectangle(canvas.dc(), 0, 0, area.right, area.bottom);
        } else {
            FillRect(canvas.dc(), &area, background.get());
        }
    }
    SelectedObject font(canvas.dc(), kind.font());
    SetTextColor(canvas.dc(), look.text);
    SetBkColor(canvas.dc(), look.background);
    DrawTextW(canvas.dc(), text_.c_str(), static_cast<int>(text_.size()), &area,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
}

LRESULT CALLBACK Button::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (auto* button = static_cast<Button*>(boundObject(window, message, lParam)))
        return button->onMessage(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Button::onMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_PAINT: return onPaint();
    case WM_PRINTCLIENT: return onPrintClient(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return 1;  // the paint covers every pixel
    case WM_MOUSEMOVE: onMouseMove(point); return 0;
    case WM_LBUTTONDOWN: onButtonDown(point); return 0;
    case WM_LBUTTONUP: onButtonUp(); return 0;
    case WM_CAPTURECHANGED: onCaptureChanged(); return 0;
    case WM_MOUSELEAVE: onMouseLeave(); return 0;
    default: return DefWindowProcW(hwnd(), message, wParam, lParam);
    }
}

void Button::onMouseMove(POINT point) noexcept
{
    if (!enabled_)
        return;
    if (pressed_) {
        // The capture brings every move here; the look follows the pointer
        // in and out of the button.
        const bool over = isOver(point);
        if (over != hover_) {
            hover_ = over;
            showLater();
        }
    } else if (!hover_) {
        hover_ = true;
        trackLeave();
        showLater();
    }
}

void Button::onButtonDown(POINT point) noexcept
{
    if (!enabled_)
        return;
    pressed_ = true;
    // The press itself says where the pointer is: a button enabled under a
    // resting pointer has seen no move yet, and its click must still count.
    if (!hover_ && isOver(point)) {
        hover_ = true;
        trackLeave();
    }
    SetCapture(hwnd());
    showLater();
}

void Button::onButtonUp() noexcept
{
    if (!enabled_)
        return;
    if (pressed_ && hover_) {
        if (toggle_)
            checked_ = !checked_;
        notify();
    }
    // Cleared first, or the WM_CAPTURECHANGED of the release takes it back.
    pressed_ = false;
    if (GetCapture() == hwnd())
        ReleaseCapture();
    // The capture may have cost the leave notice; without one the frame stays.
    if (hover_)
        trackLeave();
    showLater();
}

void Button::onCaptureChanged() noexcept
{
    // Keep the press going until the button is released.
    if (pressed_)
        SetCapture(hwnd());
}

void Button::onMouseLeave() noexcept
{
    hover_ = false;
    showLater();
}

bool Button::isOver(POINT clientPoint) const noexcept
{
    RECT bounds{};
    GetWindowRect(hwnd(), &bounds);
    ClientToScreen(hwnd(), &clientPoint);
    return PtInRect(&bounds, clientPoint) != FALSE;
}

void Button::showLater() noexcept
{
    // The mouse's looks (hover, press, release, leave) are painted with the
    // next WM_PAINT rather than at once: a click's move, press and release
    // arrive together, and its command is posted ahead of the paint, so the
    // button is painted once, after the command, instead of three times
    // before it (0.3-0.4 ms each under Wine, ahead of a page). The look the
    // button settles on is the same; a press and release already queued
    // together no longer flash the pressed look for the millisecond between
    // them, shorter than a frame of the screen. The state changes the program
    // makes itself (checked, enabled) still paint at once.
    if (hwnd())
        InvalidateRect(hwnd(), nullptr, FALSE);
}

void Button::trackLeave() noexcept
{
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), HOVER_DEFAULT};
    TrackMouseEvent(&track);
}

void Button::notify() noexcept
{
    PostMessageW(parent(), WM_COMMAND, static_cast<WPARAM>(static_cast<UINT>(id_)),
                 reinterpret_cast<LPARAM>(this));
}

}  // namespace Gui
