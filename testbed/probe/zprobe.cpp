// zprobe COMMAND ARGS... prints JSON on stdout.
//   find CLASS [TITLE]        top-level windows of a class (and exact title)
//   info HWND                 one window (in real pixels; ownRect and
//                             ownClient as its program sees them)
//   children HWND             its direct children, in z-order
//   foreground                the foreground window
//   metrics                   screen size and the main window's frame
//   close HWND                post WM_CLOSE
//   move HWND X Y W H         SetWindowPos
//   show HWND CMD             ShowWindow, e.g. 3 SW_MAXIMIZE as snapping does
//   post HWND MSG WPARAM LPARAM / send HWND MSG WPARAM LPARAM
//   pixel HWND X Y            colour at a client point (in the window's own
//                             coordinates), read from the screen
//                             (another process's window DC gives nothing here)
//   clipboard-get             the clipboard's Unicode text, as a JSON string
//   clipboard-set TEXT        puts Unicode text on the clipboard
//   dlg-get DIALOG ID         a dialog control's text, as a JSON string
//   dlg-set DIALOG ID TEXT    sets a dialog control's text (WM_SETTEXT)
//   dlg-check DIALOG ID 0|1   sets a check box or radio button (BM_SETCHECK)
//   sheet-page SHEET INDEX    selects a property sheet page; prints its window
//   sheet-press SHEET BUTTON  presses a property sheet button (3 OK, 5 Cancel)
//   record FILE ARGS...       append the arguments as one JSON line to FILE
//                             (a test's stand-in for a program the shell starts)
//   resources HWND            GDI and USER objects, kernel handles and private
//                             bytes of the process that owns the window, as the
//                             system's counters give them and as counted in its
//                             GDI handle table, window list and handle table
//   viewer FILE [MODE]        join the clipboard-viewer chain until killed; at
//                             every notice append the clipboard's text to FILE
//                             as a JSON line, then pass the notice on, as a
//                             clipboard history tool does. MODE hang: after
//                             the first change, stop answering for a minute;
//                             swallow: pass on the first change's notice only;
//                             busy: work 1.5 s on each change's notice and
//                             each chain message before passing it on, its
//                             messages unread meanwhile; head: busy for 3 s,
//                             and each chain message logged as {"chain":
//                             [REMOVED, NEXT]} when it arrives and as
//                             {"handled": [...]} once handled. Closed
//                             (WM_CLOSE), it writes a null line and leaves
//                             the chain
//   clipboard-hold FILE [TEXT]  hold the clipboard open until killed (a
//                             minute at most), with TEXT put on it meanwhile;
//                             FILE is written once it is held
//   clipboard-formats         the clipboard's formats, registered ones by name
//   keep                      hold a hidden window open until killed, so the
//                             desktop process lives between test programs;
//                             meanwhile take Print Screen's key-down as the
//                             system's snapshot hot key does on Windows
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::string quoted(const std::wstring& text)
{
    std::string out = "\"";
    for (unsigned char c : utf8(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

HWND handleArg(const wchar_t* text)
{
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(_wcstoi64(text, nullptr, 0)));
}

std::string describe(HWND w)
{
    wchar_t cls[256] = L"";
    GetClassNameW(w, cls, 256);
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(GetWindowTextW(w, title.data(), static_cast<int>(title.size()))));
    RECT r = {}, c = {};
    GetWindowRect(w, &r);
    GetClientRect(w, &c);
    POINT origin = {0, 0};
    ClientToScreen(w, &origin);
    // The same, as the window's own program sees them: scaled down where
    // the system stretches a program that is not DPI-aware.
    RECT ownRect = {}, ownClient = {};
    const DPI_AWARENESS_CONTEXT probes = SetThreadDpiAwarenessContext(GetWindowDpiAwarenessContext(w));
    GetWindowRect(w, &ownRect);
    GetClientRect(w, &ownClient);
    SetThreadDpiAwarenessContext(probes);
    char buf[768];
    std::snprintf(buf, sizeof buf,
                  "{\"hwnd\": %lld, \"rect\": [%ld, %ld, %ld, %ld], \"client\": [%ld, %ld], "
                  "\"ownRect\": [%ld, %ld, %ld, %ld], \"ownClient\": [%ld, %ld], "
                  "\"clientOrigin\": [%ld, %ld], \"style\": %lu, \"exstyle\": %lu, \"visible\": %s, "
                  "\"iconic\": %s, \"zoomed\": %s, \"enabled\": %s, \"id\": %lld, \"parent\": %lld, \"owner\": %lld, ",
                  static_cast<long long>(reinterpret_cast<INT_PTR>(w)), r.left, r.top, r.right, r.bottom, c.right,
                  c.bottom, ownRect.left, ownRect.top, ownRect.right, ownRect.bottom, ownClient.right, ownClient.bottom,
                  origin.x, origin.y, static_cast<unsigned long>(GetWindowLongW(w, GWL_STYLE)),
                  static_cast<unsigned long>(GetWindowLongW(w, GWL_EXSTYLE)), IsWindowVisible(w) ? "true" : "false",
                  IsIconic(w) ? "true" : "false", IsZoomed(w) ? "true" : "false",
                  IsWindowEnabled(w) ? "true" : "false", static_cast<long long>(GetWindowLongPtrW(w, GWLP_ID)),
                  static_cast<long long>(reinterpret_cast<INT_PTR>(GetAncestor(w, GA_PARENT))),
                  static_cast<long long>(reinterpret_cast<INT_PTR>(GetWindow(w, GW_OWNER))));
    return std::string(buf) + "\"class\": " + quoted(cls) + ", \"title\": " + quoted(title) + "}";
}

void printList(const std::vector<HWND>& windows)
{
    std::string out = "[";
    for (std::size_t i = 0; i < windows.size(); ++i)
        out += (i ? ", " : "") + describe(windows[i]);
    std::printf("%s]\n", out.c_str());
}

struct FindQuery {
    std::wstring cls;
    const wchar_t* title;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND w, LPARAM param)
{
    auto* q = reinterpret_cast<FindQuery*>(param);
    wchar_t cls[256] = L"";
    GetClassNameW(w, cls, 256);
    wchar_t title[1024] = L"";
    GetWindowTextW(w, title, 1024);
    if (q->cls == cls && (!q->title || std::wstring(q->title) == title))
        q->found.push_back(w);
    return TRUE;
}

// Windows keeps the key-down of VK_SNAPSHOT for its own snapshot hot key:
// no thread hook or window ever sees it, only the key-up. X delivers both,
// so a low-level hook, which runs before any thread's hook, drops the down.
LRESULT CALLBACK snapshotKeyProc(int code, WPARAM message, LPARAM lParam)
{
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && key->vkCode == VK_SNAPSHOT && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN))
        return 1;
    return CallNextHookEx(nullptr, code, message, lParam);
}

int keep()
{
    HWND w = CreateWindowExW(0, L"STATIC", L"zprobe keeper", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!w)
        return 1;
    // Low-level hooks run on this thread's message loop below.
    if (!SetWindowsHookExW(WH_KEYBOARD_LL, snapshotKeyProc, GetModuleHandleW(nullptr), 0))
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

// Another program may hold the clipboard open for a moment (Wine's own
// X clipboard bridge does after every change), so an open is tried again
// for up to a second before the text counts as unreadable.
std::wstring clipboardText(HWND owner)
{
    std::wstring text;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
        return text;
    bool opened = false;
    for (int tries = 0; !(opened = OpenClipboard(owner)) && tries < 100; ++tries)
        Sleep(10);
    if (opened) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = chars;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    return text;
}

int clipboardGet()
{
    std::printf("%s\n", quoted(clipboardText(nullptr)).c_str());
    return 0;
}

const wchar_t* viewerLog = nullptr;
HWND nextViewer = nullptr;
std::wstring viewerMode;
int viewerNotices = 0;

// Window handles as `find` prints them.
void logChainMessage(const char* what, WPARAM removed, LPARAM next)
{
    if (FILE* out = _wfopen(viewerLog, L"ab")) {
        std::fprintf(out, "{\"%s\": [%lld, %lld]}\n", what, static_cast<long long>(static_cast<INT_PTR>(removed)),
                     static_cast<long long>(next));
        std::fclose(out);
    }
}

LRESULT CALLBACK viewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWCLIPBOARD) {
        if (FILE* out = _wfopen(viewerLog, L"ab")) {
            std::fprintf(out, "%s\n", quoted(clipboardText(window)).c_str());
            std::fclose(out);
        }
        // The first notice is the one of joining; the next is the first change.
        ++viewerNotices;
        if (viewerMode == L"hang" && viewerNotices >= 2)
            Sleep(60000);
        if (viewerMode == L"swallow" && viewerNotices > 2)
            return 0;
        if (viewerMode == L"busy" && viewerNotices >= 2)
            Sleep(1500);
        if (viewerMode == L"head" && viewerNotices >= 2)
            Sleep(3000);
        if (nextViewer)
            SendMessageW(nextViewer, message, wParam, lParam);
        return 0;
    }
    if (message == WM_DESTROY) {
        if (FILE* out = _wfopen(viewerLog, L"ab")) {
            std::fprintf(out, "null\n");
            std::fclose(out);
        }
        ChangeClipboardChain(window, nextViewer);
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_CHANGECBCHAIN) {
        const bool head = viewerMode == L"head";
        if (head)
            logChainMessage("chain", wParam, lParam);
        if (viewerMode == L"busy")
            Sleep(1500);
        if (head)
            Sleep(3000);
        if (reinterpret_cast<HWND>(wParam) == nextViewer)
            nextViewer = reinterpret_cast<HWND>(lParam);
        else if (nextViewer)
            SendMessageW(nextViewer, message, wParam, lParam);
        if (head)
            logChainMessage("handled", wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int viewer(const wchar_t* log, const wchar_t* mode)
{
    viewerLog = log;
    viewerMode = mode;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = viewerProc;
    windowClass.lpszClassName = L"zprobe viewer";
    if (!RegisterClassW(&windowClass))
        return 1;
    // Named after its log, so that a test finds the one it started.
    HWND w = CreateWindowExW(0, windowClass.lpszClassName, log, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!w)
        return 1;
    nextViewer = SetClipboardViewer(w);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

int clipboardSet(const std::wstring& text)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!memory)
        return 1;
    auto* chars = static_cast<wchar_t*>(GlobalLock(memory));
    text.copy(chars, text.size());
    chars[text.size()] = L'\0';
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(memory);
        return 1;
    }
    EmptyClipboard();
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!set)
        GlobalFree(memory);
    return set ? 0 : 1;
}

// Holds the clipboard open, as a program that reads it slowly does. A TEXT
// is put on it while it stays open: the system tells the viewers of a change
// only when the clipboard is closed, so none hears of it before a test sends
// a notice itself.
int clipboardHold(const wchar_t* heldFile, const wchar_t* text)
{
    // A viewer may be reading it this moment.
    int tries = 0;
    while (!OpenClipboard(nullptr)) {
        if (++tries == 100)
            return 1;
        Sleep(50);
    }
    if (text) {
        const std::size_t length = wcslen(text);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (length + 1) * sizeof(wchar_t));
        auto* chars = memory ? static_cast<wchar_t*>(GlobalLock(memory)) : nullptr;
        if (!chars)
            return 1;
        wcscpy(chars, text);
        GlobalUnlock(memory);
        EmptyClipboard();
        if (!SetClipboardData(CF_UNICODETEXT, memory))
            return 1;
    }
    if (FILE* out = _wfopen(heldFile, L"wb"))
        std::fclose(out);
    Sleep(60000);
    CloseClipboard();
    return 0;
}

int clipboardFormats()
{
    std::string out = "[";
    if (OpenClipboard(nullptr)) {
        for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
            wchar_t name[256] = L"";
            out += out.size() > 1 ? ", " : "";
            if (GetClipboardFormatNameW(format, name, 256) > 0)
                out += quoted(name);
            else
                out += std::to_string(format);
        }
        CloseClipboard();
    }
    std::printf("%s]\n", out.c_str());
    return 0;
}

// Wine keeps no per-process counters for GDI and USER objects or kernel
// handles (GetGuiResources and GetProcessHandleCount answer 0 for another
// process), so the objects are also counted where the system keeps them.

template <typename T>
T readRemote(HANDLE process, ULONG_PTR address)
{
    T value{};
    if (!address || !ReadProcessMemory(process, reinterpret_cast<const void*>(address), &value, sizeof value, nullptr))
        return T{};
    return value;
}

// Where the process's PEB points to its GDI handle table
// (GdiSharedHandleTable, at 0xF8 in a 64-bit PEB, 0x94 in a 32-bit one).
// Wine fills in only the 64-bit PEB of an x86 process, which its thread's
// 32-bit TEB leads to: GdiBatchCount (0xF70) holds the 64-bit TEB, whose
// PEB is at 0x60.
ULONG_PTR gdiTableAddress(HANDLE process, DWORD threadId)
{
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return 0;
    const auto peb = reinterpret_cast<ULONG_PTR>(basic.PebBaseAddress);
    const auto table = readRemote<ULONG_PTR>(process, peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    if (table || sizeof(void*) == 8)
        return table;
    struct {
        NTSTATUS exitStatus;
        PVOID teb;
        CLIENT_ID clientId;
        KAFFINITY affinity;
        LONG priority;
        LONG basePriority;
    } thread = {};
    HANDLE handle = OpenThread(THREAD_QUERY_INFORMATION, FALSE, threadId);
    if (!handle)
        return 0;
    const NTSTATUS status =
        NtQueryInformationThread(handle, ThreadBasicInformation, &thread, sizeof thread, nullptr);
    CloseHandle(handle);
    if (status != 0)
        return 0;
    const auto teb64 = readRemote<ULONG>(process, reinterpret_cast<ULONG_PTR>(thread.teb) + 0xF70);
    const auto peb64 = readRemote<ULONG64>(process, teb64 + 0x60);
    return static_cast<ULONG_PTR>(readRemote<ULONG64>(process, static_cast<ULONG_PTR>(peb64) + 0xF8));
}

// Live entries of the process's GDI handle table; a free entry has type 0.
// Wine lays the entries out with 64-bit fields in x86 processes too.
long gdiTableCount(HANDLE process, DWORD threadId)
{
    const ULONG_PTR table = gdiTableAddress(process, threadId);
    if (!table)
        return -1;
    struct Entry {
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type;
        UCHAR flags;
        UINT64 userPointer;
    };
    static_assert(sizeof(Entry) == 24);
    std::vector<Entry> entries(0x10000);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                           entries.size() * sizeof(Entry), nullptr))
        return -1;
    long live = 0;
    for (const Entry& e : entries)
        live += e.type != 0;
    return live;
}

struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK countChild(HWND w, LPARAM param)
{
    auto* c = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    c->count += pid == c->pid;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND w, LPARAM param)
{
    countChild(w, param);
    EnumChildWindows(w, countChild, param);  // every descendant
    return TRUE;
}

// The process's windows, message-only ones included: the USER objects it
// makes in number.
long windowCount(DWORD pid)
{
    WindowCount c = {pid, 0};
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&c));
    for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
        countTopLevel(w, reinterpret_cast<LPARAM>(&c));
    return c.count;
}

// The process's entries in the system's handle table
// (SystemExtendedHandleInformation).
long handleTableCount(DWORD pid)
{
    struct Entry {
        PVOID object;
        ULONG_PTR processId;
        ULONG_PTR handle;
        ULONG access;
        USHORT backTrace;
        USHORT type;
        ULONG attributes;
        ULONG reserved;
    };
    struct Table {
        ULONG_PTR count;
        ULONG_PTR reserved;
        Entry entries[1];
    };
    constexpr auto extendedHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(64);
    constexpr NTSTATUS lengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(extendedHandleInformation, buffer.data(),
                                                         static_cast<ULONG>(buffer.size()), &needed);
        if (status == lengthMismatch) {
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status != 0)
            return -1;
        const auto* table = reinterpret_cast<const Table*>(buffer.data());
        long mine = 0;
        for (ULONG_PTR i = 0; i < table->count; ++i)
            mine += table->entries[i].processId == pid;
        return mine;
    }
}

// One JSON object a monitor, as EnumDisplayMonitors lists them.
BOOL CALLBACK printMonitor(HMONITOR monitor, HDC, RECT*, LPARAM first)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT &a = info.rcMonitor, &w = info.rcWork;
    std::printf("%s{\"area\": [%ld, %ld, %ld, %ld], \"work\": [%ld, %ld, %ld, %ld], \"primary\": %s}",
                *reinterpret_cast<bool*>(first) ? "" : ", ", a.left, a.top, a.right, a.bottom, w.left, w.top, w.right,
                w.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) ? "true" : "false");
    *reinterpret_cast<bool*>(first) = false;
    return TRUE;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: zprobe find|info|children|resources|foreground|metrics|monitors|close|move|show|post|send|\n"
                 "              pixel|clipboard-get|clipboard-set|clipboard-hold|clipboard-formats|viewer|\n"
                 "              dlg-get|dlg-set|dlg-check|sheet-page|sheet-press|record|keep ...\n");
    return 2;
}

int run(int argc, wchar_t** argv)
{
    if (argc < 2)
        return usage();
    // Tests point and read in the screen's real pixels, as a player's
    // pointer and eyes do, whatever the awareness of the program under test.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const std::wstring command = argv[1];
    if (command == L"find" && argc >= 3) {
        FindQuery q{argv[2], argc >= 4 ? argv[3] : nullptr, {}};
        EnumWindows(collect, reinterpret_cast<LPARAM>(&q));
        printList(q.found);
        return 0;
    }
    if (command == L"info" && argc == 3) {
        HWND w = handleArg(argv[2]);
        if (!IsWindow(w))
            return 1;
        std::printf("%s\n", describe(w).c_str());
        return 0;
    }
    if (command == L"children" && argc == 3) {
        std::vector<HWND> children;
        for (HWND c = GetWindow(handleArg(argv[2]), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            children.push_back(c);
        printList(children);
        return 0;
    }
    if (command == L"resources" && argc == 3) {
        DWORD pid = 0;
        const DWORD thread = GetWindowThreadProcessId(handleArg(argv[2]), &pid);
        if (!thread)
            return 1;
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        if (!process)
            return 1;
        DWORD handles = 0;
        GetProcessHandleCount(process, &handles);
        PROCESS_MEMORY_COUNTERS_EX memory = {};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
        std::printf("{\"gdi\": %lu, \"user\": %lu, \"handles\": %lu, \"private\": %llu, "
                    "\"gdiTable\": %ld, \"windows\": %ld, \"handleTable\": %ld}\n",
                    GetGuiResources(process, GR_GDIOBJECTS), GetGuiResources(process, GR_USEROBJECTS), handles,
                    static_cast<unsigned long long>(memory.PrivateUsage), gdiTableCount(process, thread),
                    windowCount(pid), handleTableCount(pid));
        CloseHandle(process);
        return 0;
    }
    if (command == L"foreground") {
        HWND w = GetForegroundWindow();
        std::printf("%s\n", w ? describe(w).c_str() : "null");
        return 0;
    }
    if (command == L"metrics") {
        const DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        RECT frame = {0, 0, 0, 0}, unaware = {0, 0, 0, 0};
        AdjustWindowRectEx(&frame, style, FALSE, 0);
        // The frame as a program that is not DPI-aware is told it.
        const DPI_AWARENESS_CONTEXT probes = SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
        AdjustWindowRectEx(&unaware, style, FALSE, 0);
        SetThreadDpiAwarenessContext(probes);
        std::printf("{\"screen\": [%d, %d], \"frame\": [%ld, %ld, %ld, %ld], \"unawareFrame\": [%ld, %ld, %ld, %ld], "
                    "\"fullScreenArea\": [%d, %d], \"caption\": %d, \"maxTrack\": [%d, %d]}\n",
                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), frame.left, frame.top, frame.right,
                    frame.bottom, unaware.left, unaware.top, unaware.right, unaware.bottom,
                    GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
                    GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK));
        return 0;
    }
    if (command == L"monitors") {
        bool first = true;
        std::printf("[");
        EnumDisplayMonitors(nullptr, nullptr, printMonitor, reinterpret_cast<LPARAM>(&first));
        std::printf("]\n");
        return 0;
    }
    if (command == L"close" && argc == 3) {
        if (PostMessageW(handleArg(argv[2]), WM_CLOSE, 0, 0))
            return 0;
        std::fprintf(stderr, "PostMessage: error %lu\n", GetLastError());
        return 1;
    }
    if (command == L"move" && argc == 7)
        return SetWindowPos(handleArg(argv[2]), nullptr, _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]),
                            _wtoi(argv[6]), SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    if (command == L"show" && argc == 4) {
        ShowWindow(handleArg(argv[2]), _wtoi(argv[3]));
        return 0;
    }
    if ((command == L"post" || command == L"send") && argc == 6) {
        HWND w = handleArg(argv[2]);
        const UINT message = static_cast<UINT>(_wcstoi64(argv[3], nullptr, 0));
        const WPARAM wParam = static_cast<WPARAM>(_wcstoi64(argv[4], nullptr, 0));
        const LPARAM lParam = static_cast<LPARAM>(_wcstoi64(argv[5], nullptr, 0));
        if (command == L"post")
            return PostMessageW(w, message, wParam, lParam) ? 0 : 1;
        std::printf("%lld\n", static_cast<long long>(SendMessageW(w, message, wParam, lParam)));
        return 0;
    }
    if (command == L"pixel" && argc == 5) {
        // The point is in the window's own coordinates, as its program
        // draws; the colour is the screen's at the real pixel it lands on.
        // Its own pixel's middle, where the system stretches the window.
        HWND w = handleArg(argv[2]);
        POINT point = {0, 0};
        ClientToScreen(w, &point);
        const long real = static_cast<long>(GetDpiForSystem()), own = static_cast<long>(GetDpiForWindow(w));
        point.x += (2 * _wtoi(argv[3]) + 1) * real / (2 * own);
        point.y += (2 * _wtoi(argv[4]) + 1) * real / (2 * own);
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, point.x, point.y);
        ReleaseDC(nullptr, screen);
        std::printf("[%d, %d, %d]\n", GetRValue(colour), GetGValue(colour), GetBValue(colour));
        return colour == CLR_INVALID ? 1 : 0;
    }
    if (command == L"clipboard-get")
        return clipboardGet();
    if (command == L"clipboard-set" && argc == 3)
        return clipboardSet(argv[2]);
    if (command == L"dlg-get" && argc == 4) {
        HWND control = GetDlgItem(handleArg(argv[2]), _wtoi(argv[3]));
        wchar_t text[1024] = L"";
        SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
        std::printf("%s\n", quoted(text).c_str());
        return control ? 0 : 1;
    }
    if (command == L"dlg-set" && argc == 5) {
        HWND control = GetDlgItem(handleArg(argv[2]), _wtoi(argv[3]));
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        return control ? 0 : 1;
    }
    if (command == L"dlg-check" && argc == 5) {
        HWND control = GetDlgItem(handleArg(argv[2]), _wtoi(argv[3]));
        SendMessageW(control, BM_SETCHECK, _wtoi(argv[4]) ? BST_CHECKED : BST_UNCHECKED, 0);
        return control ? 0 : 1;
    }
    if (command == L"sheet-page" && argc == 4) {
        HWND sheet = handleArg(argv[2]);
        SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(_wtoi(argv[3])), 0);
        std::printf("%lld\n", static_cast<long long>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)));
        return 0;
    }
    if (command == L"sheet-press" && argc == 4)
        return PostMessageW(handleArg(argv[2]), PSM_PRESSBUTTON, static_cast<WPARAM>(_wtoi(argv[3])), 0) ? 0 : 1;
    if (command == L"record" && argc >= 3) {
        std::string line = "[";
        for (int i = 3; i < argc; ++i)
            line += (i > 3 ? ", " : "") + quoted(argv[i]);
        line += "]\n";
        FILE* out = _wfopen(argv[2], L"ab");
        if (!out)
            return 1;
        std::fputs(line.c_str(), out);
        std::fclose(out);
        return 0;
    }
    if (command == L"viewer" && (argc == 3 || argc == 4))
        return viewer(argv[2], argc == 4 ? argv[3] : L"");
    if (command == L"clipboard-hold" && (argc == 3 || argc == 4))
        return clipboardHold(argv[2], argc == 4 ? argv[3] : nullptr);
    if (command == L"clipboard-formats")
        return clipboardFormats();
    if (command == L"keep")
        return keep();
    return usage();
}

}  // namespace

// Each failure says so on standard error: a probe that ends silently with a
// status is one that Wine did not start, which a busy machine now and then
// does, and the tests run it again.
int wmain(int argc, wchar_t** argv)
{
    const int status = run(argc, argv);
    if (status != 0)
        std::fprintf(stderr, "zprobe %ls: failed with %d\n", argc >= 2 ? argv[1] : L"", status);
    return status;
}
