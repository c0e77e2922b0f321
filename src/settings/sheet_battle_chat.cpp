// Battle chat page: one row per key F1 to F10, a text and a team flag.
#include "base/control_text.h"
#include "resource.h"
#include "settings/settings.h"
#include "settings/settings_sheet.h"
#include "settings/sheet_pages.h"

namespace {

constexpr int rowCount = 10;
constexpr int textLimit = 299;

int textId(int row) { return IDC_CHAT_TEXT_FIRST + 2 * row; }
int teamId(int row) { return IDC_CHAT_TEAM_FIRST + 2 * row; }

void fillBattleChatPage(HWND page)
{
    for (int row = 0; row < rowCount; ++row)
        SendDlgItemMessageW(page, textId(row), EM_LIMITTEXT, textLimit, 0);
    // Entries for keys outside F1 to F10 have no row and are dropped on OK.
    // The flag is set, not toggled, so a repeated key cannot flip it back.
    for (const ChatMessage& message : workingSettings().chatMessages) {
        if (message.key < VK_F1 || message.key >= static_cast<std::uint32_t>(VK_F1 + rowCount))
            continue;
        const int row = static_cast<int>(message.key - VK_F1);
        CheckDlgButton(page, teamId(row), message.team ? BST_CHECKED : BST_UNCHECKED);
        SetDlgItemTextW(page, textId(row), message.text.c_str());
    }
}

void applyBattleChatPage(HWND page)
{
    std::vector<ChatMessage>& messages = workingSettings().chatMessages;
    messages.clear();
    for (int row = 0; row < rowCount; ++row) {
        std::wstring text = getControlText(GetDlgItem(page, textId(row)));
        // An empty row is no macro, whatever its team flag says.
        if (!text.empty())
            messages.push_back({static_cast<std::uint32_t>(VK_F1 + row), std::move(text), isChecked(page, teamId(row))});
    }
}

}  // namespace

INT_PTR CALLBACK battleChatPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        fillBattleChatPage(page);
        return TRUE;
    case WM_NOTIFY:
        if (isApply(lParam))
            applyBattleChatPage(page);
        return notificationHandled(page);
    default:
        return FALSE;
    }
}
