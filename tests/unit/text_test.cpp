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
