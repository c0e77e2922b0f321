#include "Url.h"

#include <cwctype>

Url Url::parse(const std::wstring& text) {
    Url u;
    auto colon = text.find(L"://");
    if (colon == std::wstring::npos || colon == 0) return u;
    for (wchar_t c : text.substr(0, colon)) u.scheme += static_cast<wchar_t>(std::towlower(c));
    std::wstring rest = text.substr(colon + 3);
    auto hash = rest.find(L'#');
    if (hash != std::wstring::npos) {
        u.hasFragment = true;
        u.fragment = rest.substr(hash + 1);
        rest.resize(hash);
    }
    auto slash = rest.find_first_of(L"/?");
    u.hostPort = rest.substr(0, slash);
    u.path = slash == std::wstring::npos ? L"/" : rest.substr(slash);
    if (u.path[0] == L'?') u.path.insert(0, L"/");
    u.valid = !u.hostPort.empty();
    return u;
}

Url Url::resolve(const std::wstring& link) const {
    if (link.find(L"://") != std::wstring::npos) return parse(link);
    std::wstring base = scheme + L"://" + hostPort;
    if (!link.empty() && link[0] == L'/') return parse(base + link);
    std::wstring dir = path.substr(0, path.find(L'?'));
    dir.resize(dir.rfind(L'/') + 1);
    return parse(base + dir + link);
}

std::wstring Url::text() const {
    std::wstring t = scheme + L"://" + hostPort + path;
    if (hasFragment) t += L"#" + fragment;
    return t;
}
