// Runs under a Russian locale (LANG=ru_RU.UTF-8): the OEM code page is 866.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/text.h"
#include "resource.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "test_support.h"

TEST(RussianSystem, UsesTheRussianTablesAndCodePage)
{
    EXPECT_EQ(GetOEMCP(), 866u);
    EXPECT_EQ(loadResourceString(IDS_LANGUAGE), L"ru");
}

TEST(RussianSystem, CyrillicSurvivesTheOemConversion)
{
    const std::wstring text = L"Прикрой центр, Ёжик!";
    const std::string oem = toOem(text);
    EXPECT_EQ(oem.size(), text.size());
    EXPECT_EQ(static_cast<unsigned char>(oem[0]), 0x8F) << "П in code page 866";
    EXPECT_EQ(fromOem(oem), text);
}

// Code page 866: the same glyphs below 0x20 and at 0x7F, Cyrillic above.
TEST(RussianSystem, EveryOemByteRoundTripsWithItsGlyph)
{
    std::string bytes;
    for (int b = 0x01; b <= 0xFF; ++b)
        bytes.push_back(static_cast<char>(b));
    const std::wstring wide = fromOem(bytes);
    ASSERT_EQ(wide.size(), bytes.size());
    EXPECT_EQ(wide[0x03 - 1], L'\u2665') << "♥";
    EXPECT_EQ(wide[0x7F - 1], L'\u2302') << "⌂";
    EXPECT_EQ(wide[0x8F - 1], L'П');
    EXPECT_EQ(toOem(wide), bytes);
}

TEST(RussianSystem, RussianDefaultsSurviveSaveAndLoad)
{
    ScratchDirectory dir;
    Settings saved;
    EXPECT_EQ(saved.battleLanguage, "ru");
    EXPECT_EQ(saved.chatMessages.front().text, L"База");
    saved.chatMessages.push_back({VK_F10, L"Всем удачи!", false});
    ASSERT_TRUE(saved.save());

    const std::string file = *readBytes("zelvara.cfg");
    EXPECT_NE(file.find("\r\n\x81\xA0\xA7\xA0\r\n"), std::string::npos) << "База written in code page 866";

    Settings loaded(SettingsDefaults{"en", L"", {}});
    loaded.load();
    EXPECT_FALSE(loaded.differsFrom(saved));
    EXPECT_EQ(loaded.chatMessages.back().text, L"Всем удачи!");
}
