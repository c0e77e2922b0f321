#include "app/window_title.h"

#include "base/constants.h"
#include "base/text.h"

WindowTitle::WindowTitle(std::wstring_view commandLine)
{
    if (!commandLine.empty())
        prefix_ = L"[" + std::wstring(commandLine) + L"] ";
    format(-1);
}

const std::wstring& WindowTitle::format(std::int32_t server)
{
    title_ = prefix_;
    if (server != -1)
        title_ += L"[" + std::to_wstring(server) + L"] ";
    title_ += std::wstring(productName) + L" " + widen(productVersion);
    return title_;
}
