#include "screenshot/screenshot_writer.h"

#include <mmsystem.h>

#include <cstring>
#include <new>

#include "gui/gdi.h"
#include "resource.h"

namespace {

// {1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}; our own copy, so no GUID library is needed.
constexpr GUID encoderQuality = {0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};

// More copies of one second than anyone takes; bounds the search for a free name.
constexpr unsigned maxCopies = 9999;

// The last encoder asked for, with the answer the encoder list gave. Only
// the one screenshot thread of the moment touches it, so it needs no lock.
struct EncoderCache {
    std::wstring mimeType;
    bool found = false;
    CLSID clsid{};
};
EncoderCache encoderCache;

const CLSID* findEncoder(const std::wstring& mimeType)
{
    if (mimeType == encoderCache.mimeType)
        return encoderCache.found ? &encoderCache.clsid : nullptr;
    // A list that could not be had is no answer: the next screenshot asks again.
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || count == 0 || size == 0)
        return nullptr;
    const std::unique_ptr<std::byte[]> buffer(new (std::nothrow) std::byte[size]);
    if (!buffer)
        return nullptr;
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
    if (Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return nullptr;
    encoderCache.mimeType = mimeType;
    encoderCache.found = false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && mimeType == codecs[i].MimeType) {
            encoderCache.clsid = codecs[i].Clsid;
            encoderCache.found = true;
            break;
        }
    }
    return encoderCache.found ? &encoderCache.clsid : nullptr;
}

// The bitmap a window is captured into: 32 bits a pixel, as a compatible
// bitmap has them on the desks of today, so the files are the same byte for
// byte. Its bits are the system's pages and go back to it when it is
// deleted; a compatible bitmap's came from Wine's C heap, which kept a
// shot's 2.4 MB for good once a second shot on one thread had used it.
HBITMAP createCapture(HDC source, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

struct GdiplusImageDeleter {
    void operator()(Gdiplus::GpBitmap* image) const noexcept { Gdiplus::DllExports::GdipDisposeImage(image); }
};
using UniqueGdiplusBitmap = std::unique_ptr<Gdiplus::GpBitmap, GdiplusImageDeleter>;

}  // namespace

std::optional<std::wstring> formatScreenshotStamp(const SYSTEMTIME& time, const std::wstring& dateFormat,
                                                  const std::wstring& timeFormat)
{
    wchar_t text[screenshotPathCapacity];
    const int dateLength =
        GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, dateFormat.c_str(), text, screenshotPathCapacity);
    if (dateLength == 0)
        return std::nullopt;
    // The time text overwrites the date's terminating null.
    const int dateEnd = dateLength - 1;
    const int timeLength = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, timeFormat.c_str(), text + dateEnd,
                                          static_cast<int>(screenshotPathCapacity) - dateEnd);
    if (timeLength == 0)
        return std::nullopt;
    return std::wstring(text, static_cast<std::size_t>(dateEnd + timeLength - 1));
}

ScreenshotWriter::ScreenshotWriter(const std::wstring& folder, const std::wstring& dateFormat,
                                   const std::wstring& timeFormat, const std::wstring& imageFormat,
                                   std::uint32_t jpegQuality, bool beep)
    : folder_(folder),
      dateFormat_(dateFormat),
      timeFormat_(timeFormat),
      imageFormat_(imageFormat),
      quality_(jpegQuality),
      beep_(beep)
{
    const Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);

    // A folder that does not fit, backslash and all, is never cut short.
    // Such a writer saves nothing.
    if (const std::optional<std::wstring> prefix = screenshotFolderPrefix(folder_)) {
        prefix->copy(path_, prefix->size());
        path_[prefix->size()] = L'\0';
        nameStart_ = prefix->size();
    }

    if (imageFormat_.size() >= 2 && imageFormat_[0] == L'j' && imageFormat_[1] == L'p') {
        encoderParameters_ = std::make_unique<Gdiplus::EncoderParameters>();
        encoderParameters_->Count = 1;
        Gdiplus::EncoderParameter& parameter = encoderParameters_->Parameter[0];
        parameter.Guid = encoderQuality;
        parameter.NumberOfValues = 1;
        parameter.Type = Gdiplus::EncoderParameterValueTypeLong;
        parameter.Value = &quality_;
    }
}

ScreenshotWriter::~ScreenshotWriter()
{
    Gdiplus::GdiplusShutdown(token_);
    encoderParameters_.reset();
}

bool ScreenshotWriter::save(HWND window)
{
    // One reading of the clock for both texts, so a screenshot at midnight
    // never gets the old date with the new time.
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::optional<std::wstring> stamp = formatScreenshotStamp(now, dateFormat_, timeFormat_);
    // A name that cannot fit is known before anything is captured or created.
    if (!stamp || !fitsScreenshotPath(nameStart_ + screenshotFileName(*stamp, imageFormat_, 1).size()))
        return false;

    bool saved = false;
    {
        const Gui::ClientDc source(window);
        RECT rect;
        if (GetWindowRect(window, &rect)) {
            const int width = rect.right - rect.left;
            const int height = rect.bottom - rect.top;
            const Gui::UniqueMemoryDc memory(CreateCompatibleDC(source.get()));
            const Gui::UniqueBitmap bitmap(createCapture(source.get(), width, height));
            {
                // GDI+ wants the bitmap out of every device context when it wraps it.
                const Gui::SelectedObject selected(memory.get(), bitmap.get());
                BitBlt(memory.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
            }
            // Only the last level is made; an existing folder is fine.
            path_[nameStart_] = L'\0';
            CreateDirectoryW(path_, nullptr);
            Gdiplus::GpBitmap* wrapped = nullptr;
            if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap.get(), nullptr, &wrapped) == Gdiplus::Ok) {
                const UniqueGdiplusBitmap image(wrapped);
                if (const CLSID* encoder = findEncoder(L"image/" + imageFormat_))
                    saved = writeFile(image.get(), *encoder, *stamp);
            }
        }
    }
    if (saved && beep_)
        PlaySoundW(MAKEINTRESOURCEW(IDR_SAVED_SOUND), GetModuleHandleW(nullptr), SND_RESOURCE | SND_SYNC);
    return saved;
}

bool ScreenshotWriter::writeFile(Gdiplus::GpImage* image, const CLSID& encoder, const std::wstring& stamp)
{
    for (unsigned copy = 1; copy <= maxCopies; ++copy) {
        const std::wstring name = screenshotFileName(stamp, imageFormat_, copy);
        if (!fitsScreenshotPath(nameStart_ + name.size()))
            return false;
        name.copy(path_ + nameStart_, name.size());
        path_[nameStart_ + name.size()] = L'\0';
        // Creating the file claims its name at once, so a second screenshot
        // of the same second never replaces the first.
        const HANDLE created = CreateFileW(path_, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return false;
        }
        CloseHandle(created);
        if (Gdiplus::DllExports::GdipSaveImageToFile(image, path_, &encoder, encoderParameters_.get()) == Gdiplus::Ok)
            return true;
        // No empty or broken file is left behind.
        DeleteFileW(path_);
        return false;
    }
    return false;
}
