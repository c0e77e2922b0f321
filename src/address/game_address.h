// The game site's addresses: the program's own sub-domain, battle page
// addresses built from a server number and read back, and the rewriting
// between the program's own form and the public form without the label.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The game site's domain, fixed when the program is built.
inline constexpr wchar_t gameDomain[] = L"" ZELVARA_GAME_DOMAIN;

// gameDomain + "/battle-"
extern const std::wstring battleBase;

class GameAddress {
public:
    // The command-line tail is the sub-domain; an empty tail takes the one
    // kept in the settings.
    explicit GameAddress(std::wstring_view commandLineTail);
    GameAddress(std::wstring_view commandLineTail, std::wstring_view savedSubdomain);

    std::wstring battleServerUrl(std::int32_t server) const;
    std::wstring battleServerUrl(std::int32_t server, std::string_view language) const;
    std::wstring siteHost() const { return siteHost_; }
    const std::wstring& subdomain() const { return subdomain_; }

    // The label goes in and out of the host only: an address whose host is
    // neither the bare domain nor the program's own passes unchanged. Hosts
    // compare without regard to case; the label keeps the case it was given.
    std::wstring withSubdomain(std::wstring_view address) const;
    std::wstring withSubdomain(std::wstring_view address, std::string_view language) const;
    std::wstring withoutSubdomain(std::wstring_view address) const;
    std::wstring withoutSubdomain(std::wstring_view address, std::string_view language) const;

    // A battle address on the program's own host.
    bool isOwnBattleUrl(std::wstring_view address) const;

private:
    std::wstring battlePageStart_;
    std::wstring serverFragment_;
    std::wstring subdomain_;
    std::wstring subdomainLabel_;
    std::wstring siteHost_;
};

bool isBattleUrl(std::wstring_view address);

// The server number of a battle page address; 0 when the address is none or
// its number does not fit 32 bits.
std::int32_t battleServerNumber(std::wstring_view address);

std::wstring withBattleLanguage(std::wstring_view address);
std::wstring withBattleLanguage(std::wstring_view address, std::string_view language);

// "http://" + sub-domain + "." + gameDomain + "/": the site's front page.
std::wstring siteFrontPage(std::wstring_view subdomain);

// The front page of that sub-domain, its host written in any case.
bool isSiteFrontPage(std::wstring_view address, std::wstring_view subdomain);
