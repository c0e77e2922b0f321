#include "screenshot/screenshot_name.h"

std::wstring screenshotFileName(std::wstring_view stamp, std::wstring_view imageFormat, unsigned copy)
{
    std::wstring name(stamp);
    if (copy > 1) {
        // The time picture usually ends with the extension's dot; the
        // number belongs in front of it, not between dot and extension.
        const bool dotted = !name.empty() && name.back() == L'.';
        if (dotted)
            name.pop_back();
        name += L" (" + std::to_wstring(copy) + L")";
        if (dotted)
            name += L'.';
    }
    name += imageFormat;
    return name;
}

std::optional<std::wstring> screenshotFolderPrefix(std::wstring_view folder)
{
    std::wstring prefix(folder);
    if (!prefix.empty() && prefix.back() != L'\\')
        prefix += L'\\';
    if (!fitsScreenshotPath(prefix.size()))
        return std::nullopt;
    return prefix;
}
