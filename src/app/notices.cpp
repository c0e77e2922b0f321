#include "app/notices.h"

#include <windows.h>
#include <mmsystem.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "base/constants.h"
#include "base/text.h"
#include "base/win_handles.h"
#include "resource.h"

void showBattleLoadedNotice(HWND mainWindow)
{
    if (GetForegroundWindow() == mainWindow)
        return;
    PlaySoundW(MAKEINTRESOURCEW(IDR_SAVED_SOUND), nullptr, SND_RESOURCE | SND_LOOP | SND_ASYNC);
    MessageBoxW(mainWindow, loadResourceString(IDS_BATTLE_LOADED).c_str(), productName,
                MB_ICONINFORMATION | MB_SYSTEMMODAL | MB_TOPMOST);
    PlaySoundW(nullptr, nullptr, 0);
}

std::optional<std::wstring> flashSharedObjectsFolder()
{
    wchar_t appData[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return std::nullopt;
    return flashSharedObjectsFolder(appData);
}

std::optional<std::wstring> flashSharedObjectsFolder(const std::wstring& appData)
{
    wchar_t path[MAX_PATH] = L"";
    if (appData.size() >= MAX_PATH)
        return std::nullopt;
    appData.copy(path, appData.size());
    if (!PathAppendW(path, L"Macromedia\\Flash Player\\#SharedObjects\\"))
        return std::nullopt;
    wchar_t pattern[MAX_PATH];
    lstrcpynW(pattern, path, MAX_PATH);
    if (!PathAppendW(pattern, L"*"))
        return std::nullopt;
    WIN32_FIND_DATAW entry;
    const HANDLE first = FindFirstFileW(pattern, &entry);
    if (first == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const UniqueFind search(first);
    do {
        // The generated name is never "." or ".."; files and folders alike count.
        const wchar_t* name = entry.cFileName;
        if (lstrlenW(name) >= 3 && name[0] != L'.' && name[1] != L'.') {
            if (!PathAppendW(path, name) || !PathAddBackslashW(path))
                return std::nullopt;
            return std::wstring(path);
        }
    } while (FindNextFileW(search.get(), &entry));
    return std::nullopt;
}

namespace {

bool holdsEntry(const std::optional<std::wstring>& folder, const std::wstring& siteHost)
{
    return folder && PathFileExistsW((*folder + siteHost).c_str());
}

}  // namespace

bool hasFlashSharedObjects(const std::wstring& siteHost)
{
    return holdsEntry(flashSharedObjectsFolder(), siteHost);
}

bool hasFlashSharedObjects(const std::wstring& siteHost, const std::wstring& appData)
{
    return holdsEntry(flashSharedObjectsFolder(appData), siteHost);
}
