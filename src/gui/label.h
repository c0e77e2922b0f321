// Text labels: one centred line, or centred text wrapped between words.
#pragma once
#include <windows.h>

#include <string>

#include "gui/window.h"

namespace Gui {

class Label : public Window {
public:
    // rect is inclusive. The caller sets the colours, and may give a font.
    Label(HWND parent, const RECT& rect, std::wstring text);
    ~Label() override;

    void paint(HDC dc) override;

    // The label owns the font from now on; a font of its own that it had
    // before is deleted, the shared one never is.
    void setFont(HFONT font) noexcept;
    HFONT font() const noexcept { return font_; }
    const std::wstring& text() const noexcept { return text_; }

    // The labels' shared font, null while no label exists.
    static HFONT sharedFont() noexcept;

    COLORREF textColour = 0;
    COLORREF backgroundColour = 0;

protected:
    void paintText(HDC dc, UINT format) noexcept;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static ControlKind kind;

    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    ControlKind::Membership membership_;
    std::wstring text_;
    HFONT font_;
    UniqueFont ownFont_;
};

class MultilineLabel : public Label {
public:
    MultilineLabel(HWND parent, const RECT& rect, std::wstring text);

    void paint(HDC dc) override;
};

}  // namespace Gui
