#include <gtest/gtest.h>

#include "app/window_title.h"

TEST(WindowTitle, WithoutCommandLine)
{
    WindowTitle title(L"");
    EXPECT_EQ(title.title(), L"Zelvara 1.0");
    EXPECT_EQ(title.format(7), L"[7] Zelvara 1.0");
    EXPECT_EQ(title.title(), L"[7] Zelvara 1.0");
    EXPECT_EQ(title.format(0), L"[0] Zelvara 1.0") << "a page that is no battle page";
    EXPECT_EQ(title.format(-1), L"Zelvara 1.0");
}

TEST(WindowTitle, CommandLineComesFirst)
{
    WindowTitle title(L"abc");
    EXPECT_EQ(title.title(), L"[abc] Zelvara 1.0");
    EXPECT_EQ(title.format(7), L"[abc] [7] Zelvara 1.0");
    EXPECT_EQ(WindowTitle(L"two words").title(), L"[two words] Zelvara 1.0");
}

TEST(WindowTitle, LongCommandLineIsShownWhole)
{
    const std::wstring line(5000, L'x');
    WindowTitle title(line);
    EXPECT_EQ(title.format(2147483647), L"[" + line + L"] [2147483647] Zelvara 1.0");
}
