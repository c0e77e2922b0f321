// The main window's place in the clipboard-viewer chain and its access to
// the clipboard's Unicode text.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

class ClipboardViewer {
public:
    // Joins the chain. The system sends the owner one WM_DRAWCLIPBOARD from
    // inside this call, before the next viewer is known.
    explicit ClipboardViewer(HWND owner);
    // Leaves the chain.
    ~ClipboardViewer();
    ClipboardViewer(const ClipboardViewer&) = delete;
    ClipboardViewer& operator=(const ClipboardViewer&) = delete;

    // Empty when the clipboard holds no Unicode text, text longer than any
    // address, or cannot be opened.
    std::wstring getText() const;
    // The new text is ready before the clipboard is emptied, so a failure
    // never loses what was there.
    bool setText(std::wstring_view text) const;

    // WM_DRAWCLIPBOARD: the notice is held until passNoticeOn, so the
    // viewers after this one see the clipboard only once the watch is done.
    void onDrawClipboard() { noticeHeld_ = true; }
    // Passes a held notice on to the next viewer; repeats of one change
    // that arrived meanwhile go as one.
    void passNoticeOn();
    // WM_CHANGECBCHAIN: keeps the chain intact.
    void onChangeChain(WPARAM wParam, LPARAM lParam);

    // True once per change of the clipboard's content: repeats of the same
    // change (notifications arrive twice under some systems) are skipped.
    bool takeChange();
    // Marks the current content as seen, after the program wrote it itself.
    void markSeen();

    HWND nextViewer() const { return nextViewer_; }

private:
    HWND owner_;
    HWND nextViewer_ = nullptr;
    bool joined_ = false;
    bool noticeHeld_ = false;
    DWORD seenSequence_ = 0;
};
