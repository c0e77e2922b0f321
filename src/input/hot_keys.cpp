#include "input/hot_keys.h"

namespace {

constexpr int hcAction = 0;
constexpr std::uint32_t vkF1 = 112, vkF10 = 121, vkF11 = 122, vkF12 = 123;
// Bit 30: the key was down already (a repeat); bit 31: it is being released.
constexpr std::uint32_t repeatOrRelease = 0xC0000000u;
constexpr std::uint32_t release = 0x80000000u;

}  // namespace

HotKeyAction decideHotKey(int code, std::uint32_t virtualKey, std::uint32_t flags, std::uint16_t screenshotKey)
{
    if (code != hcAction)
        return HotKeyAction::passOn;
    const bool firstDown = (flags & repeatOrRelease) == 0;
    if (virtualKey >= vkF1 && virtualKey <= vkF12) {
        if (!firstDown)
            return HotKeyAction::consume;
        if (virtualKey == vkF11)
            return HotKeyAction::toggleFullScreen;
        if (virtualKey == vkF12)
            return HotKeyAction::toggleTopBar;
        return virtualKey <= vkF10 ? HotKeyAction::chatMacro : HotKeyAction::consume;
    }
    // The key code is compared with the 16-bit copy widened with its sign.
    if (virtualKey == static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int16_t>(screenshotKey))))
        return (flags & release) ? HotKeyAction::screenshot : HotKeyAction::consume;
    return HotKeyAction::passOn;
}
