// The text layout of "zelvara.cfg" and "accounts.cfg", free of any file or
// code-page handling: the OEM conversion is passed in.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "settings/settings.h"

using OemEncoder = std::function<std::string(std::wstring_view)>;
using OemDecoder = std::function<std::wstring(std::string_view)>;

// The whole file, every line ended by CR LF.
std::string formatSettingsFile(const Settings& settings, const OemEncoder& toOem);

// Reads as much of the file into `settings` as can be read; fields after the
// first failure keep their values. Returns false when any read failed.
bool parseSettingsFile(std::string_view file, Settings& settings, const OemDecoder& fromOem);

// "accounts.cfg": one text line. Empty when there is none.
std::string formatAccountsFile(std::wstring_view subdomain, const OemEncoder& toOem);
std::wstring parseAccountsFile(std::string_view file, const OemDecoder& fromOem);

// A fresh sub-domain label of 7 to 11 digits and Latin letters, drawn from
// `next`, which returns the generator's next non-negative number.
std::wstring generateSubdomain(const std::function<int()>& next);
