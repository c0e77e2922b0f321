// Drives the real property sheet in-process: a thread timer, dispatched by
// the sheet's own modal loop, plays a script of steps against its pages.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "base/control_text.h"
#include "base/text.h"
#include "resource.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "settings/settings_sheet.h"
#include "test_support.h"

namespace {

// A step returns true when done, false to be tried again on the next tick.
using Step = std::function<bool(HWND sheet)>;

bool isVisibleDialog(HWND window)
{
    wchar_t cls[32] = L"";
    GetClassNameW(window, cls, 32);
    return IsWindowVisible(window) && std::wstring(cls) == L"#32770";
}

struct DialogSearch {
    const std::function<bool(HWND)>& wanted;
    HWND found = nullptr;
};

// A named callback, not a lambda: on x86 a lambda has no CALLBACK form.
BOOL CALLBACK matchDialog(HWND window, LPARAM data)
{
    auto& s = *reinterpret_cast<DialogSearch*>(data);
    if (isVisibleDialog(window) && s.wanted(window)) {
        s.found = window;
        return FALSE;
    }
    return TRUE;
}

// The visible dialogs of this thread other than `except`.
HWND findDialog(const std::function<bool(HWND)>& wanted)
{
    DialogSearch search{wanted};
    EnumThreadWindows(GetCurrentThreadId(), matchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND findSheet()
{
    const std::wstring caption = loadResourceString(IDS_SETTINGS_TITLE);
    return findDialog([&](HWND w) { return getControlText(w) == caption; });
}

class SheetScript {
public:
    explicit SheetScript(std::vector<Step> steps)
        : steps_(std::move(steps)), deadline_(GetTickCount64() + 20000)
    {
        running_ = this;
        timer_ = SetTimer(nullptr, 0, 20, tick);
    }
    ~SheetScript()
    {
        KillTimer(nullptr, timer_);
        running_ = nullptr;
    }
    SheetScript(const SheetScript&) = delete;
    SheetScript& operator=(const SheetScript&) = delete;

    bool completed() const { return next_ == steps_.size(); }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
    {
        SheetScript* self = running_;
        if (!self || self->busy_ || self->completed())
            return;
        self->busy_ = true;
        if (const HWND sheet = findSheet(); sheet && self->steps_[self->next_](sheet))
            ++self->next_;
        if (!self->completed() && GetTickCount64() > self->deadline_)
            self->abandon();
        self->busy_ = false;
    }

    // Closes whatever is open so a stuck script fails instead of hanging.
    void abandon()
    {
        next_ = steps_.size();
        ADD_FAILURE() << "the sheet script did not finish in time";
        const HWND sheet = findSheet();
        if (const HWND other = findDialog([&](HWND w) { return w != sheet; }))
            PostMessageW(other, WM_COMMAND, IDCANCEL, 0);
        if (sheet)
            PropSheet_PressButton(sheet, PSBTN_CANCEL);
    }

    static inline SheetScript* running_ = nullptr;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    ULONGLONG deadline_;
    UINT_PTR timer_ = 0;
    bool busy_ = false;
};

enum Page { general, screenshot, battleChat, interfacePage };

HWND selectPage(HWND sheet, int index)
{
    PropSheet_SetCurSel(sheet, nullptr, index);
    return PropSheet_GetCurrentPageHwnd(sheet);
}

Step onPage(int index, std::function<void(HWND page)> action)
{
    return [index, action](HWND sheet) {
        action(selectPage(sheet, index));
        return true;
    };
}

Step press(int button)
{
    return [button](HWND sheet) {
        PropSheet_PressButton(sheet, button);
        return true;
    };
}

HWND item(HWND page, int id) { return GetDlgItem(page, id); }
std::wstring text(HWND page, int id) { return getControlText(item(page, id)); }
bool checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
void click(HWND page, int id) { SendMessageW(item(page, id), BM_CLICK, 0, 0); }

// Types as a user would, so the edit's length limit and digit filter apply.
void type(HWND page, int id, const std::wstring& typed)
{
    const HWND edit = item(page, id);
    SetWindowTextW(edit, L"");
    for (wchar_t c : typed)
        SendMessageW(edit, WM_CHAR, c, 0);
}

const std::vector<ChatMessage> baselineChat = {
    {VK_F1, L"Base", true}, {VK_F3, L"Center", true}, {VK_F10, L"It is not drugs!", false}};

Settings baseline()
{
    Settings s(SettingsDefaults{"en", L"C:\\Shots", baselineChat});
    s.siteSubdomain = L"k3Yq9Zt";
    return s;
}

Settings fromFile()
{
    Settings loaded(SettingsDefaults{"xx", L"", {}});
    const std::optional<std::string> file = readBytes("zelvara.cfg");
    EXPECT_TRUE(file.has_value());
    if (file) {
        EXPECT_TRUE(parseSettingsFile(*file, loaded, fromOem));
    }
    return loaded;
}

class SettingsSheet : public ::testing::Test {
protected:
    // The current settings are built once per process; build them away from
    // the directories the tests look into.
    static void SetUpTestSuite()
    {
        ScratchDirectory elsewhere;
        Settings::instance();
    }

    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        *Settings::instance() = baseline();
        owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 900, 700,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    void TearDown() override
    {
        DestroyWindow(owner_);
        CoUninitialize();
    }

    // Runs the sheet with the script; counts the server-bar rebuilds.
    bool run(std::vector<Step> steps)
    {
        SheetScript script(std::move(steps));
        const bool result = showSettingsSheet(owner_, [this] { ++rebuilds_; });
        EXPECT_TRUE(script.completed()) << "the sheet closed before the script ended";
        return result;
    }

    bool saved() const { return std::filesystem::exists("zelvara.cfg"); }

    ScratchDirectory dir_;
    HWND owner_ = nullptr;
    int rebuilds_ = 0;
};

TEST(SheetControlNumber, ReadsLeadingDigitsAndNeverWraps)
{
    EXPECT_EQ(parseControlNumber(L""), 0u);
    EXPECT_EQ(parseControlNumber(L"abc"), 0u);
    EXPECT_EQ(parseControlNumber(L"-3"), 0u);
    EXPECT_EQ(parseControlNumber(L" \t42abc"), 42u);
    EXPECT_EQ(parseControlNumber(L"007"), 7u);
    EXPECT_EQ(parseControlNumber(L"4294967295"), 4294967295u);
    EXPECT_EQ(parseControlNumber(L"4294967296"), 4294967295u);
    EXPECT_EQ(parseControlNumber(L"99999999999999"), 4294967295u);
}

TEST_F(SettingsSheet, PagesShowTheCurrentValuesAndOkWithoutChangeSavesNothing)
{
    Settings& current = *Settings::instance();
    current.battleLanguage = "de";
    current.imageFormat = L"bmp";
    current.dateFormat = L"yyyy'-'MM'-'dd' '";
    current.beepOnSave = false;
    current.screenshotKey = VK_OEM_3;
    const Settings opened = current;

    const bool result = run({
        [&](HWND sheet) {
            RECT own, sheetRect;
            GetWindowRect(owner_, &own);
            GetWindowRect(sheet, &sheetRect);
            EXPECT_EQ(sheetRect.left, own.left + ((own.right - own.left) - (sheetRect.right - sheetRect.left)) / 2);
            EXPECT_EQ(sheetRect.top, own.top + ((own.bottom - own.top) - (sheetRect.bottom - sheetRect.top)) / 2);
            return true;
        },
        onPage(general,
               [](HWND page) {
                   EXPECT_EQ(text(page, IDC_CLICKS_PERIOD), L"10");
                   EXPECT_TRUE(checked(page, IDC_LANGUAGE_DE));
                   EXPECT_FALSE(checked(page, IDC_LANGUAGE_EN));
               }),
        onPage(screenshot,
               [](HWND page) {
                   EXPECT_EQ(text(page, IDC_SCREENSHOT_FOLDER), L"C:\\Shots");
                   EXPECT_TRUE(checked(page, IDC_DATE_YEAR_FIRST));
                   EXPECT_TRUE(checked(page, IDC_FORMAT_BMP));
                   EXPECT_FALSE(IsWindowEnabled(item(page, IDC_JPEG_QUALITY)));
                   EXPECT_EQ(text(page, IDC_JPEG_QUALITY), L"90");
                   EXPECT_FALSE(checked(page, IDC_BEEP_ON_SAVE));
               }),
        onPage(battleChat,
               [](HWND page) {
                   EXPECT_EQ(text(page, 1100), L"Base");
                   EXPECT_TRUE(checked(page, 1101));
                   EXPECT_EQ(text(page, 1102), L"");
                   EXPECT_EQ(text(page, 1104), L"Center");
                   EXPECT_EQ(text(page, 1118), L"It is not drugs!");
                   EXPECT_FALSE(checked(page, 1119));
               }),
        onPage(interfacePage,
               [](HWND page) {
                   EXPECT_TRUE(checked(page, IDC_KEY_OEM_3));
                   EXPECT_EQ(text(page, IDC_SERVER_BUTTON_COUNT), L"30");
               }),
        press(PSBTN_OK),
    });

    EXPECT_FALSE(result);
    EXPECT_FALSE(saved());
    EXPECT_FALSE(current.differsFrom(opened));
    EXPECT_EQ(rebuilds_, 0);
}

TEST_F(SettingsSheet, CancelKeepsEverythingAsItWas)
{
    const bool result = run({
        onPage(general, [](HWND page) { type(page, IDC_CLICKS_PERIOD, L"500"); }),
        onPage(screenshot, [](HWND page) { click(page, IDC_FORMAT_PNG); }),
        onPage(battleChat, [](HWND page) { SetDlgItemTextW(page, 1100, L"Push"); }),
        onPage(interfacePage, [](HWND page) { type(page, IDC_SERVER_BUTTON_COUNT, L"12"); }),
        press(PSBTN_CANCEL),
    });

    EXPECT_FALSE(result);
    EXPECT_FALSE(saved());
    EXPECT_FALSE(Settings::instance()->differsFrom(baseline()));
    EXPECT_EQ(rebuilds_, 0);
}

TEST_F(SettingsSheet, EveryPageReachesTheCurrentSettingsAndTheFile)
{
    const std::wstring folder = (dir_.path() / L"shots").wstring();
    const bool result = run({
        onPage(general,
               [](HWND page) {
                   type(page, IDC_CLICKS_PERIOD, L"250");
                   click(page, IDC_LANGUAGE_RU);
               }),
        onPage(screenshot,
               [&](HWND page) {
                   SetDlgItemTextW(page, IDC_SCREENSHOT_FOLDER, folder.c_str());
                   click(page, IDC_DATE_YEAR_FIRST);
                   type(page, IDC_JPEG_QUALITY, L"75");
                   click(page, IDC_FORMAT_PNG);
                   click(page, IDC_BEEP_ON_SAVE);
               }),
        onPage(battleChat,
               [](HWND page) {
                   SetDlgItemTextW(page, 1104, L"");  // F3 emptied
                   SetDlgItemTextW(page, 1108, L"Flank");  // F5 filled, team
                   click(page, 1109);
                   click(page, 1113);  // F7: team ticked, no text
               }),
        onPage(interfacePage,
               [](HWND page) {
                   click(page, IDC_KEY_ESCAPE);
                   type(page, IDC_SERVER_BUTTON_COUNT, L"12");
               }),
        press(PSBTN_OK),
    });

    EXPECT_TRUE(result);
    const Settings& current = *Settings::instance();
    EXPECT_EQ(current.clicksPeriod.get(), 250u);
    EXPECT_EQ(current.battleLanguage, "ru");
    EXPECT_EQ(current.screenshotFolder, folder);
    EXPECT_EQ(current.dateFormat, L"yyyy'-'MM'-'dd' '");
    EXPECT_EQ(current.imageFormat, L"png");
    EXPECT_EQ(current.jpegQuality, 75u) << "taken although the edit was disabled";
    EXPECT_FALSE(current.beepOnSave);
    const std::vector<ChatMessage> chat = {
        {VK_F1, L"Base", true}, {VK_F5, L"Flank", true}, {VK_F10, L"It is not drugs!", false}};
    EXPECT_EQ(current.chatMessages, chat);
    EXPECT_EQ(current.screenshotKey, static_cast<std::uint32_t>(VK_ESCAPE));
    EXPECT_EQ(current.serverButtonCount, 12u);
    EXPECT_EQ(current.siteSubdomain, L"k3Yq9Zt");
    EXPECT_EQ(rebuilds_, 1);

    EXPECT_FALSE(fromFile().differsFrom(current));
}

TEST_F(SettingsSheet, NumbersAreClampedAndLimited)
{
    EXPECT_TRUE(run({
        onPage(general,
               [](HWND page) {
                   type(page, IDC_CLICKS_PERIOD, L"12345");
                   EXPECT_EQ(text(page, IDC_CLICKS_PERIOD), L"123") << "three digits at most";
                   type(page, IDC_CLICKS_PERIOD, L"0");
               }),
        onPage(screenshot,
               [](HWND page) {
                   type(page, IDC_JPEG_QUALITY, L"2x50");
                   EXPECT_EQ(text(page, IDC_JPEG_QUALITY), L"250") << "digits only";
               }),
        onPage(interfacePage,
               [](HWND page) {
                   type(page, IDC_SERVER_BUTTON_COUNT, L"123");
                   EXPECT_EQ(text(page, IDC_SERVER_BUTTON_COUNT), L"12") << "two digits at most";
                   type(page, IDC_SERVER_BUTTON_COUNT, L"");
               }),
        onPage(battleChat,
               [](HWND page) {
                   EXPECT_EQ(SendMessageW(item(page, 1100), EM_GETLIMITTEXT, 0, 0), 299);
                   EXPECT_EQ(SendMessageW(item(page, 1118), EM_GETLIMITTEXT, 0, 0), 299);
               }),
        press(PSBTN_OK),
    }));
    Settings current = *Settings::instance();
    EXPECT_EQ(current.clicksPeriod.get(), 1u);
    EXPECT_EQ(current.jpegQuality, 100u);
    EXPECT_EQ(current.serverButtonCount, 1u);
    EXPECT_EQ(fromFile().serverButtonCount, 1u);

    EXPECT_TRUE(run({
        onPage(general, [](HWND page) { type(page, IDC_CLICKS_PERIOD, L""); }),
        onPage(screenshot, [](HWND page) { type(page, IDC_JPEG_QUALITY, L""); }),
        onPage(interfacePage, [](HWND page) { type(page, IDC_SERVER_BUTTON_COUNT, L"0"); }),
        press(PSBTN_OK),
    }));
    current = *Settings::instance();
    EXPECT_EQ(current.clicksPeriod.get(), 1u);
    EXPECT_EQ(current.jpegQuality, 0u);
    EXPECT_EQ(current.serverButtonCount, 1u);
}

TEST_F(SettingsSheet, AnEmptiedFolderFallsBackToTheDefaultFolder)
{
    const std::wstring& fallback = SettingsDefaults::system().screenshotFolder;
    ASSERT_FALSE(fallback.empty());
    for (const wchar_t* emptied : {L"", L"   "}) {
        *Settings::instance() = baseline();
        EXPECT_TRUE(run({
            onPage(screenshot, [&](HWND page) { SetDlgItemTextW(page, IDC_SCREENSHOT_FOLDER, emptied); }),
            press(PSBTN_OK),
        }));
        EXPECT_EQ(Settings::instance()->screenshotFolder, fallback);
        EXPECT_EQ(fromFile().screenshotFolder, fallback);
    }
}

TEST_F(SettingsSheet, TheServerBarIsRebuiltOnlyWhenTheCountChanged)
{
    EXPECT_TRUE(run({onPage(general, [](HWND page) { click(page, IDC_LANGUAGE_DE); }), press(PSBTN_OK)}));
    EXPECT_EQ(Settings::instance()->battleLanguage, "de");
    EXPECT_EQ(rebuilds_, 0);

    // Retyping the same count is no change.
    EXPECT_FALSE(run({onPage(interfacePage, [](HWND page) { type(page, IDC_SERVER_BUTTON_COUNT, L"30"); }),
                      press(PSBTN_OK)}));
    EXPECT_EQ(rebuilds_, 0);

    int countAtRebuild = 0;
    SheetScript script({onPage(interfacePage, [](HWND page) { type(page, IDC_SERVER_BUTTON_COUNT, L"12"); }),
                        press(PSBTN_OK)});
    EXPECT_TRUE(showSettingsSheet(owner_, [&] {
        countAtRebuild = static_cast<int>(Settings::instance()->serverButtonCount);
        EXPECT_EQ(fromFile().serverButtonCount, 12u) << "saved before the rebuild";
    }));
    EXPECT_EQ(countAtRebuild, 12);
}

TEST_F(SettingsSheet, AFailedSaveIsNotReportedAsSaved)
{
    // A directory in the file's place cannot be replaced.
    std::filesystem::create_directory("zelvara.cfg");
    EXPECT_FALSE(run({onPage(interfacePage, [](HWND page) { type(page, IDC_SERVER_BUTTON_COUNT, L"7"); }),
                      press(PSBTN_OK)}));
    EXPECT_EQ(Settings::instance()->serverButtonCount, 7u) << "the change holds for this run";
    EXPECT_EQ(rebuilds_, 1);
}

TEST_F(SettingsSheet, UnknownStoredValuesShowDefaultsAndUnvisitedPagesKeepTheirFields)
{
    Settings& current = *Settings::instance();
    current.battleLanguage = "fr";
    current.imageFormat = L"gif";
    current.timeFormat = L"HH'h'";
    current.screenshotKey = 65;
    current.chatMessages.push_back({130, L"F19", true});

    // Only the Interface page besides the General page, which opens first:
    // the fields of the two pages never shown are not rewritten.
    EXPECT_TRUE(run({onPage(interfacePage,
                            [](HWND page) {
                                EXPECT_TRUE(checked(page, IDC_KEY_SNAPSHOT));
                                type(page, IDC_SERVER_BUTTON_COUNT, L"20");
                            }),
                     press(PSBTN_OK)}));
    EXPECT_EQ(current.battleLanguage, "en") << "an unknown language shows as English";
    EXPECT_EQ(current.imageFormat, L"gif");
    EXPECT_EQ(current.timeFormat, L"HH'h'");
    EXPECT_EQ(current.chatMessages.size(), baselineChat.size() + 1);
    EXPECT_EQ(current.screenshotKey, static_cast<std::uint32_t>(VK_SNAPSHOT));

    // Merely opening the other pages brings their values back to what they show.
    EXPECT_TRUE(run({
        onPage(screenshot,
               [](HWND page) {
                   EXPECT_TRUE(checked(page, IDC_FORMAT_JPEG));
                   EXPECT_TRUE(IsWindowEnabled(item(page, IDC_JPEG_QUALITY)));
               }),
        onPage(battleChat, [](HWND) {}),
        press(PSBTN_OK),
    }));
    EXPECT_EQ(current.imageFormat, L"jpeg");
    EXPECT_EQ(current.timeFormat, L"HH'-'mm'-'ss'.'");
    EXPECT_EQ(current.chatMessages, baselineChat);
}

TEST_F(SettingsSheet, QualityEditFollowsTheImageFormat)
{
    EXPECT_FALSE(run({
        onPage(screenshot,
               [](HWND page) {
                   EXPECT_TRUE(IsWindowEnabled(item(page, IDC_JPEG_QUALITY)));
                   click(page, IDC_FORMAT_PNG);
                   EXPECT_FALSE(IsWindowEnabled(item(page, IDC_JPEG_QUALITY)));
                   click(page, IDC_FORMAT_JPEG);
                   EXPECT_TRUE(IsWindowEnabled(item(page, IDC_JPEG_QUALITY)));
                   click(page, IDC_FORMAT_BMP);
                   EXPECT_FALSE(IsWindowEnabled(item(page, IDC_JPEG_QUALITY)));
               }),
        press(PSBTN_CANCEL),
    }));
}

// The text of the folder picker's selected tree item.
std::wstring selectedTreeItem(HWND picker)
{
    const HWND tree = FindWindowExW(picker, nullptr, WC_TREEVIEWW, nullptr);
    const HTREEITEM selected = TreeView_GetSelection(tree);
    if (!selected)
        return {};
    wchar_t name[MAX_PATH] = L"";
    TVITEMW tvItem = {};
    tvItem.mask = TVIF_TEXT;
    tvItem.hItem = selected;
    tvItem.pszText = name;
    tvItem.cchTextMax = MAX_PATH;
    TreeView_GetItem(tree, &tvItem);
    return name;
}

TEST_F(SettingsSheet, BrowseThenCancelLeavesTheCurrentSettings)
{
    const std::filesystem::path chosen = dir_.path() / L"picked";
    std::filesystem::create_directory(chosen);
    const std::wstring chosenText = chosen.wstring();
    HWND picker = nullptr;
    const bool result = run({
        onPage(screenshot, [](HWND page) { PostMessageW(item(page, IDC_BROWSE_FOLDER), BM_CLICK, 0, 0); }),
        [&](HWND sheet) {
            picker = findDialog([&](HWND w) { return w != sheet; });
            if (!picker)
                return false;
            // The picker fills its tree as it goes; select again until the
            // folder shows as the selected item, then confirm.
            SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(chosenText.c_str()));
            if (selectedTreeItem(picker) != L"picked")
                return false;
            PostMessageW(picker, WM_COMMAND, IDOK, 0);
            return true;
        },
        [&](HWND sheet) {
            if (IsWindow(picker))
                return false;
            const HWND page = PropSheet_GetCurrentPageHwnd(sheet);
            EXPECT_TRUE(std::filesystem::equivalent(text(page, IDC_SCREENSHOT_FOLDER), chosen));
            EXPECT_TRUE(std::filesystem::equivalent(workingSettings().screenshotFolder, chosen));
            PropSheet_PressButton(sheet, PSBTN_CANCEL);
            return true;
        },
    });
    EXPECT_FALSE(result);
    EXPECT_EQ(Settings::instance()->screenshotFolder, L"C:\\Shots");
    EXPECT_FALSE(saved());

    EXPECT_FALSE(run({
        onPage(screenshot, [](HWND page) { EXPECT_EQ(text(page, IDC_SCREENSHOT_FOLDER), L"C:\\Shots"); }),
        press(PSBTN_CANCEL),
    }));
}

TEST_F(SettingsSheet, ThePlacementChangedWhileOpenIsKept)
{
    EXPECT_TRUE(run({
        onPage(interfacePage,
               [](HWND page) {
                   Settings::instance()->windowFlags = Settings::fullScreen;
                   Settings::instance()->windowRect = {10, 20, 1010, 700};
                   type(page, IDC_SERVER_BUTTON_COUNT, L"40");
               }),
        press(PSBTN_OK),
    }));
    EXPECT_EQ(Settings::instance()->windowFlags, static_cast<std::uint32_t>(Settings::fullScreen));
    EXPECT_EQ(Settings::instance()->windowRect, (WindowRect{10, 20, 1010, 700}));
    EXPECT_EQ(Settings::instance()->serverButtonCount, 40u);
}

TEST_F(SettingsSheet, PagesComeInTabOrderFromTheEnglishTemplates)
{
    EXPECT_FALSE(run({
        [](HWND sheet) {
            const HWND tabs = PropSheet_GetTabControl(sheet);
            const wchar_t* names[] = {L"General", L"Screenshot", L"Battle chat", L"Interface"};
            EXPECT_EQ(TabCtrl_GetItemCount(tabs), 4);
            for (int i = 0; i < 4; ++i) {
                wchar_t name[64] = L"";
                TCITEMW tab = {};
                tab.mask = TCIF_TEXT;
                tab.pszText = name;
                tab.cchTextMax = 64;
                TabCtrl_GetItem(tabs, i, &tab);
                EXPECT_STREQ(name, names[i]);
            }
            // The Russian template places this edit elsewhere.
            const HWND page = selectPage(sheet, general);
            RECT expected = {87, 24, 87 + 122, 24 + 14};
            MapDialogRect(page, &expected);
            RECT actual;
            GetWindowRect(item(page, IDC_CLICKS_PERIOD), &actual);
            MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_TRUE(EqualRect(&actual, &expected));
            return true;
        },
        press(PSBTN_CANCEL),
    }));
}

}  // namespace
