// The set-up the suites that host the web browser control share: a
// single-threaded apartment with the container classes registered.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include "browser/ax_host.h"

class BrowserApartmentTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_TRUE(AtlAxWinInit());
    }
    static void TearDownTestSuite() { CoUninitialize(); }
};

// A window class of the test executable, standing in for the main window.
inline bool registerTestWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background = nullptr)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    return RegisterClassW(&windowClass) != 0;
}
