// bench_floor_window: the client's written start-up work done directly and
// nothing else, to set its start-up figure against. In the working folder
// it reads zelvara.cfg and accounts.cfg whole, looks up the desktop folder
// (under which the screenshot folder is by default) and the player's
// shared-object folder (whether "Open Url" starts enabled), initialises COM
// for the thread, registers the client's six window classes, creates the
// main window with the same 45 child windows of the first view (the bar's
// 35 buttons, the About view with its 3 labels and 6 buttons) with the same
// fonts and texts, each at its place, becomes the clipboard viewer,
// installs the thread keyboard hook and shows the window.
// It appends one line per start to floor-window.out:
//   "start <ms of each step, from wWinMain>" (read and look up, COM and
//   register, create, hook, show)
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "clock.h"

namespace {

constexpr COLORREF background = RGB(0, 0, 0);
HFONT buttonFont = nullptr;
HFONT labelFonts[3] = {};

void readWhole(const wchar_t* name)
{
    const HANDLE file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    std::vector<char> data(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
    CloseHandle(file);
}

// The two folders the client's start-up asks the shell for: the desktop,
// under which its screenshot folder is by default, and the player's
// shared-object folder, where an entry for the site enables "Open Url".
void lookUpFolders()
{
    wchar_t desktop[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, desktop);
    PathAppendW(desktop, L"Zelvara Screenshots");
    wchar_t objects[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, objects)) ||
        !PathAppendW(objects, L"Macromedia\\Flash Player\\#SharedObjects\\*"))
        return;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(objects, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    PathRemoveFileSpecW(objects);
    if (PathAppendW(objects, entry.cFileName) && PathAppendW(objects, L"zelvara.example"))
        PathFileExistsW(objects);
    FindClose(search);
}

// A child that paints its text in its font: the least an owner-painted
// button or label does.
LRESULT CALLBACK textProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        wchar_t text[256];
        const int length = GetWindowTextW(window, text, 256);
        SelectObject(dc, reinterpret_cast<HFONT>(GetWindowLongPtrW(window, GWLP_USERDATA)));
        SetBkColor(dc, RGB(8, 74, 0));
        SetTextColor(dc, RGB(88, 251, 48));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
        DrawTextW(dc, text, length, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND child(HWND parent, const wchar_t* className, const wchar_t* text, int x, int y, int w, int h, HFONT font)
{
    const HWND window = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, w, h,
                                        parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(font));
    return window;
}

// Bar buttons are as wide as their text with a space either side.
int buttonWidth(HDC dc, const std::wstring& text)
{
    const std::wstring measured = L" " + text + L" ";
    SIZE size{};
    GetTextExtentPoint32W(dc, measured.c_str(), static_cast<int>(measured.size()), &size);
    return size.cx;
}

void createChildren(HWND main)
{
    const HDC dc = GetDC(main);
    SelectObject(dc, buttonFont);
    int x = 5;
    for (const wchar_t* text : {L"Get Url", L"Open Url", L"Click Left", L"Click Right"}) {
        const int w = buttonWidth(dc, text);
        child(main, L"Zelvara#Button", text, x, 5, w, 19, buttonFont);
        x += w + 2;
    }
    child(main, L"Zelvara#Button", L"+", x, 5, 19, 19, buttonFont);
    x += 21;
    for (int k = 1; k <= 30; ++k) {
        const std::wstring text = std::to_wstring(k);
        const int w = buttonWidth(dc, text);
        child(main, L"Zelvara#Button", text.c_str(), x, 5, w, 19, buttonFont);
        x += w + 2;
    }
    ReleaseDC(main, dc);

    const HWND about = CreateWindowExW(0, L"Zelvara#About", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN |
                                       WS_CLIPSIBLINGS, 0, 29, 1000, 600, main, nullptr, GetModuleHandleW(nullptr),
                                       nullptr);
    child(about, L"Zelvara#Label", L"Zelvara", 0, 50, 1000, 40, labelFonts[0]);
    child(about, L"Zelvara#Label", L"Version 1.0.0 by 2026-12-01", 0, 110, 1000, 20, labelFonts[1]);
    child(about, L"Zelvara#Label",
          L"A special fast client for the online battle game.\nThe open-source version of Orbisk.", 100, 175, 800,
          75, labelFonts[2]);
    child(about, L"Zelvara#Button", L"Change settings", 350, 260, 300, 40, buttonFont);
    child(about, L"Zelvara#Button", L"Online Help", 300, 340, 400, 30, buttonFont);
    child(about, L"Zelvara#Button", L"zelvara.example", 345, 410, 310, 30, buttonFont);
    child(about, L"Zelvara#Button", L"Zelvara players' community", 345, 450, 310, 30, buttonFont);
    child(about, L"Zelvara#Button", L"Free software: the Zelvara project", 345, 520, 310, 25, buttonFont);
    child(about, L"Zelvara#Button", L"Made by the Zelvara team", 380, 550, 240, 20, buttonFont);
}

HWND nextViewer = nullptr;

LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: createChildren(window); nextViewer = SetClipboardViewer(window); return 0;
    case WM_DESTROY: ChangeClipboardChain(window, nextViewer); PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK keyHook(int code, WPARAM key, LPARAM flags)
{
    return CallNextHookEx(nullptr, code, key, flags);
}

void registerClass(const wchar_t* name, WNDPROC procedure, HBRUSH brush)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = brush;
    wc.lpszClassName = name;
    RegisterClassW(&wc);
}

HFONT font(int height, const wchar_t* face, BYTE charset)
{
    LOGFONTW f{};
    f.lfHeight = height;
    f.lfWeight = FW_NORMAL;
    f.lfCharSet = charset;
    lstrcpyW(f.lfFaceName, face);
    return CreateFontIndirectW(&f);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    double at[6];
    at[0] = nowMs();
    readWhole(L"zelvara.cfg");
    readWhole(L"accounts.cfg");
    lookUpFolders();
    at[1] = nowMs();
    CoInitialize(nullptr);
    const HBRUSH brush = CreateSolidBrush(background);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = mainProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = brush;
    wc.lpszClassName = L"FloorWindow";
    RegisterClassExW(&wc);
    registerClass(L"Zelvara#Button", textProc, nullptr);
    registerClass(L"Zelvara#Label", textProc, nullptr);
    registerClass(L"Zelvara#About", DefWindowProcW, brush);
    registerClass(L"AtlAxWin120", DefWindowProcW, nullptr);
    registerClass(L"AtlAxWinLic120", DefWindowProcW, nullptr);
    buttonFont = font(15, L"Arial", RUSSIAN_CHARSET);
    labelFonts[0] = font(40, L"", DEFAULT_CHARSET);
    labelFonts[1] = font(20, L"", DEFAULT_CHARSET);
    labelFonts[2] = font(18, L"", DEFAULT_CHARSET);
    at[2] = nowMs();
    const HWND window = CreateWindowExW(0, L"FloorWindow", L"Zelvara", 0x16CF0000, CW_USEDEFAULT, CW_USEDEFAULT,
                                        1024, 768, nullptr, nullptr, instance, nullptr);
    at[3] = nowMs();
    const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD, keyHook, nullptr, GetCurrentThreadId());
    at[4] = nowMs();
    ShowWindow(window, SW_SHOW);
    at[5] = nowMs();
    UpdateWindow(window);
    if (FILE* out = _wfopen(L"floor-window.out", L"a")) {
        std::fprintf(out, "start %.3f %.3f %.3f %.3f %.3f\n", at[1] - at[0], at[2] - at[1], at[3] - at[2],
                     at[4] - at[3], at[5] - at[4]);
        std::fclose(out);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    UnhookWindowsHookEx(hook);
    CoUninitialize();
    return 0;
}
