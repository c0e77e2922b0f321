#include "settings/settings.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

#include "base/constants.h"
#include "base/files.h"
#include "base/text.h"
#include "settings/settings_file.h"
#include "resource.h"

const SettingsDefaults& SettingsDefaults::system()
{
    // The string table and the desktop folder do not change while the
    // program runs, so they are read once.
    static const SettingsDefaults defaults = [] {
        SettingsDefaults d;
        for (wchar_t c : loadResourceString(IDS_LANGUAGE))
            d.battleLanguage.push_back(static_cast<char>(c));
        wchar_t folder[MAX_PATH] = L"";
        SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, folder);
        PathAddBackslashW(folder);
        PathAppendW(folder, loadResourceString(IDS_SCREENSHOT_FOLDER).c_str());
        d.screenshotFolder = folder;
        for (unsigned id = IDS_CHAT_FIRST; id <= IDS_CHAT_LAST; ++id)
            d.chatMessages.push_back({VK_F1 + (id - IDS_CHAT_FIRST), loadResourceString(id), id != IDS_CHAT_LAST});
        return d;
    }();
    return defaults;
}

Settings::Settings() : Settings(SettingsDefaults::system())
{
    siteSubdomain = loadOrCreateSiteSubdomain();
}

Settings* Settings::instance()
{
    static const std::unique_ptr<Settings> current = [] {
        auto settings = std::make_unique<Settings>();
        settings->load();
        return settings;
    }();
    return current.get();
}

void Settings::load()
{
    const FileContents file = readWholeFile(settingsFileName);
    if (file.status == FileContents::unreadable) {
        // The user's file is there but held or failing: the defaults must
        // not go over it, now or at exit.
        fileUnreadable_ = true;
        return;
    }
    fileUnreadable_ = false;
    // A missing or damaged file is written again whole, from what could be read.
    if (file.status == FileContents::missing || !parseSettingsFile(file.bytes, *this, fromOem))
        save();
}

bool Settings::save() const
{
    if (fileUnreadable_)
        return false;
    return replaceFileContents(settingsFileName, formatSettingsFile(*this, toOem));
}

std::wstring loadOrCreateSiteSubdomain()
{
    const FileContents file = readWholeFile(accountsFileName);
    if (file.status == FileContents::read) {
        std::wstring subdomain = parseAccountsFile(file.bytes, fromOem);
        if (!subdomain.empty())
            return subdomain;
    }
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    std::wstring subdomain = generateSubdomain([] { return std::rand(); });
    // A label that cannot be read is still the player's; a fresh one written
    // over it would move them to another storage. A failed write is not
    // reported either: the label then lives for this run only.
    if (file.status != FileContents::unreadable)
        replaceFileContents(accountsFileName, formatAccountsFile(subdomain, toOem));
    return subdomain;
}
