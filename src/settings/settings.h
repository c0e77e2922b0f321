// The one settings record and its two files, "zelvara.cfg" and "accounts.cfg".
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "base/placement.h"

// The settings sheet's ranges; loaded values are brought into them.
inline constexpr std::uint32_t maximumClicksPeriod = 999;
inline constexpr std::uint32_t maximumJpegQuality = 100;
inline constexpr std::uint32_t maximumServerButtonCount = 99;

struct ChatMessage {
    std::uint32_t key = 0;  // VK_F1 .. VK_F10
    std::wstring text;
    bool team = false;
    bool operator==(const ChatMessage&) const = default;
};

using WindowRect = ScreenRect;

// The values a record starts from that depend on the system: the
// user-interface language's string table and the desktop folder.
struct SettingsDefaults {
    std::string battleLanguage;
    std::wstring screenshotFolder;
    std::vector<ChatMessage> chatMessages;

    static const SettingsDefaults& system();
};

// A field a worker thread reads while the user-interface thread may assign
// the whole record: every read and write of it is atomic, copies included,
// and each is written out where it happens (get, set).
template <class T>
class SharedField {
public:
    explicit SharedField(T value = {}) noexcept : value_(value) {}
    SharedField(const SharedField& other) noexcept : value_(other.get()) {}
    SharedField& operator=(const SharedField& other) noexcept
    {
        set(other.get());
        return *this;
    }
    T get() const noexcept { return value_.load(); }
    void set(T value) noexcept { value_.store(value); }

private:
    std::atomic<T> value_;
};

class Settings {
public:
    enum WindowFlag : std::uint32_t { maximised = RememberedWindow::maximised, fullScreen = RememberedWindow::fullScreen };

    // Read by the clicker's worker at every pause.
    SharedField<std::uint32_t> clicksPeriod{10};
    std::string battleLanguage;
    std::uint32_t windowFlags = 0;
    WindowRect windowRect;
    std::wstring screenshotFolder;
    std::wstring dateFormat;
    std::wstring timeFormat;
    std::wstring imageFormat;
    std::uint32_t jpegQuality = 90;
    bool beepOnSave = true;
    std::vector<ChatMessage> chatMessages;
    std::uint32_t screenshotKey = 44;  // VK_SNAPSHOT
    std::uint32_t serverButtonCount = 30;
    std::wstring siteSubdomain;

    // Defaults of this system, with the sub-domain read from "accounts.cfg"
    // or generated and written there.
    Settings();
    // Defaults from the given values and no sub-domain; touches no file.
    explicit Settings(const SettingsDefaults& defaults);

    static Settings* instance();

    // A file that exists but cannot be read is left alone for the whole run.
    void load();
    // Writes "zelvara.cfg" through a temporary file, so a failed save leaves
    // the old file whole. Returns false when the file was not replaced,
    // also when load() found it unreadable.
    bool save() const;

    // Compares what the user can change; the window placement and the
    // sub-domain take no part.
    bool differsFrom(const Settings& other) const;

private:
    bool fileUnreadable_ = false;
};

// Reads the sub-domain from "accounts.cfg"; generates and writes a new one
// when the file is missing or empty, and for this run only when it exists
// but cannot be read.
std::wstring loadOrCreateSiteSubdomain();
