#include "gui/about_window.h"

#include <shellapi.h>

#include "base/constants.h"
#include "base/text.h"
#include "gui/about_links.h"
#include "resource.h"

namespace Gui {

namespace {

constexpr wchar_t aboutClassName[] = L"Zelvara#About";

HFONT labelFont(int height)
{
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    return CreateFontIndirectW(&font);
}

template <class LabelKind>
std::unique_ptr<LabelKind> makeLabel(HWND parent, const RECT& rect, std::wstring text, COLORREF colour, int height)
{
    auto label = std::make_unique<LabelKind>(parent, rect, std::move(text));
    label->textColour = colour;
    label->backgroundColour = backgroundColour;
    label->setFont(labelFont(height));
    return label;
}

std::wstring versionCaption()
{
    wchar_t caption[256];
    wsprintfW(caption, loadResourceString(IDS_VERSION).c_str(), widen(productVersion).c_str(),
              widen(releaseDate).c_str());
    return caption;
}

void openPage(const wchar_t* address)
{
    ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

AboutWindow::AboutWindow(HWND parent, const RECT& place, std::function<void()> openSettings)
    : className_(aboutClassName), parent_(parent), openSettings_(std::move(openSettings))
{
    if (!registerBackgroundClass(className_, procedure))
        return;
    window_ = CreateWindowExW(0, className_, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, place.left,
                              place.top, place.right - place.left + 1, place.bottom - place.top + 1, parent_, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (!window_)
        return;

    title_ = makeLabel<Label>(window_, {0, 50, 999, 89}, productName, RGB(0, 255, 0), 40);
    version_ = makeLabel<Label>(window_, {0, 110, 999, 129}, versionCaption(), RGB(0, 170, 0), 20);
    description_ = makeLabel<MultilineLabel>(window_, {100, 175, 899, 249}, loadResourceString(IDS_DESCRIPTION),
                                             RGB(221, 221, 0), 18);
    settings_ = std::make_unique<Button>(window_, RECT{350, 260, 649, 299}, loadResourceString(IDS_CHANGE_SETTINGS),
                                         0, false);
    help_ = std::make_unique<Button>(window_, RECT{300, 340, 699, 369}, loadResourceString(IDS_ONLINE_HELP), 1,
                                     false);
    homePage_ = std::make_unique<Button>(window_, RECT{345, 410, 654, 439}, AboutLinks::homePageCaption, 2, false);
    community_ = std::make_unique<Button>(window_, RECT{345, 450, 654, 479}, AboutLinks::communityCaption, 3, false);
    projectCredit_ = std::make_unique<Button>(window_, RECT{345, 520, 654, 544}, AboutLinks::sourceCaption, 4, false);
    authorCredit_ = std::make_unique<Button>(window_, RECT{380, 550, 619, 569}, AboutLinks::authorCaption, 5, false);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

AboutWindow::~AboutWindow()
{
    title_.reset();
    version_.reset();
    description_.reset();
    settings_.reset();
    help_.reset();
    homePage_.reset();
    community_.reset();
    projectCredit_.reset();
    authorCredit_.reset();
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    UnregisterClassW(className_, GetModuleHandleW(nullptr));
}

void AboutWindow::onCommand(int id) noexcept
{
    switch (id) {
    case 0:
        if (openSettings_)
            openSettings_();
        break;
    case 1: openPage(AboutLinks::help); break;
    case 2: openPage(AboutLinks::homePage); break;
    case 3: openPage(AboutLinks::community); break;
    case 4: openPage(AboutLinks::source); break;
    case 5: openPage(AboutLinks::author); break;
    default: break;
    }
}

LRESULT CALLBACK AboutWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* about = reinterpret_cast<AboutWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (about && message == WM_COMMAND)
        about->onCommand(LOWORD(wParam));
    // The main window may take this window with it before the object goes.
    if (about && message == WM_NCDESTROY)
        about->window_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace Gui
