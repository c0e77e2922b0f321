#include <gtest/gtest.h>

#include <optional>

#include "app/clipboard_viewer.h"

namespace {

HWND hiddenWindow()
{
    return CreateWindowExW(0, L"STATIC", L"clipboard test", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(Clipboard, TextRoundTripsAndRepeatsAreSkipped)
{
    HWND owner = hiddenWindow();
    {
        ClipboardViewer viewer(owner);
        ASSERT_TRUE(viewer.setText(L"Бой http://game.example/battle-en.html"));
        EXPECT_EQ(viewer.getText(), L"Бой http://game.example/battle-en.html");

        viewer.markSeen();
        EXPECT_FALSE(viewer.newChange()) << "the program's own write is already seen";
        ASSERT_TRUE(viewer.setText(L"second"));
        const std::optional<DWORD> change = viewer.newChange();
        ASSERT_TRUE(change);
        viewer.takeChange(*change);
        EXPECT_FALSE(viewer.newChange()) << "one change is taken once";

        ASSERT_TRUE(viewer.setText(L""));
        EXPECT_EQ(viewer.getText(), L"");
    }
    DestroyWindow(owner);
}

TEST(Clipboard, ClipboardHeldOpenElsewhereReadsAsNothingUntilReleased)
{
    HWND owner = hiddenWindow();
    HWND other = hiddenWindow();
    {
        ClipboardViewer viewer(owner);
        ASSERT_TRUE(viewer.setText(L"held"));
        ASSERT_TRUE(OpenClipboard(other));
        EXPECT_EQ(viewer.getText(), std::nullopt);
        CloseClipboard();
        EXPECT_EQ(viewer.getText(), L"held");
    }
    DestroyWindow(other);
    DestroyWindow(owner);
}

TEST(Clipboard, NonTextContentReadsAsEmpty)
{
    HWND owner = hiddenWindow();
    ClipboardViewer viewer(owner);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(viewer.getText(), L"");
    DestroyWindow(owner);
}

TEST(Clipboard, ChainMessagesRelinkOrPassOn)
{
    HWND owner = hiddenWindow();
    HWND first = hiddenWindow();
    ClipboardViewer before(first);  // the chain's earlier head
    ClipboardViewer viewer(owner);
    EXPECT_EQ(viewer.nextViewer(), first);

    // Another window that is not our next viewer leaves: passed on, no relink.
    viewer.onChangeChain(reinterpret_cast<WPARAM>(owner), 0);
    EXPECT_EQ(viewer.nextViewer(), first);
    // Made up by another program: a link to ourselves, or to no window,
    // would send every notice round for ever, or into nothing.
    viewer.onChangeChain(reinterpret_cast<WPARAM>(first), reinterpret_cast<LPARAM>(owner));
    viewer.onChangeChain(reinterpret_cast<WPARAM>(first), 0x7FF0);
    EXPECT_EQ(viewer.nextViewer(), first);
    // Our next viewer leaves: we link to the one after it.
    viewer.onChangeChain(reinterpret_cast<WPARAM>(first), 0);
    EXPECT_EQ(viewer.nextViewer(), nullptr);
    // The last viewer: a message naming no window links nothing.
    viewer.onChangeChain(0, reinterpret_cast<LPARAM>(owner));
    EXPECT_EQ(viewer.nextViewer(), nullptr);
    DestroyWindow(owner);
    DestroyWindow(first);
}
