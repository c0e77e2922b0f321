#include <gtest/gtest.h>

#include <windows.h>

#include "base/text.h"
#include "resource.h"

TEST(Text, WidenKeepsSevenBitText)
{
    EXPECT_EQ(widen("4.11.2014"), L"4.11.2014");
    EXPECT_EQ(widen(""), L"");
}

TEST(Text, ResourceStringsComeFromTheUserLanguageTable)
{
    EXPECT_EQ(loadResourceString(IDS_LANGUAGE), L"en");
    EXPECT_EQ(loadResourceString(IDS_GET_URL), L"Get Url");
    EXPECT_EQ(loadResourceString(IDS_DESCRIPTION).find(L'\n') != std::wstring::npos, true) << "two lines";
    EXPECT_EQ(loadResourceString(12345), L"") << "a missing string is empty";
}

TEST(Text, LongResourceStringIsCutTo255Characters)
{
    const std::wstring text = loadResourceString(900);  // 300 characters in the test resources
    ASSERT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 12), L"012345678901");
}

TEST(Text, OemConversionRoundTripsAndKeepsLength)
{
    const std::wstring text = L"C:\\Users\\Player\\Zelvara Screenshots";
    const std::string oem = toOem(text);
    EXPECT_EQ(oem.size(), text.size());
    EXPECT_EQ(fromOem(oem), text);
    EXPECT_EQ(toOem(L""), "");
}

// Code page 437: every byte reads back as one character, the low ones and
// 0x7F as the glyphs a chat macro of an earlier build was saved with, and
// writes back as itself.
TEST(Text, EveryOemByteRoundTripsWithItsGlyph)
{
    ASSERT_EQ(GetOEMCP(), 437u);
    std::string bytes;
    for (int b = 0x01; b <= 0xFF; ++b)
        bytes.push_back(static_cast<char>(b));
    const std::wstring wide = fromOem(bytes);
    ASSERT_EQ(wide.size(), bytes.size());
    EXPECT_EQ(wide.substr(0, 3), L"\u263A\u263B\u2665") << "☺☻♥";
    EXPECT_EQ(wide[0x09 - 1], L'\u25CB') << "○";
    EXPECT_EQ(wide[0x10 - 1], L'\u25BA') << "►";
    EXPECT_EQ(wide[0x7F - 1], L'\u2302') << "⌂";
    EXPECT_EQ(wide[0x80 - 1], L'\u00C7') << "Ç";
    EXPECT_EQ(toOem(wide), bytes);
}
