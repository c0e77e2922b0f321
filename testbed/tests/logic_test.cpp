// The stand-ins' pure pieces: address handling, page markup, the player's
// load condition and the HTTP exchange.
#include <gtest/gtest.h>

#include "HttpGet.h"
#include "LoadCondition.h"
#include "PageMarkup.h"
#include "PlayerLog.h"
#include "Url.h"

TEST(Url, SplitsTheCanonicalAddress) {
    Url u = Url::parse(L"http://Ab12XyZ.Game.Example/battle-en.html#/server=RU7");
    ASSERT_TRUE(u.valid);
    EXPECT_EQ(u.scheme, L"http");
    EXPECT_EQ(u.hostPort, L"ab12xyz.game.example");
    EXPECT_EQ(u.path, L"/battle-en.html");
    EXPECT_EQ(u.fragment, L"/server=RU7");
    EXPECT_EQ(u.text(), L"http://ab12xyz.game.example/battle-en.html#/server=RU7");

    Url p = Url::parse(L"HTTP://Host.Example:8080?x=1");
    EXPECT_EQ(p.scheme, L"http");
    EXPECT_EQ(p.hostPort, L"host.example:8080");
    EXPECT_EQ(p.path, L"/?x=1");
    EXPECT_FALSE(p.hasFragment);
    EXPECT_EQ(Url::parse(L"http://host.example:80/").hostPort, L"host.example");
}

TEST(Url, RejectsAddressesWithoutSchemeOrHost) {
    EXPECT_FALSE(Url::parse(L"about:blank").valid);
    EXPECT_FALSE(Url::parse(L"http:///path").valid);
    EXPECT_FALSE(Url::parse(L"").valid);
    EXPECT_EQ(canonicalAddress(L"not an address"), L"not an address");
}

TEST(Url, ResolvesLinksAgainstThePage) {
    Url base = Url::parse(L"http://a.example:81/dir/page.html?q=1#frag");
    EXPECT_EQ(base.resolve(L"/").text(), L"http://a.example:81/");
    EXPECT_EQ(base.resolve(L"other.html").text(), L"http://a.example:81/dir/other.html");
    EXPECT_EQ(base.resolve(L"http://B.example/x").text(), L"http://b.example/x");
}

TEST(PageMarkup, FindsPlayerEmbedsInDocumentOrder) {
    auto page = PageMarkup::parse(
        "<html><body><EMBED type='application/x-testbed-player' width=1 height=\"1\">"
        "<embed type=\"application/x-other\" width=\"50\" height=\"50\">"
        "<embed type=\"application/x-testbed-player\" width=\"100%\" height=\"50%\" clicks=\"7\" delay=\"250\"/>"
        "</body></html>");
    ASSERT_EQ(page.embeds.size(), 2u);
    EXPECT_FALSE(page.embeds[0].width.percent);
    EXPECT_EQ(page.embeds[0].width.resolve(1000), 1);
    EXPECT_EQ(page.embeds[0].height.resolve(600), 1);
    EXPECT_EQ(page.embeds[0].clicks, 0);
    EXPECT_EQ(page.embeds[1].width.resolve(1000), 1000);
    EXPECT_EQ(page.embeds[1].height.resolve(600), 300);
    EXPECT_EQ(page.embeds[1].clicks, 7);
    EXPECT_EQ(page.embeds[1].delayMs, 250);
    EXPECT_FALSE(page.refresh);
}

TEST(PageMarkup, ReadsMetaRefresh) {
    auto page = PageMarkup::parse("<head><meta http-equiv=\"Refresh\" content=\"2;URL=/\"></head>");
    ASSERT_TRUE(page.refresh);
    EXPECT_EQ(page.refresh->seconds, 2);
    EXPECT_EQ(page.refresh->url, L"/");
    EXPECT_FALSE(PageMarkup::parse("<meta name=\"refresh\" content=\"1\">").refresh);
    EXPECT_TRUE(PageMarkup::parse("<p>plain text, no tags closed <b").embeds.empty());
}

TEST(LoadCondition, CountsOnlyClicksNearEitherTarget) {
    LoadCondition c(2, 0);
    c.resize(1000, 600);
    EXPECT_EQ(c.targetX(0), 746);  // 2 * (1000 / 3) + 80
    EXPECT_EQ(c.targetX(1), 920);
    EXPECT_EQ(c.targetY(), 560);
    EXPECT_FALSE(c.click(500, 300));
    EXPECT_FALSE(c.click(746 + 11, 560));
    EXPECT_FALSE(c.met(0));
    EXPECT_TRUE(c.click(746 - 10, 560 + 10));
    EXPECT_TRUE(c.click(920, 550));
    EXPECT_TRUE(c.met(0));
}

TEST(LoadCondition, WaitsForDelayAndClicksTogether) {
    LoadCondition c(1, 500);
    c.resize(900, 500);
    EXPECT_FALSE(c.met(10000));
    c.click(820, 460);
    EXPECT_FALSE(c.met(499));
    EXPECT_TRUE(c.met(500));
    EXPECT_TRUE(LoadCondition(0, 0).met(0));
}

TEST(HttpGet, RequestsThePathWithTheHostAsWritten) {
    EXPECT_EQ(HttpGet::request("abc.game.example:8080", "/battle-en.html?x=1", "UA/1"),
              "GET /battle-en.html?x=1 HTTP/1.0\r\nHost: abc.game.example:8080\r\nUser-Agent: UA/1\r\n"
              "Accept: */*\r\nConnection: close\r\n\r\n");
}

TEST(HttpGet, ParsesStatusAndBody) {
    auto ok = HttpGet::parseResponse("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html>x</html>");
    EXPECT_EQ(ok.error, 0);
    EXPECT_EQ(ok.status, 200);
    EXPECT_EQ(ok.body, "<html>x</html>");
    auto missing = HttpGet::parseResponse("HTTP/1.1 404 Not Found\r\n\r\n");
    EXPECT_EQ(missing.status, 404);
    EXPECT_TRUE(missing.body.empty());
    EXPECT_NE(HttpGet::parseResponse("garbage").error, 0);
    auto moved = HttpGet::parseResponse("HTTP/1.0 302 Found\r\nlocation:  http://a.example/x \r\nServer: s\r\n\r\n");
    EXPECT_EQ(moved.status, 302);
    EXPECT_EQ(moved.location, "http://a.example/x") << "any case of the name, blanks trimmed";
    EXPECT_TRUE(ok.location.empty());
}

TEST(PlayerLog, QuotesTextAsJsonUtf8) {
    EXPECT_EQ(PlayerLog::quote(L"a\"b\\c\n"), "\"a\\\"b\\\\c\\u000a\"");
    EXPECT_EQ(PlayerLog::quote(L"\x041f\x0440\x0438"), "\"\xd0\x9f\xd1\x80\xd0\xb8\"");
    EXPECT_STREQ(PlayerLog::messageName(WM_KEYDOWN), "WM_KEYDOWN");
    EXPECT_EQ(PlayerLog::messageName(WM_PAINT), nullptr);
}
