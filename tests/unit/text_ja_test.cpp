// Runs under a Japanese locale (LANG=ja_JP.UTF-8): the OEM code page is 932,
// two bytes for most characters.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/text.h"
#include "settings/settings.h"
#include "test_support.h"

TEST(JapaneseSystem, TwoByteTextSurvivesTheConversionAndTheSettingsFile)
{
    ASSERT_EQ(GetOEMCP(), 932u);
    const std::wstring folder = L"C:\\ユーザー\\デスクトップ\\Zelvara Screenshots";
    const std::string oem = toOem(folder);
    EXPECT_EQ(oem.size(), folder.size() + 10) << "two bytes for each of the ten kana";
    EXPECT_EQ(fromOem(oem), folder);

    ScratchDirectory dir;
    Settings saved(SettingsDefaults{"en", folder, {{VK_F1, L"左へ", true}}});
    ASSERT_TRUE(saved.save());
    Settings loaded(SettingsDefaults{"en", L"", {}});
    loaded.load();
    EXPECT_EQ(loaded.screenshotFolder, folder);
    ASSERT_EQ(loaded.chatMessages.size(), 1u);
    EXPECT_EQ(loaded.chatMessages[0].text, L"左へ");
}
