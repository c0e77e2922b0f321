#include "gui/label.h"

#include <utility>

namespace Gui {

// All zero: Windows picks the face and size.
constinit ControlKind Label::kind(L"Zelvara#Label", &Label::procedure, LOGFONTW{});

Label::Label(HWND parent, const RECT& rect, std::wstring text)
    : Window(parent, rect),
      membership_(kind),
      text_(std::move(text)),
      font_(kind.font())
{
    create(kind.className(), text_, 0);
}

Label::~Label()
{
    destroy();
}

HFONT Label::sharedFont() noexcept
{
    return kind.font();
}

void Label::setFont(HFONT font) noexcept
{
    if (font == font_)
        return;
    ownFont_.reset(font == kind.font() ? nullptr : font);
    font_ = font;
    if (hwnd())
        InvalidateRect(hwnd(), nullptr, FALSE);
}

void Label::paint(HDC dc)
{
    paintText(dc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
}

void Label::paintText(HDC dc, UINT format) noexcept
{
    OffscreenCanvas canvas(hwnd(), dc);
    RECT area = canvas.area();
    {
        UniqueBrush background(CreateSolidBrush(backgroundColour));
        FillRect(canvas.dc(), &area, background.get());
    }
    SelectedObject font(canvas.dc(), font_);
    SetTextColor(canvas.dc(), textColour);
    SetBkColor(canvas.dc(), backgroundColour);
    DrawTextW(canvas.dc(), text_.c_str(), static_cast<int>(text_.size()), &area, format);
}

LRESULT CALLBACK Label::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (auto* label = static_cast<Label*>(boundObject(window, message, lParam)))
        return label->onMessage(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Label::onMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_PAINT: return onPaint();
    case WM_PRINTCLIENT: return onPrintClient(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return 1;  // the paint covers every pixel
    default: return DefWindowProcW(hwnd(), message, wParam, lParam);
    }
}

MultilineLabel::MultilineLabel(HWND parent, const RECT& rect, std::wstring text)
    : Label(parent, rect, std::move(text))
{
}

void MultilineLabel::paint(HDC dc)
{
    paintText(dc, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
}

}  // namespace Gui
