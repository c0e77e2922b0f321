#include "SiteSession.h"


namespace {

std::wstring env(const wchar_t* name) {
    wchar_t buf[1024];
    DWORD n = GetEnvironmentVariableW(name, buf, 1024);
    return n > 0 && n < 1024 ? std::wstring(buf, n) : std::wstring();
}

}  // namespace

bool SiteSession::configured() { return !env(L"ZELVARA_TESTBED_PORT").empty(); }

std::wstring SiteSession::address(const std::wstring& pathAndMore, const std::wstring& host) {
    return L"http://" + host + pathAndMore;
}

bool SiteSession::waitFor(const std::function<bool()>& done, DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20)),
                                  QS_ALLINPUT);
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
    return true;
}

void SiteSession::pump(DWORD ms) {
    waitFor([] { return false; }, ms);
}

std::vector<std::string> SiteSession::lines(const wchar_t* pathVariable) {
    std::vector<std::string> r;
    std::wstring path = env(pathVariable);
    if (path.empty()) return r;
    // Shared access: the player and the site keep appending while we read.
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return r;
    std::string text;
    char buf[65536];
    for (DWORD n; ReadFile(f, buf, sizeof buf, &n, nullptr) && n > 0;) text.append(buf, n);
    CloseHandle(f);
    // Only whole lines: a writer may be half-way through the last one.
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        r.push_back(text.substr(start, end - start));
    return r;
}

std::vector<std::string> SiteSession::siteRequests() { return lines(L"ZELVARA_TESTBED_SITE_LOG"); }

std::vector<std::string> SiteSession::playerLog(HWND player) {
    std::string id = "\"hwnd\":" + std::to_string(reinterpret_cast<UINT_PTR>(player));
    std::vector<std::string> r;
    for (auto& line : lines(L"ZELVARA_PLAYER_LOG")) {
        auto at = line.find(id);
        if (at != std::string::npos && (line[at + id.size()] == ',' || line[at + id.size()] == '}')) r.push_back(line);
    }
    return r;
}

std::wstring SiteSession::className(HWND hwnd) {
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::vector<HWND> SiteSession::children(HWND parent) {
    std::vector<HWND> r;
    for (HWND c = FindWindowExW(parent, nullptr, nullptr, nullptr); c; c = FindWindowExW(parent, c, nullptr, nullptr))
        r.push_back(c);
    return r;
}

RECT SiteSession::clientRect(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
}
