#pragma once
#include <windows.h>
#include <ocidl.h>

#include <atomic>
#include <string>
#include <vector>

// The connection point for the browser's navigation events. It raises them
// as the platform's control does: IDispatch::Invoke with DISPATCH_METHOD,
// arguments in reverse order, the address as a by-reference VARIANT.
class EventPoint : public IConnectionPoint {
public:
    static const IID eventsIid;  // DWebBrowserEvents2

    explicit EventPoint(IConnectionPointContainer* owner) : owner_(owner) {}
    void detach() { owner_ = nullptr; }  // the owner is going away

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    // Each returns after every sink has been called. beforeNavigate2 returns
    // true when a sink cancelled the navigation.
    bool beforeNavigate2(IDispatch* browser, const std::wstring& url);
    void navigateComplete2(IDispatch* browser, const std::wstring& url);
    void documentComplete(IDispatch* browser, const std::wstring& url);
    void navigateError(IDispatch* browser, const std::wstring& url, long status);

private:
    virtual ~EventPoint();
    void fire(DISPID id, VARIANT* args, UINT count);

    struct Sink {
        DWORD cookie;
        IDispatch* dispatch;
    };
    std::atomic<ULONG> refs_{1};
    IConnectionPointContainer* owner_;  // not counted: the owner holds us
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
};
