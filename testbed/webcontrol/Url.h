#pragma once
#include <string>

// An address as the platform's URL parser reads it (urlmon's CreateUri, the
// parser the real control canonicalises with: host names in lower case, an
// empty path as "/"), split into the parts the control needs.
class Url {
public:
    static Url parse(const std::wstring& text);

    // Resolves a link found in a page or a redirect's Location against this
    // address (absolute, root-relative or relative), with the same parser.
    Url resolve(const std::wstring& link) const;

    std::wstring text() const { return text_; }  // canonical, fragment included

    bool valid = false;     // an absolute address with a host
    std::wstring scheme;    // e.g. "http"
    std::wstring hostPort;  // canonical host, ":port" unless the scheme's own
    std::wstring path;      // path and query, "/" at the least
    std::wstring fragment;  // after '#', without it
    bool hasFragment = false;

private:
    std::wstring text_;
};

// The canonical form of an address, or the text itself where the parser
// refuses it: what the real control reports in LocationURL and its events.
std::wstring canonicalAddress(const std::wstring& text);
