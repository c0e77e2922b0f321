#include "address/game_address.h"

#include <algorithm>
#include <limits>

#include "base/text.h"
#include "settings/settings.h"

const std::wstring battleBase = std::wstring(gameDomain) + L"/battle-";

namespace {

constexpr std::wstring_view scheme = L"http://";

std::string_view currentLanguage()
{
    return Settings::instance()->battleLanguage;
}

bool isDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

wchar_t foldAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Host names compare without regard to case (RFC 3986), and the platform's
// parser hands them back in lower case; paths and fragments keep theirs.
bool sameHostName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return foldAscii(x) == foldAscii(y); });
}

// The host of an address that starts with the scheme: up to the path,
// query or fragment.
std::wstring_view hostOf(std::wstring_view address)
{
    const std::wstring_view rest = address.substr(scheme.size());
    return rest.substr(0, rest.find_first_of(L"/?#"));
}

// What follows the host.
std::wstring_view afterHost(std::wstring_view address)
{
    return address.substr(scheme.size() + hostOf(address).size());
}

constexpr std::wstring_view battlePath = L"/battle-";

// The first place where the game's domain, in any case, is followed by the
// battle pages' path.
std::size_t findBattleBase(std::wstring_view address)
{
    const std::wstring_view domain = gameDomain;
    for (std::size_t p = address.find(battlePath, domain.size()); p != std::wstring_view::npos;
         p = address.find(battlePath, p + 1))
        if (sameHostName(address.substr(p - domain.size(), domain.size()), domain))
            return p - domain.size();
    return std::wstring_view::npos;
}

// An address on the given host whose path is a battle page's.
bool isBattleUrlOn(std::wstring_view address, std::wstring_view host)
{
    return isBattleUrl(address) && sameHostName(hostOf(address), host) && afterHost(address).starts_with(battlePath);
}

}  // namespace

GameAddress::GameAddress(std::wstring_view commandLineTail)
    : GameAddress(commandLineTail, commandLineTail.empty() ? std::wstring_view(Settings::instance()->siteSubdomain)
                                                           : std::wstring_view())
{
}

GameAddress::GameAddress(std::wstring_view commandLineTail, std::wstring_view savedSubdomain)
    : serverFragment_(L".html#/server="),
      subdomain_(commandLineTail.empty() ? savedSubdomain : commandLineTail),
      subdomainLabel_(subdomain_ + L"."),
      siteHost_(subdomainLabel_ + gameDomain)
{
    battlePageStart_ = std::wstring(scheme) + subdomainLabel_ + battleBase;
}

std::wstring GameAddress::battleServerUrl(std::int32_t server) const
{
    return battleServerUrl(server, currentLanguage());
}

std::wstring GameAddress::battleServerUrl(std::int32_t server, std::string_view language) const
{
    return battlePageStart_ + widen(language) + serverFragment_ + L"RU" + std::to_wstring(server);
}

std::wstring GameAddress::withSubdomain(std::wstring_view address) const
{
    return withSubdomain(address, currentLanguage());
}

std::wstring GameAddress::withSubdomain(std::wstring_view address, std::string_view language) const
{
    if (!isBattleUrlOn(address, gameDomain))
        return std::wstring(address);
    std::wstring own(address);
    own.insert(scheme.size(), subdomainLabel_);
    return withBattleLanguage(own, language);
}

std::wstring GameAddress::withoutSubdomain(std::wstring_view address) const
{
    return withoutSubdomain(address, currentLanguage());
}

std::wstring GameAddress::withoutSubdomain(std::wstring_view address, std::string_view language) const
{
    if (!isOwnBattleUrl(address))
        return std::wstring(address);
    std::wstring publicForm(address);
    publicForm.erase(scheme.size(), subdomainLabel_.size());
    return withBattleLanguage(publicForm, language);
}

bool GameAddress::isOwnBattleUrl(std::wstring_view address) const
{
    return isBattleUrlOn(address, siteHost_);
}

bool isBattleUrl(std::wstring_view address)
{
    if (!address.starts_with(scheme))
        return false;
    const std::size_t base = findBattleBase(address);
    return base != std::wstring_view::npos && address.find(L".html", base) != std::wstring_view::npos;
}

std::int32_t battleServerNumber(std::wstring_view address)
{
    if (!isBattleUrl(address))
        return 0;
    const std::size_t server = address.find(L"server=");
    if (server == std::wstring_view::npos)
        return 0;
    std::size_t p = server;
    while (p < address.size() && !isDigit(address[p]))
        ++p;
    std::int64_t value = 0;
    for (; p < address.size() && isDigit(address[p]); ++p) {
        value = value * 10 + (address[p] - L'0');
        // A number no 32-bit integer holds names no server.
        if (value > std::numeric_limits<std::int32_t>::max())
            return 0;
    }
    return static_cast<std::int32_t>(value);
}

std::wstring withBattleLanguage(std::wstring_view address)
{
    return withBattleLanguage(address, currentLanguage());
}

std::wstring withBattleLanguage(std::wstring_view address, std::string_view language)
{
    if (!isBattleUrl(address))
        return std::wstring(address);
    std::wstring result(address);
    const std::wstring code = widen(language);
    result.replace(findBattleBase(address) + battleBase.size(), code.size(), code);
    return result;
}

std::wstring siteFrontPage(std::wstring_view subdomain)
{
    return std::wstring(scheme) + std::wstring(subdomain) + L"." + gameDomain + L"/";
}

bool isSiteFrontPage(std::wstring_view address, std::wstring_view subdomain)
{
    const std::wstring front = siteFrontPage(subdomain);
    return address.starts_with(scheme) && sameHostName(hostOf(address), hostOf(front)) &&
           afterHost(address) == L"/";
}
