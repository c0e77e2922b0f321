// The main window's place in the clipboard-viewer chain and its access to
// the clipboard's Unicode text.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

class ClipboardViewer {
public:
    // Joins the chain. The system sends the owner one WM_DRAWCLIPBOARD from
    // inside this call, before the next viewer is known.
    explicit ClipboardViewer(HWND owner);
    // Leaves the chain if it has not yet, then passes on a notice still held.
    ~ClipboardViewer();
    ClipboardViewer(const ClipboardViewer&) = delete;
    ClipboardViewer& operator=(const ClipboardViewer&) = delete;

    // Nothing while another program holds the clipboard open; empty when
    // the clipboard holds no Unicode text, or text longer than any address.
    std::optional<std::wstring> getText() const;
    // The new text is ready before the clipboard is emptied, so a failure
    // never loses what was there. A rewrite of what another program copied
    // is marked for the clipboard history and its monitors to leave out:
    // they recorded that copy already.
    enum class Record { asCopy, notAgain };
    bool setText(std::wstring_view text, Record record = Record::asCopy) const;

    // WM_DRAWCLIPBOARD: the notice is held until passNoticeOn, so the
    // viewers after this one see the clipboard only once the watch is done.
    void onDrawClipboard() { noticeHeld_ = true; }
    bool noticeHeld() const { return noticeHeld_; }
    // Passes a held notice on to the next viewer; repeats of one change
    // that arrived meanwhile go as one.
    void passNoticeOn();
    // WM_CHANGECBCHAIN: keeps the chain intact, also while this viewer
    // leaves it.
    void onChangeChain(WPARAM wParam, LPARAM lParam);
    // Leaves the chain. Chain messages that arrive meanwhile must still reach
    // this object, so the owner calls it while the object is reachable.
    void leave();

    // The clipboard's sequence number when its content changed since the
    // last change taken (notifications arrive twice under some systems).
    std::optional<DWORD> newChange() const;
    void takeChange(DWORD sequence)
    {
        seenSequence_ = sequence;
        busyReads_ = 0;
    }
    // Marks the current content as seen, after the program wrote it itself.
    void markSeen() { takeChange(GetClipboardSequenceNumber()); }
    // Counts a read that found the clipboard held open; false once there
    // were too many for one change, which the watch then gives up (the
    // count starts again).
    bool countBusyRead();

    HWND nextViewer() const { return nextViewer_; }

private:
    HWND owner_;
    HWND nextViewer_ = nullptr;
    bool joined_ = false;
    bool noticeHeld_ = false;
    DWORD seenSequence_ = 0;
    int busyReads_ = 0;
};
