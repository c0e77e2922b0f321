#include "ViewWindows.h"

#include "Module.h"
#include "PlayerWindow.h"

namespace {

const wchar_t* const embeddingClass = L"Shell Embedding";
const wchar_t* const viewClass = L"Shell DocObject View";
const wchar_t* const serverClass = L"Internet Explorer_Server";

HWND fillingChild(const wchar_t* cls, HWND parent) {
    RECT r;
    GetClientRect(parent, &r);
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, r.right,
                           r.bottom, parent, nullptr, Module::instance(), nullptr);
}

}  // namespace

ViewWindows::ViewWindows(HWND parent, const RECT& position) {
    Module::registerClass(embeddingClass, &ViewWindows::proc);
    Module::registerClass(viewClass, &ViewWindows::proc);
    // The page itself is white where no plug-in covers it.
    Module::registerClass(serverClass, &ViewWindows::proc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    embedding_ = CreateWindowExW(0, embeddingClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                 position.left, position.top, position.right - position.left,
                                 position.bottom - position.top, parent, nullptr, Module::instance(), nullptr);
    if (!embedding_) return;
    view_ = fillingChild(viewClass, embedding_);
    server_ = fillingChild(serverClass, view_);
}

ViewWindows::~ViewWindows() {
    if (embedding_) DestroyWindow(embedding_);
}

void ViewWindows::move(const RECT& p) {
    if (embedding_)
        SetWindowPos(embedding_, nullptr, p.left, p.top, p.right - p.left, p.bottom - p.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void ViewWindows::clearPlugins() {
    if (!server_) return;
    while (HWND child = GetWindow(server_, GW_CHILD)) DestroyWindow(child);
}

void ViewWindows::showPlugins(const std::vector<PageMarkup::Embed>& embeds) {
    clearPlugins();
    if (!server_) return;
    RECT r;
    GetClientRect(server_, &r);
    for (const auto& e : embeds) PlayerWindow::create(server_, e, r.right, r.bottom);
}

LRESULT CALLBACK ViewWindows::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        int w = LOWORD(lParam), h = HIWORD(lParam);
        // Each window of the chain fills its parent; the page's plug-ins follow their sizes.
        for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (auto* player = PlayerWindow::from(c))
                player->fit(w, h);
            else
                SetWindowPos(c, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
