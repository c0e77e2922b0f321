// The thread keyboard hook of the user-interface thread: installed while its
// holder lives.
#pragma once
#include <windows.h>

class KeyboardHook {
public:
    KeyboardHook();
    ~KeyboardHook();
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

    bool installed() const { return handle_ != nullptr; }

private:
    HHOOK handle_ = nullptr;
};

LRESULT CALLBACK keyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
