#include "app/clipboard_viewer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace {

class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope()
    {
        if (open_)
            CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

// The longest address the browser control takes; longer text is no address
// and is not copied out, however large it is.
constexpr std::size_t longestAddress = 2083;

struct GlobalFreer {
    void operator()(void* memory) const noexcept { GlobalFree(memory); }
};

}  // namespace

ClipboardViewer::ClipboardViewer(HWND owner) : owner_(owner)
{
    joined_ = true;
    nextViewer_ = SetClipboardViewer(owner_);
}

ClipboardViewer::~ClipboardViewer()
{
    if (joined_) {
        joined_ = false;
        ChangeClipboardChain(owner_, nextViewer_);
    }
}

std::wstring ClipboardViewer::getText() const
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
        return {};
    OpenClipboardScope clipboard(owner_);
    if (!clipboard)
        return {};
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            // Never read past the block, terminated or not.
            const std::size_t room = std::min<std::size_t>(GlobalSize(data) / sizeof(wchar_t), longestAddress + 1);
            const std::size_t length = wcsnlen(chars, room);
            if (length <= longestAddress)
                text.assign(chars, length);
            GlobalUnlock(data);
        }
    }
    return text;
}

bool ClipboardViewer::setText(std::wstring_view text) const
{
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    std::unique_ptr<void, GlobalFreer> memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    auto* chars = static_cast<wchar_t*>(GlobalLock(memory.get()));
    if (!chars)
        return false;
    std::memcpy(chars, text.data(), text.size() * sizeof(wchar_t));
    chars[text.size()] = L'\0';
    GlobalUnlock(memory.get());

    OpenClipboardScope clipboard(owner_);
    if (!clipboard)
        return false;
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory.get()))
        return false;
    memory.release();  // the clipboard owns it now
    return true;
}

void ClipboardViewer::passNoticeOn()
{
    if (!std::exchange(noticeHeld_, false) || !nextViewer_)
        return;
    SendMessageW(nextViewer_, WM_DRAWCLIPBOARD, 0, 0);
}

void ClipboardViewer::onChangeChain(WPARAM wParam, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(wParam) == nextViewer_)
        nextViewer_ = reinterpret_cast<HWND>(lParam);
    else if (nextViewer_)
        SendMessageW(nextViewer_, WM_CHANGECBCHAIN, wParam, lParam);
}

bool ClipboardViewer::takeChange()
{
    const DWORD sequence = GetClipboardSequenceNumber();
    if (sequence == seenSequence_)
        return false;
    seenSequence_ = sequence;
    return true;
}

void ClipboardViewer::markSeen()
{
    seenSequence_ = GetClipboardSequenceNumber();
}
