#include "PlayerWindow.h"

#include "Module.h"

namespace {

const UINT_PTR delayTimer = 1;
const COLORREF fieldColour = RGB(24, 90, 48);
const COLORREF gridColour = RGB(40, 120, 70);
const COLORREF textColour = RGB(235, 230, 150);
const COLORREF targetColour = RGB(200, 60, 60);
const COLORREF chatColour = RGB(10, 40, 20);
const COLORREF white = RGB(255, 255, 255);

void fill(HDC dc, const RECT& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void text(HDC dc, int x, int y, const std::wstring& s) {
    TextOutW(dc, x, y, s.c_str(), static_cast<int>(s.size()));
}

}  // namespace

PlayerWindow::PlayerWindow(const PageMarkup::Embed& embed)
    : embed_(embed), condition_(embed.clicks, embed.delayMs), created_(GetTickCount64()) {}

HWND PlayerWindow::create(HWND parent, const PageMarkup::Embed& embed, const RECT& page) {
    Module::registerClass(className, &PlayerWindow::proc);
    auto* self = new PlayerWindow(embed);
    int w = embed.width.resolve(page.right - page.left), h = embed.height.resolve(page.bottom - page.top);
    HWND hwnd = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, page.left, page.top, w, h,
                                parent, nullptr, Module::instance(), self);
    if (!hwnd) {
        delete self;
        return nullptr;
    }
    // Children enumerate in document order: each new plug-in goes below the earlier ones.
    SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return hwnd;
}

PlayerWindow* PlayerWindow::from(HWND hwnd) {
    wchar_t name[32];
    if (!GetClassNameW(hwnd, name, 32) || lstrcmpW(name, className) != 0) return nullptr;
    return reinterpret_cast<PlayerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void PlayerWindow::fit(const RECT& page) {
    if (!embed_.width.percent && !embed_.height.percent) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, embed_.width.resolve(page.right - page.left),
                 embed_.height.resolve(page.bottom - page.top), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK PlayerWindow::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<PlayerWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<PlayerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->log_.event(hwnd, "destroyed");
        delete self;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT PlayerWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    log_.input(hwnd_, message, wParam, lParam);
    switch (message) {
        case WM_CREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
            width_ = cs->cx;
            height_ = cs->cy;
            condition_.resize(width_, height_);
            log_.event(hwnd_, "created",
                       "\"width\":" + std::to_string(width_) + ",\"height\":" + std::to_string(height_) +
                           ",\"clicks\":" + std::to_string(embed_.clicks) +
                           ",\"delay\":" + std::to_string(embed_.delayMs));
            if (embed_.delayMs > 0) SetTimer(hwnd_, delayTimer, embed_.delayMs, nullptr);
            checkLoaded();
            return 0;
        }
        case WM_SIZE:
            width_ = LOWORD(lParam);
            height_ = HIWORD(lParam);
            condition_.resize(width_, height_);
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_TIMER:
            if (wParam == delayTimer) {
                KillTimer(hwnd_, delayTimer);
                checkLoaded();
            }
            return 0;
        case WM_KEYDOWN:
            key(wParam);
            return 0;
        case WM_CHAR:
            character(static_cast<wchar_t>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            if (condition_.click(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))) {
                InvalidateRect(hwnd_, nullptr, FALSE);
                checkLoaded();
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            RECT rc;
            GetClientRect(hwnd_, &rc);
            // Off-screen first, so a pixel reader never sees a half-drawn
            // frame; only the part to repaint, so a window uncovering one
            // pixel costs a one-pixel bitmap, not a field-sized one.
            const RECT& part = ps.rcPaint;
            const int w = part.right - part.left, h = part.bottom - part.top;
            if (w <= 0 || h <= 0) {
                EndPaint(hwnd_, &ps);
                return 0;
            }
            HDC mem = CreateCompatibleDC(dc);
            HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
            HGDIOBJ old = SelectObject(mem, bmp);
            SetViewportOrgEx(mem, -part.left, -part.top, nullptr);
            paint(mem, rc.right, rc.bottom);
            BitBlt(dc, part.left, part.top, w, h, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteObject(bmp);
            DeleteDC(mem);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        default:
            return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void PlayerWindow::key(WPARAM vk) {
    if (!chatOpen_) {
        if (vk == 'T' || vk == VK_RETURN) {
            chatOpen_ = true;
            chatTeam_ = vk == 'T';
            chatText_.clear();
            InvalidateRect(hwnd_, nullptr, FALSE);
        }
        return;
    }
    if (vk == VK_RETURN) {
        chatOpen_ = false;
        sent_ = chatText_;
        sentTeam_ = chatTeam_;
        log_.event(hwnd_, "chat",
                   std::string("\"team\":") + (sentTeam_ ? "true" : "false") + ",\"text\":" + PlayerLog::quote(sent_));
        InvalidateRect(hwnd_, nullptr, FALSE);
    } else if (vk == VK_ESCAPE) {
        chatOpen_ = false;
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void PlayerWindow::character(wchar_t c) {
    // Characters count only while the chat line is open; the Enter and 'T'
    // that open or send it arrive as control or stray characters later.
    if (!chatOpen_) return;
    if (c == L'\b') {
        if (!chatText_.empty()) chatText_.pop_back();
    } else if (c >= L' ') {
        chatText_ += c;
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

bool PlayerWindow::canLoad() const { return width_ > 1 && height_ > 1; }

void PlayerWindow::checkLoaded() {
    if (loaded_ || !canLoad() || !condition_.met(GetTickCount64() - created_)) return;
    loaded_ = true;
    log_.event(hwnd_, "loaded", "\"width\":" + std::to_string(width_) + ",\"height\":" + std::to_string(height_));
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void PlayerWindow::paint(HDC dc, int width, int height) const {
    RECT all{0, 0, width, height};
    fill(dc, all, fieldColour);
    if (width <= 1 || height <= 1) return;
    for (int x = 40; x < width; x += 40) fill(dc, RECT{x, 0, x + 1, height}, gridColour);
    for (int y = 40; y < height; y += 40) fill(dc, RECT{0, y, width, y + 1}, gridColour);
    for (int which = 0; which < 2; ++which) {
        int x = condition_.targetX(which), y = condition_.targetY();
        fill(dc, RECT{x - 6, y - 6, x + 7, y + 7}, targetColour);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColour);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    text(dc, 10, 10,
         loaded_ ? L"Battle loaded"
                 : L"Loading battle: clicks " + std::to_wstring(condition_.clicks()) + L"/" +
                       std::to_wstring(condition_.clicksNeeded()));
    if (!sent_.empty()) text(dc, 10, height - 100, (sentTeam_ ? L"[team] " : L"[all] ") + sent_);
    if (chatOpen_) {
        fill(dc, RECT{8, height - 78, width / 2, height - 58}, chatColour);
        text(dc, 12, height - 76, (chatTeam_ ? L"Team: " : L"All: ") + chatText_ + L"_");
    }
    SelectObject(dc, oldFont);
    // The loaded battle: the only white the player ever draws.
    if (loaded_) fill(dc, RECT{width - 40, height - 21, width, height}, white);
}
