// How the program calls the user back, and the probe of the Flash player's
// stored data that decides whether "Open Url" starts enabled.
#pragma once
#include <optional>
#include <string>

struct HWND__;

// A looping sound and a topmost box, unless the main window is in front.
void showBattleLoadedNotice(HWND__* mainWindow);

// The first generated sub-folder of the player's "#SharedObjects" folder
// under the given roaming application-data folder (default: the user's).
std::optional<std::wstring> flashSharedObjectsFolder();
std::optional<std::wstring> flashSharedObjectsFolder(const std::wstring& appData);

// Whether the player has stored data for the program's site host.
bool hasFlashSharedObjects(const std::wstring& siteHost);
bool hasFlashSharedObjects(const std::wstring& siteHost, const std::wstring& appData);
