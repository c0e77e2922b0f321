#include "Url.h"

#include <windows.h>
#include <urlmon.h>

#include "ComPtr.h"

namespace {

ComPtr<IUri> createUri(const std::wstring& text) {
    ComPtr<IUri> uri;
    if (text.empty() || FAILED(CreateUri(text.c_str(), Uri_CREATE_CANONICALIZE, 0, uri.put()))) uri.reset();
    return uri;
}

std::wstring read(const ComPtr<IUri>& uri, HRESULT (STDMETHODCALLTYPE IUri::*getter)(BSTR*)) {
    BSTR value = nullptr;
    if (FAILED((uri.get()->*getter)(&value)) || !value) return {};
    std::wstring text(value, SysStringLen(value));
    SysFreeString(value);
    return text;
}

}  // namespace

Url Url::parse(const std::wstring& text) {
    Url u;
    const ComPtr<IUri> uri = createUri(text);
    if (!uri) return u;
    DWORD hostType = Uri_HOST_UNKNOWN, port = 0;
    BOOL hasPort = FALSE;
    uri->GetHostType(&hostType);
    uri->HasProperty(Uri_PROPERTY_PORT, &hasPort);
    uri->GetPort(&port);
    u.text_ = read(uri, &IUri::GetAbsoluteUri);
    u.scheme = read(uri, &IUri::GetSchemeName);
    std::wstring host = read(uri, &IUri::GetHost);
    if (hostType == Uri_HOST_IPV6) host = L"[" + host + L"]";
    const bool defaultPort = (u.scheme == L"http" && port == 80) || (u.scheme == L"https" && port == 443);
    u.hostPort = host + (hasPort && !defaultPort ? L":" + std::to_wstring(port) : L"");
    u.path = read(uri, &IUri::GetPathAndQuery);
    if (u.path.empty() || u.path[0] != L'/') u.path.insert(0, L"/");
    const std::wstring fragment = read(uri, &IUri::GetFragment);  // with its '#'
    u.hasFragment = !fragment.empty();
    if (u.hasFragment) u.fragment = fragment.substr(1);
    u.valid = !host.empty() && !u.text_.empty();
    return u;
}

Url Url::resolve(const std::wstring& link) const {
    const ComPtr<IUri> base = createUri(text_);
    ComPtr<IUri> combined;
    if (!base || FAILED(CoInternetCombineUrlEx(base.get(), link.c_str(), 0, combined.put(), 0)) || !combined)
        return {};
    return parse(read(combined, &IUri::GetAbsoluteUri));
}

std::wstring canonicalAddress(const std::wstring& text) {
    const ComPtr<IUri> uri = createUri(text);
    const std::wstring canonical = uri ? read(uri, &IUri::GetAbsoluteUri) : std::wstring();
    return canonical.empty() ? text : canonical;
}
