#pragma once
#include <windows.h>

#include <string>

#include "HttpGet.h"

// Fetches one page off the UI thread and posts the result back, so the
// control can raise its events on the thread that created it.
class FetchThread {
public:
    struct Done {
        unsigned serial;  // which navigation asked
        HttpGet::Result result;
    };

    // Posts `message` to `target` with lParam a heap Done that the receiver deletes.
    static bool start(HWND target, UINT message, unsigned serial, unsigned short port, std::string hostPort,
                      std::string path, std::string userAgent);

private:
    static DWORD WINAPI run(void* param);

    HWND target_;
    UINT message_;
    unsigned serial_;
    unsigned short port_;
    std::string hostPort_, path_, userAgent_;
};
