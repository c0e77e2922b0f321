// Chat macros: the keystrokes of a macro as values, the table built from the
// messages, and the posting to a window of this thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "input/chat_macros.h"
#include "settings/settings.h"

namespace {

constexpr ChatKeyParams params = {0x00140000u, 0x80140000u, 0x001C0000u, 0x801C0000u};

ChatKeystroke down(std::uint32_t key, std::uint32_t lParam)
{
    return {WM_KEYDOWN, key, lParam};
}
ChatKeystroke up(std::uint32_t key, std::uint32_t lParam)
{
    return {WM_KEYUP, key, lParam};
}
ChatKeystroke character(wchar_t unit)
{
    return {WM_CHAR, static_cast<std::uint16_t>(unit), 0};
}

TEST(ChatKeyParams, HoldTheScanCodeAndForKeyUpsTheTransitionBitOnly)
{
    const ChatKeyParams made = makeChatKeyParams(0x14, 0x1C);
    EXPECT_EQ(made.teamKeyDownParam, 0x00140000u);
    EXPECT_EQ(made.teamKeyUpParam, 0x80140000u);
    EXPECT_EQ(made.enterKeyDownParam, 0x001C0000u);
    EXPECT_EQ(made.enterKeyUpParam, 0x801C0000u);

    // Taken from the layout at process start.
    const ChatKeyParams layout =
        makeChatKeyParams(MapVirtualKeyW('T', MAPVK_VK_TO_VSC), MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC));
    EXPECT_EQ(chatKeyParams.teamKeyDownParam, layout.teamKeyDownParam);
    EXPECT_EQ(chatKeyParams.teamKeyUpParam, layout.teamKeyUpParam);
    EXPECT_EQ(chatKeyParams.enterKeyDownParam, layout.enterKeyDownParam);
    EXPECT_EQ(chatKeyParams.enterKeyUpParam, layout.enterKeyUpParam);
    EXPECT_NE(chatKeyParams.teamKeyDownParam, 0u) << "no scan code for 'T'";
    EXPECT_NE(chatKeyParams.enterKeyDownParam, 0u) << "no scan code for Enter";
}

TEST(ChatMacroKeystrokes, TeamMessageOpensWithTAndSendsWithEnter)
{
    const std::vector<ChatKeystroke> expected = {
        down('T', params.teamKeyDownParam),       up('T', params.teamKeyUpParam),
        character(L'B'),                          character(L'a'),
        character(L's'),                          character(L'e'),
        down(VK_RETURN, params.enterKeyDownParam), up(VK_RETURN, params.enterKeyUpParam),
    };
    EXPECT_EQ(chatMacroKeystrokes(L"Base", true, params), expected);
}

TEST(ChatMacroKeystrokes, AllPlayersMessageOpensWithEnter)
{
    const std::wstring text = L"It is not drugs!";
    const std::vector<ChatKeystroke> keystrokes = chatMacroKeystrokes(text, false, params);
    ASSERT_EQ(keystrokes.size(), 20u);
    EXPECT_EQ(keystrokes[0], down(VK_RETURN, params.enterKeyDownParam));
    EXPECT_EQ(keystrokes[1], up(VK_RETURN, params.enterKeyUpParam));
    for (std::size_t i = 0; i < text.size(); ++i)
        EXPECT_EQ(keystrokes[2 + i], character(text[i])) << i;
    EXPECT_EQ(keystrokes[18], down(VK_RETURN, params.enterKeyDownParam));
    EXPECT_EQ(keystrokes[19], up(VK_RETURN, params.enterKeyUpParam));
    for (const ChatKeystroke& k : keystrokes)
        EXPECT_FALSE(k.message != WM_CHAR && k.wParam == 'T');
}

TEST(ChatMacroKeystrokes, EmptyTextAndCharactersBeyondTheBmp)
{
    EXPECT_EQ(chatMacroKeystrokes(L"", true, params),
              (std::vector<ChatKeystroke>{down('T', params.teamKeyDownParam), up('T', params.teamKeyUpParam),
                                          down(VK_RETURN, params.enterKeyDownParam),
                                          up(VK_RETURN, params.enterKeyUpParam)}));

    // U+1F600 as its surrogate pair, high first; the code unit is never
    // sign-extended into wParam.
    const std::vector<ChatKeystroke> keystrokes = chatMacroKeystrokes(L"a\xD83D\xDE00", false, params);
    ASSERT_EQ(keystrokes.size(), 7u);
    EXPECT_EQ(keystrokes[2], character(L'a'));
    EXPECT_EQ(keystrokes[3].wParam, 0xD83Du);
    EXPECT_EQ(keystrokes[4].wParam, 0xDE00u);
    EXPECT_EQ(keystrokes[4], character(L'\xDE00'));
}

TEST(ChatMacrosTable, LaterMessageForAKeyWinsAndOnlyTheLow16BitsCount)
{
    const std::vector<ChatMessage> messages = {
        {VK_F1, L"first", true},
        {VK_F2, L"two", false},
        {VK_F1, L"second", false},
        {0x10000 + VK_F3, L"high bits", true},
    };
    const ChatMacros table(nullptr, messages);
    ASSERT_NE(table.find(VK_F1), nullptr);
    EXPECT_EQ(table.find(VK_F1)->text, L"second");
    EXPECT_FALSE(table.find(VK_F1)->team);
    ASSERT_NE(table.find(VK_F3), nullptr);
    EXPECT_EQ(table.find(VK_F3)->text, L"high bits");
    EXPECT_EQ(table.find(0x20000 + VK_F2)->text, L"two");
    EXPECT_EQ(table.find(VK_F4), nullptr);
}

TEST(ChatMacrosTable, DefaultMessagesOpenTheRightChat)
{
    const ChatMacros table(nullptr, SettingsDefaults::system().chatMessages);
    ASSERT_NE(table.find(VK_F1), nullptr);
    EXPECT_EQ(table.find(VK_F1)->text, L"Base");
    EXPECT_TRUE(table.find(VK_F1)->team);
    ASSERT_NE(table.find(VK_F10), nullptr);
    EXPECT_EQ(table.find(VK_F10)->text, L"It is not drugs!");
    EXPECT_FALSE(table.find(VK_F10)->team);
}

struct Queued {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Takes every message queued for the window, in order, without dispatching.
std::vector<Queued> takeQueued(HWND window)
{
    std::vector<Queued> queued;
    MSG m;
    while (PeekMessageW(&m, window, 0, 0, PM_REMOVE))
        queued.push_back({m.message, m.wParam, m.lParam});
    return queued;
}

class ChatMacrosSending : public testing::Test {
protected:
    void SetUp() override
    {
        target_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(target_, nullptr);
        takeQueued(target_);
    }
    void TearDown() override
    {
        ChatMacros::current.store(nullptr);
        DestroyWindow(target_);
    }
    HWND target_ = nullptr;
};

TEST_F(ChatMacrosSending, PostsTheSequenceToTheTargetOfTheCurrentTable)
{
    EXPECT_FALSE(sendChatMacro(VK_F1)) << "no table";

    ChatMacros::current.store(std::make_shared<ChatMacros>(
        target_, std::vector<ChatMessage>{{VK_F1, L"Go\xD83D\xDE00", true}, {VK_F2, L"", false}}));
    EXPECT_FALSE(sendChatMacro(VK_F5));
    EXPECT_TRUE(takeQueued(target_).empty()) << "a key without a macro posts nothing";

    ASSERT_TRUE(sendChatMacro(VK_F1));
    const std::vector<ChatKeystroke> expected = chatMacroKeystrokes(L"Go\xD83D\xDE00", true, chatKeyParams);
    const std::vector<Queued> queued = takeQueued(target_);
    ASSERT_EQ(queued.size(), expected.size());
    for (std::size_t i = 0; i < queued.size(); ++i) {
        EXPECT_EQ(queued[i].message, expected[i].message) << i;
        EXPECT_EQ(queued[i].wParam, expected[i].wParam) << i;
        // As the system packs it: the upper half of a 64-bit lParam stays clear.
        EXPECT_EQ(static_cast<ULONG_PTR>(queued[i].lParam), ULONG_PTR{expected[i].lParam}) << i;
    }

    ASSERT_TRUE(sendChatMacro(VK_F2));
    EXPECT_EQ(takeQueued(target_).size(), 4u);
}

// The table in use is the one bound at the time; a replacement does not
// disturb a reader that still holds the old one.
TEST_F(ChatMacrosSending, AReplacedTableStaysUsableWhileHeld)
{
    ChatMacros::current.store(
        std::make_shared<ChatMacros>(target_, std::vector<ChatMessage>{{VK_F1, L"old", true}}));
    const std::shared_ptr<ChatMacros> held = ChatMacros::current.load();
    ChatMacros::current.store(
        std::make_shared<ChatMacros>(nullptr, std::vector<ChatMessage>{{VK_F1, L"new", true}}));
    ASSERT_NE(held->find(VK_F1), nullptr);
    EXPECT_EQ(held->find(VK_F1)->text, L"old");
    EXPECT_TRUE(held->send(VK_F1));
    EXPECT_EQ(takeQueued(target_).size(), 7u);
}

}  // namespace
