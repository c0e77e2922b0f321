#include "ViewWindows.h"

#include "Module.h"
#include "PlayerWindow.h"

namespace {

const wchar_t* const embeddingClass = L"Shell Embedding";
const wchar_t* const viewClass = L"Shell DocObject View";
const wchar_t* const serverClass = L"Internet Explorer_Server";

HWND fillingChild(const wchar_t* cls, HWND parent, void* param = nullptr) {
    RECT r;
    GetClientRect(parent, &r);
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, r.right,
                           r.bottom, parent, nullptr, Module::instance(), param);
}

}  // namespace

ViewWindows::ViewWindows(HWND parent, const RECT& position, bool edge) : edge_(edge) {
    Module::registerClass(embeddingClass, &ViewWindows::proc);
    Module::registerClass(viewClass, &ViewWindows::proc);
    // The page itself is white where no plug-in covers it.
    Module::registerClass(serverClass, &ViewWindows::serverProc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    embedding_ = CreateWindowExW(0, embeddingClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                 position.left, position.top, position.right - position.left,
                                 position.bottom - position.top, parent, nullptr, Module::instance(), nullptr);
    if (!embedding_) return;
    view_ = fillingChild(viewClass, embedding_);
    server_ = fillingChild(serverClass, view_, this);
}

ViewWindows::~ViewWindows() {
    if (embedding_) DestroyWindow(embedding_);
}

void ViewWindows::move(const RECT& p) {
    if (embedding_)
        SetWindowPos(embedding_, nullptr, p.left, p.top, p.right - p.left, p.bottom - p.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

// The page's area: the server window's client area, less the edge (as wide
// as the system's 3-D edge) when one is drawn.
RECT ViewWindows::page(HWND server) const {
    RECT r;
    GetClientRect(server, &r);
    if (edge_) InflateRect(&r, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    return r;
}

void ViewWindows::clearPlugins() {
    if (!server_) return;
    while (HWND child = GetWindow(server_, GW_CHILD)) DestroyWindow(child);
}

void ViewWindows::showPlugins(const std::vector<PageMarkup::Embed>& embeds) {
    clearPlugins();
    if (!server_) return;
    const RECT r = page(server_);
    for (const auto& e : embeds) PlayerWindow::create(server_, e, r);
}

LRESULT CALLBACK ViewWindows::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        // Each window of the chain fills its parent.
        if (HWND child = GetWindow(hwnd, GW_CHILD))
            SetWindowPos(child, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ViewWindows::serverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    const auto* self = reinterpret_cast<const ViewWindows*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_SIZE: {
            // The page's plug-ins follow its size, and the edge is drawn anew along the new sides.
            const RECT r = self->page(hwnd);
            for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (auto* player = PlayerWindow::from(c)) player->fit(r);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            if (self->edge_) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
            EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}
