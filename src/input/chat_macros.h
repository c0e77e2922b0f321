// Battle-chat macros: F1 to F10 type a prepared message into the player by
// posting the keystrokes that open the chat, the characters and the Enter
// that sends it.
#pragma once
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

struct HWND__;

// The lParam values of the keystrokes posted: the scan code in bits 16 to
// 23, and for the key-ups the transition bit 31. Unsigned, as the system
// builds them: a 64-bit lParam carries them with the upper half clear.
struct ChatKeyParams {
    std::uint32_t teamKeyDownParam = 0;
    std::uint32_t teamKeyUpParam = 0;
    std::uint32_t enterKeyDownParam = 0;
    std::uint32_t enterKeyUpParam = 0;
};

ChatKeyParams makeChatKeyParams(std::uint32_t teamScanCode, std::uint32_t enterScanCode);

// Taken from the keyboard layout active when the process starts; they never
// follow a later switch of layouts.
extern const ChatKeyParams chatKeyParams;

struct ChatKeystroke {
    std::uint32_t message;
    std::uint32_t wParam;
    std::uint32_t lParam;
    bool operator==(const ChatKeystroke&) const = default;
};

// 'T' (team) or Enter (all) down and up, one WM_CHAR per UTF-16 unit, then
// Enter down and up: text.size() + 4 messages.
std::vector<ChatKeystroke> chatMacroKeystrokes(std::wstring_view text, bool team, const ChatKeyParams& params);

class ChatMacros {
public:
    struct Macro {
        std::wstring text;
        bool team = false;
    };

    // A later message for the same key wins.
    ChatMacros(HWND__* target, const std::vector<ChatMessage>& messages);

    HWND__* target() const { return target_; }
    // Only the low 16 bits of the key count.
    const Macro* find(std::uint32_t virtualKey) const;
    // Posts the macro's keystrokes to the target; false when the key has none.
    bool send(std::uint32_t virtualKey) const;

    // The table in use. The search replaces it from either thread while the
    // keyboard hook reads it, hence atomic; a reader's copy keeps a replaced
    // table alive.
    static inline std::atomic<std::shared_ptr<ChatMacros>> current;

private:
    HWND__* target_;
    std::map<std::int16_t, Macro> macros_;
};

// The keyboard hook's entry for F1 to F10 (pass its wParam): sends the macro
// of the key from ChatMacros::current. False when there is no table or the
// table has no macro for the key.
bool sendChatMacro(std::uintptr_t virtualKey);
