// What the keyboard hook does with a keystroke of the user-interface thread.
#pragma once
#include <cstdint>

enum class HotKeyAction {
    passOn,            // not ours: the next hook and the window get it
    consume,           // ours, but nothing to do for this event
    chatMacro,         // F1 .. F10
    toggleFullScreen,  // F11
    toggleTopBar,      // F12
    screenshot,        // the chosen screenshot key
};

// code: the hook code; virtualKey and flags: the keystroke's wParam and
// lParam; screenshotKey: 0 before the first page. F1 to F12 act on their
// first key-down only and swallow every event, repeats and releases
// included, so one press gives one action. The screenshot key acts on its
// release: Windows keeps Print Screen's key-down for its own snapshot hot
// key, so a thread hook sees only the key-up of that key.
HotKeyAction decideHotKey(int code, std::uint32_t virtualKey, std::uint32_t flags, std::uint16_t screenshotKey);
