// Screenshots of a window this test paints, written into a scratch folder and
// decoded back with GDI+.
#include <gtest/gtest.h>

#include "screenshot/screenshot_writer.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/take_screenshot.h"
#include "browser/ax_host.h"
#include "browser/browser_event.h"
#include "screenshot/screenshoter_thread.h"
#include "settings/settings.h"
#include "browser_test_support.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr COLORREF leftColour = RGB(200, 30, 40);
constexpr COLORREF rightColour = RGB(20, 60, 220);
constexpr COLORREF otherColour = RGB(240, 200, 10);
constexpr int sourceWidth = 200;
constexpr int sourceHeight = 120;

constexpr wchar_t dayFirst[] = L"dd'.'MM'.'yyyy' '";
constexpr wchar_t yearFirst[] = L"yyyy'-'MM'-'dd' '";
constexpr wchar_t timePicture[] = L"HH'-'mm'-'ss'.'";
// Pictures without fields give the same stamp at every moment.
constexpr wchar_t fixedDate[] = L"'shot '";
constexpr wchar_t fixedTime[] = L"'x.'";

// The source window: its left half in one colour, its right half in
// another, the two colours found through GWLP_USERDATA.
LRESULT CALLBACK paintedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        const auto* colours = reinterpret_cast<const COLORREF*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        RECT left = area;
        left.right = area.right / 2;
        RECT right = area;
        right.left = left.right;
        const HBRUSH leftBrush = CreateSolidBrush(colours[0]);
        const HBRUSH rightBrush = CreateSolidBrush(colours[1]);
        FillRect(dc, &left, leftBrush);
        FillRect(dc, &right, rightBrush);
        DeleteObject(leftBrush);
        DeleteObject(rightBrush);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A borderless child of a top-level popup, as the player window sits in the page.
class PaintedWindow {
public:
    PaintedWindow(int width = sourceWidth, int height = sourceHeight)
    {
        static const ATOM registered = [] {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = paintedProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"ZelvaraTestPainted";
            return RegisterClassW(&windowClass);
        }();
        EXPECT_NE(registered, 0);
        frame_ = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 40, 40, width + 20,
                                 height + 20, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        child_ = CreateWindowExW(0, L"ZelvaraTestPainted", L"", WS_CHILD | WS_VISIBLE, 10, 10, width, height, frame_,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(child_, nullptr);
        SetWindowLongPtrW(child_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(colours_));
        paint(leftColour, rightColour);
    }
    ~PaintedWindow() { DestroyWindow(frame_); }
    PaintedWindow(const PaintedWindow&) = delete;
    PaintedWindow& operator=(const PaintedWindow&) = delete;

    void paint(COLORREF left, COLORREF right)
    {
        colours_[0] = left;
        colours_[1] = right;
        InvalidateRect(child_, nullptr, TRUE);
        UpdateWindow(frame_);
        UpdateWindow(child_);
        pumpMessages();
    }

    HWND get() const { return child_; }

private:
    HWND frame_ = nullptr;
    HWND child_ = nullptr;
    COLORREF colours_[2] = {};
};

class GdiplusSession {
public:
    GdiplusSession()
    {
        const Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(token_); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

struct Decoded {
    UINT width = 0;
    UINT height = 0;
    COLORREF left = 0;   // at a quarter of the width, half the height
    COLORREF right = 0;  // at three quarters of the width
};

COLORREF toColorref(Gdiplus::ARGB argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

std::optional<Decoded> decode(const fs::path& file)
{
    using namespace Gdiplus::DllExports;
    GdiplusSession session;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(file.c_str(), &bitmap) != Gdiplus::Ok)
        return std::nullopt;
    Decoded decoded;
    GdipGetImageWidth(bitmap, &decoded.width);
    GdipGetImageHeight(bitmap, &decoded.height);
    Gdiplus::ARGB left = 0;
    Gdiplus::ARGB right = 0;
    const INT y = static_cast<INT>(decoded.height / 2);
    GdipBitmapGetPixel(bitmap, static_cast<INT>(decoded.width / 4), y, &left);
    GdipBitmapGetPixel(bitmap, static_cast<INT>(decoded.width * 3 / 4), y, &right);
    GdipDisposeImage(bitmap);
    decoded.left = toColorref(left);
    decoded.right = toColorref(right);
    return decoded;
}

// JPEG changes colours a little even where they are flat.
bool closeTo(COLORREF actual, COLORREF expected, int tolerance)
{
    const auto close = [tolerance](int a, int b) { return a - b <= tolerance && b - a <= tolerance; };
    return close(GetRValue(actual), GetRValue(expected)) && close(GetGValue(actual), GetGValue(expected)) &&
           close(GetBValue(actual), GetBValue(expected));
}


struct Finished {
    WPARAM thread;
    LPARAM shot;
};
std::vector<Finished> finished;

// Stands in for the main window: keeps every report of a screenshot taken.
LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SCREENSHOT_TAKEN) {
        finished.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND createMainWindow()
{
    static const ATOM registered = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = mainProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ZelvaraTestShotMain";
        return RegisterClassW(&windowClass);
    }();
    EXPECT_NE(registered, 0);
    return CreateWindowExW(0, L"ZelvaraTestShotMain", L"main", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 400, 300,
                           640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

std::vector<std::wstring> filesIn(const fs::path& folder)
{
    std::vector<std::wstring> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        names.push_back(entry.path().filename().wstring());
    return names;
}

std::wstring stampOf(const SYSTEMTIME& time, const wchar_t* datePicture)
{
    return formatScreenshotStamp(time, datePicture, timePicture).value_or(L"?");
}

SYSTEMTIME localNow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

}  // namespace

TEST(ScreenshotStamp, FollowsBothDatePicturesAndTheTimePicture)
{
    SYSTEMTIME evening = {};
    evening.wYear = 2026;
    evening.wMonth = 12;
    evening.wDay = 6;
    evening.wHour = 19;
    evening.wMinute = 5;
    evening.wSecond = 32;
    EXPECT_EQ(stampOf(evening, dayFirst), L"06.12.2026 19-05-32.");
    EXPECT_EQ(stampOf(evening, yearFirst), L"2026-12-06 19-05-32.");

    SYSTEMTIME morning = evening;
    morning.wMonth = 1;
    morning.wDay = 2;
    morning.wHour = 3;
    morning.wMinute = 4;
    morning.wSecond = 5;
    EXPECT_EQ(stampOf(morning, dayFirst), L"02.01.2026 03-04-05.");
    EXPECT_EQ(stampOf(morning, yearFirst), L"2026-01-02 03-04-05.");
}

class ScreenshotWriterTest : public testing::Test {
protected:
    // Saves the painted window with a fresh writer, as each screenshot thread does.
    bool save(const std::wstring& folder, const std::wstring& format, const wchar_t* datePicture = dayFirst,
              const wchar_t* timeFormat = timePicture, std::uint32_t quality = 90)
    {
        const std::wstring date = datePicture;
        const std::wstring time = timeFormat;
        ScreenshotWriter writer(folder, date, time, format, quality, true);
        const bool saved = writer.save(window_.get());
        lastPath_ = writer.path();
        return saved;
    }

    ScratchDirectory scratch_;
    PaintedWindow window_;
    fs::path lastPath_;
};

TEST_F(ScreenshotWriterTest, EachFormatDecodesBackWithTheWindowsPixels)
{
    struct Case {
        const wchar_t* format;
        const wchar_t* datePicture;
        int tolerance;
    };
    for (const Case& c : {Case{L"jpeg", dayFirst, 24}, Case{L"png", yearFirst, 0}, Case{L"bmp", dayFirst, 0}}) {
        SCOPED_TRACE(testing::Message() << fs::path(c.format).string());
        const fs::path folder = scratch_.path() / c.format;
        const SYSTEMTIME before = localNow();
        ASSERT_TRUE(save(folder.wstring(), c.format, c.datePicture));
        const SYSTEMTIME after = localNow();

        const std::vector<std::wstring> files = filesIn(folder);
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(lastPath_, folder / files[0]);
        EXPECT_TRUE(files[0] == stampOf(before, c.datePicture) + c.format ||
                    files[0] == stampOf(after, c.datePicture) + c.format)
            << fs::path(files[0]).string();

        const std::optional<Decoded> image = decode(folder / files[0]);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, static_cast<UINT>(sourceWidth));
        EXPECT_EQ(image->height, static_cast<UINT>(sourceHeight));
        EXPECT_TRUE(closeTo(image->left, leftColour, c.tolerance)) << std::hex << image->left;
        EXPECT_TRUE(closeTo(image->right, rightColour, c.tolerance)) << std::hex << image->right;
    }
}

TEST_F(ScreenshotWriterTest, OnlyJpegGetsTheQualityAsOneLongValue)
{
    static constexpr GUID encoderQuality = {
        0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};
    const std::wstring folder = scratch_.path().wstring();
    const std::wstring date = dayFirst;
    const std::wstring time = timePicture;
    for (const std::uint32_t quality : {0u, 100u}) {
        const std::wstring jpeg = L"jpeg";
        ScreenshotWriter writer(folder, date, time, jpeg, quality, false);
        const Gdiplus::EncoderParameters* parameters = writer.encoderParameters();
        ASSERT_NE(parameters, nullptr);
        EXPECT_EQ(parameters->Count, 1u);
        const Gdiplus::EncoderParameter& parameter = parameters->Parameter[0];
        EXPECT_TRUE(IsEqualGUID(parameter.Guid, encoderQuality));
        EXPECT_EQ(parameter.NumberOfValues, 1u);
        EXPECT_EQ(parameter.Type, 4u);
        ASSERT_NE(parameter.Value, nullptr);
        EXPECT_EQ(*static_cast<const ULONG*>(parameter.Value), quality);
        // The block reaches the encoder: GDI+ accepts it and writes the file.
        EXPECT_TRUE(writer.save(window_.get()));
        EXPECT_TRUE(fs::exists(writer.path()));

        for (const wchar_t* format : {L"png", L"bmp"}) {
            const std::wstring other = format;
            EXPECT_EQ(ScreenshotWriter(folder, date, time, other, quality, false).encoderParameters(), nullptr);
        }
    }
}

TEST_F(ScreenshotWriterTest, AFolderEndingInABackslashGetsNoSecondOne)
{
    const std::wstring folder = (scratch_.path() / "shots").wstring() + L"\\";
    ASSERT_TRUE(save(folder, L"png"));
    EXPECT_EQ(lastPath_.wstring().find(L"\\\\"), std::wstring::npos) << lastPath_.string();
    EXPECT_EQ(lastPath_.parent_path(), scratch_.path() / "shots");
    EXPECT_EQ(filesIn(scratch_.path() / "shots").size(), 1u);
}

TEST_F(ScreenshotWriterTest, OnlyTheLastLevelOfTheFolderIsCreated)
{
    const fs::path existingParent = scratch_.path() / "new";
    ASSERT_TRUE(save(existingParent.wstring(), L"bmp"));
    EXPECT_EQ(filesIn(existingParent).size(), 1u);

    const fs::path missingParent = scratch_.path() / "missing" / "shots";
    EXPECT_FALSE(save(missingParent.wstring(), L"bmp"));
    EXPECT_FALSE(fs::exists(scratch_.path() / "missing"));
    EXPECT_EQ(filesIn(scratch_.path()).size(), 1u) << "only the folder made before";
}

TEST_F(ScreenshotWriterTest, ASecondShotOfTheSameSecondGetsANumberNotTheFirstsName)
{
    const fs::path folder = scratch_.path();
    ASSERT_TRUE(save(folder.wstring(), L"png", fixedDate, fixedTime));
    EXPECT_EQ(lastPath_, folder / L"shot x.png");

    window_.paint(otherColour, otherColour);
    ASSERT_TRUE(save(folder.wstring(), L"png", fixedDate, fixedTime));
    EXPECT_EQ(lastPath_, folder / L"shot x (2).png");
    ASSERT_TRUE(save(folder.wstring(), L"png", fixedDate, fixedTime));
    EXPECT_EQ(lastPath_, folder / L"shot x (3).png");
    EXPECT_EQ(filesIn(folder).size(), 3u);

    const std::optional<Decoded> first = decode(folder / L"shot x.png");
    const std::optional<Decoded> second = decode(folder / L"shot x (2).png");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->left, leftColour) << "the first file was replaced";
    EXPECT_EQ(second->left, otherColour);
}

TEST_F(ScreenshotWriterTest, AFolderTooLongForANameFailsWithoutFileOrFolder)
{
    const std::wstring base = scratch_.path().wstring() + L"\\";
    // "06.12.2026 19-05-32.jpeg" is 24 characters: with the backslash this
    // folder leaves room for 20 at most.
    const std::wstring nearlyFull = base + std::wstring(238 - base.size(), L'a');
    EXPECT_FALSE(save(nearlyFull, L"jpeg"));
    // Room for the backslash and nothing more.
    EXPECT_FALSE(save(base + std::wstring(258 - base.size(), L'b'), L"jpeg"));
    // No room even for the backslash, and beyond the buffer.
    EXPECT_FALSE(save(base + std::wstring(259 - base.size(), L'c'), L"jpeg"));
    EXPECT_FALSE(save(base + std::wstring(400, L'd'), L"jpeg"));
    EXPECT_TRUE(filesIn(scratch_.path()).empty());

    // A name that just fits is written: 259 characters in all.
    const std::wstring fits = base + std::wstring(259 - 1 - 24 - base.size(), L'e');
    ASSERT_TRUE(save(fits, L"jpeg"));
    EXPECT_EQ(lastPath_.wstring().size(), 259u);
    EXPECT_EQ(filesIn(fits).size(), 1u);
}

TEST_F(ScreenshotWriterTest, AnUnknownFormatOrAMissingWindowWritesNothing)
{
    const fs::path folder = scratch_.path() / "shots";
    EXPECT_FALSE(save(folder.wstring(), L"webp"));
    EXPECT_TRUE(filesIn(folder).empty());
    // The cached lookup moves on with the format, in both directions.
    EXPECT_TRUE(save(folder.wstring(), L"png"));
    EXPECT_FALSE(save(folder.wstring(), L"webp"));
    EXPECT_FALSE(save(folder.wstring(), L"PNG")) << "MIME types compare case-sensitively";
    EXPECT_EQ(filesIn(folder).size(), 1u);

    const std::wstring date = dayFirst;
    const std::wstring time = timePicture;
    const std::wstring bmp = L"bmp";
    ScreenshotWriter writer(folder.wstring(), date, time, bmp, 90, true);
    const HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(writer.save(gone));
    EXPECT_EQ(filesIn(folder).size(), 1u);
}

class ScreenshoterThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        finished.clear();
        main_ = createMainWindow();
        ASSERT_NE(main_, nullptr);
    }
    void TearDown() override { DestroyWindow(main_); }

    ScratchDirectory scratch_;
    HWND main_ = nullptr;
};

TEST_F(ScreenshoterThreadTest, ReportsEachShotItTakesAndOnlyThatShotFreesIt)
{
    PaintedWindow window;
    const fs::path folder = scratch_.path() / "shots";
    auto thread = std::make_unique<ScreenshoterThread>(main_);
    thread->start();
    for (const wchar_t* format : {L"png", L"bmp"}) {
        ASSERT_TRUE(thread->take({window.get(), folder.wstring(), dayFirst, timePicture, format, 90, true}));
        EXPECT_FALSE(thread->take({window.get(), folder.wstring(), dayFirst, timePicture, L"gif", 90, true}));
        const std::size_t count = finished.size() + 1;
        ASSERT_TRUE(pumpUntil([count] { return finished.size() == count; }, 10000));
        const Finished report = finished.back();
        EXPECT_FALSE(thread->taken(report.thread, report.shot + 1)) << "another shot's report";
        EXPECT_TRUE(thread->busy());
        EXPECT_TRUE(thread->taken(report.thread, report.shot));
        EXPECT_FALSE(thread->busy());
    }
    EXPECT_FALSE(thread->taken(finished[0].thread, finished[0].shot)) << "an old report frees nothing";
    thread.reset();

    const std::vector<std::wstring> files = filesIn(folder);
    ASSERT_EQ(files.size(), 2u) << "a press while busy is dropped";
    for (const std::wstring& file : files) {
        const std::optional<Decoded> image = decode(folder / file);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->right, rightColour);
    }
}

TEST_F(ScreenshoterThreadTest, DestroyedWhileWritingItWaitsForACompleteFile)
{
    // Large enough that the encoding takes a while after the name is claimed.
    constexpr int width = 1100;
    constexpr int height = 900;
    PaintedWindow window(width, height);
    const fs::path folder = scratch_.path();
    auto thread = std::make_unique<ScreenshoterThread>(main_);
    thread->start();
    // Asked for just before the program ends: still taken, and whole.
    ASSERT_TRUE(thread->take({window.get(), folder.wstring(), dayFirst, timePicture, L"bmp", 90, true}));
    thread.reset();
    ASSERT_EQ(filesIn(folder).size(), 1u);
    // Its owner stopped it: no end report is left to name a freed object.
    EXPECT_FALSE(pumpUntil([] { return !finished.empty(); }, 300));

    const fs::path file = folder / filesIn(folder)[0];
    // A BMP states its whole size in its header.
    const std::optional<std::string> bytes = readBytes(file);
    ASSERT_TRUE(bytes && bytes->size() > 6);
    const auto byteAt = [&bytes](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>((*bytes)[i])); };
    const std::uint32_t statedSize = byteAt(2) | byteAt(3) << 8 | byteAt(4) << 16 | byteAt(5) << 24;
    EXPECT_EQ(bytes->size(), statedSize);
    const std::optional<Decoded> image = decode(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, static_cast<UINT>(width));
    EXPECT_EQ(image->height, static_cast<UINT>(height));
    EXPECT_EQ(image->left, leftColour);
}

class TakeScreenshotTest : public BrowserApartmentTest {
protected:
    void SetUp() override
    {
        finished.clear();
        app_.mainWindow = createMainWindow();
        ASSERT_NE(app_.mainWindow, nullptr);
        settings_->screenshotFolder = folder_.wstring();
        settings_->dateFormat = yearFirst;
        settings_->timeFormat = timePicture;
        settings_->imageFormat = L"png";
        settings_->jpegQuality = 77;
        settings_->beepOnSave = false;
    }
    void TearDown() override
    {
        app_.screenshotThread.reset();
        app_.browserHost.reset();
        DestroyWindow(app_.mainWindow);
        *settings_ = saved_;
    }

    // What the main window does with the end of a screenshot.
    void finishScreenshot(std::size_t count)
    {
        ASSERT_TRUE(pumpUntil([count] { return finished.size() == count; }, 10000));
        EXPECT_TRUE(app_.screenshotThread->taken(finished.back().thread, finished.back().shot));
    }

    ScratchDirectory scratch_;
    Settings* settings_ = Settings::instance();
    Settings saved_ = *settings_;
    fs::path folder_ = scratch_.path() / "shots";
    Application app_;
    PaintedWindow player_;
};

TEST_F(TakeScreenshotTest, WithoutABrowserHostNothingStarts)
{
    takeScreenshot(app_);
    EXPECT_EQ(app_.screenshotThread, nullptr);
}

TEST_F(TakeScreenshotTest, WithoutAPlayerWindowItSearchesOnceAndDrops)
{
    app_.browserHost = std::make_unique<BrowserHost>(app_.mainWindow, L"http://127.0.0.1:9/first.html", Box{});
    const std::int32_t ticks = app_.browserHost->searchTicksLeft;
    takeScreenshot(app_);
    EXPECT_EQ(app_.browserHost->searchTicksLeft, ticks - 1);
    EXPECT_EQ(app_.screenshotThread, nullptr);
}

TEST_F(TakeScreenshotTest, OneScreenshotAtATimeWithTheSettingsOfItsStart)
{
    app_.browserHost = std::make_unique<BrowserHost>(app_.mainWindow, L"http://127.0.0.1:9/first.html", Box{});
    app_.browserHost->flashWindowHandle = player_.get();
    const std::int32_t ticks = app_.browserHost->searchTicksLeft;

    takeScreenshot(app_);
    ASSERT_NE(app_.screenshotThread, nullptr);
    EXPECT_EQ(app_.browserHost->searchTicksLeft, ticks) << "a known player window needs no search";
    const ScreenshoterThread* worker = app_.screenshotThread.get();
    // A change of the settings now does not reach the screenshot under way.
    settings_->imageFormat = L"bmp";

    takeScreenshot(app_);
    finishScreenshot(1);
    std::vector<std::wstring> files = filesIn(folder_);
    ASSERT_EQ(files.size(), 1u) << "the second press is dropped, not queued";
    EXPECT_EQ(fs::path(files[0]).extension(), ".png");

    takeScreenshot(app_);
    EXPECT_EQ(app_.screenshotThread.get(), worker) << "one worker for every shot";
    finishScreenshot(2);
    files = filesIn(folder_);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(fs::path(files[0]).extension(), fs::path(files[1]).extension());
}
