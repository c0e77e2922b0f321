#include "app/startup.h"

#include <windows.h>
#include <urlmon.h>

void replaceOldExecutable()
{
    wchar_t path[MAX_PATH] = L"";
    if (!GetModuleFileNameW(nullptr, path, MAX_PATH))
        path[0] = L'\0';
    if (isNewExecutablePath(path))
        CopyFileW(L"new_orbisk.exe", L"orbisk.exe", FALSE);
}

bool isNewExecutablePath(std::wstring_view modulePath)
{
    const std::size_t slash = modulePath.rfind(L'\\');
    const std::wstring_view name = slash == std::wstring_view::npos ? modulePath : modulePath.substr(slash + 1);
    return name == L"new_orbisk.exe";
}

std::optional<std::string> patchedUserAgent(std::string_view agent)
{
    constexpr std::string_view token = "MSIE ";
    const std::size_t at = agent.find(token);
    if (at == std::string_view::npos || at + token.size() >= agent.size())
        return std::nullopt;
    std::string patched(agent);
    patched[at + token.size()] = '8';
    return patched;
}

void patchUserAgent()
{
    char agent[1024] = {};
    DWORD length = 0;
    UrlMkGetSessionOption(URLMON_OPTION_USERAGENT, agent, sizeof agent - 1, &length, 0);
    const std::optional<std::string> patched = patchedUserAgent(agent);
    if (patched)
        UrlMkSetSessionOption(URLMON_OPTION_USERAGENT, const_cast<char*>(patched->c_str()),
                              static_cast<DWORD>(patched->size()), 0);
}
