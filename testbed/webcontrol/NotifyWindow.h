#pragma once
#include <windows.h>

#include <functional>

// A hidden message-only window on the creating thread: results of worker
// threads and timers come back through it onto that thread.
class NotifyWindow {
public:
    using Handler = std::function<void(UINT message, WPARAM, LPARAM)>;

    explicit NotifyWindow(Handler handler);
    ~NotifyWindow();
    NotifyWindow(const NotifyWindow&) = delete;
    NotifyWindow& operator=(const NotifyWindow&) = delete;

    HWND hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    Handler handler_;
    HWND hwnd_ = nullptr;
};
