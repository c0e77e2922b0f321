// General page: clicking period and battle-server language.
#include "base/control_text.h"
#include "resource.h"
#include "settings/settings.h"
#include "settings/settings_sheet.h"
#include "settings/sheet_pages.h"

namespace {

void fillGeneralPage(HWND page)
{
    // The start page: the sheet is centred once, as it opens.
    centreOverOwner(GetParent(page));
    const Settings& working = workingSettings();
    SendDlgItemMessageW(page, IDC_CLICKS_PERIOD, EM_LIMITTEXT, 3, 0);
    setControlNumber(GetDlgItem(page, IDC_CLICKS_PERIOD), working.clicksPeriod.get());
    // Checked directly rather than clicked: a click may fail while the
    // sheet is not yet active. Any unknown code shows as English.
    const int language = working.battleLanguage == "ru"   ? IDC_LANGUAGE_RU
                         : working.battleLanguage == "de" ? IDC_LANGUAGE_DE
                                                          : IDC_LANGUAGE_EN;
    CheckRadioButton(page, IDC_LANGUAGE_EN, IDC_LANGUAGE_RU, language);
}

void applyGeneralPage(HWND page)
{
    Settings& working = workingSettings();
    const std::uint32_t period = getControlNumber(GetDlgItem(page, IDC_CLICKS_PERIOD));
    working.clicksPeriod.set(period == 0 ? 1 : period);
    working.battleLanguage = isChecked(page, IDC_LANGUAGE_RU)   ? "ru"
                             : isChecked(page, IDC_LANGUAGE_DE) ? "de"
                                                                : "en";
}

}  // namespace

INT_PTR CALLBACK generalPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        fillGeneralPage(page);
        return TRUE;
    case WM_NOTIFY:
        if (isApply(lParam))
            applyGeneralPage(page);
        return notificationHandled(page);
    default:
        return FALSE;
    }
}
