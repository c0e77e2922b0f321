// The test programs' entry point: the framework's own, except that the
// process never ends while one of its threads is still starting.
//
// The framework starts a thread of its own on Windows the first time a case
// touches its per-thread state (a SCOPED_TRACE, a failure): it watches the
// case's thread to free that state. A case that ends at once then exits
// while the watcher is still being set up, and Wine's 32-bit side dies of
// SIGSEGV in that exit now and then under load, after the case has passed.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <atomic>

#include "base/win_handles.h"

namespace {

// The threads that have run their start-up code and not yet their ending;
// the main thread starts before any callback.
std::atomic<long> startedThreads{1};

void NTAPI onThread(PVOID, DWORD reason, PVOID)
{
    if (reason == DLL_THREAD_ATTACH)
        ++startedThreads;
    else if (reason == DLL_THREAD_DETACH)
        --startedThreads;
}

long threadsOfThisProcess()
{
    // A snapshot reports failure as a file does, INVALID_HANDLE_VALUE.
    const UniqueHandle snapshot = ownFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot)
        return 0;
    long count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    return count;
}

}  // namespace

// Called by the loader for every thread that starts or ends, once the
// thread can run code of the program.
extern "C" __attribute__((section(".CRT$XLF"), used)) const PIMAGE_TLS_CALLBACK testThreadCallback = onThread;

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // A thread the system never starts must not hold the result back for long.
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (threadsOfThisProcess() > startedThreads && GetTickCount64() < deadline)
        Sleep(1);
    return result;
}
