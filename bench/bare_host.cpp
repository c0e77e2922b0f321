// bench_bare_host [--open] URL [FOLDER]: the least a program must do to show
// a page in the web browser control, to type a chat line into its player and
// to save the player as JPEG. The client's figures are set against it.
//
// - A click on the strip under the page area (its button-up, as a button
//   acts) creates the control, activates it in place, connects the events
//   and navigates to URL. At DocumentComplete it prints
//   "page <ms since the click> <ms since Navigate>".
// - F1 posts the eight messages of the team chat "Base" to the player.
// - Print captures the player with BitBlt and saves it with the GDI+ flat
//   API as FOLDER\shot-N.jpg, then prints "shot <ms from capture to close>".
// - --open navigates at once, without a click.
//
// Beside the bare ways, the floors: the client's written work for a page and
// a screenshot done directly and nothing else, each step timed.
// - A click on the floor's server button, on the strip's right half, goes
//   through a button's written click: the move asks for the leave notice,
//   the press takes the capture, the release gives it back, asks for the
//   leave notice again and posts WM_COMMAND to the window, and each look is
//   painted with the next WM_PAINT through an off-screen bitmap. The command
//   activates the window (WM_ACTIVATE
//   sent, which gives it the focus), destroys the old container window,
//   creates a new one with the address as its text (its creation makes the
//   control, activates it in place at the container's size, 0 x 0, and
//   navigates), then connects the events, starts a 100 ms timer, sets the
//   window's title and lays the container out (the control resized with it),
//   each step as it stands (the client makes its container at its place
//   and shows it once the page is asked for). At
//   DocumentComplete it prints "floorpage <ms since the click> <ms of each
//   step: activate destroy create sink timer title layout>".
// - F2 (its release) starts a thread for the one shot, which starts GDI+,
//   looks the JPEG encoder up, makes the name from the date and time
//   pictures, creates the folder, claims the file, captures the player, saves it at quality 90
//   and shuts GDI+ down, then prints "floorshot <ms from the key to the
//   save's return> <ms of each step: thread gdiplus encoder name claim
//   capture save>".
#include <windows.h>
#include <exdisp.h>
#include <gdiplus.h>
#include <ocidl.h>
#include <oleidl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "clock.h"

namespace {

constexpr int areaWidth = 1000;
constexpr int areaHeight = 600;
constexpr int stripHeight = 30;
constexpr UINT shotMessage = WM_APP + 1;
constexpr DISPID documentComplete = 259;

const CLSID webBrowserClass = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
const IID browserEvents = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};

template <class T> struct Releaser {
    void operator()(T* p) const noexcept { p->Release(); }
};
template <class T> using Com = std::unique_ptr<T, Releaser<T>>;

template <class T> Com<T> query(IUnknown* from, REFIID iid)
{
    void* out = nullptr;
    return Com<T>(from && SUCCEEDED(from->QueryInterface(iid, &out)) ? static_cast<T*>(out) : nullptr);
}

// One site for the window's life; it lives in the program's static state,
// so its reference count does nothing.
class Site final : public IOleClientSite, public IOleInPlaceSite {
public:
    HWND window = nullptr;
    bool isContainer = false;  // the floor's container, whose client area the control fills

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
            *out = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
            *out = static_cast<IOleInPlaceSite*>(this);
        else
            *out = nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) override { *m = nullptr; return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** c) override { *c = nullptr; return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    STDMETHODIMP GetWindow(HWND* w) override { *w = window; return S_OK; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override
    {
        *frame = nullptr;
        *doc = nullptr;
        if (isContainer)
            GetClientRect(window, pos);
        else
            *pos = RECT{0, 0, areaWidth, areaHeight};
        *clip = *pos;
        info->fMDIApp = FALSE;
        info->hwndFrame = window;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
};

class Sink final : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ? static_cast<IDispatch*>(this)
                                                                               : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
};

// A floor's stamps: its start, then the end of each of its seven steps.
constexpr int floorStamps = 8;

struct State {
    HWND window = nullptr;
    HWND container = nullptr;  // the floor's page, when it is the one open
    Site containerSite;
    double floorSteps[floorStamps] = {};  // the click, then the end of each step
    bool floorWaiting = false;
    std::wstring url;
    std::wstring folder;
    Site site;
    Sink sink;
    Com<IWebBrowser2> browser;
    Com<IConnectionPoint> point;
    DWORD cookie = 0;
    HWND player = nullptr;
    double clickedAt = 0;
    double navigatedAt = 0;
    bool waiting = false;
    CLSID jpeg{};
    int shots = 0;
    std::vector<MSG> macro;  // message, wParam and lParam of each posted keystroke
};
State state;

HWND firstChild(HWND parent)
{
    return parent ? GetWindow(parent, GW_CHILD) : nullptr;
}

// The floor's control, its events' connection and their cookie.
Com<IWebBrowser2> floorBrowser;
Com<IConnectionPoint> floorPoint;
DWORD floorCookie = 0;

// The plug-ins live two windows down from the control's own window, which
// the control names; the player is the one bigger than a pixel.
HWND findPlayer(IUnknown* control)
{
    HWND outer = nullptr;
    if (auto window = query<IOleWindow>(control, IID_IOleWindow))
        window->GetWindow(&outer);
    HWND server = firstChild(firstChild(outer));
    for (HWND w = firstChild(server); w; w = GetWindow(w, GW_HWNDNEXT)) {
        RECT r;
        GetClientRect(w, &r);
        if (r.right > 1 && r.bottom > 1)
            return w;
    }
    return nullptr;
}

// A floor's line: "<kind> <ms from its start to done> <ms of each step>".
void printSteps(const char* kind, double done, const double* at)
{
    std::printf("%s %.3f", kind, done - at[0]);
    for (int i = 1; i < floorStamps; ++i)
        std::printf(" %.3f", at[i] - at[i - 1]);
    std::printf("\n");
    std::fflush(stdout);
}

HRESULT Sink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    if (id == documentComplete && state.waiting) {
        const double done = nowMs();
        state.waiting = false;
        state.player = findPlayer(state.browser.get());
        std::printf("page %.3f %.3f\n", done - state.clickedAt, done - state.navigatedAt);
        std::fflush(stdout);
    } else if (id == documentComplete && state.floorWaiting) {
        const double done = nowMs();
        const double* at = state.floorSteps;
        state.floorWaiting = false;
        state.player = findPlayer(floorBrowser.get());
        printSteps("floorpage", done, at);
    }
    return S_OK;
}

void closeControl()
{
    if (state.container) {
        // The container's end closes its control.
        DestroyWindow(std::exchange(state.container, nullptr));
        state.player = nullptr;
    }
    if (state.point) {
        state.point->Unadvise(state.cookie);
        state.point.reset();
    }
    if (auto ole = query<IOleObject>(state.browser.get(), IID_IOleObject)) {
        ole->Close(OLECLOSE_NOSAVE);
        ole->SetClientSite(nullptr);
    }
    state.browser.reset();
    state.player = nullptr;
}

void openPage()
{
    state.clickedAt = nowMs();
    closeControl();
    void* created = nullptr;
    if (FAILED(CoCreateInstance(webBrowserClass, nullptr, CLSCTX_INPROC_SERVER, IID_IWebBrowser2, &created)))
        return;
    state.browser.reset(static_cast<IWebBrowser2*>(created));
    auto ole = query<IOleObject>(state.browser.get(), IID_IOleObject);
    if (!ole)
        return;
    ole->SetClientSite(&state.site);
    RECT area{0, 0, areaWidth, areaHeight};
    ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &state.site, 0, state.window, &area);
    auto points = query<IConnectionPointContainer>(state.browser.get(), IID_IConnectionPointContainer);
    IConnectionPoint* point = nullptr;
    if (!points || FAILED(points->FindConnectionPoint(browserEvents, &point)))
        return;
    state.point.reset(point);
    state.point->Advise(&state.sink, &state.cookie);
    BSTR url = SysAllocString(state.url.c_str());
    state.waiting = true;
    state.navigatedAt = nowMs();
    state.browser->Navigate(url, nullptr, nullptr, nullptr, nullptr);
    SysFreeString(url);
}

// The floor's container: a child window that makes the control from its
// text, an address, hosts it in place and closes it when it goes.

LRESULT CALLBACK containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        void* created = nullptr;
        if (FAILED(CoCreateInstance(webBrowserClass, nullptr, CLSCTX_INPROC_SERVER, IID_IWebBrowser2, &created)))
            return 0;
        floorBrowser.reset(static_cast<IWebBrowser2*>(created));
        auto ole = query<IOleObject>(floorBrowser.get(), IID_IOleObject);
        if (!ole)
            return 0;
        state.containerSite.window = window;
        state.containerSite.isContainer = true;
        ole->SetClientSite(&state.containerSite);
        // Activated at the container's own size, as the platform's container
        // does: 0 x 0 here, until the layout.
        RECT area;
        GetClientRect(window, &area);
        ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &state.containerSite, 0, window, &area);
        wchar_t text[2048];
        GetWindowTextW(window, text, 2048);
        BSTR url = SysAllocString(text);
        floorBrowser->Navigate(url, nullptr, nullptr, nullptr, nullptr);
        SysFreeString(url);
        return 0;
    }
    case WM_SIZE:
        // The control follows the container's size.
        if (auto inPlace = query<IOleInPlaceObject>(floorBrowser.get(), IID_IOleInPlaceObject)) {
            const RECT area{0, 0, LOWORD(lParam), HIWORD(lParam)};
            inPlace->SetObjectRects(&area, &area);
        }
        return 0;
    case WM_DESTROY:
        if (floorPoint) {
            floorPoint->Unadvise(floorCookie);
            floorPoint.reset();
        }
        // Deactivated in place before it is closed, as the platform's
        // container does with the control it hosts.
        if (auto inPlace = query<IOleInPlaceObject>(floorBrowser.get(), IID_IOleInPlaceObject))
            inPlace->InPlaceDeactivate();
        if (auto ole = query<IOleObject>(floorBrowser.get(), IID_IOleObject)) {
            ole->Close(OLECLOSE_NOSAVE);
            ole->SetClientSite(nullptr);
        }
        floorBrowser.reset();
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void openFloorPage()
{
    double* at = state.floorSteps;
    at[0] = nowMs();
    SendMessageW(state.window, WM_ACTIVATE, WA_CLICKACTIVE, reinterpret_cast<LPARAM>(state.window));
    at[1] = nowMs();
    closeControl();
    at[2] = nowMs();
    state.container = CreateWindowExW(0, L"BenchFloorContainer", state.url.c_str(),
                                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                      state.window, nullptr, GetModuleHandleW(nullptr), nullptr);
    at[3] = nowMs();
    auto points = query<IConnectionPointContainer>(floorBrowser.get(), IID_IConnectionPointContainer);
    IConnectionPoint* point = nullptr;
    if (!points || FAILED(points->FindConnectionPoint(browserEvents, &point)))
        return;
    floorPoint.reset(point);
    floorPoint->Advise(&state.sink, &floorCookie);
    state.floorWaiting = true;
    at[4] = nowMs();
    SetTimer(state.window, 1, 100, nullptr);
    at[5] = nowMs();
    // The title set again, as the client sets its own on every page (the
    // same text for the same server); the bench finds the window by it.
    SetWindowTextW(state.window, L"Bare host");
    at[6] = nowMs();
    MoveWindow(state.container, 0, 0, areaWidth, areaHeight, TRUE);
    at[7] = nowMs();
}

// The floor's server button: the client's written button, for a click.
constexpr int floorButtonId = 1;
HFONT floorButtonFont = nullptr;
bool floorHover = false;
bool floorPressed = false;

void trackFloorLeave(HWND button)
{
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, button, HOVER_DEFAULT};
    TrackMouseEvent(&track);
}

// Framed while the pointer is on it, darker while pressed, as the client's.
void paintFloorButton(HWND button)
{
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(button, &ps);
    RECT area;
    GetClientRect(button, &area);
    const HDC canvas = CreateCompatibleDC(dc);
    const HBITMAP bits = CreateCompatibleBitmap(dc, area.right, area.bottom);
    const HGDIOBJ oldBits = SelectObject(canvas, bits);
    const COLORREF colour = floorPressed ? RGB(4, 40, 0) : RGB(8, 74, 0);
    const HBRUSH background = CreateSolidBrush(colour);
    if (floorHover || floorPressed) {
        const HPEN frame = CreatePen(PS_SOLID, 1, RGB(88, 251, 48));
        const HGDIOBJ oldPen = SelectObject(canvas, frame);
        const HGDIOBJ oldBrush = SelectObject(canvas, background);
        Rectangle(canvas, 0, 0, area.right, area.bottom);
        SelectObject(canvas, oldBrush);
        SelectObject(canvas, oldPen);
        DeleteObject(frame);
    } else {
        FillRect(canvas, &area, background);
    }
    const HGDIOBJ oldFont = SelectObject(canvas, floorButtonFont);
    SetTextColor(canvas, RGB(88, 251, 48));
    SetBkColor(canvas, colour);
    DrawTextW(canvas, L"1", 1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    BitBlt(dc, 0, 0, area.right, area.bottom, canvas, 0, 0, SRCCOPY);
    SelectObject(canvas, oldFont);
    SelectObject(canvas, oldBits);
    DeleteObject(background);
    DeleteObject(bits);
    DeleteDC(canvas);
    EndPaint(button, &ps);
}

LRESULT CALLBACK floorButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: paintFloorButton(button); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE:
        if (!floorHover && !floorPressed) {
            floorHover = true;
            trackFloorLeave(button);
            InvalidateRect(button, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONDOWN:
        floorPressed = true;
        SetCapture(button);
        InvalidateRect(button, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP:
        if (floorPressed)
            PostMessageW(GetParent(button), WM_COMMAND, floorButtonId, reinterpret_cast<LPARAM>(button));
        floorPressed = false;
        if (GetCapture() == button)
            ReleaseCapture();
        trackFloorLeave(button);
        InvalidateRect(button, nullptr, FALSE);
        return 0;
    case WM_MOUSELEAVE:
        floorHover = false;
        InvalidateRect(button, nullptr, FALSE);
        return 0;
    default: return DefWindowProcW(button, message, wParam, lParam);
    }
}

// The client's team chat "Base": 'T' down and up, the characters, Enter
// down and up, with the same lParams.
void buildMacro()
{
    const LPARAM t = static_cast<LPARAM>(MapVirtualKeyW('T', MAPVK_VK_TO_VSC)) << 16;
    const LPARAM enter = static_cast<LPARAM>(MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM released = static_cast<LPARAM>(0x80000000u);
    auto add = [](UINT message, WPARAM key, LPARAM lParam) {
        MSG m{};
        m.message = message;
        m.wParam = key;
        m.lParam = lParam;
        state.macro.push_back(m);
    };
    add(WM_KEYDOWN, 'T', t);
    add(WM_KEYUP, 'T', t | released);
    for (wchar_t c : std::wstring(L"Base"))
        add(WM_CHAR, c, 0);
    add(WM_KEYDOWN, VK_RETURN, enter);
    add(WM_KEYUP, VK_RETURN, enter | released);
}

void postMacro()
{
    if (!state.player)
        return;
    for (const MSG& m : state.macro)
        PostMessageW(state.player, m.message, m.wParam, m.lParam);
}

bool findJpegEncoder()
{
    UINT count = 0, size = 0;
    if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i)
        if (codecs[i].MimeType && lstrcmpW(codecs[i].MimeType, L"image/jpeg") == 0) {
            state.jpeg = codecs[i].Clsid;
            return true;
        }
    return false;
}

void saveShot()
{
    if (!state.player)
        return;
    const double start = nowMs();
    RECT r;
    GetWindowRect(state.player, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC source = GetDC(state.player);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, source, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    ReleaseDC(state.player, source);
    const std::wstring path = state.folder + L"\\shot-" + std::to_wstring(++state.shots) + L".jpg";
    Gdiplus::GpBitmap* image = nullptr;
    bool saved = false;
    if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
        saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &state.jpeg, nullptr) == Gdiplus::Ok;
        Gdiplus::DllExports::GdipDisposeImage(image);
    }
    const double done = nowMs();
    DeleteObject(bitmap);
    DeleteDC(memory);
    if (saved) {
        std::printf("shot %.3f\n", done - start);
        std::fflush(stdout);
    }
}

struct FloorShot {
    double at[floorStamps];  // the key, then the end of each step
    HWND player;
};

DWORD WINAPI floorShotThread(void* parameter)
{
    std::unique_ptr<FloorShot> shot(static_cast<FloorShot*>(parameter));
    double* at = shot->at;
    at[1] = nowMs();
    ULONG_PTR token = 0;
    const Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    at[2] = nowMs();
    CLSID jpeg{};
    UINT count = 0, size = 0;
    Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (size && Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs) == Gdiplus::Ok)
        for (UINT i = 0; i < count; ++i)
            if (codecs[i].MimeType && lstrcmpW(codecs[i].MimeType, L"image/jpeg") == 0)
                jpeg = codecs[i].Clsid;
    at[3] = nowMs();
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[MAX_PATH];
    const int date = GetDateFormatW(LOCALE_USER_DEFAULT, 0, &now, L"dd'.'MM'.'yyyy' '", stamp, MAX_PATH);
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, L"HH'-'mm'-'ss'.'", stamp + date - 1, MAX_PATH - date);
    at[4] = nowMs();
    CreateDirectoryW(state.folder.c_str(), nullptr);
    std::wstring path;
    for (int copy = 1;; ++copy) {
        path = state.folder + L"\\floor " + stamp + (copy > 1 ? L"(" + std::to_wstring(copy) + L")" : L"") + L"jpg";
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            break;
        }
        if (GetLastError() != ERROR_FILE_EXISTS || copy > 9999)
            return 0;
    }
    at[5] = nowMs();
    RECT r;
    GetWindowRect(shot->player, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC source = GetDC(shot->player);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, source, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    ReleaseDC(shot->player, source);
    at[6] = nowMs();
    ULONG quality = 90;
    Gdiplus::EncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = {0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].Value = &quality;
    Gdiplus::GpBitmap* image = nullptr;
    bool saved = false;
    if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
        saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &jpeg, &parameters) == Gdiplus::Ok;
        Gdiplus::DllExports::GdipDisposeImage(image);
    }
    at[7] = nowMs();
    DeleteObject(bitmap);
    DeleteDC(memory);
    Gdiplus::GdiplusShutdown(token);
    if (saved)
        printSteps("floorshot", at[7], at);
    return 0;
}

void startFloorShot(double keyAt)
{
    if (!state.player)
        return;
    auto* shot = new FloorShot{{keyAt}, state.player};
    const HANDLE thread = CreateThread(nullptr, 0, floorShotThread, shot, 0, nullptr);
    if (thread)
        CloseHandle(thread);
    else
        delete shot;
}

// Like the client's hook: F1 acts on its first press, Print Screen on its
// release (Windows keeps its key-down); every event of both is kept from
// the window.
LRESULT CALLBACK keyHook(int code, WPARAM key, LPARAM flags)
{
    if (code == HC_ACTION && (key == VK_F1 || key == VK_SNAPSHOT || key == VK_F2)) {
        const auto bits = static_cast<DWORD>(flags);
        if (key == VK_F1 && (bits & 0xC0000000u) == 0)
            postMacro();
        else if (key == VK_SNAPSHOT && (bits & 0x80000000u))
            PostMessageW(state.window, shotMessage, 0, 0);
        else if (key == VK_F2 && (bits & 0x80000000u))
            startFloorShot(nowMs());
        return 1;
    }
    return CallNextHookEx(nullptr, code, key, flags);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONUP:
        if (GET_X_LPARAM(lParam) >= areaWidth / 2)
            openFloorPage();
        else
            openPage();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == floorButtonId)
            openFloorPage();
        return 0;
    case WM_TIMER: return 0;
    case shotMessage: saveShot(); return 0;
    case WM_DESTROY: closeControl(); PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    int next = 1;
    const bool openNow = argc > next && lstrcmpW(argv[next], L"--open") == 0;
    if (openNow)
        ++next;
    if (argc <= next)
        return 2;
    state.url = argv[next++];
    if (argc > next)
        state.folder = argv[next];
    LocalFree(argv);

    OleInitialize(nullptr);
    ULONG_PTR gdiplus = 0;
    const Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);
    findJpegEncoder();
    buildMacro();

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = L"BenchBareHost";
    RegisterClassExW(&wc);
    wc.lpfnWndProc = containerProc;
    wc.hbrBackground = nullptr;
    wc.lpszClassName = L"BenchFloorContainer";
    RegisterClassExW(&wc);
    wc.lpfnWndProc = floorButtonProc;
    wc.lpszClassName = L"BenchFloorButton";
    RegisterClassExW(&wc);
    RECT frame{0, 0, areaWidth, areaHeight + stripHeight};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    AdjustWindowRect(&frame, style, FALSE);
    state.window = CreateWindowExW(0, L"BenchBareHost", L"Bare host", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                   frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                   nullptr);
    state.site.window = state.window;
    // Where the bench clicks the floor, the size of one of the client's
    // server buttons, in its font.
    floorButtonFont = CreateFontW(15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, 0, 0, 0, 0, L"Arial");
    CreateWindowExW(0, L"BenchFloorButton", L"1", WS_CHILD | WS_VISIBLE, 738, areaHeight + 5, 25, 20, state.window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(floorButtonId)), instance, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD, keyHook, nullptr, GetCurrentThreadId());
    ShowWindow(state.window, SW_SHOW);
    UpdateWindow(state.window);
    if (openNow)
        openPage();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    UnhookWindowsHookEx(hook);
    Gdiplus::GdiplusShutdown(gdiplus);
    OleUninitialize();
    return 0;
}
