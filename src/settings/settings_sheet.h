// The four-page settings property sheet.
#pragma once
#include <functional>
#include <string>

class Settings;
struct HWND__;

// Runs the modal sheet owned by `owner` (the main window). The pages edit
// workingSettings(); when OK is pressed and anything differs from the values
// at opening, the current settings receive the working copy and are saved.
// `onServerCountChanged` runs after that when serverButtonCount changed, so
// the caller can rebuild the server bar. Returns true when changes were
// confirmed and written to "zelvara.cfg"; false after Cancel, after OK with
// nothing changed, or when the file could not be written (the changes then
// still hold in memory and go out with the next save).
bool showSettingsSheet(HWND__* owner, const std::function<void()>& onServerCountChanged = {});

// The copy the pages edit. Every opening of the sheet overwrites it whole;
// it keeps what the last sheet left in it until then.
Settings& workingSettings();

// Places a top-level window centred over its owner, or over the primary
// screen when it has none.
void centreOverOwner(HWND__* window);

// The folder picker, starting at `initialFolder`. Returns the chosen
// file-system folder, or `initialFolder` when none was chosen.
std::wstring browseForFolder(const std::wstring& title, const std::wstring& initialFolder, HWND__* owner);
