// Base of the program's own controls: one child window per object, painted by
// the object itself.
#pragma once
#include <windows.h>

#include <string>

#include "gui/gdi.h"

namespace Gui {

class Window {
public:
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Draws the control into a device context; the base draws nothing.
    virtual void paint(HDC dc);

    // Invalidates the whole control without erasing and paints it at once.
    void repaint() noexcept;
    // Moves the window (repainting) and keeps the stored geometry in step;
    // before the window exists, sets where it will be made.
    void move(int x, int y, int width, int height) noexcept;

    HWND parent() const noexcept { return parent_; }
    // Null once the window is gone, also when its parent destroyed it first.
    HWND hwnd() const noexcept { return hwnd_; }
    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    int x() const noexcept { return x_; }
    int y() const noexcept { return y_; }

protected:
    // rect is inclusive: (left, top, right, bottom) is right - left + 1 wide.
    Window(HWND parent, const RECT& rect) noexcept;

    // Creates the visible child window with this object bound to it.
    void create(const wchar_t* className, const std::wstring& title, int childId) noexcept;
    // Unbinds the object and destroys its window, if it still has one.
    void destroy() noexcept;

    // For the window procedures: the object bound to a window, or null. Binds
    // at WM_NCCREATE (from the creation parameter) and unbinds at WM_NCDESTROY.
    static Window* boundObject(HWND window, UINT message, LPARAM lParam) noexcept;

    // The messages every control handles alike.
    LRESULT onPaint() noexcept;
    LRESULT onPrintClient(HDC dc) noexcept;

private:
    HWND parent_;
    HWND hwnd_ = nullptr;
    int width_;
    int height_;
    int x_;
    int y_;
};

// A window class and a font shared by all live controls of one kind: both are
// made for the first control and deleted with the last.
class ControlKind {
public:
    constexpr ControlKind(const wchar_t* className, WNDPROC procedure, const LOGFONTW& font) noexcept
        : className_(className), procedure_(procedure), logFont_(font)
    {
    }
    ControlKind(const ControlKind&) = delete;
    ControlKind& operator=(const ControlKind&) = delete;

    const wchar_t* className() const noexcept { return className_; }
    HFONT font() const noexcept { return font_.get(); }
    int liveCount() const noexcept { return liveCount_; }

    // Held by each control as its first member, so the class outlives the
    // control's window and goes with the control.
    class Membership {
    public:
        explicit Membership(ControlKind& kind) noexcept;
        ~Membership();
        Membership(const Membership&) = delete;
        Membership& operator=(const Membership&) = delete;

    private:
        ControlKind& kind_;
    };

private:
    const wchar_t* className_;
    WNDPROC procedure_;
    LOGFONTW logFont_;
    int liveCount_ = 0;
    UniqueFont font_;
};

// Registers a window class with the arrow cursor and the program's dark
// green background. The class owns the brush, which goes with the class.
bool registerBackgroundClass(const wchar_t* className, WNDPROC procedure) noexcept;

}  // namespace Gui
