#include "PageMarkup.h"

#include <cctype>
#include <cstdlib>
#include <map>

namespace {

const char* const playerType = "application/x-testbed-player";

std::string lower(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

// Attributes of the tag whose name ends at `pos`, up to its '>'.
std::map<std::string, std::string> attributes(std::string_view html, size_t pos) {
    std::map<std::string, std::string> attrs;
    auto end = html.find('>', pos);
    std::string_view tag = html.substr(pos, end == std::string_view::npos ? end : end - pos);
    size_t i = 0;
    auto skipSpace = [&] {
        while (i < tag.size() && (std::isspace(static_cast<unsigned char>(tag[i])) || tag[i] == '/')) ++i;
    };
    while (true) {
        skipSpace();
        size_t start = i;
        while (i < tag.size() && tag[i] != '=' && !std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
        if (start == i) break;
        std::string name = lower(tag.substr(start, i - start));
        std::string value;
        if (i < tag.size() && tag[i] == '=') {
            ++i;
            if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
                char quote = tag[i++];
                size_t close = tag.find(quote, i);
                if (close == std::string_view::npos) close = tag.size();
                value = tag.substr(i, close - i);
                i = close + 1;
            } else {
                size_t s = i;
                while (i < tag.size() && !std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
                value = tag.substr(s, i - s);
            }
        }
        attrs[name] = value;
    }
    return attrs;
}

PageMarkup::Size size(const std::string& text) {
    PageMarkup::Size s;
    if (text.empty()) return s;
    s.value = std::atoi(text.c_str());
    s.percent = text.back() == '%';
    return s;
}

int number(const std::map<std::string, std::string>& a, const char* name) {
    auto it = a.find(name);
    return it == a.end() ? 0 : std::atoi(it->second.c_str());
}

std::optional<PageMarkup::Refresh> parseRefresh(const std::string& content) {
    PageMarkup::Refresh r;
    r.seconds = std::atoi(content.c_str());
    auto at = lower(content).find("url=");
    if (at != std::string::npos) {
        std::string url = content.substr(at + 4);
        r.url.assign(url.begin(), url.end());  // addresses in pages are ASCII
    }
    return r;
}

}  // namespace

PageMarkup PageMarkup::parse(std::string_view html) {
    PageMarkup page;
    std::string low = lower(html);
    for (size_t pos = low.find('<'); pos != std::string::npos; pos = low.find('<', pos + 1)) {
        if (low.compare(pos + 1, 5, "embed") == 0) {
            auto a = attributes(html, pos + 6);
            if (lower(a["type"]) != playerType) continue;
            Embed e;
            e.width = size(a["width"]);
            e.height = size(a["height"]);
            e.clicks = number(a, "clicks");
            e.delayMs = number(a, "delay");
            page.embeds.push_back(e);
        } else if (low.compare(pos + 1, 4, "meta") == 0) {
            auto a = attributes(html, pos + 5);
            if (lower(a["http-equiv"]) == "refresh" && !page.refresh) page.refresh = parseRefresh(a["content"]);
        }
    }
    return page;
}
