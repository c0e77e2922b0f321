#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <regex>

#include "base/text.h"
#include "base/win_handles.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "test_support.h"

namespace {

const SettingsDefaults plain{"en", L"C:\\Shots", {{VK_F1, L"Base", true}, {VK_F2, L"Left", true}}};

std::string defaultFile(const std::wstring& folder)
{
    std::string chat;
    const char* texts[] = {"Base", "Left", "Center", "Right", "Clear", "Cover Left", "Cover Center",
                           "Cover Right", "I Change weapons and Lost", "It is not drugs!"};
    for (int i = 0; i < 10; ++i)
        chat += std::to_string(112 + i) + "\r\n" + texts[i] + "\r\n" + (i < 9 ? "1" : "0") + "\r\n";
    return "0\r\n0\r\n10\r\nen\r\n0\r\n0\r\n0\r\n0\r\n0\r\n" + toOem(folder) +
           "\r\ndd'.'MM'.'yyyy' '\r\nHH'-'mm'-'ss'.'\r\njpeg\r\n90\r\n1\r\n0\r\n10\r\n" + chat + "44\r\n30\r\n";
}

Settings parsed(const std::string& file, bool* ok = nullptr)
{
    Settings s(plain);
    const bool read = parseSettingsFile(file, s, fromOem);
    if (ok)
        *ok = read;
    return s;
}

// A file in the layout, with the given lines put in place of the defaults';
// line 0 is the last line, -1 the one before it.
std::string fileWith(std::initializer_list<std::pair<int, std::string>> lines)
{
    std::vector<std::string> all;
    std::string text = formatSettingsFile(Settings(plain), toOem);
    for (std::size_t at = 0, next; (next = text.find("\r\n", at)) != std::string::npos; at = next + 2)
        all.push_back(text.substr(at, next - at));
    for (const auto& [number, line] : lines)
        all[number > 0 ? number - 1 : all.size() - 1 + number] = line;
    std::string out;
    for (const std::string& line : all)
        out += line + "\r\n";
    return out;
}

}  // namespace

TEST(SettingsFile, FirstRunWritesTheExactDefaultFiles)
{
    ScratchDirectory dir;
    Settings settings;
    settings.load();

    wchar_t desktop[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, desktop);
    const std::wstring folder = std::wstring(desktop) + L"\\Zelvara Screenshots";
    EXPECT_EQ(settings.screenshotFolder, folder);

    const std::optional<std::string> file = readBytes("zelvara.cfg");
    ASSERT_TRUE(file);
    EXPECT_EQ(*file, defaultFile(folder));
    EXPECT_EQ(std::count(file->begin(), file->end(), '\n'), 49);

    const std::optional<std::string> accounts = readBytes("accounts.cfg");
    ASSERT_TRUE(accounts);
    EXPECT_TRUE(std::regex_match(*accounts, std::regex("[0-9A-Za-z]{7,11}\r\n"))) << *accounts;
    EXPECT_EQ(toOem(settings.siteSubdomain) + "\r\n", *accounts);
}

TEST(SettingsFile, SubdomainIsKeptOrGeneratedAgain)
{
    ScratchDirectory dir;
    writeBytes("accounts.cfg", "myLabel7\r\n");
    EXPECT_EQ(Settings().siteSubdomain, L"myLabel7");

    std::filesystem::remove("accounts.cfg");
    const std::wstring fresh = Settings().siteSubdomain;
    EXPECT_TRUE(std::regex_match(toOem(fresh), std::regex("[0-9A-Za-z]{7,11}")));
    EXPECT_EQ(*readBytes("accounts.cfg"), toOem(fresh) + "\r\n");

    writeBytes("accounts.cfg", "");
    EXPECT_FALSE(Settings().siteSubdomain.empty()) << "an empty file gets a new label";
    EXPECT_EQ(parseAccountsFile(std::string_view("\r\n\r\nx").substr(0, 2), fromOem), L"")
        << "line breaks only, and more past the text's end";
    EXPECT_EQ(parseAccountsFile("\r\n\nlabel\r\n", fromOem), L"label") << "line breaks before it are passed over";
    EXPECT_NE(*readBytes("accounts.cfg"), "");
}

TEST(SettingsFile, GeneratedSubdomainFollowsTheDraws)
{
    // Length 7 + 3 = 10; then pairs of (kind, value).
    std::vector<int> draws = {3, 0, 4, 1, 2, 2, 25, 3, 9, 4, 0, 5, 1, 6, 26, 7, 27, 8, 3, 9, 5};
    std::size_t i = 0;
    const std::wstring label = generateSubdomain([&] { return draws[i++]; });
    EXPECT_EQ(label, L"4Cz9Ab6Bd5");
    EXPECT_EQ(i, draws.size());
}

TEST(SettingsFile, SaveAndLoadRoundTrip)
{
    ScratchDirectory dir;
    Settings saved(plain);
    saved.clicksPeriod.set(250);
    saved.battleLanguage = "de";
    saved.windowFlags = Settings::maximised;
    saved.windowRect = {-32000, -32000, -31840, -31973};
    saved.screenshotFolder = L"D:\\Games\\Shots";
    saved.dateFormat = L"yyyy'-'MM'-'dd' '";
    saved.imageFormat = L"png";
    saved.jpegQuality = 0;
    saved.beepOnSave = false;
    saved.chatMessages = {{VK_F3, L"  leading blanks", false}, {VK_F10, L"Last", true}};
    saved.screenshotKey = VK_ESCAPE;
    saved.serverButtonCount = 99;
    ASSERT_TRUE(saved.save());

    Settings loaded(plain);
    loaded.load();
    EXPECT_FALSE(loaded.differsFrom(saved));
    EXPECT_EQ(loaded.windowFlags, saved.windowFlags);
    EXPECT_EQ(loaded.windowRect, saved.windowRect);
    EXPECT_EQ(*readBytes("zelvara.cfg"), formatSettingsFile(saved, toOem)) << "a good file is not rewritten";
}

TEST(SettingsFile, EmptyTextValuesAreNeverWrittenSoBlankLinesShiftNothing)
{
    Settings saved(plain);
    saved.screenshotFolder.clear();
    saved.dateFormat.clear();
    saved.timeFormat.clear();
    saved.imageFormat.clear();
    saved.chatMessages = {{VK_F1, L"", true}, {VK_F2, L"Two", false}};
    saved.serverButtonCount = 12;
    std::string file = formatSettingsFile(saved, toOem);
    EXPECT_EQ(file.find("\r\n\r\n"), std::string::npos) << file;
    bool ok = false;
    const Settings loaded = parsed(file, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(loaded.screenshotFolder, L".");
    EXPECT_EQ(loaded.dateFormat, L"dd'.'MM'.'yyyy' '");
    EXPECT_EQ(loaded.imageFormat, L"jpeg");
    EXPECT_EQ(loaded.chatMessages, (std::vector<ChatMessage>{{VK_F2, L"Two", false}}));
    EXPECT_EQ(loaded.screenshotKey, saved.screenshotKey);
    // Stray blank lines after a chat key and in the rectangle cost nothing.
    for (const char* after : {"\r\n113\r\n", "\r\n0\r\n0\r\n0\r\n0\r\n"})
        file.insert(file.find(after) + std::strlen(after), "\r\n\n\r\n");
    EXPECT_EQ(formatSettingsFile(parsed(file, &ok), toOem), formatSettingsFile(loaded, toOem));
    EXPECT_TRUE(ok);
}

TEST(SettingsFile, LineBreaksInsideTextAreWrittenAsBlanks)
{
    Settings saved(plain);
    saved.screenshotFolder = L"C:\\a\r\nb";
    const Settings loaded = parsed(formatSettingsFile(saved, toOem));
    EXPECT_EQ(loaded.screenshotFolder, L"C:\\a  b");
    EXPECT_EQ(loaded.dateFormat, saved.dateFormat);
}

TEST(SettingsFile, ReadingRulesOfTheOldLayout)
{
    // Loose whitespace before numbers (vertical tab and form feed count too),
    // bare LF line ends, and the last line without a line break, as a
    // hand-edited file may have.
    const std::string file =
        "0\n0\n \v\f\t15\n\nru\n0\n-5\n\n 7\n900\n700\nC:\\Pics\ndd\nHH\nbmp\n75\n0\n0\n1\n"
        "121\nGood luck\n0\n192\n12";
    bool ok = false;
    const Settings s = parsed(file, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(s.clicksPeriod.get(), 15u);
    EXPECT_EQ(s.battleLanguage, "ru");
    EXPECT_EQ(s.windowRect, (WindowRect{-5, 7, 900, 700}));
    EXPECT_EQ(s.screenshotFolder, L"C:\\Pics");
    EXPECT_EQ(s.imageFormat, L"bmp");
    EXPECT_EQ(s.jpegQuality, 75u);
    EXPECT_FALSE(s.beepOnSave);
    ASSERT_EQ(s.chatMessages.size(), 1u);
    EXPECT_EQ(s.chatMessages[0], (ChatMessage{121, L"Good luck", false}));
    EXPECT_EQ(s.screenshotKey, 192u);
    EXPECT_EQ(s.serverButtonCount, 12u);
    // Part of a longer text: no digit past its end is read.
    Settings cut(plain);
    parseSettingsFile(std::string_view(file).substr(0, file.size() - 1), cut, fromOem);
    EXPECT_EQ(cut.serverButtonCount, 1u);
    // The most negative 32-bit value, and two near it that are not.
    EXPECT_EQ(parsed(fileWith({{6, "-2147483648"}, {7, "-2147483646"}, {8, "-2147483647"}})).windowRect,
              (WindowRect{std::numeric_limits<std::int32_t>::min(), -2147483646, -2147483647, 0}));
}

TEST(SettingsFile, HandEditedNumbersAreBroughtIntoTheSheetsRanges)
{
    bool ok = false;
    Settings s = parsed(fileWith({{3, "4294967295"}, {4, "xx"}, {13, "gif"}, {14, "250"}, {0, "0"}, {-1, "4294967295"}}),
                        &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(s.clicksPeriod.get(), 999u);
    EXPECT_EQ(s.battleLanguage, "xx");
    EXPECT_EQ(s.imageFormat, L"gif");
    EXPECT_EQ(s.jpegQuality, 100u);
    EXPECT_EQ(s.screenshotKey, 4294967295u);
    EXPECT_EQ(s.serverButtonCount, 1u);
    s = parsed(fileWith({{3, "0"}, {0, "4000000000"}}));
    EXPECT_EQ(s.clicksPeriod.get(), 1u);
    EXPECT_EQ(s.serverButtonCount, 99u);
}

TEST(SettingsFile, FirstFailureKeepsTheDefaultsAfterIt)
{
    struct Case {
        const char* why;
        int line;
        const char* text;
    };
    const Case cases[] = {
        {"no digit", 3, "fast"},
        {"minus on an unsigned field", 3, "-1"},
        {"above 32 bits", 3, "4294967296"},
        {"a bool other than 0 or 1", 15, "2"},
        // Its first 19 digits still fit a 64-bit field: only the overflow fails it.
        {"above 64 bits", 1, "19000000000000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        // Values after the broken line differ from the defaults; none may be taken.
        const std::string file = fileWith({{c.line, c.text}, {-1, "192"}, {0, "7"}});
        bool ok = true;
        const Settings s = parsed(file, &ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(s.screenshotKey, 44u);
        EXPECT_EQ(s.serverButtonCount, 30u);
    }
    // A file that ends where a text line should start: that line keeps its default.
    std::string beforeFolder = formatSettingsFile(Settings(plain), toOem);
    std::size_t end = 0;
    for (int line = 0; line < 9; ++line)
        end = beforeFolder.find("\r\n", end) + 2;
    beforeFolder.resize(end);
    EXPECT_EQ(parsed(beforeFolder).screenshotFolder, plain.screenshotFolder);
}

TEST(SettingsFile, ShortFileKeepsDefaultsAndIsRewrittenWhole)
{
    ScratchDirectory dir;
    std::string file = fileWith({{3, "33"}});
    file.resize(file.rfind("44\r\n"));  // ends before screenshotKey
    writeBytes("zelvara.cfg", file);

    Settings s(plain);
    s.load();
    EXPECT_EQ(s.clicksPeriod.get(), 33u);
    EXPECT_EQ(s.screenshotKey, 44u);
    EXPECT_EQ(s.serverButtonCount, 30u);
    EXPECT_EQ(*readBytes("zelvara.cfg"), formatSettingsFile(s, toOem));
}

TEST(SettingsFile, FailureBeforeTheCountLeavesTheDefaultChat)
{
    const Settings s = parsed(fileWith({{14, "high"}}));
    EXPECT_EQ(s.chatMessages, plain.chatMessages);
}

TEST(SettingsFile, BrokenChatSectionKeepsCompleteEntriesOnly)
{
    const std::string head = formatSettingsFile(Settings(plain), toOem);
    const std::string start = head.substr(0, head.find("\r\n2\r\n112") + 2);
    const std::string file = start + "3\r\n112\r\nOne\r\n1\r\n113\r\nTwo\r\n0\r\n114\r\nThree\r\n";
    bool ok = true;
    const Settings s = parsed(file, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(s.chatMessages, (std::vector<ChatMessage>{{112, L"One", true}, {113, L"Two", false}}));
    EXPECT_EQ(s.screenshotKey, 44u);
}

TEST(SettingsFile, ChatCountZeroEmptiesTheList)
{
    Settings none(plain);
    none.chatMessages.clear();
    const std::string file = formatSettingsFile(none, toOem);
    EXPECT_NE(file.find("\r\n0\r\n0\r\n44\r\n30\r\n"), std::string::npos) << "count 0 and no entry lines";
    const Settings s = parsed(file);
    EXPECT_TRUE(s.chatMessages.empty());
    EXPECT_EQ(parsed(fileWith({{17, "-3"}})).chatMessages.size(), 0u) << "a negative count reads no entry";
}

TEST(SettingsFile, FailedSaveLeavesTheOldFileWhole)
{
    ScratchDirectory dir;
    Settings first(plain);
    first.clicksPeriod.set(42);
    ASSERT_TRUE(first.save());
    const std::string before = *readBytes("zelvara.cfg");

    // Another program holds the temporary file: it cannot be written.
    HANDLE held = CreateFileW(L"zelvara.cfg.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Settings second(plain);
    second.clicksPeriod.set(7);
    EXPECT_FALSE(second.save());
    EXPECT_EQ(*readBytes("zelvara.cfg"), before);
    CloseHandle(held);
    std::filesystem::remove("zelvara.cfg.tmp");

    EXPECT_TRUE(second.save());
    EXPECT_FALSE(std::filesystem::exists("zelvara.cfg.tmp")) << "nothing left behind";
    EXPECT_NE(readBytes("zelvara.cfg")->find("\r\n7\r\n"), std::string::npos);
}

TEST(SettingsFile, ComparisonIgnoresPlacementAndSubdomain)
{
    Settings a(plain), b(plain);
    b.windowFlags = Settings::fullScreen;
    b.windowRect = {1, 2, 3, 4};
    b.siteSubdomain = L"other";
    EXPECT_FALSE(a.differsFrom(b));
    b.chatMessages[1].team = false;
    EXPECT_TRUE(a.differsFrom(b));
    Settings c(plain);
    c.serverButtonCount = 12;
    EXPECT_TRUE(a.differsFrom(c));
    // Each other field alone makes a difference too.
    void (*const changes[])(Settings&) = {
        [](Settings& s) { s.clicksPeriod.set(11); },          [](Settings& s) { s.battleLanguage = "de"; },
        [](Settings& s) { s.screenshotFolder = L"D:\\"; }, [](Settings& s) { s.dateFormat = L"yyyy"; },
        [](Settings& s) { s.timeFormat = L"HH"; },         [](Settings& s) { s.imageFormat = L"png"; },
        [](Settings& s) { s.jpegQuality = 50; },           [](Settings& s) { s.beepOnSave = false; },
        [](Settings& s) { s.screenshotKey = 27; },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        Settings d(plain);
        changes[i](d);
        EXPECT_TRUE(a.differsFrom(d)) << "field " << i;
    }
}

TEST(SettingsFile, FileThatCannotBeReadIsNeverReplacedAndAHugeOneIsCut)
{
    ScratchDirectory dir;
    Settings first(plain);
    first.clicksPeriod.set(42);
    ASSERT_TRUE(first.save());
    writeBytes("accounts.cfg", "myLabel7\r\n");
    const std::string before = *readBytes("zelvara.cfg");
    const auto hold = [](const wchar_t* name, DWORD access, DWORD sharing) {
        return ownFileHandle(CreateFileW(name, access, sharing, nullptr, OPEN_EXISTING, 0, nullptr));
    };
    {
        // An editor that keeps the file open for writing does not hide it.
        const UniqueHandle editor = hold(L"zelvara.cfg", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(editor);
        Settings s(plain);
        s.load();
        EXPECT_EQ(s.clicksPeriod.get(), 42u);
    }
    {
        UniqueHandle settings = hold(L"zelvara.cfg", GENERIC_READ, 0), accounts = hold(L"accounts.cfg", GENERIC_READ, 0);
        ASSERT_TRUE(settings && accounts);
        Settings s;
        s.load();
        EXPECT_EQ(s.clicksPeriod.get(), 10u);
        EXPECT_NE(s.siteSubdomain, L"myLabel7");
        settings.reset();
        accounts.reset();
        EXPECT_FALSE(s.save()) << "not even once it is free again";
    }
    EXPECT_EQ(*readBytes("zelvara.cfg"), before);
    EXPECT_EQ(*readBytes("accounts.cfg"), "myLabel7\r\n");

    // A huge file is read up to the bound, only blanks here, and rewritten.
    writeBytes("zelvara.cfg", std::string(2 << 20, ' ') + fileWith({{3, "33"}}));
    Settings huge(plain);
    huge.load();
    EXPECT_EQ(huge.clicksPeriod.get(), 10u);
    EXPECT_EQ(*readBytes("zelvara.cfg"), formatSettingsFile(huge, toOem));
}
