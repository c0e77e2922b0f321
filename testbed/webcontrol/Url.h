#pragma once
#include <string>

// An http address split into the parts the control needs: what to send as
// Host, what to request, and the fragment it keeps for LocationURL.
class Url {
public:
    static Url parse(const std::wstring& text);

    // Resolves a link found in a page (absolute, root-relative or relative).
    Url resolve(const std::wstring& link) const;

    std::wstring text() const;  // whole address, fragment included

    bool valid = false;
    std::wstring scheme;    // lower case, e.g. "http"
    std::wstring hostPort;  // as written, e.g. "abc.game.example:8080"
    std::wstring path;      // from the first '/' up to '#', query included; "/" if empty
    std::wstring fragment;  // after '#', without it
    bool hasFragment = false;
};
