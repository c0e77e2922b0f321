#include "NotifyWindow.h"

#include "Module.h"

namespace {
const wchar_t* const className = L"TestbedNotify";
}

NotifyWindow::NotifyWindow(Handler handler) : handler_(std::move(handler)) {
    Module::registerClass(className, &NotifyWindow::proc);
    hwnd_ = CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Module::instance(), this);
}

NotifyWindow::~NotifyWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK NotifyWindow::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<NotifyWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && (message == WM_TIMER || message >= WM_APP)) {
        self->handler_(message, wParam, lParam);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
