#include <gtest/gtest.h>

#include <cwctype>

#include "address/game_address.h"

namespace {

const std::wstring domain = gameDomain;
const std::wstring own7 = L"http://abc123." + domain + L"/battle-de.html#/server=RU7";
const std::wstring public7 = L"http://" + domain + L"/battle-de.html#/server=RU7";

}  // namespace

TEST(GameAddress, BuildsTheBattleAddressOfAServer)
{
    const GameAddress address(L"", L"abc123");
    EXPECT_EQ(address.subdomain(), L"abc123");
    EXPECT_EQ(address.siteHost(), L"abc123." + domain);
    EXPECT_EQ(address.battleServerUrl(7, "de"), own7);
    // Only the language changes between two calls.
    EXPECT_EQ(address.battleServerUrl(7, "ru"), L"http://abc123." + domain + L"/battle-ru.html#/server=RU7");
    EXPECT_EQ(address.battleServerUrl(-3, "en"), L"http://abc123." + domain + L"/battle-en.html#/server=RU-3");
}

TEST(GameAddress, CommandLineTailIsTheWholeSubdomain)
{
    const GameAddress address(L"two words", L"saved");
    EXPECT_EQ(address.subdomain(), L"two words");
    EXPECT_EQ(address.battleServerUrl(1, "en"), L"http://two words." + domain + L"/battle-en.html#/server=RU1");
    EXPECT_EQ(GameAddress(L"\"quoted\"", L"saved").subdomain(), L"\"quoted\"");
}

TEST(GameAddress, RecognisesBattleAddresses)
{
    EXPECT_TRUE(isBattleUrl(own7));
    EXPECT_TRUE(isBattleUrl(public7));
    EXPECT_FALSE(isBattleUrl(L"https://" + domain + L"/battle-en.html"));
    EXPECT_FALSE(isBattleUrl(L"HTTP://" + domain + L"/battle-en.html"));
    EXPECT_FALSE(isBattleUrl(L"http://x.html/" + domain + L"/battle-en.htm"));
    EXPECT_FALSE(isBattleUrl(L"http://" + domain + L"/index.html"));
    EXPECT_FALSE(isBattleUrl(L""));
    // The path twice: only the second follows the game's domain.
    const std::wstring twice = L"http://other.site/battle-" + domain + L"/battle-en.html#/server=RU3";
    EXPECT_TRUE(isBattleUrl(twice));
    EXPECT_EQ(withBattleLanguage(twice, "ru"), L"http://other.site/battle-" + domain + L"/battle-ru.html#/server=RU3");
}

TEST(GameAddress, ReadsTheServerNumberBack)
{
    EXPECT_EQ(battleServerNumber(GameAddress(L"", L"abc").battleServerUrl(12, "en")), 12);
    EXPECT_EQ(battleServerNumber(L"http://" + domain + L"/battle-en.html#/server=RU007x"), 7);
    // 0 and 9 at both edges of the number, and of the digits before it.
    EXPECT_EQ(battleServerNumber(L"http://" + domain + L"/battle-en.html#/server=RU9090"), 9090);
    EXPECT_EQ(battleServerNumber(L"http://" + domain + L"/battle-en.html#/server=RU09"), 9);
    // Part of a longer text: no digit past its end is read.
    const std::wstring longer = L"http://" + domain + L"/battle-en.html#/server=RU12";
    EXPECT_EQ(battleServerNumber(std::wstring_view(longer).substr(0, longer.size() - 1)), 1);
    EXPECT_EQ(battleServerNumber(L"http://" + domain + L"/index.html#/server=RU7"), 0) << "not a battle page";
    EXPECT_EQ(battleServerNumber(L"http://" + domain + L"/battle-en.html"), 0) << "no server=";
    EXPECT_EQ(battleServerNumber(L"http://" + domain + L"/battle-en.html#/server=RU"), 0) << "no digits";
    EXPECT_EQ(battleServerNumber(L"http://" + domain + L"/battle-en.html#/server=RU2147483647"), 2147483647);
    EXPECT_EQ(battleServerNumber(L"http://" + domain + L"/battle-en.html#/server=RU2147483648"), 0)
        << "too large for 32 bits names no server";
    EXPECT_EQ(battleServerNumber(L"http://" + domain + L"/battle-en.html#/server=RU99999999999999999999999"), 0);
}

TEST(GameAddress, SetsTheBattleLanguage)
{
    EXPECT_EQ(withBattleLanguage(L"http://" + domain + L"/battle-en.html#/server=RU3", "ru"),
              L"http://" + domain + L"/battle-ru.html#/server=RU3");
    EXPECT_EQ(withBattleLanguage(L"not an address", "ru"), L"not an address");
}

TEST(GameAddress, ConvertsBetweenOwnAndPublicForm)
{
    const GameAddress address(L"", L"abc123");
    EXPECT_EQ(address.withSubdomain(public7, "en"),
              L"http://abc123." + domain + L"/battle-en.html#/server=RU7");
    EXPECT_EQ(address.withSubdomain(own7, "en"), own7) << "an address with the label keeps its language";
    EXPECT_EQ(address.withoutSubdomain(own7, "ru"), L"http://" + domain + L"/battle-ru.html#/server=RU7");
    EXPECT_EQ(address.withoutSubdomain(public7, "ru"), public7) << "no label, nothing to remove";
    EXPECT_EQ(address.withoutSubdomain(L"some text abc123.", "ru"), L"some text abc123.");
    EXPECT_EQ(address.withSubdomain(address.withoutSubdomain(own7, "en"), "en"),
              L"http://abc123." + domain + L"/battle-en.html#/server=RU7");
}

TEST(GameAddress, LabelIsLookedForInTheHostOnly)
{
    // "en." also stands in "battle-en.html"; only the host counts.
    const GameAddress address(L"en", L"saved");
    const std::wstring publicEnglish = L"http://" + domain + L"/battle-en.html#/server=RU4";
    const std::wstring ownEnglish = L"http://en." + domain + L"/battle-en.html#/server=RU4";
    EXPECT_EQ(address.withSubdomain(publicEnglish, "en"), ownEnglish);
    EXPECT_EQ(address.withoutSubdomain(publicEnglish, "en"), publicEnglish) << "the path is never cut";
    EXPECT_EQ(address.withoutSubdomain(ownEnglish, "en"), publicEnglish);
}

TEST(GameAddress, ForeignHostsAreNeverOwnAddresses)
{
    const GameAddress address(L"", L"abc123");
    const std::wstring foreign = L"http://other.site/?u=" + domain + L"/battle-en.html#/server=RU3";
    EXPECT_TRUE(isBattleUrl(foreign)) << "the grammar alone would take it";
    EXPECT_EQ(address.withSubdomain(foreign, "en"), foreign);
    EXPECT_FALSE(address.isOwnBattleUrl(address.withSubdomain(foreign, "en")));
    const std::wstring labelled = L"http://abc123.other.site/" + domain + L"/battle-en.html";
    EXPECT_EQ(address.withoutSubdomain(labelled, "en"), labelled);
    EXPECT_TRUE(address.isOwnBattleUrl(address.withSubdomain(public7, "en")));
    EXPECT_TRUE(address.isOwnBattleUrl(own7));
}

TEST(GameAddress, HostsCompareWithoutRegardToCase)
{
    // The control reports hosts in lower case; a generated label mixes cases.
    const GameAddress address(L"", L"Ab12XyZ");
    auto lower = [](std::wstring text) {
        for (wchar_t& c : text)
            c = static_cast<wchar_t>(std::towlower(c));
        return text;
    };
    const std::wstring reported = lower(L"http://Ab12XyZ." + domain) + L"/battle-en.html#/server=RU7";
    const std::wstring publicForm = L"http://" + domain + L"/battle-en.html#/server=RU7";
    EXPECT_TRUE(address.isOwnBattleUrl(reported));
    EXPECT_EQ(address.withoutSubdomain(reported, "en"), publicForm);
    EXPECT_EQ(address.withSubdomain(publicForm, "en"), L"http://Ab12XyZ." + domain + L"/battle-en.html#/server=RU7")
        << "the label keeps its case";
    EXPECT_FALSE(address.isOwnBattleUrl(lower(L"http://Ab12XyZ." + domain) + L"/BATTLE-en.html#/server=RU7"))
        << "the path keeps its case";

    EXPECT_EQ(siteFrontPage(L"abc"), L"http://abc." + domain + L"/");
    EXPECT_TRUE(isSiteFrontPage(lower(L"http://Ab12XyZ." + domain + L"/"), L"Ab12XyZ"));
    EXPECT_FALSE(isSiteFrontPage(L"http://abc." + domain + L"/index.html", L"abc"));
    EXPECT_FALSE(isSiteFrontPage(L"http://other." + domain + L"/", L"abc"));
    // Hosts that agree on the shorter one's length are still different hosts.
    EXPECT_FALSE(isSiteFrontPage(L"http://abc." + domain + L"x/", L"abc"));
    EXPECT_FALSE(isSiteFrontPage(L"http://abc." + domain.substr(0, domain.size() - 1) + L"/", L"abc"));
}
