// The player's monitors as the system reports them now.
#pragma once
#include <vector>

#include "base/placement.h"

struct HWND__;

// Every monitor with its work area and the primary marked. Should the
// system list none, the primary screen and its work area stand in.
std::vector<MonitorAreas> deskMonitors();

// The monitor that holds the largest part of the window, or the nearest.
MonitorAreas monitorOfWindow(HWND__* window);
