#pragma once
#include <windows.h>

#include <vector>

#include "PageMarkup.h"

// The control's window chain, three deep with the platform's class names;
// the page's plug-in windows live in the innermost one, inside the sunken
// edge the control draws around the page unless its host turned it off.
class ViewWindows {
public:
    ViewWindows(HWND parent, const RECT& position, bool edge);
    ~ViewWindows();
    ViewWindows(const ViewWindows&) = delete;
    ViewWindows& operator=(const ViewWindows&) = delete;

    HWND outer() const { return embedding_; }
    HWND server() const { return server_; }
    void move(const RECT& position);
    void showPlugins(const std::vector<PageMarkup::Embed>& embeds);
    void clearPlugins();

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK serverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    RECT page(HWND server) const;

    bool edge_;
    HWND embedding_ = nullptr, view_ = nullptr, server_ = nullptr;
};
