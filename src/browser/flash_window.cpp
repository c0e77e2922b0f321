#include "browser/browser_host.h"

void CALLBACK findFlashWindow(HWND, UINT, UINT_PTR hostId, DWORD)
{
    auto* host = reinterpret_cast<BrowserHost*>(hostId);
    // Every call counts as a tick, whatever it finds.
    --host->searchTicksLeft;
}
