#include <gtest/gtest.h>

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
        EXPECT_FALSE(viewer.takeChange()) << "the program's own write is already seen";
        ASSERT_TRUE(viewer.setText(L"second"));
        EXPECT_TRUE(viewer.takeChange());
        EXPECT_FALSE(viewer.takeChange()) << "one change is taken once";

        ASSERT_TRUE(viewer.setText(L""));
        EXPECT_EQ(viewer.getText(), L"");
    }
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
    // Our next viewer leaves: we link to the one after it.
    viewer.onChangeChain(reinterpret_cast<WPARAM>(first), 0);
    EXPECT_EQ(viewer.nextViewer(), nullptr);
    DestroyWindow(owner);
    DestroyWindow(first);
}
