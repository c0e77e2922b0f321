// Base of the worker threads: created suspended, started once, and on
// destruction stopped and waited for. A worker that ends reports it by
// posting WM_THREAD_FINISHED (wParam: the object, lParam: its thread id).
#pragma once
#include <windows.h>

#include <atomic>

inline constexpr UINT WM_THREAD_FINISHED = WM_USER + 222;

class Thread {
public:
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    void start();
    DWORD threadId() const noexcept { return threadId_; }

protected:
    // notifyWindow may be null: then no end is reported.
    explicit Thread(HWND notifyWindow);
    virtual void run() = 0;
    // Stops the worker and waits for it. Derived destructors call it first,
    // so run() never outlives the members it uses; calling it again is harmless.
    void stopAndWait() noexcept;

    // Cleared by the destructor: the worker's stop signal.
    std::atomic<bool> running{false};

private:
    static DWORD WINAPI entry(void* self);

    HWND notifyWindow_;
    bool started_ = false;
    HANDLE handle_ = nullptr;
    DWORD threadId_ = 0;
};
