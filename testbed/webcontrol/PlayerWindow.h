#pragma once
#include <windows.h>

#include <string>

#include "LoadCondition.h"
#include "PageMarkup.h"
#include "PlayerLog.h"

// The stand-in game player: the window a page's embed tag asks for. It draws
// a playing field, takes chat keys and clicks as posted messages, logs every
// input, and shows the loaded battle (white near the bottom-right corner)
// once its page's condition is met. The window owns the object.
class PlayerWindow {
public:
    static constexpr const wchar_t* className = L"TestbedPlayer";

    // The window sits at the page's top left; percent sizes are of the page.
    static HWND create(HWND parent, const PageMarkup::Embed& embed, const RECT& page);
    static PlayerWindow* from(HWND hwnd);

    void fit(const RECT& page);  // follows percent sizes

private:
    explicit PlayerWindow(const PageMarkup::Embed& embed);
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void key(WPARAM vk);
    void character(wchar_t c);
    void checkLoaded();
    void paint(HDC dc, int width, int height) const;
    bool canLoad() const;  // a one-pixel plug-in never shows a battle

    HWND hwnd_ = nullptr;
    PageMarkup::Embed embed_;
    LoadCondition condition_;
    PlayerLog log_;
    ULONGLONG created_;
    int width_ = 0, height_ = 0;
    bool loaded_ = false;
    bool chatOpen_ = false, chatTeam_ = false;
    std::wstring chatText_;
    bool sentTeam_ = false;
    std::wstring sent_;
};
