// Screenshot page: folder, file name and image format, quality, sound.
#include <cwctype>

#include "base/constants.h"
#include "base/control_text.h"
#include "base/text.h"
#include "resource.h"
#include "settings/settings.h"
#include "settings/settings_sheet.h"
#include "settings/sheet_pages.h"

namespace {

constexpr wchar_t yearFirstDateFormat[] = L"yyyy'-'MM'-'dd' '";

// The quality applies to JPEG only.
void enableQuality(HWND page, bool enabled)
{
    EnableWindow(GetDlgItem(page, IDC_JPEG_QUALITY), enabled);
}

void fillScreenshotPage(HWND page)
{
    const Settings& working = workingSettings();
    SetDlgItemTextW(page, IDC_SCREENSHOT_FOLDER, working.screenshotFolder.c_str());
    CheckRadioButton(page, IDC_DATE_DAY_FIRST, IDC_DATE_YEAR_FIRST,
                     !working.dateFormat.empty() && working.dateFormat.front() == L'y' ? IDC_DATE_YEAR_FIRST
                                                                                      : IDC_DATE_DAY_FIRST);
    const int format = working.imageFormat == L"png"   ? IDC_FORMAT_PNG
                       : working.imageFormat == L"bmp" ? IDC_FORMAT_BMP
                                                       : IDC_FORMAT_JPEG;
    CheckRadioButton(page, IDC_FORMAT_JPEG, IDC_FORMAT_BMP, format);
    enableQuality(page, format == IDC_FORMAT_JPEG);
    CheckDlgButton(page, IDC_BEEP_ON_SAVE, working.beepOnSave ? BST_CHECKED : BST_UNCHECKED);
    setControlNumber(GetDlgItem(page, IDC_JPEG_QUALITY), working.jpegQuality);
    SendDlgItemMessageW(page, IDC_JPEG_QUALITY, EM_LIMITTEXT, 3, 0);
}

// The picker starts from the working copy's folder, not from the edit.
void browse(HWND page)
{
    Settings& working = workingSettings();
    const std::wstring chosen =
        browseForFolder(loadResourceString(IDS_SELECT_FOLDER), working.screenshotFolder, page);
    if (chosen != working.screenshotFolder) {
        working.screenshotFolder = chosen;
        SetDlgItemTextW(page, IDC_SCREENSHOT_FOLDER, chosen.c_str());
    }
}

bool isBlank(const std::wstring& text)
{
    for (wchar_t c : text)
        if (!std::iswspace(c))
            return false;
    return true;
}

void applyScreenshotPage(HWND page)
{
    Settings& working = workingSettings();
    // An emptied edit would send screenshots to a relative path below
    // whatever the current directory is, and the settings file cannot carry
    // an empty line; the default folder is the unsurprising place.
    const std::wstring folder = getControlText(GetDlgItem(page, IDC_SCREENSHOT_FOLDER));
    working.screenshotFolder = isBlank(folder) ? SettingsDefaults::system().screenshotFolder : folder;
    working.dateFormat = isChecked(page, IDC_DATE_YEAR_FIRST) ? yearFirstDateFormat : defaultDateFormat;
    working.timeFormat = defaultTimeFormat;
    working.imageFormat = isChecked(page, IDC_FORMAT_PNG)   ? L"png"
                          : isChecked(page, IDC_FORMAT_BMP) ? L"bmp"
                                                            : defaultImageFormat;
    // Taken also while the edit is disabled, so the value is kept for later.
    const std::uint32_t quality = getControlNumber(GetDlgItem(page, IDC_JPEG_QUALITY));
    working.jpegQuality = quality > 100 ? 100 : quality;
    working.beepOnSave = isChecked(page, IDC_BEEP_ON_SAVE);
}

void onCommand(HWND page, int id)
{
    switch (id) {
    case IDC_BROWSE_FOLDER:
        browse(page);
        break;
    case IDC_FORMAT_JPEG:
        enableQuality(page, true);
        break;
    case IDC_FORMAT_PNG:
    case IDC_FORMAT_BMP:
        enableQuality(page, false);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK screenshotPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        fillScreenshotPage(page);
        return TRUE;
    case WM_COMMAND:
        onCommand(page, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        if (isApply(lParam))
            applyScreenshotPage(page);
        return notificationHandled(page);
    default:
        return FALSE;
    }
}
