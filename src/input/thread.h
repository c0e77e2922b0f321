// Base of the worker threads: created suspended, started once, and on
// destruction stopped and waited for. A worker that ends by itself reports
// it by posting WM_THREAD_FINISHED (wParam: the object, lParam: its serial
// number); one stopped by its owner does not, since the owner knows. The
// serial tells a report from one of an object since freed at that address.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "base/win_handles.h"

inline constexpr UINT WM_THREAD_FINISHED = WM_USER + 222;

class Thread {
public:
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    void start();
    DWORD threadId() const noexcept { return threadId_; }
    // Whether a WM_THREAD_FINISHED names this object.
    bool reported(WPARAM wParam, LPARAM lParam) const noexcept
    {
        return wParam == reinterpret_cast<WPARAM>(this) && static_cast<std::uintptr_t>(lParam) == serial_;
    }

protected:
    // notifyWindow may be null: then no end is reported.
    explicit Thread(HWND notifyWindow);
    virtual void run() = 0;
    // Stops the worker and waits for it. Derived destructors call it first,
    // so run() never outlives the members it uses; calling it again is harmless.
    void stopAndWait() noexcept;

    // Waits out `ms` unless the worker is being stopped; false then, at once.
    bool pause(DWORD ms) const noexcept;
    // Waits until `event` is set (true) or the worker is being stopped
    // (false). An event set before the stop still comes first.
    bool waitFor(HANDLE event) const noexcept;
    HWND notifyWindow() const noexcept { return notifyWindow_; }

    // Cleared by the destructor: the worker's stop signal.
    std::atomic<bool> running{false};

private:
    static DWORD WINAPI entry(void* self);
    void reportEnd() const noexcept;

    HWND notifyWindow_;
    std::uintptr_t serial_;  // LPARAM-sized, so it comes back from the message whole
    // Set with the stop signal, so no pause is waited out.
    UniqueHandle stopEvent_;
    bool started_ = false;
    HANDLE handle_ = nullptr;
    DWORD threadId_ = 0;
};
