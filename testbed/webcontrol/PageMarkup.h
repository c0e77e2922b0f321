#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The little HTML the stand-in understands: player embed tags and a
// meta refresh. Everything else in a page is text it does not show.
class PageMarkup {
public:
    struct Size {
        int value = 100;
        bool percent = true;
        int resolve(int whole) const { return percent ? whole * value / 100 : value; }
    };
    struct Embed {
        Size width, height;
        int clicks = 0;   // clicks on a target before the battle shows as loaded
        int delayMs = 0;  // and at least this long after the player appeared
    };
    struct Refresh {
        int seconds = 0;
        std::wstring url;  // empty: reload the same address
    };

    static PageMarkup parse(std::string_view html);

    std::vector<Embed> embeds;  // document order
    std::optional<Refresh> refresh;
};
