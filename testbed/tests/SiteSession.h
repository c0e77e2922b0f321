#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// What the test session provides (tests/env/session.sh): the stand-in site's port and the
// log files of the site and the player, plus waiting with a deadline while
// this thread's messages keep flowing (the control raises events on it).
class SiteSession {
public:
    static bool configured();  // the site's port is set
    static std::wstring address(const std::wstring& pathAndMore, const std::wstring& host = L"abc123.game.example");
    static bool waitFor(const std::function<bool()>& done, DWORD timeoutMs = 10000);
    static void pump(DWORD ms);  // keeps messages flowing for a while; for "nothing more happens" checks

    static std::vector<std::string> siteRequests();  // lines of the site's request log
    static std::vector<std::string> playerLog(HWND player);  // the player log's lines about this window

    static std::wstring className(HWND hwnd);
    static std::vector<HWND> children(HWND parent);  // in z-order, as FindWindowEx walks them
    static RECT clientRect(HWND hwnd);

private:
    static std::vector<std::string> lines(const wchar_t* pathVariable);
};
