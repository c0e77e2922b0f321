#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "app/notices.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

fs::path sharedObjects(const fs::path& appData)
{
    return appData / "Macromedia" / "Flash Player" / "#SharedObjects";
}

}  // namespace

TEST(FlashStorage, FindsTheHostEntryInTheFirstGeneratedFolder)
{
    ScratchDirectory appData;
    const std::wstring root = appData.path().wstring();
    EXPECT_FALSE(flashSharedObjectsFolder(root)) << "no player folder at all";

    fs::create_directories(sharedObjects(appData.path()));
    EXPECT_FALSE(flashSharedObjectsFolder(root)) << "only . and ..";
    EXPECT_FALSE(hasFlashSharedObjects(L"abc.game.example", root));

    fs::create_directories(sharedObjects(appData.path()) / "ab");  // too short to be a generated name
    EXPECT_FALSE(flashSharedObjectsFolder(root));

    fs::create_directories(sharedObjects(appData.path()) / "K7TQ2ZP9");
    const std::optional<std::wstring> folder = flashSharedObjectsFolder(root);
    ASSERT_TRUE(folder);
    EXPECT_EQ(fs::path(*folder), sharedObjects(appData.path()) / "K7TQ2ZP9" / "");
    EXPECT_FALSE(hasFlashSharedObjects(L"abc.game.example", root));

    fs::create_directories(sharedObjects(appData.path()) / "K7TQ2ZP9" / "abc.game.example");
    EXPECT_TRUE(hasFlashSharedObjects(L"abc.game.example", root));
    EXPECT_FALSE(hasFlashSharedObjects(L"other.game.example", root));
}

TEST(FlashStorage, TheUsersOwnFolderHasNoPlayerData)
{
    EXPECT_FALSE(hasFlashSharedObjects(L"abc.game.example"));
}

TEST(BattleLoadedNotice, StaysQuietWhileTheMainWindowIsInFront)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    SetForegroundWindow(window);
    ASSERT_EQ(GetForegroundWindow(), window);
    // A box would block this call; the test's time limit would catch it.
    showBattleLoadedNotice(window);
    DestroyWindow(window);
}
