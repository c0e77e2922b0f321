// The start-up steps that touch the world outside the main window.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings.h"

// Running as "new_orbisk.exe" copies that file over "orbisk.exe" in the
// current directory.
void replaceOldExecutable();
bool isNewExecutablePath(std::wstring_view modulePath);

// Makes every web request of the process announce MSIE 8.
void patchUserAgent();
// The agent with the one character after the first "MSIE " set to '8';
// nothing when there is no "MSIE ".
std::optional<std::string> patchedUserAgent(std::string_view agent);
