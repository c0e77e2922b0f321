// bench_launch CLASS COMMAND-LINE: starts the command, measures the time
// until a visible top-level window of CLASS exists, closes it, and prints
// the milliseconds. Runs inside the same Wine session as the program, so
// both sides of a comparison pay the same process start.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_launch CLASS COMMAND-LINE\n");
        return 2;
    }
    LARGE_INTEGER frequency, started, now;
    QueryPerformanceFrequency(&frequency);
    std::wstring command = argv[2];
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    QueryPerformanceCounter(&started);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 1;
    HWND window = nullptr;
    for (;;) {
        window = FindWindowW(argv[1], nullptr);
        if (window && IsWindowVisible(window))
            break;
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0)
            return 1;
    }
    QueryPerformanceCounter(&now);
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::printf("%.3f\n", 1000.0 * static_cast<double>(now.QuadPart - started.QuadPart) /
                              static_cast<double>(frequency.QuadPart));
    return 0;
}
