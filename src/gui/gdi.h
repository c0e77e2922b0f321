// Move-only owners and scope guards for the GDI objects the controls use.
#pragma once
#include <windows.h>

#include <memory>
#include <type_traits>

namespace Gui {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
template <class Handle>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniquePen = UniqueGdiObject<HPEN>;

struct MemoryDcDeleter {
    void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// Puts an object into a device context for one scope and the previous one back
// at its end, so nothing is deleted while still selected.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The device context of a whole window (GetWindowDC), released with the scope.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetWindowDC(window)) {}
    ~WindowDc() { ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The device context of a window's client area (GetDC), released with the scope.
class ClientDc {
public:
    explicit ClientDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ~ClientDc() { ReleaseDC(window_, dc_); }
    ClientDc(const ClientDc&) = delete;
    ClientDc& operator=(const ClientDc&) = delete;

    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint as one scope.
class PaintSession {
public:
    explicit PaintSession(HWND window) noexcept : window_(window) { BeginPaint(window, &paint_); }
    ~PaintSession() { EndPaint(window_, &paint_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;

    HDC dc() const noexcept { return paint_.hdc; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

// A bitmap the size of a window's client area to draw on; when the scope ends
// it goes to the target in one BitBlt, so the control never flickers.
class OffscreenCanvas {
public:
    OffscreenCanvas(HWND window, HDC target) noexcept : target_(target)
    {
        GetClientRect(window, &area_);
        dc_.reset(CreateCompatibleDC(target));
        bitmap_.reset(CreateCompatibleBitmap(target, area_.right, area_.bottom));
        previous_ = SelectObject(dc_.get(), bitmap_.get());
    }
    ~OffscreenCanvas()
    {
        BitBlt(target_, 0, 0, area_.right, area_.bottom, dc_.get(), 0, 0, SRCCOPY);
        SelectObject(dc_.get(), previous_);
    }
    OffscreenCanvas(const OffscreenCanvas&) = delete;
    OffscreenCanvas& operator=(const OffscreenCanvas&) = delete;

    HDC dc() const noexcept { return dc_.get(); }
    const RECT& area() const noexcept { return area_; }

private:
    HDC target_;
    RECT area_{};
    UniqueMemoryDc dc_;      // declared before the bitmap: the bitmap goes first
    UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace Gui
