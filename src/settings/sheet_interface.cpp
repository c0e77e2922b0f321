// Interface page: screenshot key and the number of server buttons.
#include "base/control_text.h"
#include "resource.h"
#include "settings/settings.h"
#include "settings/settings_sheet.h"
#include "settings/sheet_pages.h"

namespace {

void fillInterfacePage(HWND page)
{
    const Settings& working = workingSettings();
    SendDlgItemMessageW(page, IDC_SERVER_BUTTON_COUNT, EM_LIMITTEXT, 2, 0);
    const int key = working.screenshotKey == VK_ESCAPE   ? IDC_KEY_ESCAPE
                    : working.screenshotKey == VK_OEM_3 ? IDC_KEY_OEM_3
                                                        : IDC_KEY_SNAPSHOT;
    CheckRadioButton(page, IDC_KEY_SNAPSHOT, IDC_KEY_ESCAPE, key);
    setControlNumber(GetDlgItem(page, IDC_SERVER_BUTTON_COUNT), working.serverButtonCount);
}

void applyInterfacePage(HWND page)
{
    Settings& working = workingSettings();
    working.screenshotKey = isChecked(page, IDC_KEY_ESCAPE)  ? VK_ESCAPE
                            : isChecked(page, IDC_KEY_OEM_3) ? VK_OEM_3
                                                             : VK_SNAPSHOT;
    const std::uint32_t count = getControlNumber(GetDlgItem(page, IDC_SERVER_BUTTON_COUNT));
    working.serverButtonCount = count == 0 ? 1 : count;
}

}  // namespace

INT_PTR CALLBACK interfacePageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        fillInterfacePage(page);
        return TRUE;
    case WM_NOTIFY:
        if (isApply(lParam))
            applyInterfacePage(page);
        return notificationHandled(page);
    default:
        return FALSE;
    }
}
