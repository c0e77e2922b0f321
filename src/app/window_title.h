// The main window's caption: the command-line prefix, the open server and
// the product name and version.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

class WindowTitle {
public:
    // The whole command line goes into the prefix, however long it is; the
    // caption is held in a string that grows with it.
    explicit WindowTitle(std::wstring_view commandLine);

    // server -1 means none. Returns the new caption, also kept in title().
    const std::wstring& format(std::int32_t server);

    const std::wstring& prefix() const { return prefix_; }
    const std::wstring& title() const { return title_; }

private:
    std::wstring prefix_;
    std::wstring title_;
};
