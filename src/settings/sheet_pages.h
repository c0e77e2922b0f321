// Dialog procedures of the settings sheet's pages. Each fills its page from
// workingSettings() when the page is created and writes it back on OK.
#pragma once
#include <windows.h>
#include <commctrl.h>

INT_PTR CALLBACK generalPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK screenshotPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK battleChatPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK interfacePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// True for the property sheet's OK notification.
inline bool isApply(LPARAM lParam)
{
    return reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(PSN_APPLY);
}

// Every notification is answered with success, so OK is never refused and a
// page change never held back.
inline INT_PTR notificationHandled(HWND page)
{
    SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
}

inline bool isChecked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}
