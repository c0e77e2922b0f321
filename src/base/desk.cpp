#include "base/desk.h"

#include <windows.h>

namespace {

ScreenRect screenRect(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

bool describe(HMONITOR monitor, MonitorAreas& out)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return false;
    out = {screenRect(info.rcMonitor), screenRect(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0};
    return true;
}

BOOL CALLBACK collectMonitor(HMONITOR monitor, HDC, RECT*, LPARAM list)
{
    MonitorAreas m;
    if (describe(monitor, m))
        reinterpret_cast<std::vector<MonitorAreas>*>(list)->push_back(m);
    return TRUE;
}

MonitorAreas primaryScreen()
{
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const RECT area = work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return {screenRect(area), screenRect(work), true};
}

}  // namespace

std::vector<MonitorAreas> deskMonitors()
{
    std::vector<MonitorAreas> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty())
        monitors.push_back(primaryScreen());
    return monitors;
}

MonitorAreas monitorOfWindow(HWND window)
{
    MonitorAreas m;
    if (!describe(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), m))
        m = primaryScreen();
    return m;
}
