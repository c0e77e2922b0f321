#include "settings/settings_sheet.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <iterator>
#include <memory>

#include "base/text.h"
#include "resource.h"
#include "settings/settings.h"
#include "settings/sheet_pages.h"

namespace {

struct ComReleaser {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};

// Selects the starting folder once the picker is up.
int CALLBACK browseCallback(HWND picker, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED)
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

}  // namespace

Settings& workingSettings()
{
    // Built on first use rather than during static initialisation: the string
    // table and the desktop folder are then read after the entry, in a known
    // order. It takes the system defaults without a sub-domain, so building it
    // touches no file; every opening of the sheet overwrites it whole anyway.
    static Settings working(SettingsDefaults::system());
    return working;
}

bool showSettingsSheet(HWND owner, const std::function<void()>& onServerCountChanged)
{
    Settings& current = *Settings::instance();
    const Settings snapshot = current;
    Settings& working = workingSettings();
    working = snapshot;

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    struct PageKind {
        WORD templateId;
        DLGPROC procedure;
    };
    const PageKind kinds[] = {
        {IDD_GENERAL_PAGE, generalPageProc},
        {IDD_SCREENSHOT_PAGE, screenshotPageProc},
        {IDD_BATTLE_CHAT_PAGE, battleChatPageProc},
        {IDD_INTERFACE_PAGE, interfacePageProc},
    };
    PROPSHEETPAGEW pages[std::size(kinds)] = {};
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].hInstance = instance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(kinds[i].templateId);
        pages[i].pfnDlgProc = kinds[i].procedure;
    }

    // A copy: the resource string buffer is shared.
    const std::wstring caption = loadResourceString(IDS_SETTINGS_TITLE);
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(PROPSHEETHEADERW);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
    header.hwndParent = owner;
    header.hInstance = instance;
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(std::size(pages));
    header.nStartPage = 0;
    header.ppsp = pages;

    // 0 is Cancel or closing, -1 a failure to show the sheet.
    const bool confirmed = PropertySheetW(&header) > 0;
    if (!confirmed || !working.differsFrom(snapshot))
        return false;

    // The main window may have been maximised or switched to full screen while
    // the sheet was open; the sheet does not edit the placement, so the
    // current one stays rather than the one copied at opening.
    Settings updated = working;
    updated.windowFlags = current.windowFlags;
    updated.windowRect = current.windowRect;
    current = updated;
    const bool saved = current.save();
    if (current.serverButtonCount != snapshot.serverButtonCount && onServerCountChanged)
        onServerCountChanged();
    return saved;
}

void centreOverOwner(HWND window)
{
    RECT owner;
    if (!GetWindowRect(GetParent(window), &owner))
        owner = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT own;
    GetWindowRect(window, &own);
    const int x = owner.left + ((owner.right - owner.left) - (own.right - own.left)) / 2;
    const int y = owner.top + ((owner.bottom - owner.top) - (own.bottom - own.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
}

std::wstring browseForFolder(const std::wstring& title, const std::wstring& initialFolder, HWND owner)
{
    IMalloc* rawAllocator = nullptr;
    if (FAILED(SHGetMalloc(&rawAllocator)) || !rawAllocator)
        return initialFolder;
    const std::unique_ptr<IMalloc, ComReleaser> allocator(rawAllocator);

    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    info.lpfn = browseCallback;
    info.lParam = reinterpret_cast<LPARAM>(initialFolder.c_str());

    std::wstring result = initialFolder;
    if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info)) {
        wchar_t path[MAX_PATH] = L"";
        if (SHGetPathFromIDListW(chosen, path))
            result = path;
        allocator->Free(chosen);
    }
    return result;
}
