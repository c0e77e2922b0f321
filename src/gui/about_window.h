// The start view under the bar while no game is open: name, version,
// description, the settings button and the links to the program's pages.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "gui/button.h"
#include "gui/label.h"

namespace Gui {

class AboutWindow {
public:
    // Shown at once at `place` (in the parent's client area, right and
    // bottom inclusive), where the main window's layout puts it.
    // `openSettings` runs when "Change settings" is clicked.
    AboutWindow(HWND parent, const RECT& place, std::function<void()> openSettings);
    ~AboutWindow();
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    HWND hwnd() const noexcept { return window_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void onCommand(int id) noexcept;

    const wchar_t* className_;
    HWND parent_;
    HWND window_ = nullptr;
    std::function<void()> openSettings_;
    std::unique_ptr<Label> title_;
    std::unique_ptr<Label> version_;
    std::unique_ptr<MultilineLabel> description_;
    std::unique_ptr<Button> settings_;
    std::unique_ptr<Button> help_;
    std::unique_ptr<Button> homePage_;
    std::unique_ptr<Button> community_;
    std::unique_ptr<Button> projectCredit_;
    std::unique_ptr<Button> authorCredit_;
};

}  // namespace Gui
