#include "input/keyboard_hook.h"

namespace {

// One hook per process, whatever the number of holders.
bool hookInstalled = false;

}  // namespace

KeyboardHook::KeyboardHook()
{
    if (hookInstalled)
        return;
    handle_ = SetWindowsHookExW(WH_KEYBOARD, keyboardHookProc, nullptr, GetCurrentThreadId());
    hookInstalled = handle_ != nullptr;
}

KeyboardHook::~KeyboardHook()
{
    if (!handle_)
        return;
    UnhookWindowsHookEx(handle_);
    hookInstalled = false;
}
