#include "input/chat_macros.h"

#include <windows.h>

namespace {

constexpr std::uint32_t teamKey = 'T';

std::uint32_t keyDownParam(std::uint32_t scanCode)
{
    return scanCode << 16;
}

// The release flag is bit 31: in 32-bit arithmetic that is the scan code
// less 0x8000, shifted.
std::uint32_t keyUpParam(std::uint32_t scanCode)
{
    return (scanCode - 0x8000u) << 16;
}

std::int16_t macroKey(std::uint32_t virtualKey)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(virtualKey));
}

}  // namespace

ChatKeyParams makeChatKeyParams(std::uint32_t teamScanCode, std::uint32_t enterScanCode)
{
    return {keyDownParam(teamScanCode), keyUpParam(teamScanCode), keyDownParam(enterScanCode),
            keyUpParam(enterScanCode)};
}

const ChatKeyParams chatKeyParams =
    makeChatKeyParams(MapVirtualKeyW(teamKey, MAPVK_VK_TO_VSC), MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC));

std::vector<ChatKeystroke> chatMacroKeystrokes(std::wstring_view text, bool team, const ChatKeyParams& params)
{
    std::vector<ChatKeystroke> keystrokes;
    keystrokes.reserve(text.size() + 4);
    if (team) {
        keystrokes.push_back({WM_KEYDOWN, teamKey, params.teamKeyDownParam});
        keystrokes.push_back({WM_KEYUP, teamKey, params.teamKeyUpParam});
    } else {
        keystrokes.push_back({WM_KEYDOWN, VK_RETURN, params.enterKeyDownParam});
        keystrokes.push_back({WM_KEYUP, VK_RETURN, params.enterKeyUpParam});
    }
    // Code units, not characters: a character beyond the BMP goes as its
    // surrogate pair, high first, as a keyboard would deliver it.
    for (wchar_t unit : text)
        keystrokes.push_back({WM_CHAR, static_cast<std::uint16_t>(unit), 0});
    keystrokes.push_back({WM_KEYDOWN, VK_RETURN, params.enterKeyDownParam});
    keystrokes.push_back({WM_KEYUP, VK_RETURN, params.enterKeyUpParam});
    return keystrokes;
}

ChatMacros::ChatMacros(HWND target, const std::vector<ChatMessage>& messages) : target_(target)
{
    for (const ChatMessage& message : messages)
        macros_[macroKey(message.key)] = {message.text, message.team};
}

const ChatMacros::Macro* ChatMacros::find(std::uint32_t virtualKey) const
{
    const auto found = macros_.find(macroKey(virtualKey));
    return found == macros_.end() ? nullptr : &found->second;
}

bool ChatMacros::send(std::uint32_t virtualKey) const
{
    const Macro* macro = find(virtualKey);
    if (!macro)
        return false;
    // Posted, never sent: the player takes them from its queue in this order
    // once the hook has returned.
    for (const ChatKeystroke& k : chatMacroKeystrokes(macro->text, macro->team, chatKeyParams))
        PostMessageW(target_, k.message, k.wParam, static_cast<LPARAM>(k.lParam));
    return true;
}

bool sendChatMacro(std::uintptr_t virtualKey)
{
    const std::shared_ptr<ChatMacros> macros = ChatMacros::current.load();
    return macros && macros->send(static_cast<std::uint32_t>(virtualKey));
}
