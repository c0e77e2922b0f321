#pragma once
#include <windows.h>

#include <string>

// JSON-lines record of what reached a player window, for the tests to read.
// The path comes from ZELVARA_PLAYER_LOG (a Windows path, or a Unix one that
// is taken as Z:); without it nothing is written. Every line is appended and
// closed at once so readers in other processes see it immediately.
class PlayerLog {
public:
    PlayerLog();

    void input(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const;
    // `fields` are extra JSON members, e.g. "\"team\":true".
    void event(HWND hwnd, const char* name, const std::string& fields = {}) const;

    static const char* messageName(UINT message);  // null when not an input message
    static std::string quote(const std::wstring& text);  // JSON string literal, UTF-8

private:
    void write(const std::string& line) const;

    std::wstring path_;
};
