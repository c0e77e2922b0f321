#include "settings/settings.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdlib>
#include <ctime>
#include <memory>

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

Settings::Settings(const SettingsDefaults& defaults)
    : battleLanguage(defaults.battleLanguage),
      screenshotFolder(defaults.screenshotFolder),
      dateFormat(defaultDateFormat),
      timeFormat(defaultTimeFormat),
      imageFormat(defaultImageFormat),
      chatMessages(defaults.chatMessages)
{
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
    const std::optional<std::string> file = readWholeFile(settingsFileName);
    // A missing or damaged file is written again whole, from what could be read.
    if (!file || !parseSettingsFile(*file, *this, fromOem))
        save();
}

bool Settings::save() const
{
    return replaceFileContents(settingsFileName, formatSettingsFile(*this, toOem));
}

void Settings::storeWindowRect(HWND window)
{
    RECT rect;
    if (GetWindowRect(window, &rect))
        windowRect = {rect.left, rect.top, rect.right, rect.bottom};
}

bool Settings::differsFrom(const Settings& o) const
{
    return clicksPeriod != o.clicksPeriod || battleLanguage != o.battleLanguage ||
           screenshotFolder != o.screenshotFolder || dateFormat != o.dateFormat || timeFormat != o.timeFormat ||
           imageFormat != o.imageFormat || jpegQuality != o.jpegQuality || beepOnSave != o.beepOnSave ||
           chatMessages != o.chatMessages || screenshotKey != o.screenshotKey ||
           serverButtonCount != o.serverButtonCount;
}

std::wstring loadOrCreateSiteSubdomain()
{
    if (const std::optional<std::string> file = readWholeFile(accountsFileName)) {
        std::wstring subdomain = parseAccountsFile(*file, fromOem);
        if (!subdomain.empty())
            return subdomain;
    }
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    std::wstring subdomain = generateSubdomain([] { return std::rand(); });
    // A failed write is not reported: the label then lives for this run only.
    replaceFileContents(accountsFileName, formatAccountsFile(subdomain, toOem));
    return subdomain;
}
