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

// Reads of a clipboard held open by another program, one a timer tick apart
// (see the main window), before the watch gives that change up.
constexpr int busyReadLimit = 100;

// Passes one of the chain's messages on. The next viewer is usually another
// program's window: the message waits in its queue until it looks at its
// messages again, so one that is busy for a while still gets every notice
// and chain change in order, and one that hangs never stops ours. A send
// with a timeout would cancel what a busy viewer has not picked up in time,
// and a cancelled chain change leaves the chain cut. To a window of this
// thread the call runs its window procedure at once, as a send does; that
// window cannot be busy while we run.
void passToViewer(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam)
{
    SendNotifyMessageW(viewer, message, wParam, lParam);
}

// A viewer that really leaves is gone as soon as the viewer ahead of ours
// has finished with its message, which happens while ours is told, or
// right after it. Meanwhile other programs' messages to us are answered;
// one that stays longer is not leaving.
bool windowGoes(HWND window)
{
    constexpr ULONGLONG longestLeave = 1000;
    const ULONGLONG deadline = GetTickCount64() + longestLeave;
    while (IsWindow(window)) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20)),
                                  QS_SENDMESSAGE);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return true;
}

}  // namespace

ClipboardViewer::ClipboardViewer(HWND owner) : owner_(owner)
{
    joined_ = true;
    nextViewer_ = SetClipboardViewer(owner_);
    if (nextViewer_ == owner_)
        nextViewer_ = nullptr;  // already in the chain: never our own next
}

ClipboardViewer::~ClipboardViewer()
{
    leave();
    // The viewers after this one still hear of the last change.
    passNoticeOn();
}

void ClipboardViewer::leave()
{
    if (!std::exchange(joined_, false))
        return;
    const HWND next = nextViewer_;
    ChangeClipboardChain(owner_, next);
    // While the others were told, our next viewer left too, its message
    // passed to us before the viewer ahead of ours took ours: that viewer now
    // points at the one that has gone. Told again from the chain's head, its
    // message reaches it. Any program can send us that message, so the head
    // is told only once the viewer it names is really gone: told of one
    // still there, the head would cut it out of the chain.
    if (nextViewer_ != next && windowGoes(next)) {
        if (const HWND head = GetClipboardViewer(); head && head != owner_)
            passToViewer(head, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(next),
                         reinterpret_cast<LPARAM>(nextViewer_));
    }
}

std::optional<std::wstring> ClipboardViewer::getText() const
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
        return std::wstring();
    OpenClipboardScope clipboard(owner_);
    if (!clipboard)
        return std::nullopt;
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

bool ClipboardViewer::setText(std::wstring_view text, Record record) const
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
    if (record == Record::notAgain) {
        // Any data in this format keeps the whole item out of the history,
        // its sync to other devices and the monitors that honour it.
        static const UINT exclude = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
        std::unique_ptr<void, GlobalFreer> mark(GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD)));
        if (exclude && mark) {
            if (auto* value = static_cast<DWORD*>(GlobalLock(mark.get()))) {
                *value = 0;
                GlobalUnlock(mark.get());
                if (SetClipboardData(exclude, mark.get()))
                    mark.release();
            }
        }
    }
    return true;
}

void ClipboardViewer::passNoticeOn()
{
    if (!std::exchange(noticeHeld_, false) || !nextViewer_ || nextViewer_ == owner_)
        return;
    passToViewer(nextViewer_, WM_DRAWCLIPBOARD, 0, 0);
}

// Any program can send or post this message. Only one that names our next
// viewer relinks, and never to this window itself: a notice passed to
// ourselves would come round again for ever.
void ClipboardViewer::onChangeChain(WPARAM wParam, LPARAM lParam)
{
    const auto leaving = reinterpret_cast<HWND>(wParam);
    const auto after = reinterpret_cast<HWND>(lParam);
    if (leaving && leaving == nextViewer_) {
        if (after != owner_ && (!after || IsWindow(after)))
            nextViewer_ = after;
    } else if (nextViewer_ && leaving != owner_) {
        passToViewer(nextViewer_, WM_CHANGECBCHAIN, wParam, lParam);
    }
}

std::optional<DWORD> ClipboardViewer::newChange() const
{
    const DWORD sequence = GetClipboardSequenceNumber();
    if (sequence == seenSequence_)
        return std::nullopt;
    return sequence;
}

bool ClipboardViewer::countBusyRead()
{
    if (++busyReads_ <= busyReadLimit)
        return true;
    busyReads_ = 0;
    return false;
}
