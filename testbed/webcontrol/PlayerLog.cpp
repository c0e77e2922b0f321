#include "PlayerLog.h"

#include <cstdio>

PlayerLog::PlayerLog() {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableW(L"ZELVARA_PLAYER_LOG", buf, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2) return;
    path_.assign(buf, n);
    if (path_[0] == L'/') {
        for (auto& c : path_)
            if (c == L'/') c = L'\\';
        path_.insert(0, L"Z:");
    }
}

const char* PlayerLog::messageName(UINT message) {
    switch (message) {
        case WM_KEYDOWN: return "WM_KEYDOWN";
        case WM_KEYUP: return "WM_KEYUP";
        case WM_CHAR: return "WM_CHAR";
        case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
        case WM_SYSKEYUP: return "WM_SYSKEYUP";
        case WM_SYSCHAR: return "WM_SYSCHAR";
        case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
        case WM_LBUTTONUP: return "WM_LBUTTONUP";
        case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
        case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
        case WM_RBUTTONUP: return "WM_RBUTTONUP";
        case WM_MBUTTONDOWN: return "WM_MBUTTONDOWN";
        case WM_MBUTTONUP: return "WM_MBUTTONUP";
        default: return nullptr;
    }
}

std::string PlayerLog::quote(const std::wstring& text) {
    std::string utf8;
    if (!text.empty()) {
        int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
        utf8.resize(n);
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n, nullptr,
                            nullptr);
    }
    std::string r = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            r += '\\';
            r += static_cast<char>(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            r += esc;
        } else {
            r += static_cast<char>(c);
        }
    }
    return r + "\"";
}

void PlayerLog::input(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const {
    const char* name = messageName(message);
    if (!name || path_.empty()) return;
    // lParam as the unsigned value of its own width, the way a 32-bit and a
    // 64-bit player each hold it: the upper half of a 64-bit one shows.
    char line[256];
    std::snprintf(line, sizeof line,
                  "{\"t\":%llu,\"msg\":\"%s\",\"wParam\":%llu,\"lParam\":%llu,\"hwnd\":%llu}\n",
                  static_cast<unsigned long long>(GetTickCount64()), name, static_cast<unsigned long long>(wParam),
                  static_cast<unsigned long long>(static_cast<ULONG_PTR>(lParam)),
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
    write(line);
}

void PlayerLog::event(HWND hwnd, const char* name, const std::string& fields) const {
    if (path_.empty()) return;
    char head[160];
    std::snprintf(head, sizeof head, "{\"t\":%llu,\"event\":\"%s\",\"hwnd\":%llu",
                  static_cast<unsigned long long>(GetTickCount64()), name,
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
    std::string line = head;
    if (!fields.empty()) line += "," + fields;
    write(line + "}\n");
}

void PlayerLog::write(const std::string& line) const {
    HANDLE f = CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(f);
}
