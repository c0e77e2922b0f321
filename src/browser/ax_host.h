// The ActiveX container window: a child window that creates a control from
// its window text, hosts it in place and ends it when the window goes.
//
// Window text "{clsid}" creates that class; any other non-empty text is an
// address: the web browser control is created and opened at it. Empty text,
// or a class that cannot be created, leaves the window without a control.
//
// Registered messages the window answers:
//   "WM_ATLGETCONTROL": the control's IUnknown (no reference taken), or 0;
//   "WM_ATLGETHOST":    the client site's IUnknown (no reference taken).
#pragma once
#include <windows.h>

inline constexpr wchar_t axWindowClassName[] = L"AtlAxWin120";
inline constexpr wchar_t axLicensedWindowClassName[] = L"AtlAxWinLic120";
inline constexpr wchar_t atlGetHostMessageName[] = L"WM_ATLGETHOST";
inline constexpr wchar_t atlGetControlMessageName[] = L"WM_ATLGETCONTROL";

// Registers both window classes and both messages for this process. May be
// called again; true when the classes are registered afterwards.
bool AtlAxWinInit();

// Opens at once the address the window's creation left waiting for its
// posted request, once the creator has connected to the control's events;
// the request then finds nothing to do. Nothing when nothing waits.
void axNavigatePending(HWND container);

LRESULT CALLBACK axWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
