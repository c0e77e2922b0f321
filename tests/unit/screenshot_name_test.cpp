#include <gtest/gtest.h>

#include <string>

#include "screenshot/screenshot_name.h"

TEST(ScreenshotName, FirstCopyIsStampAndFormat)
{
    EXPECT_EQ(screenshotFileName(L"06.12.2026 19-05-32.", L"jpeg", 1), L"06.12.2026 19-05-32.jpeg");
    EXPECT_EQ(screenshotFileName(L"2026-12-06 19-05-32.", L"png", 1), L"2026-12-06 19-05-32.png");
}

TEST(ScreenshotName, LaterCopiesNumberInFrontOfTheDot)
{
    EXPECT_EQ(screenshotFileName(L"06.12.2026 19-05-32.", L"jpeg", 2), L"06.12.2026 19-05-32 (2).jpeg");
    EXPECT_EQ(screenshotFileName(L"2026-12-06 19-05-32.", L"bmp", 3), L"2026-12-06 19-05-32 (3).bmp");
    EXPECT_EQ(screenshotFileName(L"06.12.2026 19-05-32.", L"png", 12), L"06.12.2026 19-05-32 (12).png");
}

TEST(ScreenshotName, AStampWithoutClosingDotGetsTheNumberBeforeTheFormat)
{
    // A hand-edited time picture may end without the dot; the dots inside
    // the date are never taken for the extension's.
    EXPECT_EQ(screenshotFileName(L"06.12.2026 19-05-32", L"jpeg", 1), L"06.12.2026 19-05-32jpeg");
    EXPECT_EQ(screenshotFileName(L"06.12.2026 19-05-32", L"jpeg", 2), L"06.12.2026 19-05-32 (2)jpeg");
    EXPECT_EQ(screenshotFileName(L"", L"png", 2), L" (2)png");
}

TEST(ScreenshotName, TheFolderTakesOneBackslashOnlyWithinThePathBuffer)
{
    EXPECT_EQ(screenshotFolderPrefix(L"C:\\Shots"), L"C:\\Shots\\");
    EXPECT_EQ(screenshotFolderPrefix(L"C:\\"), L"C:\\");
    EXPECT_EQ(screenshotFolderPrefix(L""), L"");
    EXPECT_EQ(screenshotFolderPrefix(std::wstring(258, L'a')), std::wstring(258, L'a') + L'\\');
    EXPECT_EQ(screenshotFolderPrefix(std::wstring(258, L'a') + L'\\'), std::wstring(258, L'a') + L'\\');
    // 259 characters leave room for the null alone, not for the backslash too.
    EXPECT_FALSE(screenshotFolderPrefix(std::wstring(259, L'a')));
    EXPECT_FALSE(screenshotFolderPrefix(std::wstring(400, L'a')));
}
