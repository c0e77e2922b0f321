// Runs under a Russian locale (LANG=ru_RU.UTF-8): the sheet's pages come
// from the Russian templates and the settings file is in code page 866.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <functional>

#include "base/control_text.h"
#include "base/text.h"
#include "resource.h"
#include "settings/settings.h"
#include "settings/settings_sheet.h"
#include "test_support.h"

namespace {

using Action = std::function<void(HWND sheet)>;

// Once the sheet is up, runs the action and presses the button.
class OnSheet {
public:
    OnSheet(Action action, int button) : action_(std::move(action)), button_(button)
    {
        running_ = this;
        timer_ = SetTimer(nullptr, 0, 20, tick);
    }
    ~OnSheet()
    {
        KillTimer(nullptr, timer_);
        running_ = nullptr;
    }
    OnSheet(const OnSheet&) = delete;
    OnSheet& operator=(const OnSheet&) = delete;

    bool done() const { return done_; }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
    {
        OnSheet* self = running_;
        if (!self || self->done_)
            return;
        const HWND sheet = FindWindowW(L"#32770", loadResourceString(IDS_SETTINGS_TITLE).c_str());
        if (!sheet || !IsWindowVisible(sheet))
            return;
        self->done_ = true;
        self->action_(sheet);
        PropSheet_PressButton(sheet, self->button_);
    }

    static inline OnSheet* running_ = nullptr;
    Action action_;
    int button_;
    UINT_PTR timer_ = 0;
    bool done_ = false;
};

bool runSheet(Action action, int button)
{
    OnSheet script(std::move(action), button);
    const bool result = showSettingsSheet(nullptr);
    EXPECT_TRUE(script.done());
    return result;
}

HWND selectPage(HWND sheet, int index)
{
    PropSheet_SetCurSel(sheet, nullptr, index);
    return PropSheet_GetCurrentPageHwnd(sheet);
}

std::wstring tabText(HWND sheet, int index)
{
    wchar_t name[64] = L"";
    TCITEMW tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = name;
    tab.cchTextMax = 64;
    TabCtrl_GetItem(PropSheet_GetTabControl(sheet), index, &tab);
    return name;
}

// The control's place in dialog units, as the template gives it.
bool placedAt(HWND page, int id, RECT units)
{
    RECT expected = {units.left, units.top, units.left + units.right, units.top + units.bottom};
    MapDialogRect(page, &expected);
    RECT actual;
    GetWindowRect(GetDlgItem(page, id), &actual);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&actual), 2);
    return EqualRect(&expected, &actual);
}

class RussianSettingsSheet : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ScratchDirectory elsewhere;
        Settings::instance();
    }
    void SetUp() override
    {
        Settings fresh(SettingsDefaults::system());
        fresh.siteSubdomain = L"r7Tz2pQ";
        *Settings::instance() = fresh;
    }
    ScratchDirectory dir_;
};

TEST_F(RussianSettingsSheet, ShowsTheRussianPages)
{
    EXPECT_FALSE(runSheet(
        [](HWND sheet) {
            EXPECT_EQ(tabText(sheet, 0), L"Общее");
            EXPECT_EQ(tabText(sheet, 1), L"Скриншот");
            EXPECT_EQ(tabText(sheet, 2), L"Боевой чат");
            EXPECT_EQ(tabText(sheet, 3), L"Интерфейс");

            HWND page = selectPage(sheet, 0);
            EXPECT_EQ(getControlText(GetDlgItem(page, IDC_LANGUAGE_RU)), L"Русский");
            EXPECT_TRUE(IsDlgButtonChecked(page, IDC_LANGUAGE_RU)) << "the Russian system's default language";
            EXPECT_TRUE(placedAt(page, IDC_CLICKS_PERIOD, {124, 24, 100, 14}));

            page = selectPage(sheet, 1);
            EXPECT_EQ(getControlText(GetDlgItem(page, IDC_BROWSE_FOLDER)), L"Выбрать");
            EXPECT_EQ(getControlText(GetDlgItem(page, IDC_FORMAT_JPEG)), L"Jpeg");
            EXPECT_TRUE(placedAt(page, IDC_JPEG_QUALITY, {136, 133, 40, 13}));

            page = selectPage(sheet, 2);
            EXPECT_EQ(getControlText(GetDlgItem(page, IDC_CHAT_TEXT_FIRST)), L"База");
        },
        PSBTN_CANCEL));
}

TEST_F(RussianSettingsSheet, CyrillicMessagesReachTheFileInTheOemCodePage)
{
    EXPECT_TRUE(runSheet(
        [](HWND sheet) {
            const HWND page = selectPage(sheet, 2);
            SetDlgItemTextW(page, IDC_CHAT_TEXT_FIRST + 2 * 4, L"Прикрой центр");
        },
        PSBTN_OK));
    const ChatMessage& f5 = Settings::instance()->chatMessages.at(4);
    EXPECT_EQ(f5.key, static_cast<std::uint32_t>(VK_F5));
    EXPECT_EQ(f5.text, L"Прикрой центр");
    const std::string file = readBytes("zelvara.cfg").value_or("");
    EXPECT_NE(file.find("\r\n116\r\n" + toOem(L"Прикрой центр") + "\r\n"), std::string::npos);
    EXPECT_NE(file.find("\x8F\xE0\xA8"), std::string::npos) << "При in code page 866";
}

}  // namespace
