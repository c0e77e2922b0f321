#include "input/thread.h"

namespace {

std::atomic<std::uintptr_t> lastSerial{0};

}  // namespace

Thread::Thread(HWND notifyWindow)
    : notifyWindow_(notifyWindow), serial_(++lastSerial), stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    handle_ = CreateThread(nullptr, 0, entry, this, CREATE_SUSPENDED, &threadId_);
}

Thread::~Thread()
{
    stopAndWait();
    if (handle_)
        CloseHandle(handle_);
}

void Thread::stopAndWait() noexcept
{
    if (!handle_)
        return;
    if (running.exchange(false)) {
        if (stopEvent_)
            SetEvent(stopEvent_.get());
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(handle_, INFINITE);
    } else if (!started_) {
        // Never started: let the suspended thread run out without work.
        started_ = true;
        ResumeThread(handle_);
        WaitForSingleObject(handle_, INFINITE);
    }
}

bool Thread::pause(DWORD ms) const noexcept
{
    if (!stopEvent_) {
        Sleep(ms);
        return running;
    }
    return WaitForSingleObject(stopEvent_.get(), ms) == WAIT_TIMEOUT && running;
}

bool Thread::waitFor(HANDLE event) const noexcept
{
    const HANDLE events[] = {event, stopEvent_.get()};
    return WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0;
}

void Thread::start()
{
    if (started_)
        return;
    started_ = true;
    // A worker the system could not make ends at once, as one that ran out
    // of work would: its owner's slot and buttons must not wait for a report
    // that never comes.
    if (!handle_) {
        reportEnd();
        return;
    }
    running = true;
    ResumeThread(handle_);
}

void Thread::reportEnd() const noexcept
{
    if (notifyWindow_)
        PostMessageW(notifyWindow_, WM_THREAD_FINISHED, reinterpret_cast<WPARAM>(this),
                     static_cast<LPARAM>(serial_));
}

DWORD WINAPI Thread::entry(void* self)
{
    auto* thread = static_cast<Thread*>(self);
    if (!thread->running)
        return 0;
    thread->run();
    // Stopped by its owner, who is waiting for it: nothing to report. The
    // owner may still stop it between this test and the post, so the
    // receiver checks the report against what it owns.
    if (thread->running)
        thread->reportEnd();
    return 0;
}
