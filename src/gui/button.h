// The program's push and toggle button: green on dark green, with a hover
// frame, a pressed look, a checked look and a grey disabled look.
#pragma once
#include <windows.h>

#include <string>

#include "gui/window.h"

namespace Gui {

class Button final : public Window {
public:
    // rect is inclusive; one whose right edge is one less than its left asks
    // for a button as wide as its caption. A click is reported to the parent
    // as a posted WM_COMMAND: wParam = id, lParam = this object.
    Button(HWND parent, const RECT& rect, std::wstring text, int id, bool toggle);
    ~Button() override;

    void paint(HDC dc) override;

    void setChecked(bool checked) noexcept;
    // A disabled button ignores the mouse and lets go of a press in progress.
    void setEnabled(bool enabled) noexcept;
    // Clicks as the mouse does; nothing at all while disabled.
    void click() noexcept;

    bool enabled() const noexcept { return enabled_; }
    bool hover() const noexcept { return hover_; }
    bool pressed() const noexcept { return pressed_; }
    bool checked() const noexcept { return checked_; }
    const std::wstring& text() const noexcept { return text_; }
    int id() const noexcept { return id_; }
    bool toggle() const noexcept { return toggle_; }

    // The buttons' shared font, null while no button exists.
    static HFONT sharedFont() noexcept;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static ControlKind kind;

    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void onMouseMove(POINT point) noexcept;
    void onButtonDown(POINT point) noexcept;
    void onButtonUp() noexcept;
    void onCaptureChanged() noexcept;
    void onMouseLeave() noexcept;

    bool isOver(POINT clientPoint) const noexcept;
    void trackLeave() noexcept;
    void showLater() noexcept;
    void notify() noexcept;

    ControlKind::Membership membership_;
    bool enabled_ = true;
    bool hover_ = false;
    bool pressed_ = false;
    bool checked_ = false;
    std::wstring text_;
    int id_;
    bool toggle_;
};

}  // namespace Gui
